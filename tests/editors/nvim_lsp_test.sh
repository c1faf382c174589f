#!/bin/sh
# Neovim's built-in client on the language server, headless, through the
# snippet of editors/nvim (see nvim_lsp_check.lua).
# Usage: nvim_lsp_test.sh SOURCE_DIR WORK_DIR SERVER
# Exits 77 (reported as skipped) when nvim is not installed, or older than
# 0.7, which the snippet needs.
set -u
if ! command -v nvim >/dev/null 2>&1; then
  echo "nvim not found: skipping the Neovim language client check"
  exit 77
fi
if ! nvim --headless -u NONE -i NONE -c 'lua if vim.fn.has("nvim-0.7") == 0 then vim.cmd("cquit 3") end' -c 'qall!' \
    </dev/null >/dev/null 2>&1; then
  echo "nvim is older than 0.7: skipping the Neovim language client check"
  exit 77
fi
source_dir=$(cd "$1" && pwd)
rm -rf "$2" && mkdir -p "$2" || exit 1
work=$(cd "$2" && pwd)
golden=$source_dir/tests/golden/ctrlforge
# The golden source with its GOTO FETCH made a GOTO without a label.
sed 's/^GOTO FETCH\r$/GOTO\r/' "$golden/fetch/input/PROG" > "$work/fetch.mic"
if ! grep -q '^GOTO.$' "$work/fetch.mic"; then
  echo "the golden source has no line GOTO FETCH to break"
  exit 1
fi
ZORVELT_SNIPPET=$source_dir/editors/nvim/zorvelt-lsp.lua
ZORVELT_SERVER=$3
ZORVELT_SOURCE=$work/fetch.mic
ZORVELT_OBJECT=$golden/fetch/expected/PROG.o
ZORVELT_LOG=$work/nvim-lsp.log
export ZORVELT_SNIPPET ZORVELT_SERVER ZORVELT_SOURCE ZORVELT_OBJECT ZORVELT_LOG
# Neovim keeps its state (the client's log) under XDG_STATE_HOME and
# XDG_CACHE_HOME: inside the work folder, removed afterwards.
XDG_STATE_HOME=$work/state XDG_CACHE_HOME=$work/cache XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config
export XDG_STATE_HOME XDG_CACHE_HOME XDG_DATA_HOME XDG_CONFIG_HOME
cd "$work" || exit 1
timeout 120 nvim --headless -u NONE -i NONE -n -c "filetype on" -c "luafile $source_dir/tests/editors/nvim_lsp_check.lua" </dev/null
status=$?
if [ -f "$ZORVELT_LOG" ]; then cat "$ZORVELT_LOG"; else echo "nvim wrote no log"; status=1; fi
cd / && rm -rf "$work"
exit $status
