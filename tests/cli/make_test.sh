#!/usr/bin/env bash
# make builds the bundled examples through the command line: a first run
# builds every file, a second does nothing, and a source broken on purpose
# makes make fail and leaves no object file behind.
# Usage: make_test.sh CTRLFORGE WORDFORGE EXAMPLES WORK
set -u
ctrlforge=$1 wordforge=$2 examples=$3 work=$4
. "$(dirname "$0")/../support/skip.sh"
command -v make >/dev/null 2>&1 || skip "make is not installed"
fail() { echo "FAIL: $*"; exit 1; }

rm -rf "$work" && mkdir -p "$work" || fail "cannot make $work"
cp "$examples"/Makefile "$examples"/*.mic "$examples"/*.asm "$work"/ || fail "cannot copy the examples"
cd "$work" || fail "cannot enter $work"
run_make() { make --no-print-directory CTRLFORGE="$ctrlforge" WORDFORGE="$wordforge" "$@"; }

run_make >first.log 2>&1 || { cat first.log; fail "the first make failed"; }
for f in *.mic; do
  for ext in o s m; do [ -s "$f.$ext" ] || fail "first make left no $f.$ext"; done
done
for f in *.asm; do
  for ext in a b; do [ -s "$f.$ext" ] || fail "first make left no $f.$ext"; done
done

run_make >second.log 2>&1 || { cat second.log; fail "the second make failed"; }
grep -q "Nothing to be done" second.log || { cat second.log; fail "the second make did something"; }
run_make -q || fail "make -q says the files are out of date"

# Break one source of each program; make must fail, leaving the listing
# and no object file (nor map).
sleep 1
mic=$(ls *.mic | head -n 1)
asm=$(ls *.asm | head -n 1)
printf '* 10\r\nR1 := R9\r\n' >>"$mic"
printf ' ADD 9,1\r\n' >"$asm.tmp" && cat "$asm" >>"$asm.tmp" && mv "$asm.tmp" "$asm"
if run_make -k >broken.log 2>&1; then cat broken.log; fail "make succeeded on broken sources"; fi
[ -e "$mic.o" ] && fail "$mic.o left behind after errors"
[ -e "$mic.m" ] && fail "$mic.m left behind after errors"
[ -e "$asm.b" ] && fail "$asm.b left behind after errors"
[ -s "$mic.s" ] || fail "the listing of $mic is missing"
[ -s "$asm.a" ] || fail "the listing of $asm is missing"
grep -q "$asm:1:6: error: register 9 outside 0..3 \[F\]" broken.log || { cat broken.log; fail "no diagnostic for $asm"; }
# The failed build stays out of date.
run_make -q && fail "make -q takes the failed build as up to date"
echo "make: first build, up-to-date rebuild and failing build all behave"
exit 0
