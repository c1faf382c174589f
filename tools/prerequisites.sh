#!/usr/bin/env bash
# Installs what a Debian machine lacks for one of the top-level Makefile's
# commands, with apt-get, before anything is built:
#   tools/prerequisites.sh demo      build the programs (cmake, g++, make, CLI11)
#   tools/prerequisites.sh check     and every test: GoogleTest and each tool a
#                                    test drives (Icarus Verilog, vim, neovim,
#                                    emscripten, chromium, node and npm, ...)
#   tools/prerequisites.sh package   and the packages: dpkg-dev, lintian, the page
#   tools/prerequisites.sh ci        check's, and clang for the fuzzers
# Where it may not install (not root, or not Debian) it names every package
# missing and stops with status 1; it never installs half of them.
#
# For checking its decisions: ZORVELT_PRETEND_MISSING="pkg ..." takes those
# packages as missing, ZORVELT_APT_GET names the apt-get to run, and
# ZORVELT_OS_RELEASE the os-release file to read.
set -euo pipefail

verb=${1:-}
pretend=" ${ZORVELT_PRETEND_MISSING:-} "
apt_get=${ZORVELT_APT_GET:-apt-get}
os_release=${ZORVELT_OS_RELEASE:-/etc/os-release}

# One line a package: its Debian name, how to tell it is there (a command
# on PATH, a header, or a file, which may be a pattern), and what needs it.
demo_packages='
cmake          command cmake                 CMake, the build
g++            command g++                   the C++ compiler
make           command make                  the build tool CMake drives
libcli11-dev   header  CLI/CLI.hpp           CLI11, the command line of both programs
'
test_packages='
libgtest-dev   header  gtest/gtest.h         GoogleTest, the unit tests
libgmock-dev   header  gmock/gmock.h         GoogleMock, the unit tests
gcc            command cc                    the C compiler that loads the C word header
iverilog       command iverilog              Icarus Verilog, which loads the memory images
binutils       command objcopy               objcopy, which reads the Intel HEX images
vim            command vim                   the vim checks of the editor files
neovim         command nvim                  the neovim checks of the editor files
zsh            command zsh                   the zsh completion checks
bash-completion file   /usr/share/bash-completion/bash_completion  the bash completion checks
nlohmann-json3-dev header nlohmann/json.hpp  JSON, for the language server
man-db         command man                   man, which shows the installed manual pages
util-linux     command setpriv               setpriv, which runs programs as an unprivileged user
chromium       command chromium              headless Chromium, for the browser checks
fonts-dejavu-core file /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf  text in the screenshots
'
web_packages='
emscripten     command emcc                  Emscripten, which compiles the browser page
'
package_packages='
dpkg-dev       command dpkg-shlibdeps        the .deb'"'"'s dependencies
file           command file                  file, which CPack asks about the programs
lintian        command lintian               lintian, which checks the .deb
'
ci_packages='
clang          command clang++               clang, for the fuzzers
libclang-rt-14-dev file /usr/lib/llvm-14/lib/clang/*/lib/linux/libclang_rt.fuzzer-*.a  the fuzzers'"'"' runtime
'

case "$verb" in
  demo) wanted=$demo_packages ;;
  check) wanted=$demo_packages$test_packages$web_packages$package_packages ;;
  package) wanted=$demo_packages$web_packages$package_packages ;;
  ci) wanted=$demo_packages$test_packages$web_packages$package_packages$ci_packages ;;
  *)
    echo "usage: $0 demo|check|package|ci" >&2
    exit 2
    ;;
esac
needs_node=false
[ "$verb" = demo ] || needs_node=true

# Whether the probe finds the package's part; a package in
# ZORVELT_PRETEND_MISSING is missing on the first look.
present() {
  local package=$1 kind=$2 what=$3 honest=${4:-}
  if [ -z "$honest" ] && [[ $pretend == *" $package "* ]]; then return 1; fi
  case "$kind" in
    command) command -v "$what" >/dev/null 2>&1 ;;
    header) [ -f "/usr/include/$what" ] || [ -f "/usr/local/include/$what" ] ;;
    file) compgen -G "$what" >/dev/null ;;
  esac
}

missing=() reasons=()
survey() {
  local honest=${1:-} package kind what reason
  missing=() reasons=()
  while read -r package kind what reason; do
    [ -n "$package" ] || continue
    if ! present "$package" "$kind" "$what" "$honest"; then
      missing+=("$package")
      reasons+=("$reason")
    fi
  done <<<"$wanted"
  # node with npm: Debian's npm cannot go beside a node from elsewhere, which
  # brings its own npm, so both come from Debian only when node is missing.
  if $needs_node; then
    if ! present nodejs command node "$honest"; then
      missing+=(nodejs npm)
      reasons+=("node, which Emscripten and the editor and browser checks run" "npm, which installs their packages")
    elif ! present npm command npm "$honest"; then
      missing+=(npm)
      reasons+=("npm, which installs the packages of the editor and browser checks")
    fi
  fi
}

list_missing() {
  local i
  for i in "${!missing[@]}"; do
    printf '  %-20s %s\n' "${missing[$i]}" "${reasons[$i]}"
  done
}

survey
if ((${#missing[@]})); then
  debian=false
  if [ -r "$os_release" ] && (. "$os_release" && [ "${ID:-}" = debian ]); then debian=true; fi
  if [ "$(id -u)" -ne 0 ] || ! $debian; then
    if $debian; then
      echo "make $verb needs these Debian packages, which this machine lacks:"
    else
      echo "make $verb needs what these Debian packages hold, which this machine lacks:"
    fi
    list_missing
    if $debian; then
      echo "Install them as root, for example:"
      echo "  apt-get install --no-install-recommends ${missing[*]}"
    else
      echo "This is not Debian: install the same tools with this system's own packages."
    fi
    echo "then run make $verb again. Nothing has been built."
    exit 1
  fi
  echo "make $verb: installing what this machine lacks:"
  list_missing
  export DEBIAN_FRONTEND=noninteractive
  "$apt_get" update
  "$apt_get" install -y --no-install-recommends "${missing[@]}"
  survey honest
  if ((${#missing[@]})); then
    echo "still missing after apt-get install:"
    list_missing
    exit 1
  fi
fi

# The editor checks' npm packages need node 20 or newer; Debian 12's own
# node is older.
if $needs_node && [ "$verb" != package ]; then
  major=$(node -p 'process.versions.node.split(".")[0]')
  if [ "$major" -lt 20 ]; then
    echo "make $verb needs node 20 or newer, and this machine has $(node --version)."
    echo "Install node 20 or newer (it brings its own npm), then run make $verb again. Nothing has been built."
    exit 1
  fi
fi
echo "make $verb: everything it needs is installed"
