#!/bin/sh
# Packages the extension as a .vsix with vsce, from the packages that
# npm-ci.sh installs into NPM_DIR. The extension's code and the language
# client it needs are bundled by esbuild into one extension.js first, in a
# staging copy of the folder, so that the package holds no node_modules.
# Usage: package.sh NPM_DIR OUTPUT.vsix
# Exits 77 when node 20 or newer, or npm, is missing.
set -u
here=$(cd "$(dirname "$0")/.." && pwd)
# Inside the folder itself (npm run package after npm ci) the packages are
# there already.
if [ "$(cd "$1" 2>/dev/null && pwd)" != "$here" ]; then
  sh "$here/tools/npm-ci.sh" "$1" || exit $?
fi
npm_dir=$(cd "$1" && pwd)
out_dir=$(dirname "$2")
mkdir -p "$out_dir"
out=$(cd "$out_dir" && pwd)/$(basename "$2")
stage=$(mktemp -d "$out_dir/stage.XXXXXX") || exit 1
stage=$(cd "$stage" && pwd)
trap 'rm -rf "$stage"' EXIT
cd "$here" || exit 1
# What the package holds, as .vscodeignore leaves it: everything but the
# development folders.
for entry in * .vscodeignore; do
  case "$entry" in
    node_modules | test | tools | *.vsix) ;;
    *) cp -R "$entry" "$stage/" ;;
  esac
done
# The vscode module is VS Code's own; everything else goes into the bundle.
NODE_PATH="$npm_dir/node_modules" "$npm_dir/node_modules/.bin/esbuild" "$here/extension.js" --bundle \
  --platform=node --format=cjs --target=node16 --external:vscode --log-level=warning \
  --outfile="$stage/extension.js" || exit 1
rm -f "$stage/server.js" "$stage/tasks.js"
cd "$stage" || exit 1
# The package has no runtime dependencies left; its README's picture stays
# a relative link, and there is no repository address or licence file to
# name.
"$npm_dir/node_modules/.bin/vsce" package --no-dependencies --no-rewrite-relative-links \
  --allow-missing-repository --skip-license --out "$out"
