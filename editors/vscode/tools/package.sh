#!/bin/sh
# Packages the extension as a .vsix with vsce, from the packages that
# npm-ci.sh installs into NPM_DIR.
# Usage: package.sh NPM_DIR OUTPUT.vsix
# Exits 77 when node 20 or newer, or npm, is missing.
set -u
here=$(cd "$(dirname "$0")/.." && pwd)
sh "$here/tools/npm-ci.sh" "$1" || exit $?
npm_dir=$(cd "$1" && pwd)
out_dir=$(dirname "$2")
mkdir -p "$out_dir"
out=$(cd "$out_dir" && pwd)/$(basename "$2")
cd "$here" || exit 1
# The package has no runtime dependencies; its README's picture stays a
# relative link, and there is no repository address or licence file to name.
exec "$npm_dir/node_modules/.bin/vsce" package --no-dependencies --no-rewrite-relative-links \
  --allow-missing-repository --skip-license --out "$out"
