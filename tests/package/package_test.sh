#!/usr/bin/env bash
# The packages that cpack makes of a build folder, installed as a user
# would and used from there.
#   package_test.sh contents BUILD WORK VERSION CTRLFORGE WORDFORGE WEB_BUILD [SERVER]
#     makes the .deb and the .tar.gz of BUILD into WORK, unpacks the .deb
#     into a scratch root (dpkg -x) and checks what it holds: both programs
#     and their versions, the manual pages through man -l, the examples
#     built with the installed programs (the same bytes as CTRLFORGE and
#     WORDFORGE of the build write), the completions where bash-completion
#     and zsh find them, the editor files, the browser page when WEB_BUILD
#     holds one, the language server SERVER when the build has one, and the
#     archive holding the same files
#   package_test.sh lintian WORK
#     lintian on the .deb that `contents` made: no error
set -u
. "$(dirname "$0")/../support/skip.sh"
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
failures=0
mode=$1
shift

missing=""
finish() {
  if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
  fi
  [ -z "$missing" ] || skip "not installed:$missing (everything else passed)"
  echo "$*"
  exit 0
}

if [ "$mode" = lintian ]; then
  work=$1
  command -v lintian >/dev/null 2>&1 || skip "lintian is not installed"
  deb=$(ls "$work"/out/*.deb 2>/dev/null)
  [ -n "$deb" ] || { echo "FAIL: no .deb in $work/out (see the test package.contents)"; exit 1; }
  # Every tag down to the informational ones is shown; errors fail.
  # lintian leaves files in its temp folder: a scratch one goes afterwards.
  scratch=$(mktemp -d) || exit 1
  trap 'rm -rf "$scratch"' EXIT
  TMPDIR=$scratch lintian --info --display-info --fail-on error "$deb" 2>&1 | grep -v '^running with root privileges'
  [ "${PIPESTATUS[0]}" -eq 0 ] || fail "lintian reports errors in $(basename "$deb")"
  finish "lintian: no error in $(basename "$deb")"
fi

[ "$mode" = contents ] || { echo "unknown mode $mode"; exit 2; }
build=$1 work=$2 version=$3 ctrlforge=$4 wordforge=$5 web=$6 server=${7:-}
for tool in dpkg-deb dpkg-shlibdeps make man; do
  command -v "$tool" >/dev/null 2>&1 || skip "$tool is not installed"
done
rm -rf "$work" && mkdir -p "$work/out" || exit 1
scratch=$(mktemp -d) || exit 1
trap 'rm -rf "$scratch"' EXIT

cpack --config "$build/CPackConfig.cmake" -G "DEB;TGZ" -B "$work/out" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; echo "FAIL: cpack failed"; exit 1; }
deb=$(ls "$work"/out/*.deb)
tgz=$(ls "$work"/out/*.tar.gz)
[ "$(echo "$deb" | wc -l)" -eq 1 ] && [ "$(echo "$tgz" | wc -l)" -eq 1 ] ||
  { echo "FAIL: cpack made [$deb] and [$tgz], not one .deb and one .tar.gz"; exit 1; }
echo "packages: $(basename "$deb") $(basename "$tgz")"
[ "$(dpkg-deb -f "$deb" Package)" = zorvelt-tools ] || fail "package name $(dpkg-deb -f "$deb" Package)"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "package version $(dpkg-deb -f "$deb" Version)"
dpkg-deb -f "$deb" Depends | grep -q 'libc6' || fail "no dependency on libc6: $(dpkg-deb -f "$deb" Depends)"

root=$scratch/root
dpkg -x "$deb" "$root" || { echo "FAIL: dpkg -x failed"; exit 1; }
share=$root/usr/share
doc=$share/doc/zorvelt-tools
for f in usr/bin/ctrlforge usr/bin/wordforge \
         usr/share/man/man1/ctrlforge.1.gz usr/share/man/man1/wordforge.1.gz \
         usr/share/doc/zorvelt-tools/copyright usr/share/doc/zorvelt-tools/changelog.gz \
         usr/share/doc/zorvelt-tools/microprogramming.md usr/share/doc/zorvelt-tools/assembly.md \
         usr/share/doc/zorvelt-tools/examples/Makefile usr/share/doc/zorvelt-tools/examples/fetch.mic \
         usr/share/doc/zorvelt-tools/examples/table.zasm \
         usr/share/zorvelt/editors/vim/ftdetect/zorvelt.vim usr/share/zorvelt/editors/vim/compiler/wordforge.vim \
         usr/share/zorvelt/editors/vscode/package.json \
         usr/share/bash-completion/completions/ctrlforge usr/share/bash-completion/completions/wordforge \
         usr/share/zsh/vendor-completions/_ctrlforge usr/share/zsh/vendor-completions/_wordforge; do
  [ -s "$root/$f" ] || fail "the package holds no $f"
done

# The programs, from where the package put them.
for program in ctrlforge wordforge; do
  shown=$("$root/usr/bin/$program" --version 2>&1)
  [ "$shown" = "$program $version" ] || fail "$program --version printed '$shown'"
done

# The manual pages, as man shows them, without a complaint from groff.
for program in ctrlforge wordforge; do
  page=$(MANWIDTH=80 man --warnings -l "$share/man/man1/$program.1.gz" 2>"$scratch/man-errors")
  [ ! -s "$scratch/man-errors" ] || fail "man -l $program.1.gz: $(cat "$scratch/man-errors")"
  printf '%s\n' "$page" | grep -q "^NAME" || fail "man -l $program.1.gz shows no NAME section"
  printf '%s\n' "$page" | grep -q "^ *$program - " || fail "man -l $program.1.gz does not name $program"
  printf '%s\n' "$page" | grep -q -- "--completion=SHELL" || fail "man -l $program.1.gz lacks --completion"
done

# The bundled examples, built by their Makefile with the installed programs
# found on PATH, give the bytes the programs of the build write.
cp -r "$doc/examples" "$scratch/installed" && cp -r "$doc/examples" "$scratch/built" || fail "cannot copy the examples"
(cd "$scratch/installed" && PATH=$root/usr/bin:$PATH make --no-print-directory all images) >"$scratch/make.log" 2>&1 ||
  { cat "$scratch/make.log"; fail "make with the installed programs failed"; }
grep -q "^ctrlforge fetch.mic$" "$scratch/make.log" || fail "make did not run the installed ctrlforge: $(cat "$scratch/make.log")"
(cd "$scratch/built" && make --no-print-directory CTRLFORGE="$ctrlforge" WORDFORGE="$wordforge" all images) >/dev/null 2>&1 ||
  fail "make with the built programs failed"
made=$(cd "$scratch/installed" && ls)
for f in fetch.mic.o fetch.mic.s fetch.mic.m fetch.mic.mem fetch.mic.hex table.zasm.a table.zasm.b table.zasm.mem table.zasm.hex; do
  printf '%s\n' "$made" | grep -qx "$f" || fail "make with the installed programs left no $f"
done
for f in $made; do
  cmp -s "$scratch/installed/$f" "$scratch/built/$f" || fail "$f differs from what the built programs write"
done

# bash-completion loads the scripts on demand from its folder in the data
# folders; zsh's default fpath holds the vendor folder on Debian.
if [ -f /usr/share/bash-completion/bash_completion ]; then
  for program in ctrlforge wordforge; do
    loaded=$(XDG_DATA_DIRS=$share bash --norc --noprofile -c \
      '. /usr/share/bash-completion/bash_completion && __load_completion "$1" && complete -p "$1"' _ "$program" 2>&1)
    [ "$loaded" = "complete -F _$program $program" ] || fail "bash-completion did not load $program's script: $loaded"
  done
else
  missing="$missing bash-completion"
fi
if command -v zsh >/dev/null 2>&1; then
  zsh -f -c 'print -l $fpath' | grep -qx /usr/share/zsh/vendor-completions ||
    fail "zsh's fpath lacks /usr/share/zsh/vendor-completions"
  for program in ctrlforge wordforge; do
    found=$(zsh -f -c 'fpath=($1 $fpath); autoload -Uz compinit; compinit -u -D; print -r -- $_comps[$2]' \
      _ "$share/zsh/vendor-completions" "$program")
    [ "$found" = "_$program" ] || fail "zsh's compinit did not take _$program: '$found'"
  done
else
  missing="$missing zsh"
fi

# The browser page joins the packages once its own build has made it.
if [ -f "$web/page/worker-source.js" ]; then
  for f in index.html style.css main.js editor.js worker-source.js examples.js examples/fetch.mic examples/table.zasm; do
    cmp -s "$web/page/$f" "$share/zorvelt/web/$f" || fail "the package's page has no copy of $f"
  done
elif [ -e "$share/zorvelt/web" ]; then
  fail "a page in the package, though $web holds none"
fi

if [ -n "$server" ]; then
  [ -x "$root/usr/bin/$server" ] || fail "the package holds no language server usr/bin/$server"
  [ -f "$share/man/man1/$server.1.gz" ] || fail "the package holds no manual page of $server"
  [ -f "$share/zorvelt/editors/nvim/zorvelt-lsp.lua" ] || fail "the package holds no Neovim set-up of $server"
  shown=$("$root/usr/bin/$server" --version 2>&1)
  [ "$shown" = "$server $version" ] || fail "$server --version says '$shown'"
fi

# The archive holds the same files, under one folder of its own.
mkdir "$scratch/archive" && tar -xzf "$tgz" -C "$scratch/archive" || fail "cannot unpack $(basename "$tgz")"
top=$(ls "$scratch/archive")
[ "$(echo "$top" | wc -l)" -eq 1 ] || fail "the archive has more than one folder at its top: $top"
from_deb=$(cd "$root/usr" && find . -type f | sort)
from_tgz=$(cd "$scratch/archive/$top" && find . -type f | sort)
[ "$from_deb" = "$from_tgz" ] || fail "the archive's files differ from the .deb's: $(diff <(echo "$from_deb") <(echo "$from_tgz"))"
for f in $from_deb; do
  cmp -s "$root/usr/$f" "$scratch/archive/$top/$f" || fail "$f differs between the archive and the .deb"
done
"$scratch/archive/$top/bin/wordforge" --version >/dev/null || fail "wordforge from the archive does not run"

echo "the .deb holds $(echo "$from_deb" | wc -l) files:"
echo "$from_deb" | sed 's|^\./|  /usr/|'
finish "package: both packages hold everything, and it works where it was installed"
