#!/usr/bin/env bash
# Builds the fuzz targets and runs each for a bounded time (seconds, default
# 60) on a corpus seeded from the golden tests and the examples. Any finding
# makes the script fail.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

work=build/fuzz/corpus
for target in build/fuzz/fuzz/*_fuzz; do
  name=$(basename "$target" _fuzz)
  corpus="$work/$name"
  mkdir -p "$corpus"
  # Seeds: the test sources and examples of this program. The ctrlforge
  # target reads its options from the first byte, so its seeds get one.
  for f in tests/golden/"$name"/*/input/* tests/golden/"$name"/*/stdin examples/*; do
    [ -f "$f" ] || continue
    seed="$corpus/seed-$(echo "$f" | tr '/' '_')"
    if [ "$name" = ctrlforge ]; then
      { printf '\007'; cat "$f"; } > "$seed"
    else
      cp "$f" "$seed"
    fi
  done
  echo "fuzzing $name for ${seconds}s"
  "$target" -max_total_time="$seconds" -max_len=4096 -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="build/fuzz/$name-" -print_final_stats=1 "$corpus"
done
