#!/bin/sh
# Reads diagnostics lines into vim's quickfix list through the compiler
# plugin's 'errorformat' and checks the entries.
# Usage: vim_quickfix_test.sh SOURCE_DIR WORK_DIR COMPILER DIAGNOSTICS [EXPECTED_JSON]
# Exits 77 (reported as skipped) when vim is not installed.
set -u
if ! command -v vim >/dev/null 2>&1; then
  echo "vim not found: skipping the vim quickfix check"
  exit 77
fi
source_dir=$(cd "$1" && pwd)
mkdir -p "$2"
work=$(cd "$2" && pwd)
ZORVELT_DIAGNOSTICS=$4
ZORVELT_EXPECTED=${5:-}
ZORVELT_LOG=$work/vim-quickfix-$3.log
export ZORVELT_DIAGNOSTICS ZORVELT_EXPECTED ZORVELT_LOG
rm -f "$ZORVELT_LOG"
# The file names in the diagnostics are relative to the folder they were
# produced in; vim reads them from the work folder.
cd "$work" || exit 1
vim -es -u NONE -i NONE -N --cmd "set rtp^=$source_dir/editors/vim" \
  -c "compiler $3" -c "source $source_dir/tests/editors/vim_quickfix_check.vim" </dev/null
status=$?
if [ -f "$ZORVELT_LOG" ]; then cat "$ZORVELT_LOG"; else echo "vim wrote no log"; status=1; fi
exit $status
