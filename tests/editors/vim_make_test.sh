#!/bin/sh
# Runs :make in vim through a compiler plugin, with the real program, on the
# broken copies of the examples, and checks the quickfix list and where
# :make, :cnext and :cfirst put the cursor.
# Usage: vim_make_test.sh SOURCE_DIR WORK_DIR PROGRAM RUNS_JSON BROKEN_DIR
# PROGRAM is the built ctrlforge or wordforge; its folder goes first on PATH,
# so that the plugin's 'makeprg' finds it by name. Skipped when vim is not
# installed.
set -u
. "$(dirname "$0")/../support/skip.sh"
command -v vim >/dev/null 2>&1 || skip "vim not found: the vim :make check cannot run"
source_dir=$(cd "$1" && pwd)
compiler=$(basename "$3")
PATH=$(cd "$(dirname "$3")" && pwd):$PATH
ZORVELT_COMPILER=$compiler
ZORVELT_RUNS=$(cd "$(dirname "$4")" && pwd)/$(basename "$4")
ZORVELT_BROKEN=$(cd "$5" && pwd)
rm -rf "$2" && mkdir -p "$2" || exit 1
work=$(cd "$2" && pwd)
ZORVELT_LOG=$work/vim-make.log
export PATH ZORVELT_COMPILER ZORVELT_RUNS ZORVELT_BROKEN ZORVELT_LOG
# The file names of the runs are relative to the work folder, where vim
# runs the program.
cd "$work" || exit 1
vim -es -u NONE -i NONE --cmd 'set nocompatible' --cmd "set rtp^=$source_dir/editors/vim" \
  -c 'filetype plugin on' -c "source $source_dir/tests/editors/vim_make_check.vim" </dev/null
status=$?
if [ -f "$ZORVELT_LOG" ]; then cat "$ZORVELT_LOG"; else echo "vim wrote no log"; status=1; fi
exit $status
