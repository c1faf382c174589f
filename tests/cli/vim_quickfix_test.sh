#!/usr/bin/env bash
# vim reads the diagnostics of both programs through its default
# 'errorformat': every entry of the quickfix list must name the right file,
# line and column, warnings mixed in among the errors.
# Usage: vim_quickfix_test.sh CTRLFORGE WORDFORGE WORK
set -u
ctrlforge=$1 wordforge=$2 work=$3
. "$(dirname "$0")/../support/skip.sh"
command -v vim >/dev/null 2>&1 || skip "vim is not installed"
fail() { echo "FAIL: $*"; exit 1; }
rm -rf "$work" && mkdir -p "$work" && cd "$work" || fail "cannot prepare $work"

# Line 2: register 5 (column 6); line 3: 300 in 8 bits, a warning (column
# 7); line 4: undefined label (column 4).
printf ' ORG 10\r\n ADD 5,1\r\n LC 2,300\r\n B NOWHERE\r\n END\r\n' >prog.asm
# Line 4: an unknown clause (column 1); line 6: text after the transfer,
# found at the number (column 10); .END missing, named at the end of the
# last line (line 6, column 11).
printf '.TITLE DEMO\r\n* 10\r\nR1 := R2\r\nFOO\r\n* 20\r\nR1 := R2 5\r\n' >prog.mic

"$wordforge" prog.asm 2>diagnostics.txt
"$ctrlforge" prog.mic 2>>diagnostics.txt
cat diagnostics.txt

vim -es -u NONE -i NONE \
  -c 'cgetfile diagnostics.txt' \
  -c "call writefile(map(getqflist(), {_, e -> bufname(e.bufnr) . ':' . e.lnum . ':' . e.col . ':' . e.valid}), 'quickfix.txt')" \
  -c 'qa!' || fail "vim failed"

expected=$'prog.asm:2:6:1\nprog.asm:3:7:1\nprog.asm:4:4:1\nprog.mic:4:1:1\nprog.mic:6:10:1\nprog.mic:6:11:1'
actual=$(cat quickfix.txt)
if [ "$actual" != "$expected" ]; then
  echo "expected:"; echo "$expected"; echo "got:"; echo "$actual"
  fail "quickfix entries differ"
fi
echo "vim: every diagnostic lands on its file, line and column"
exit 0
