#!/bin/sh
# Installs the extension's development packages, exactly as
# package-lock.json lists them, into NPM_DIR/node_modules, so that the source
# folder stays clean. Install scripts stay off: nothing is fetched from
# anywhere but the npm registry. A second run with the same package.json and
# lock file does nothing.
# Usage: npm-ci.sh NPM_DIR
# Exits 77 when node 20 or newer, or npm, is missing.
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
if ! command -v node >/dev/null 2>&1 || ! command -v npm >/dev/null 2>&1; then
  echo "node or npm not found: skipping the install of the VS Code extension's npm packages"
  exit 77
fi
major=$(node -p 'process.versions.node.split(".")[0]')
if [ "$major" -lt 20 ]; then
  echo "node $(node --version) is older than 20, which the packages need: skipping their install"
  exit 77
fi
mkdir -p "$1"
cd "$1"
if [ -d node_modules ] && cmp -s "$here/package.json" installed-package.json \
    && cmp -s "$here/package-lock.json" installed-package-lock.json; then
  echo "npm packages in $1 are up to date"
  exit 0
fi
rm -f installed-package.json installed-package-lock.json
cp "$here/package.json" "$here/package-lock.json" .
npm ci --no-audit --no-fund --ignore-scripts
cp package.json installed-package.json
cp package-lock.json installed-package-lock.json
