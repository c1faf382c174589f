#!/usr/bin/env bash
# What tools/prerequisites.sh decides, with packages taken as missing
# (ZORVELT_PRETEND_MISSING) and an apt-get that only writes down how it was
# called: as root on Debian it installs exactly the missing packages a
# command needs, in one apt-get call; not root, or not Debian, it names each
# of them and stops before anything is installed. Also the top-level
# Makefile's commands, and the shell tests' skip helper.
# Usage: prerequisites_test.sh SOURCE_DIR
set -u
# Whatever the caller pretends, this test says for itself.
unset ZORVELT_PRETEND_MISSING ZORVELT_APT_GET ZORVELT_OS_RELEASE
source_dir=$1
script=$source_dir/tools/prerequisites.sh
. "$(dirname "$0")/../support/skip.sh"
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
failures=0
work=$(mktemp -d) || exit 1
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"

cat >"$work/apt-get" <<EOF
#!/bin/sh
printf '%s\n' "\$*" >>"$work/apt.log"
exit \${FAKE_APT_STATUS:-0}
EOF
chmod 755 "$work/apt-get"
printf 'ID=debian\nVERSION_ID="12"\n' >"$work/debian"
printf 'ID=fedora\nVERSION_ID="40"\n' >"$work/fedora"

# What starts a command as the user nobody when the test runs as root.
as_nobody=()
skipped=""
if [ "$(id -u)" -eq 0 ]; then
  if command -v setpriv >/dev/null 2>&1; then
    as_nobody=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
  else
    skipped="$skipped; setpriv is not installed, so the script cannot run as another user"
  fi
fi
# run [ENV=VALUE...] VERB: the script with the fake apt-get; output in
# $work/out, apt-get's calls in $work/apt.log, status in $status.
run() {
  rm -f "$work/apt.log"
  env ZORVELT_APT_GET="$work/apt-get" ZORVELT_OS_RELEASE="$work/debian" "$@" >"$work/out" 2>&1
  status=$?
}
apt_calls() { cat "$work/apt.log" 2>/dev/null; }
expect_status() { [ "$status" -eq "$1" ] || fail "$2: exit status $status, not $1: $(cat "$work/out")"; }
# expect_installs MISSING VERB PACKAGES: as root on Debian, with MISSING
# taken as missing, VERB updates the package lists and installs exactly
# PACKAGES, in this order, in one call (no call at all for none).
expect_installs() {
  run ZORVELT_PRETEND_MISSING="$1" "$script" "$2"
  expect_status 0 "$2 without [$1]"
  local wanted=""
  [ -z "$3" ] || wanted=$'update\ninstall -y --no-install-recommends '"$3"
  [ "$(apt_calls)" = "$wanted" ] || fail "$2 without [$1]: apt-get called as [$(apt_calls)], not [$wanted]"
}

# The packages of `make demo` are on any machine that built this test.
expect_installs "" demo ""
expect_installs "libcli11-dev zsh" demo libcli11-dev
grep -q '^  libcli11-dev  *CLI11' "$work/out" || fail "demo without CLI11 did not say what it installs: $(cat "$work/out")"

run ZORVELT_PRETEND_MISSING="cmake make" FAKE_APT_STATUS=100 "$script" demo
[ "$status" -ne 0 ] || fail "a failing apt-get went unnoticed"

# Not root: each package named, the command to install them, nothing run.
if [ "$(id -u)" -ne 0 ] || ((${#as_nobody[@]})); then
  run ZORVELT_PRETEND_MISSING="libcli11-dev make" "${as_nobody[@]}" "$script" demo
  expect_status 1 "demo, not root"
  [ -z "$(apt_calls)" ] || fail "demo, not root: apt-get called: $(apt_calls)"
  grep -q '^  make  *the build tool' "$work/out" || fail "demo, not root: make not named: $(cat "$work/out")"
  grep -q '^  libcli11-dev  *CLI11' "$work/out" || fail "demo, not root: libcli11-dev not named"
  grep -qx '  apt-get install --no-install-recommends make libcli11-dev' "$work/out" ||
    fail "demo, not root: no install command: $(cat "$work/out")"
  grep -q 'Nothing has been built' "$work/out" || fail "demo, not root: does not say it stopped"
fi

# Not Debian: the packages named, no apt-get.
run ZORVELT_OS_RELEASE="$work/fedora" ZORVELT_PRETEND_MISSING="libcli11-dev" "$script" demo
expect_status 1 "demo, not Debian"
[ -z "$(apt_calls)" ] || fail "demo, not Debian: apt-get called: $(apt_calls)"
grep -q '^  libcli11-dev' "$work/out" && grep -q 'This is not Debian' "$work/out" ||
  fail "demo, not Debian: $(cat "$work/out")"

run "$script" everything
expect_status 2 "an unknown command"

# The other commands: only where this machine holds all they need can the
# outcome be told in advance.
if "${as_nobody[@]}" "$script" check >"$work/survey" 2>&1; then
  # In the order of the script's table.
  expect_installs "zsh lintian iverilog" check "iverilog zsh lintian"
  expect_installs "zsh lintian iverilog" package lintian
  expect_installs "zsh lintian iverilog clang" ci "iverilog zsh lintian clang"
  # Debian's npm only with Debian's node.
  expect_installs nodejs check "nodejs npm"
  expect_installs npm check npm
  expect_installs nodejs demo ""
else
  skipped="$skipped; this machine lacks some of what make check needs:$(grep '^  ' "$work/survey" | tr -s ' ')"
fi

# The Makefile's commands: the prerequisites first, then the workflow; the
# check command makes every test run.
dry=$(cd "$source_dir" && make -n --no-print-directory check)
[ "$(printf '%s\n' "$dry" | head -n 1)" = "tools/prerequisites.sh check" ] || fail "make check does not start with its prerequisites: $dry"
printf '%s\n' "$dry" | grep -qx 'ZORVELT_REQUIRE_ALL_TOOLS=1 cmake --workflow --preset test' || fail "make check: $dry"
dry=$(cd "$source_dir" && make -n --no-print-directory demo)
[ "$dry" = $'tools/prerequisites.sh demo\ncmake --workflow --preset demo' ] || fail "make demo: $dry"
levels=$(cd "$source_dir" && env -u CMAKE_BUILD_PARALLEL_LEVEL -u CTEST_PARALLEL_LEVEL \
  make -s --no-print-directory -f Makefile -f - show <<<'show: ; @echo $$CMAKE_BUILD_PARALLEL_LEVEL $$CTEST_PARALLEL_LEVEL')
[ "$levels" = "$(nproc) $(nproc)" ] || fail "the Makefile exports [$levels], not the number of cores twice"

# The skip helper: 77 where a check may be skipped, a failure where every
# check must run.
env -u ZORVELT_REQUIRE_ALL_TOOLS sh -c '. "$1"; skip no tool' _ "$(dirname "$0")/../support/skip.sh" >/dev/null
[ $? -eq 77 ] || fail "skip did not exit 77"
ZORVELT_REQUIRE_ALL_TOOLS=1 sh -c '. "$1"; skip no tool' _ "$(dirname "$0")/../support/skip.sh" >"$work/out"
[ $? -eq 1 ] && grep -q '^FAILED: no tool' "$work/out" || fail "skip with ZORVELT_REQUIRE_ALL_TOOLS=1: $(cat "$work/out")"

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
[ -z "$skipped" ] || skip "the rest passed, but${skipped#;}"
echo "prerequisites: every decision as expected"
