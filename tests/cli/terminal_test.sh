#!/usr/bin/env bash
# Diagnostics on a terminal and on a pipe. Under script(1) standard error is
# a terminal: each diagnostic is followed by its source line and a caret
# line under the token (tabs and multi-byte characters before it do not
# shift it), with colours unless NO_COLOR or TERM=dumb say otherwise. On a
# pipe the lines are the plain one-line form, unless carets or colour are
# asked for.
# Usage: terminal_test.sh CTRLFORGE WORDFORGE
set -u
ctrlforge=$1 wordforge=$2
if ! command -v script >/dev/null 2>&1; then
  echo "SKIP: script (util-linux) is not installed"
  exit 77
fi
fail() { echo "FAIL: $*"; exit 1; }
work=$(mktemp -d) || fail "cannot make a scratch folder"
trap 'rm -rf "$work"' EXIT
cd "$work" || fail "cannot enter $work"

printf '.TITLE TT\r\n* NEXT:\r\n\tGOTP NEXT\r\n.END\r\n' >prog.mic
printf "        DC    '\303\274' junk\r\n        END\r\n" >prog.asm

# on_terminal OUT VARIABLE=VALUE... -- COMMAND...: runs COMMAND with a
# terminal as its standard streams, in that environment (NO_COLOR unset
# unless given); OUT gets what it printed, with LF line ends.
on_terminal() {
  local out=$1
  shift
  local settings=()
  while [ "$1" != "--" ]; do settings+=("$1"); shift; done
  shift
  env -u NO_COLOR TERM=xterm "${settings[@]}" script -qec "$*" /dev/null </dev/null | tr -d '\r' >"$out"
}

# same NAME EXPECTED ACTUAL
same() {
  cmp -s "$2" "$3" || { echo "--- expected"; cat -A "$2"; echo "--- actual"; cat -A "$3"; fail "$1"; }
}

E=$(printf '\033')
printf '%s\n' \
  "${E}[01m${E}[Kprog.mic:3:2:${E}[m${E}[K ${E}[01;31m${E}[Kerror:${E}[m${E}[K 'GOTP' begins no clause; did you mean 'GOTO'? [${E}[01;31m${E}[KE16${E}[m${E}[K]" \
  "    3 |         GOTP NEXT" \
  "      |         ${E}[01;32m${E}[K^~~~${E}[m${E}[K" \
  "      |         ${E}[32m${E}[KGOTO${E}[m${E}[K" >coloured.txt
printf '%s\n' \
  "prog.mic:3:2: error: 'GOTP' begins no clause; did you mean 'GOTO'? [E16]" \
  "    3 |         GOTP NEXT" \
  "      |         ^~~~" \
  "      |         GOTO" >carets.txt
printf '%s\n' "prog.mic:3:2: error: 'GOTP' begins no clause; did you mean 'GOTO'? [E16]" >plain.txt
printf '%s\n' \
  "prog.asm:1:18: warning: text after the operand is dropped [-Wtrailing-text]" \
  "    1 |         DC    '$(printf '\303\274')' junk" \
  "      |                 ^" >wide.txt

on_terminal out.txt -- "$ctrlforge" prog.mic
same "a terminal gets carets and colour" coloured.txt out.txt
on_terminal out.txt NO_COLOR=1 -- "$ctrlforge" prog.mic
same "NO_COLOR keeps the carets and drops the colour" carets.txt out.txt
on_terminal out.txt TERM=dumb -- "$ctrlforge" prog.mic
same "TERM=dumb keeps the carets and drops the colour" carets.txt out.txt
on_terminal out.txt -- "$ctrlforge" -fdiagnostics-color=never -fno-diagnostics-show-caret prog.mic
same "-fdiagnostics-color=never -fno-diagnostics-show-caret give the plain line" plain.txt out.txt
on_terminal out.txt NO_COLOR=1 -- "$wordforge" -Wtrailing-text prog.asm
same "a two-byte character before the token does not shift the caret" wide.txt out.txt

"$ctrlforge" prog.mic 2>out.txt
[ $? -eq 1 ] || fail "the failed source did not exit with 1"
same "a pipe gets the plain line" plain.txt out.txt
"$ctrlforge" -fdiagnostics-show-caret -fdiagnostics-color=always prog.mic 2>out.txt
same "carets and colour asked for reach a pipe too" coloured.txt out.txt
echo "terminal and pipe output as expected"
