#!/bin/sh
# Loads the grammar test files and the bundled examples into vim with the
# project's vim files, and checks the highlight group at every asserted
# position. Usage: vim_syntax_test.sh SOURCE_DIR WORK_DIR
# Skipped when vim is not installed.
set -u
. "$(dirname "$0")/../support/skip.sh"
command -v vim >/dev/null 2>&1 || skip "vim not found: the vim syntax check cannot run"
ZORVELT_SOURCE=$(cd "$1" && pwd)
mkdir -p "$2"
ZORVELT_LOG=$(cd "$2" && pwd)/vim-syntax.log
export ZORVELT_SOURCE ZORVELT_LOG
rm -f "$ZORVELT_LOG"
vim -es -u NONE -i NONE -N --cmd "set rtp^=$ZORVELT_SOURCE/editors/vim" \
  -c 'filetype on' -c 'syntax on' \
  -c "source $ZORVELT_SOURCE/tests/editors/vim_syntax_check.vim" </dev/null
status=$?
if [ -f "$ZORVELT_LOG" ]; then cat "$ZORVELT_LOG"; else echo "vim wrote no log"; status=1; fi
exit $status
