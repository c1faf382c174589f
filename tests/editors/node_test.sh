#!/bin/sh
# Runs one check of the VS Code extension under node. With NPM_DIR, the
# check uses the npm packages that editors/vscode/tools/npm-ci.sh installed
# there; with NPM_DIR "-" it needs node alone. With --install NPM_DIR, the
# command is the install itself, so the packages need not be there yet.
# Usage: node_test.sh [--install] NPM_DIR COMMAND [ARGUMENT]...
# Skipped when what the check needs is not installed.
set -u
. "$(dirname "$0")/../support/skip.sh"
installing=false
if [ "$1" = --install ]; then
  installing=true
  shift
fi
npm_dir=$1
shift
command -v node >/dev/null 2>&1 || skip "node not found: this check of the VS Code extension cannot run"
if [ "$npm_dir" != "-" ]; then
  command -v npm >/dev/null 2>&1 ||
    skip "npm not found, so the extension's npm packages cannot be installed"
  if [ "$(node -p 'process.versions.node.split(".")[0]')" -lt 20 ]; then
    skip "node $(node --version) is older than 20, which the npm packages need"
  fi
  if ! $installing; then
    if [ ! -d "$npm_dir/node_modules" ]; then
      echo "the npm packages are not installed in $npm_dir (see the test editors.vscode.npm_ci)"
      exit 1
    fi
    NODE_PATH=$(cd "$npm_dir" && pwd)/node_modules
    PATH=$NODE_PATH/.bin:$PATH
    export NODE_PATH PATH
  fi
fi
exec "$@"
