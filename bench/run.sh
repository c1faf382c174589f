#!/usr/bin/env bash
# Whole-process timing of both assemblers against cat, a getc/putc copy loop
# and GNU as, on generated inputs. Prints Markdown tables of min/median wall
# times, the target ratios, the linearity checks, the peak memory of both
# programs and the SHA-256 sums of the large outputs.
#
# Usage: bench/run.sh            (from anywhere)
# Environment: RUNS (runs per case, default 11), BENCH_WORK (scratch folder,
# default build/bench/work), SKIP_BUILD=1 to use the existing build,
# LSP_CHANGES (changes per case of the language server's latency, default
# 1000).
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD="$ROOT/build/bench"
WORK=${BENCH_WORK:-$BUILD/work}
RUNS=${RUNS:-11}

if [[ "${SKIP_BUILD:-0}" != 1 ]]; then
    (cd "$ROOT" && cmake --preset bench >/dev/null && cmake --build --preset bench >/dev/null)
fi

GEN="$BUILD/bench/bench_gen"
COPY="$BUILD/bench/copy_loop"
TIMER="$BUILD/bench/proc_timer"
CTRL="$BUILD/ctrlforge/ctrlforge"
WORD="$BUILD/wordforge/wordforge"

mkdir -p "$WORK"
cd "$WORK"
rm -f ./*.s ./*.o ./*.m ./*.a ./*.b ./*.obj ./*.out ./*.mem ./*.memb ./*.hex ./*.img ./*.mif ./*.bin

# ---------------------------------------------------------------- inputs
"$GEN" ctrl-fill FILL.MIC
"$GEN" ctrl-overflow 1000000 OVER1M.MIC
"$GEN" ctrl-overflow 100000 OVER100K.MIC
"$GEN" word 1000000 WORD1M.ASM
"$GEN" word 100000 WORD100K.ASM
"$GEN" ctrl-labels 1000000 LABELS1M.MIC
"$GEN" ctrl-labels 100000 LABELS100K.MIC
"$GEN" word-labels 1000000 LABELS1M.ASM
"$GEN" word-labels 100000 LABELS100K.ASM
"$GEN" word-memory MEMORY.ASM
HAVE_AS=0
if command -v as >/dev/null 2>&1; then
    HAVE_AS=1
    "$GEN" gas 1000000 GAS1M.s
fi

lines() { wc -l <"$1" | tr -d ' '; }

ctrl_answers() { printf '%s\nSOM\nY\nN\n' "$1"; }
word_answers() { printf '%s\nN\n' "$1"; }
NL=$'\n'  # "$(...)" drops the last line feed of the answers; it is put back

# ---------------------------------------------------------------- checks
check_console() {  # NAME FILE TEXT: the console output must hold TEXT
    if ! grep -qF -- "$3" "$2"; then
        echo "FAILED: $1 did not print \"$3\"" >&2
        cat "$2" >&2
        exit 1
    fi
}
"$TIMER" -i "$(ctrl_answers FILL.MIC)$NL" -o ctrl-fill.out -- "$CTRL" >/dev/null
check_console "ctrlforge FILL.MIC" ctrl-fill.out "NORMAL TERMINATION!"
# The images read back: the object files of a full control store and of a
# full main memory, kept apart from the files the timed runs write.
"$CTRL" -w -o FILL.MIC.obj FILL.MIC
"$WORD" -w -o MEMORY.ASM.obj MEMORY.ASM
if [[ $(grep -c '' MEMORY.ASM.obj) != 65537 ]]; then
    echo "FAILED: MEMORY.ASM does not fill main memory" >&2
    exit 1
fi
for f in OVER1M.MIC OVER100K.MIC LABELS1M.MIC LABELS100K.MIC; do
    "$TIMER" -i "$(ctrl_answers $f)$NL" -o ctrl-$f.out -- "$CTRL" >/dev/null
    check_console "ctrlforge $f" ctrl-$f.out "ERROR OCCURRED IN ASSEMBLE-TIME!"
done
for f in WORD1M.ASM WORD100K.ASM LABELS1M.ASM LABELS100K.ASM; do
    "$TIMER" -i "$(word_answers $f)$NL" -o word-$f.out -- "$WORD" >/dev/null
    check_console "wordforge $f" word-$f.out " NORMAL TERMINATION !"
done

# ---------------------------------------------------------------- timing
# Every case runs once per round and the rounds repeat RUNS times, so a change
# in the load of the machine touches all cases alike. The files a case writes
# are deleted (untimed) before each of its runs.
declare -A LABEL LINES INPUT CLEAN CMD TIMES MIN MED RSS STATUS
CASES=()

add_case() {  # KEY LABEL SOURCE INPUT_TEXT OUTPUT_FILES COMMAND...
    local key=$1
    LABEL[$key]=$2
    LINES[$key]=$(lines "$3")
    INPUT[$key]=$4
    CLEAN[$key]=$5
    shift 5
    CMD[$key]=$(printf '%q ' "$@")
    TIMES[$key]=""
    RSS[$key]=0
    STATUS[$key]=${EXPECT_STATUS:-0}
    CASES+=("$key")
}

run_once() {  # KEY
    local key=$1 t m s
    # shellcheck disable=SC2086
    rm -f ${CLEAN[$key]}
    if [[ -n "${INPUT[$key]}" ]]; then
        read -r t m s < <(eval "\"\$TIMER\" -i \"\${INPUT[\$key]}\" -o \"\$key.out\" -- ${CMD[$key]}")
    else
        read -r t m s < <(eval "\"\$TIMER\" -o \"\$key.out\" -e /dev/null -- ${CMD[$key]}")
    fi
    if [[ "$s" != "${STATUS[$key]}" ]]; then
        echo "FAILED: ${LABEL[$key]} exited with status $s" >&2
        exit 1
    fi
    TIMES[$key]+="$t "
    if ((m > RSS[$key])); then RSS[$key]=$m; fi
}

add_case cat-fill "cat FILL.MIC" FILL.MIC "" "cat-fill.out" cat FILL.MIC
add_case ctrl-fill "ctrlforge FILL.MIC (SOM)" FILL.MIC "$(ctrl_answers FILL.MIC)$NL" \
    "FILL.MIC.s FILL.MIC.o FILL.MIC.m" "$CTRL"
add_case copy-over1m "copy loop OVER1M.MIC" OVER1M.MIC "" "over1m.copy" "$COPY" OVER1M.MIC over1m.copy
add_case ctrl-over1m "ctrlforge OVER1M.MIC (SOM)" OVER1M.MIC "$(ctrl_answers OVER1M.MIC)$NL" \
    "OVER1M.MIC.s OVER1M.MIC.o OVER1M.MIC.m" "$CTRL"
add_case ctrl-over100k "ctrlforge OVER100K.MIC (SOM)" OVER100K.MIC "$(ctrl_answers OVER100K.MIC)$NL" \
    "OVER100K.MIC.s OVER100K.MIC.o OVER100K.MIC.m" "$CTRL"
add_case cat-word1m "cat WORD1M.ASM" WORD1M.ASM "" "cat-word1m.out" cat WORD1M.ASM
add_case copy-word1m "copy loop WORD1M.ASM" WORD1M.ASM "" "word1m.copy" "$COPY" WORD1M.ASM word1m.copy
if ((HAVE_AS)); then
    add_case as-1m "as, 1M lines of add \$5, %eax" GAS1M.s "" "GAS1M.o" as -o GAS1M.o GAS1M.s
fi
add_case word-1m "wordforge WORD1M.ASM" WORD1M.ASM "$(word_answers WORD1M.ASM)$NL" \
    "WORD1M.ASM.a WORD1M.ASM.b" "$WORD"
# The command line without and with every memory image (-w: the generated
# program writes over its addresses again and again, and a warning a line
# would time standard error).
IMAGES=(--image=readmemh --image=readmemb --image=intelhex --image=logisim --image=mif --image=bin)
add_case word-1m-cli "wordforge -w WORD1M.ASM (command line)" WORD1M.ASM "" \
    "WORD1M.ASM.a WORD1M.ASM.b" "$WORD" -w WORD1M.ASM
add_case word-1m-images "wordforge -w, every image, WORD1M.ASM" WORD1M.ASM "" \
    "WORD1M.ASM.*" "$WORD" -w "${IMAGES[@]}" WORD1M.ASM
add_case word-1m-lanes "wordforge -w, every image in lanes, WORD1M.ASM" WORD1M.ASM "" \
    "WORD1M.ASM.*" "$WORD" -w "${IMAGES[@]}" --lanes=8 WORD1M.ASM
# The command line against the dialogue, standard error to /dev/null: with
# every warning it names (WORD1M.ASM overwrites its addresses, so nearly
# every line warns), and the error-flooded microprograms (exit status 1).
add_case word-1m-warn "wordforge WORD1M.ASM (command line, warnings)" WORD1M.ASM "" \
    "WORD1M.ASM.a WORD1M.ASM.b" "$WORD" WORD1M.ASM
add_case word-100k-warn "wordforge WORD100K.ASM (command line, warnings)" WORD100K.ASM "" \
    "WORD100K.ASM.a WORD100K.ASM.b" "$WORD" WORD100K.ASM
EXPECT_STATUS=1 add_case ctrl-over1m-cli "ctrlforge OVER1M.MIC (command line)" OVER1M.MIC "" \
    "OVER1M.MIC.s OVER1M.MIC.o OVER1M.MIC.m" "$CTRL" OVER1M.MIC
EXPECT_STATUS=1 add_case ctrl-over100k-cli "ctrlforge OVER100K.MIC (command line)" OVER100K.MIC "" \
    "OVER100K.MIC.s OVER100K.MIC.o OVER100K.MIC.m" "$CTRL" OVER100K.MIC
add_case word-100k "wordforge WORD100K.ASM" WORD100K.ASM "$(word_answers WORD100K.ASM)$NL" \
    "WORD100K.ASM.a WORD100K.ASM.b" "$WORD"
# Reading words back against assembling them, on the command line: a full
# control store (4,095 words) and all 65,536 words of main memory.
add_case ctrl-fill-cli "ctrlforge -w FILL.MIC (command line)" FILL.MIC "" "FILL.MIC.s FILL.MIC.o FILL.MIC.m" \
    "$CTRL" -w FILL.MIC
add_case ctrl-decode "ctrlforge --decode FILL.MIC.obj" FILL.MIC.obj "" "ctrl-decode.out" \
    "$CTRL" --decode --image-format=object FILL.MIC.obj
add_case ctrl-as-source "ctrlforge --decode --as-source FILL.MIC.obj" FILL.MIC.obj "" "ctrl-as-source.out" \
    "$CTRL" --decode --as-source --image-format=object FILL.MIC.obj
add_case word-memory-cli "wordforge -w MEMORY.ASM (command line)" MEMORY.ASM "" "MEMORY.ASM.a MEMORY.ASM.b" \
    "$WORD" -w MEMORY.ASM
add_case word-disassemble "wordforge --disassemble MEMORY.ASM.obj" MEMORY.ASM.obj "" "word-disassemble.out" \
    "$WORD" --disassemble --image-format=object MEMORY.ASM.obj
add_case word-annotate "wordforge --disassemble --annotate MEMORY.ASM.obj" MEMORY.ASM.obj "" "word-annotate.out" \
    "$WORD" --disassemble --annotate --image-format=object MEMORY.ASM.obj
add_case copy-clab1m "copy loop LABELS1M.MIC" LABELS1M.MIC "" "clab1m.copy" "$COPY" LABELS1M.MIC clab1m.copy
add_case ctrl-lab1m "ctrlforge LABELS1M.MIC (SOM)" LABELS1M.MIC "$(ctrl_answers LABELS1M.MIC)$NL" \
    "LABELS1M.MIC.s LABELS1M.MIC.o LABELS1M.MIC.m" "$CTRL"
add_case ctrl-lab100k "ctrlforge LABELS100K.MIC (SOM)" LABELS100K.MIC "$(ctrl_answers LABELS100K.MIC)$NL" \
    "LABELS100K.MIC.s LABELS100K.MIC.o LABELS100K.MIC.m" "$CTRL"
add_case copy-wlab1m "copy loop LABELS1M.ASM" LABELS1M.ASM "" "wlab1m.copy" "$COPY" LABELS1M.ASM wlab1m.copy
add_case word-lab1m "wordforge LABELS1M.ASM" LABELS1M.ASM "$(word_answers LABELS1M.ASM)$NL" \
    "LABELS1M.ASM.a LABELS1M.ASM.b" "$WORD"
add_case word-lab100k "wordforge LABELS100K.ASM" LABELS100K.ASM "$(word_answers LABELS100K.ASM)$NL" \
    "LABELS100K.ASM.a LABELS100K.ASM.b" "$WORD"

for ((round = 0; round < RUNS; round++)); do
    for key in "${CASES[@]}"; do run_once "$key"; done
done
rm -f ./*.copy

for key in "${CASES[@]}"; do
    sorted=$(tr ' ' '\n' <<<"${TIMES[$key]}" | sed '/^$/d' | sort -g)
    MIN[$key]=$(head -n1 <<<"$sorted")
    MED[$key]=$(awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }' <<<"$sorted")
done

ms() { awk -v t="$1" 'BEGIN { printf "%.1f", t * 1000 }'; }

echo
echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | sed 's/.*: //'), $(g++ --version | head -n1)"
echo "Runs per case: $RUNS (wall time of the whole process, answers piped in)"
echo
echo "| case | lines | min ms | median ms |"
echo "|---|---:|---:|---:|"
for key in "${CASES[@]}"; do
    echo "| ${LABEL[$key]} | ${LINES[$key]} | $(ms "${MIN[$key]}") | $(ms "${MED[$key]}") |"
done

# ---------------------------------------------------------------- targets
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
verdict() { awk -v r="$1" -v l="$2" 'BEGIN { print (r <= l) ? "met" : "MISSED" }'; }
goal() {  # TEXT NUM_KEY DEN_KEY LIMIT
    local rmed rmin
    rmed=$(ratio "${MED[$2]}" "${MED[$3]}")
    rmin=$(ratio "${MIN[$2]}" "${MIN[$3]}")
    echo "| $1 | $rmed | $rmin | $4 | $(verdict "$rmed" "$4") | $(verdict "$rmin" "$4") |"
}
shown() {  # TEXT NUM_KEY DEN_KEY: a ratio reported without a limit
    echo "| $1 | $(ratio "${MED[$2]}" "${MED[$3]}") | $(ratio "${MIN[$2]}" "${MIN[$3]}") | - | - | - |"
}
per_line_ratio() {  # KEY_1M KEY_100K STAT
    local -n stat=$3
    awk -v a="${stat[$1]}" -v la="${LINES[$1]}" -v b="${stat[$2]}" -v lb="${LINES[$2]}" \
        'BEGIN { printf "%.2f", (a / la) / (b / lb) }'
}
linearity() {  # TEXT KEY_1M KEY_100K LIMIT
    local rmed rmin
    rmed=$(per_line_ratio "$2" "$3" MED)
    rmin=$(per_line_ratio "$2" "$3" MIN)
    echo "| $1 | $rmed | $rmin | $4 | $(verdict "$rmed" "$4") | $(verdict "$rmin" "$4") |"
}

echo
echo "| target | ratio of medians | ratio of minima | limit | by medians | by minima |"
echo "|---|---:|---:|---:|---|---|"
if ((HAVE_AS)); then
    goal "wordforge 1M / as 1M" word-1m as-1m 0.333
    goal "wordforge label-heavy 1M / as 1M" word-lab1m as-1m 0.33
else
    echo "| wordforge 1M / as 1M | - | - | 0.333 | as not installed | - |"
    echo "| wordforge label-heavy 1M / as 1M | - | - | 0.33 | as not installed | - |"
fi
goal "wordforge 1M / copy loop (same source)" word-1m copy-word1m 2.00
# The command line's own cost: nothing printed. Runs that print a diagnostic
# for every few lines are held to linearity, and their price is shown.
goal "wordforge 1M command line -w / dialogue (nothing printed)" word-1m-cli word-1m 1.05
linearity "wordforge command line printing every warning, time per line, 1M / 100k" word-1m-warn word-100k-warn 1.30
linearity "ctrlforge command line printing every error, time per line, 1M / 100k" ctrl-over1m-cli ctrl-over100k-cli 1.30
shown "wordforge 1M command line printing 976,528 warnings / dialogue" word-1m-warn word-1m
shown "ctrlforge OVER1M command line printing 228,390 diagnostics / dialogue" ctrl-over1m-cli ctrl-over1m
goal "wordforge 1M every image / no image (command line)" word-1m-images word-1m-cli 1.30
goal "wordforge 1M every image in lanes / no image (command line)" word-1m-lanes word-1m-cli 1.30
goal "ctrlforge fill / cat (same file)" ctrl-fill cat-fill 5.00
goal "ctrlforge 1M / copy loop (same source)" ctrl-over1m copy-over1m 3.00
linearity "ctrlforge time per line, 1M / 100k" ctrl-over1m ctrl-over100k 1.30
linearity "wordforge time per line, 1M / 100k" word-1m word-100k 1.30
goal "ctrlforge --decode of 4,095 words / assembling them" ctrl-decode ctrl-fill-cli 1.00
goal "ctrlforge --decode --as-source of 4,095 words / assembling them" ctrl-as-source ctrl-fill-cli 1.00
goal "wordforge --disassemble of 65,536 words / assembling them" word-disassemble word-memory-cli 1.00
goal "wordforge --disassemble --annotate of 65,536 words / assembling them" word-annotate word-memory-cli 1.00
goal "ctrlforge label-heavy 1M / copy loop (same source)" ctrl-lab1m copy-clab1m 1.50
goal "wordforge label-heavy 1M / copy loop (same source)" word-lab1m copy-wlab1m 1.00
linearity "ctrlforge label-heavy time per line, 1M / 100k" ctrl-lab1m ctrl-lab100k 1.15
linearity "wordforge label-heavy time per line, 1M / 100k" word-lab1m word-lab100k 1.15

# ---------------------------------------------------------------- memory
# Peak resident memory of every 1M-line run of either program: the largest
# getrusage value of the timed runs, and one run under /usr/bin/time -v when
# that is installed.
peak_time() {  # INPUT_TEXT COMMAND
    if [[ -x /usr/bin/time ]]; then
        printf '%s' "$1" | /usr/bin/time -v "$2" 2>&1 >/dev/null |
            awk -F: '/Maximum resident set size/ { gsub(/ /, "", $2); print $2 }'
    else
        echo "-"
    fi
}
echo
echo "| peak memory | getrusage MiB | /usr/bin/time MiB | limit MiB | verdict |"
echo "|---|---:|---:|---:|---|"
for key in ctrl-over1m ctrl-lab1m word-1m word-lab1m; do
    # shellcheck disable=SC2086
    rm -f ${CLEAN[$key]}
    cmd=$CTRL
    [[ $key == word-* ]] && cmd=$WORD
    kb=$(peak_time "${INPUT[$key]}" "$cmd")
    awk -v label="${LABEL[$key]}" -v timed="${RSS[$key]}" -v kb="$kb" 'BEGIN {
        worst = timed; if (kb != "-" && kb + 0 > worst) worst = kb
        printf "| %s | %.1f | %s | 64 | %s |\n", label, timed / 1024,
            (kb == "-") ? "-" : sprintf("%.1f", kb / 1024), (worst <= 65536) ? "met" : "MISSED" }'
done

# ---------------------------------------------------------------- checksums
echo
echo "SHA-256 of the outputs (compare before and after an optimisation):"
echo
echo '```'
sha256sum FILL.MIC.s FILL.MIC.o FILL.MIC.m OVER1M.MIC.s OVER100K.MIC.s WORD1M.ASM.a WORD1M.ASM.b \
    WORD100K.ASM.a WORD100K.ASM.b LABELS1M.MIC.s LABELS100K.MIC.s LABELS1M.ASM.a LABELS1M.ASM.b \
    LABELS100K.ASM.a LABELS100K.ASM.b
echo '```'

# ---------------------------------------------------------------- language server
# From a didChange to its publishDiagnostics, zorvelt-lsp as a child
# process on pipes; and its memory with ten documents open.
echo
"$BUILD/bench/lsp_latency" "$BUILD/lsp/zorvelt-lsp" "${LSP_CHANGES:-1000}"

# ---------------------------------------------------------------- browser page
# From a keystroke to the updated lint marks in the page, in headless Chromium.
echo
"$ROOT/bench/web_editor.sh" "$WORK/FILL.MIC"
