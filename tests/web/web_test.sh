#!/usr/bin/env bash
# Steps of the browser checks, for CTest. Exit status 77 means skipped; the
# reason is printed first (tests/support/skip.sh).
#   web_test.sh page SOURCE_DIR BUILD_DIR   build the page with the web preset into BUILD_DIR
#   web_test.sh modules PACKAGE_DIR         npm ci there when its lock changed
#   web_test.sh browser SUITE ARGS...       run one suite of browser_test.mjs
set -euo pipefail
here="$(cd "${0%/*}" && pwd)"
step="$1"
shift
. "$here/../support/skip.sh"

case "$step" in
  page)
    command -v emcc >/dev/null 2>&1 || skip "emcc not found (Debian package emscripten); the page cannot be built"
    command -v node >/dev/null 2>&1 || skip "node not found; emcc needs it to build the page"
    command -v npm >/dev/null 2>&1 || skip "npm not found; the page's editor cannot be bundled"
    cd "$1"
    # Incremental after the first time: the web preset's settings, this
    # build's own folder.
    if [ ! -f "$2/CMakeCache.txt" ]; then cmake --preset web -B "$2"; fi
    cmake --build "$2" --target page
    ;;
  modules)
    command -v npm >/dev/null 2>&1 || skip "npm not found; puppeteer-core cannot be installed"
    cd "$1"
    if ! cmp -s package-lock.json node_modules/.installed-lock.json; then
      npm ci --no-audit --no-fund
      cp package-lock.json node_modules/.installed-lock.json
    fi
    ;;
  browser)
    command -v node >/dev/null 2>&1 || skip "node not found"
    status=0
    node "$here/browser_test.mjs" "$@" || status=$?
    # The suite's own skips (no Chromium, no page, no puppeteer-core) print
    # their reason first.
    [ "$status" -ne 77 ] || skip "the browser suite could not run (the reason is above)"
    exit "$status"
    ;;
  *)
    echo "unknown step $step" >&2
    exit 2
    ;;
esac
