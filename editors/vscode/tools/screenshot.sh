#!/bin/sh
# Regenerates images/screenshot.png: both bundled examples highlighted by the
# grammars (tools/render-html.js), photographed by headless Chromium.
# Needs the npm packages (npm ci in this folder, or NODE_PATH pointing at an
# installed node_modules) and Chromium.
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
examples=$here/../../examples
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
node "$here/tools/render-html.js" "$work/shot.html" \
  "$examples/fetch.mic@64-104" "$examples/table.zasm:zorvelt-asm@7-41"
chromium --headless --no-sandbox --disable-gpu --hide-scrollbars \
  --window-size=1560,880 --screenshot="$work/shot.png" "file://$work/shot.html" 2>/dev/null
cp "$work/shot.png" "$here/images/screenshot.png"
echo "wrote $here/images/screenshot.png"
