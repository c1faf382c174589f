#!/bin/sh
# Runs one check of the VS Code extension under node. With NPM_DIR, the
# check uses the npm packages that editors/vscode/tools/npm-ci.sh installed
# there; with NPM_DIR "-" it needs node alone.
# Usage: node_test.sh NPM_DIR COMMAND [ARGUMENT]...
# Exits 77 (reported as skipped) when what the check needs is not installed.
set -u
npm_dir=$1
shift
if ! command -v node >/dev/null 2>&1; then
  echo "node not found: skipping this check of the VS Code extension"
  exit 77
fi
if [ "$npm_dir" != "-" ]; then
  if ! command -v npm >/dev/null 2>&1; then
    echo "npm not found, so the extension's npm packages are not installed: skipping this check"
    exit 77
  fi
  if [ "$(node -p 'process.versions.node.split(".")[0]')" -lt 20 ]; then
    echo "node $(node --version) is older than 20, which the npm packages need: skipping this check"
    exit 77
  fi
  if [ ! -d "$npm_dir/node_modules" ]; then
    echo "the npm packages are not installed in $npm_dir (see the test editors.vscode.npm_ci)"
    exit 1
  fi
  NODE_PATH=$(cd "$npm_dir" && pwd)/node_modules
  PATH=$NODE_PATH/.bin:$PATH
  export NODE_PATH PATH
fi
exec "$@"
