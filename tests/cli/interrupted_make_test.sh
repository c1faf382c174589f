#!/usr/bin/env bash
# make after an interrupted run: the assembler is stopped by SIGINT or
# SIGKILL in the middle of a large source, whose outputs are older than the
# source. Afterwards every output holds its old bytes or the complete new
# ones (never a truncated file newer than the source) unless make deleted it,
# make still takes the outputs as out of date, and the next make assembles
# the source again.
# Usage: interrupted_make_test.sh CTRLFORGE WORDFORGE MAKEFILE
set -u
ctrlforge=$1 wordforge=$2 makefile=$3
if ! command -v make >/dev/null 2>&1; then
  echo "SKIP: make is not installed"
  exit 77
fi
fail() { echo "FAIL: $*"; exit 1; }

work=$(mktemp -d) || fail "cannot make a scratch folder"
trap "rm -rf \"$work\"" EXIT
cd "$work" || fail "cannot enter $work"
cp "$makefile" Makefile || fail "cannot copy the Makefile"

# Sources of about half a second's work; the assemblers are started through
# wrappers that note their process id (exec keeps it).
awk 'BEGIN { printf ".TITLE BIG\r\n*\r\nR1 := R2\r\n";
             for (i = 0; i < 150000; i++) printf "; a comment line, which the listing copies\r\n";
             printf ".END\r\n" }' >big.mic
awk 'BEGIN { for (i = 0; i < 150000; i++) { if (i % 50000 == 0) printf "  ORG 0\r\n"; printf "  ADD 1,2\r\n" }
             printf "  END\r\n" }' >big.asm
for tool in ctrlforge wordforge; do
  printf '#!/bin/sh\necho $$ >"%s/pid"\nexec "%s" -w "$@"\n' "$work" "${!tool}" >"$tool.sh"
  chmod +x "$tool.sh"
done
run_make() { make --no-print-directory CTRLFORGE="$work/ctrlforge.sh" WORDFORGE="$work/wordforge.sh" "$@"; }

run_make >first.log 2>&1 || { cat first.log; fail "the first make failed"; }
mkdir reference && cp big.mic.s big.mic.o big.mic.m big.asm.a big.asm.b reference/ || fail "no outputs"

writing() {
  ls -A | grep -q '^\..*\.tmp-......$' && return 0
  for output in "$@"; do
    [ "$(wc -c <"$output")" -eq "$(printf 'old %s\r\n' "$output" | wc -c)" ] || return 0
  done
  return 1
}

# Job control: the background make and its assembler get SIGINT as a
# foreground job would, instead of ignoring it.
set -m
interrupted=0
for case in "big.mic.o big.mic.s big.mic.m" "big.asm.b big.asm.a"; do
  set -- $case
  target=$1
  for signal in INT KILL; do
    # Earlier outputs, older than the source.
    for output in $case; do
      printf 'old %s\r\n' "$output" >"$output"
      touch -d @1000000000 "$output"
    done
    rm -f pid
    run_make "$target" >interrupted.log 2>&1 &
    make_pid=$!
    # Wait until the assembler writes (a temporary file, or an output no
    # longer the old one), then stop it.
    for _ in $(seq 1000); do
      [ -s pid ] && writing $case && break
      sleep 0.01
    done
    [ -s pid ] || fail "$target: the assembler did not start"
    kill -s "$signal" "$(cat pid)"
    if wait "$make_pid"; then
      # Too fast to be caught: then the files must be complete.
      echo "note: $target finished before SIG$signal"
    else
      interrupted=$((interrupted + 1))
    fi
    temporaries=$(ls -A | grep '^\..*\.tmp-......$')
    if [ -n "$temporaries" ]; then
      [ "$signal" = KILL ] || fail "SIG$signal left temporary files: $temporaries"
      rm -f -- $temporaries
    fi
    for output in $case; do
      if [ ! -e "$output" ]; then
        # make itself deletes the targets of a job that a signal ended.
        grep -q "Deleting file '$output'" interrupted.log && continue
        cat interrupted.log
        fail "SIG$signal removed $output"
      fi
      if ! cmp -s "$output" reference/"$output" && [ "$(cat "$output")" != "$(printf 'old %s\r' "$output")" ]; then
        fail "after SIG$signal, $output is neither the old file nor the complete new one"
      fi
    done
    if cmp -s "$target" reference/"$target"; then
      continue  # the run had finished
    fi
    # make must not take the interrupted build as up to date.
    run_make -q "$target" 2>/dev/null && fail "after SIG$signal, make -q takes $target as up to date"
    run_make "$target" >rebuild.log 2>&1 || { cat rebuild.log; fail "the rebuild after SIG$signal failed"; }
    grep -q 'forge\.sh' rebuild.log || { cat rebuild.log; fail "make did not assemble $target again"; }
    for output in $case; do
      cmp -s "$output" reference/"$output" || fail "after the rebuild, $output is not the complete file"
    done
    run_make -q "$target" 2>/dev/null || fail "after the rebuild, make -q takes $target as out of date"
  done
done
# Were no run caught in the middle, the test would prove nothing.
[ "$interrupted" -ge 2 ] || fail "only $interrupted of 4 runs were interrupted: the sources are too small"
echo "make: interrupted runs left old or complete files, and make assembled the sources again"
exit 0
