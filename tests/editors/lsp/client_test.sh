#!/bin/sh
# Steps of the scripted client of zorvelt-lsp, for CTest. Exit status 77
# means skipped; the reason is printed first.
#   client_test.sh modules PACKAGE_DIR            npm ci there when its lock changed
#   client_test.sh run PACKAGE_DIR SUITE SERVER GOLDEN_DIR
set -u
here=$(cd "$(dirname "$0")" && pwd)
step=$1
shift
if ! command -v node >/dev/null 2>&1; then
  echo "node not found: skipping the scripted client of the language server"
  exit 77
fi
case "$step" in
  modules)
    command -v npm >/dev/null 2>&1 || { echo "npm not found: the protocol's node modules cannot be installed"; exit 77; }
    mkdir -p "$1" && cd "$1" || exit 1
    cp "$here/package.json" "$here/package-lock.json" . || exit 1
    if ! cmp -s package-lock.json node_modules/.installed-lock.json; then
      npm ci --no-audit --no-fund --ignore-scripts || exit 1
      cp package-lock.json node_modules/.installed-lock.json
    fi
    ;;
  run)
    if [ ! -d "$1/node_modules/vscode-languageserver-protocol" ]; then
      echo "the protocol's node modules are not installed in $1 (see the test editors.lsp.modules)"
      exit 1
    fi
    NODE_PATH=$(cd "$1" && pwd)/node_modules
    export NODE_PATH
    shift
    exec node "$here/client_test.js" "$@"
    ;;
  *)
    echo "unknown step $step"
    exit 2
    ;;
esac
