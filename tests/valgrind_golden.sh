#!/usr/bin/env bash
# Runs every golden case under valgrind's memcheck: any memory error or leak
# (definite, indirect or possible) fails the case. Usage:
#   tests/valgrind_golden.sh [build folder, default build/debug]
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build/debug}"
wrapper=$(mktemp)
trap 'rm -f "$wrapper"' EXIT
cat > "$wrapper" <<'WRAP'
#!/bin/sh
exec valgrind -q --error-exitcode=99 --leak-check=full \
  --errors-for-leak-kinds=definite,indirect,possible "$REAL_PROGRAM" "$@"
WRAP
chmod +x "$wrapper"
passed=0
failed=0
for program in ctrlforge wordforge; do
  for case in tests/golden/"$program"/*/; do
    name=$(basename "$case")
    if REAL_PROGRAM="$PWD/$build/$program/$program" cmake -DPROGRAM="$wrapper" -DCASE="$PWD/$case" \
        -DWORK="$PWD/$build/valgrind-work/$program/$name" -P tests/golden_run.cmake >/dev/null 2>&1; then
      passed=$((passed + 1))
    else
      failed=$((failed + 1))
      echo "failed under valgrind: $program $name"
    fi
  done
done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
