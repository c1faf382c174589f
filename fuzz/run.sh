#!/usr/bin/env bash
# Builds the fuzz targets and runs each for a bounded time (seconds, default
# 60) on a corpus seeded from the golden tests and the examples (the
# language server's target: from the golden sources and one session). Any
# finding makes the script fail.
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
    elif [ "$name" != image_reader ] && [ "$name" != lsp ]; then
      cp "$f" "$seed"
    fi
  done
  # The language server's seeds: every golden source as a document (first
  # byte 6: a microprogram, 2: assembly), and one session as a raw stream
  # (0) and as NUL-separated bodies (1).
  if [ "$name" = lsp ]; then
    for program in ctrlforge wordforge; do
      mode=$([ "$program" = ctrlforge ] && echo 006 || echo 002)
      for f in tests/golden/"$program"/*/input/* tests/golden/"$program"/*/stdin; do
        [ -f "$f" ] || continue
        { printf "\\$mode"; cat "$f"; } > "$corpus/seed-$(echo "$f" | tr '/' '_')"
      done
    done
    bodies=(
      '{"jsonrpc":"2.0","id":1,"method":"initialize","params":{"capabilities":{"general":{"positionEncodings":["utf-8"]}}}}'
      '{"jsonrpc":"2.0","method":"textDocument/didOpen","params":{"textDocument":{"uri":"file:///s.mic","languageId":"zorvelt-micro","version":1,"text":".TITLE S\r\n* L:\r\n    GOTO L\r\n.END\r\n"}}}'
      '{"jsonrpc":"2.0","method":"textDocument/didChange","params":{"textDocument":{"uri":"file:///s.mic","version":2},"contentChanges":[{"range":{"start":{"line":2,"character":4},"end":{"line":2,"character":8}},"text":"CALL"}]}}'
      '{"jsonrpc":"2.0","id":2,"method":"textDocument/hover","params":{"textDocument":{"uri":"file:///s.mic"},"position":{"line":2,"character":9}}}'
      '{"jsonrpc":"2.0","id":3,"method":"textDocument/rename","params":{"textDocument":{"uri":"file:///s.mic"},"position":{"line":1,"character":2},"newName":"M"}}'
      '{"jsonrpc":"2.0","id":4,"method":"shutdown"}'
      '{"jsonrpc":"2.0","method":"exit"}'
    )
    { printf '\000\100'
      for body in "${bodies[@]}"; do printf 'Content-Length: %d\r\n\r\n%s' "${#body}" "$body"; done
    } > "$corpus/seed-session-stream"
    { printf '\001'
      for body in "${bodies[@]:1}"; do printf '%s\000' "$body"; done
    } > "$corpus/seed-session-bodies"
    # A client may send one id twice; each request still gets its answer.
    { printf '\001'
      for body in "${bodies[@]:1:4}" "${bodies[4]}" "${bodies[@]:5}"; do printf '%s\000' "$body"; done
    } > "$corpus/seed-session-repeated-id"
  fi
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
