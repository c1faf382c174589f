#!/usr/bin/env bash
# make builds the bundled examples through the command line: a first run
# builds every file of .mic, .zasm and .asm sources without a word from make
# itself, a second does nothing, `make images` adds the memory images, and a
# source broken on purpose makes make fail and leaves no object file or
# image behind.
# Usage: make_test.sh CTRLFORGE WORDFORGE EXAMPLES WORK
set -u
ctrlforge=$1 wordforge=$2 examples=$3 work=$4
. "$(dirname "$0")/../support/skip.sh"
command -v make >/dev/null 2>&1 || skip "make is not installed"
fail() { echo "FAIL: $*"; exit 1; }

rm -rf "$work" && mkdir -p "$work" || fail "cannot make $work"
cp "$examples"/Makefile "$examples"/*.mic "$examples"/*.zasm "$work"/ || fail "cannot copy the examples"
cd "$work" || fail "cannot enter $work"
# An assembly source under the other extension the Makefile knows.
asm=table.zasm
cp "$asm" "copy.asm"
# The sources make builds: all but the two wrong on purpose.
built() { ls "$@" 2>/dev/null | grep -v '^mistakes\.'; }
run_make() { make --no-print-directory CTRLFORGE="$ctrlforge" WORDFORGE="$wordforge" "$@"; }

# make speaks only to say that nothing is to be done; anything else it
# says (a circular dependency of its built-in rules, say) is a fault.
quiet() {
  if grep '^make' "$1" | grep -v "Nothing to be done"; then fail "make had something to say (see above)"; fi
}

run_make >first.log 2>&1 || { cat first.log; fail "the first make failed"; }
quiet first.log
for f in $(built *.mic); do
  for ext in o s m; do [ -s "$f.$ext" ] || fail "first make left no $f.$ext"; done
done
for f in $(built *.zasm *.asm); do
  for ext in a b; do [ -s "$f.$ext" ] || fail "first make left no $f.$ext"; done
done
ls *.mem *.hex >/dev/null 2>&1 && fail "plain make wrote images"

run_make >second.log 2>&1 || { cat second.log; fail "the second make failed"; }
grep -q "Nothing to be done" second.log || { cat second.log; fail "the second make did something"; }
run_make -q || fail "make -q says the files are out of date"

run_make images >images.log 2>&1 || { cat images.log; fail "make images failed"; }
quiet images.log
for f in $(built *.mic *.zasm *.asm); do
  # The first line of each: the $readmemh header names the program and the
  # width of its words, an Intel HEX file starts with a record.
  head -n 1 "$f.mem" | grep -q '^// .*, [0-9]*-bit words' || fail "make images left no \$readmemh image of $f"
  head -c 1 "$f.hex" | grep -q ':' || fail "make images left no Intel HEX image of $f"
done
run_make images >images-again.log 2>&1 || fail "the second make images failed"
grep -q "Nothing to be done for 'images'" images-again.log || { cat images-again.log; fail "make images did something again"; }

# Break one source of each program; make must fail, leaving the listing
# and no object file (nor map), and no image.
sleep 1
mic=fetch.mic
printf '* 10\r\nR1 := R9\r\n' >>"$mic"
printf ' ADD 9,1\r\n' >"$asm.tmp" && cat "$asm" >>"$asm.tmp" && mv "$asm.tmp" "$asm"
if run_make -k all images >broken.log 2>&1; then cat broken.log; fail "make succeeded on broken sources"; fi
for f in "$mic.o" "$mic.m" "$asm.b" "$mic.mem" "$mic.hex" "$asm.mem" "$asm.hex"; do
  [ -e "$f" ] && fail "$f left behind after errors"
done
[ -s "$mic.s" ] || fail "the listing of $mic is missing"
[ -s "$asm.a" ] || fail "the listing of $asm is missing"
grep -q "$asm:1:6: error: register 9 outside 0..3 \[F\]" broken.log || { cat broken.log; fail "no diagnostic for $asm"; }
# The failed build stays out of date.
run_make -q && fail "make -q takes the failed build as up to date"
echo "make: first build, up-to-date rebuild, images and failing build all behave"
exit 0
