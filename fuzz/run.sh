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
    elif [ "$name" != image_reader ]; then
      cp "$f" "$seed"
    fi
  done
  # The image reader's seeds: the images and object files the golden cases
  # expect, each after the byte that reads it for its program's machine
  # (hex 08: 16-bit words) with the format told by the content, and the
  # lane images of each format as one set (hex 20: lanes, cut at bytes 1E).
  if [ "$name" = image_reader ]; then
    for program in ctrlforge wordforge; do
      machine=$([ "$program" = wordforge ] && echo 010 || echo 000)
      lanes=$([ "$program" = wordforge ] && echo 050 || echo 040)
      for f in tests/golden/"$program"/*/expected/*.{mem,memb,hex,img,mif,bin,o,b}; do
        [ -f "$f" ] || continue
        case "$f" in *.lane[1-9]*) continue ;; esac
        seed="$corpus/seed-$(echo "$f" | tr '/' '_')"
        case "$f" in
          *.lane0.*)
            { printf "\\$lanes"
              first=1
              for lane in "${f%%.lane0.*}".lane*."${f##*.}"; do
                [ "$first" = 1 ] || printf '\036'
                first=0
                cat "$lane"
              done; } > "$seed" ;;
          *) { printf "\\$machine"; cat "$f"; } > "$seed" ;;
        esac
      done
    done
  fi
  echo "fuzzing $name for ${seconds}s"
  "$target" -max_total_time="$seconds" -max_len=4096 -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="build/fuzz/$name-" -print_final_stats=1 "$corpus"
done
