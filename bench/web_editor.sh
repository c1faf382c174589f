#!/usr/bin/env bash
# The browser page's live assembly timed in headless Chromium
# (web_editor.mjs): from a keystroke to the updated lint marks on a full
# control store and on a 65,536-word wordforge program. Called by run.sh;
# prints a Markdown table, or why it skips (no emcc, node, npm or Chromium).
#
# Usage: bench/web_editor.sh FILL.MIC
# Environment: WEB_RUNS (keystrokes per case, default 21), CHROMIUM.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
FILL=$1
CHROMIUM=${CHROMIUM:-/usr/bin/chromium}
for tool in emcc node npm; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "Browser page: skipped ($tool not found)"
        exit 0
    fi
done
if [[ ! -x "$CHROMIUM" ]]; then
    echo "Browser page: skipped (no Chromium at $CHROMIUM)"
    exit 0
fi

# The page as the web preset builds it, and puppeteer-core as the browser
# checks install it.
(cd "$ROOT" && cmake --workflow --preset web >/dev/null)
MODULES="$ROOT/build/bench/web-npm"
mkdir -p "$MODULES"
cp "$ROOT/tests/web/package.json" "$ROOT/tests/web/package-lock.json" "$MODULES/"
if ! cmp -s "$MODULES/package-lock.json" "$MODULES/node_modules/.installed-lock.json"; then
    (cd "$MODULES" && npm ci --no-audit --no-fund >/dev/null)
    cp "$MODULES/package-lock.json" "$MODULES/node_modules/.installed-lock.json"
fi
node "$ROOT/bench/web_editor.mjs" --page "$ROOT/build/web/page" --modules "$MODULES" --fill "$FILL" \
    --chromium "$CHROMIUM" --runs "${WEB_RUNS:-21}"
