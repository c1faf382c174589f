#!/usr/bin/env bash
# The completion scripts that --completion prints, loaded into the shells
# they are for: what each completes for options, option values, warning
# names and sources, and that every option --help lists is offered.
# Usage: completion_test.sh bash|zsh CTRLFORGE WORDFORGE
#   bash: sources the scripts in bash subprocesses and calls their functions
#         as bash's programmable completion would (complete -p, compgen)
#   zsh:  types each command line into an interactive zsh on a pseudo
#         terminal and presses Tab; skipped when zsh is not installed
set -u
shell=$1 ctrlforge=$2 wordforge=$3
. "$(dirname "$0")/../support/skip.sh"
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
failures=0
work=$(mktemp -d) || exit 1
trap 'rm -rf "$work"' EXIT

# A folder to complete in: two sources, an output of one, and a folder.
mkdir "$work/here" "$work/here/out"
touch "$work/here/prog.mic" "$work/here/prog.mic.s" "$work/here/table.zasm"

# Compares what one completion offered (one a line, any order) with the
# expected words.
expect() {
  local what=$1 got=$2
  shift 2
  local wanted
  wanted=$(printf '%s\n' "$@" | sort)
  got=$(printf '%s\n' "$got" | sed '/^$/d' | sort -u)
  [ "$got" = "$wanted" ] || fail "$what: expected [$(echo $wanted)], got [$(echo $got)]"
}

ctrlforge_warnings=(-Wall -Werror -Wno-error -Wtruncation -Wno-truncation -Wreplaced-exception
                    -Wno-replaced-exception -Wbranch-page -Wno-branch-page)
wordforge_warnings=(-Wall -Werror -Wno-error -Wtruncation -Wno-truncation -Worg -Wno-org -Woverlap -Wno-overlap
                    -Wtrailing-text -Wno-trailing-text)
formats=(readmemh readmemb intelhex logisim mif bin)

if [ "$shell" = bash ]; then
  for program in ctrlforge wordforge; do
    "${!program}" --completion=bash >"$work/$program.bash" || fail "$program --completion=bash failed"
  done
  # Runs the completion function of PROGRAM on the words of a command line
  # as bash splits them ("=" breaks words), the last being completed.
  complete_words() {
    local program=$1
    shift
    (cd "$work/here" && bash --norc --noprofile -c '
      script=$1 program=$2; shift 2
      source "$script" || exit 1
      COMP_WORDS=("$program" "$@"); COMP_CWORD=$#
      "_$program"
      printf "%s\n" "${COMPREPLY[@]}"' _ "$work/$program.bash" "$program" "$@")
  }
  for program in ctrlforge wordforge; do
    registered=$(bash --norc --noprofile -c 'source "$1" && complete -p "$2"' _ "$work/$program.bash" "$program")
    [ "$registered" = "complete -F _$program $program" ] || fail "complete -p $program gave '$registered'"
  done

  expect "ctrlforge --ima" "$(complete_words ctrlforge --ima)" --image= --image-format=
  expect "ctrlforge --image=" "$(complete_words ctrlforge --image =)" "${formats[@]}"
  expect "ctrlforge --image=intel" "$(complete_words ctrlforge --image = intel)" intelhex
  expect "wordforge --image re" "$(complete_words wordforge --image re)" readmemh readmemb
  expect "ctrlforge --word-layout=" "$(complete_words ctrlforge --word-layout =)" verilog c
  expect "wordforge --word" "$(complete_words wordforge --word)" --word-layout=
  expect "wordforge --word-layout=" "$(complete_words wordforge --word-layout =)" verilog c
  expect "ctrlforge --lanes=" "$(complete_words ctrlforge --lanes =)" 8
  expect "ctrlforge --fill=" "$(complete_words ctrlforge --fill =)"
  expect "ctrlforge --completion=" "$(complete_words ctrlforge --completion =)" bash zsh
  expect "ctrlforge -W" "$(complete_words ctrlforge -W)" "${ctrlforge_warnings[@]}"
  expect "wordforge -W" "$(complete_words wordforge -W)" "${wordforge_warnings[@]}"
  expect "wordforge -Wno-t" "$(complete_words wordforge -Wno-t)" -Wno-truncation -Wno-trailing-text
  expect "ctrlforge --li" "$(complete_words ctrlforge --li)" --listing --listing=
  expect "ctrlforge --l" "$(complete_words ctrlforge --l)" --lanes= --listing --listing=
  expect "ctrlforge --listing=" "$(complete_words ctrlforge --listing = p)" prog.mic prog.mic.s
  expect "ctrlforge -o" "$(complete_words ctrlforge -o t)" table.zasm
  expect "wordforge --listing FILE" "$(complete_words wordforge --listing t)" table.zasm
  expect "ctrlforge --output-dir=" "$(complete_words ctrlforge --output-dir =)" out
  expect "ctrlforge --output-dir DIR" "$(complete_words ctrlforge --output-dir "")" out
  expect "ctrlforge sources" "$(complete_words ctrlforge "")" out prog.mic prog.mic.s table.zasm
  expect "wordforge sources" "$(complete_words wordforge -Wall t)" table.zasm
  # Bare --listing chooses the listing (ctrlforge), so a source follows.
  expect "ctrlforge --listing SOURCE" "$(complete_words ctrlforge --listing p)" prog.mic prog.mic.s

  # Every option that --help lists is offered, with "=" when it takes a value.
  for program in ctrlforge wordforge; do
    offered=$(complete_words "$program" -)
    help=$("${!program}" --help)
    listed=$(printf '%s\n' "$help" | sed -n 's/^  \(-[^ ]*\).*/\1/p' | tr ',' '\n')
    [ "$(printf '%s\n' "$listed" | wc -l)" -ge 10 ] || fail "$program --help lists too few options: $listed"
    for option in $listed; do
      printf '%s\n' "$offered" | grep -qx -- "$option=\{0,1\}" || fail "$program: $option is not completed"
    done
  done

  "$ctrlforge" --completion=fish >"$work/out" 2>"$work/err"
  status=$?
  [ "$status" -eq 2 ] || fail "--completion=fish exit status $status"
  [ ! -s "$work/out" ] || fail "--completion=fish printed a script"
  grep -qx "ctrlforge: unknown shell 'fish' for --completion; the shells are bash and zsh" "$work/err" ||
    fail "--completion=fish: $(cat "$work/err")"
elif [ "$shell" = zsh ]; then
  command -v zsh >/dev/null 2>&1 || skip "zsh is not installed"
  mkdir "$work/functions"
  "$ctrlforge" --completion=zsh >"$work/functions/_ctrlforge" || fail "ctrlforge --completion=zsh failed"
  "$wordforge" --completion=zsh >"$work/functions/_wordforge" || fail "wordforge --completion=zsh failed"
  # Types LINE and a Tab into an interactive zsh whose compadd also prints
  # every match it is given; prints the matches.
  complete_line() {
    local out="$work/matches" line=$1
    rm -f "$out"
    (cd "$work/here" && zsh -f -c '
      zmodload zsh/zpty || exit 1
      fdir=$1 out=$2 line=$3
      zpty z zsh -f -i
      zpty -w z "fpath=($fdir \$fpath); autoload -Uz compinit; compinit -u -D"
      zpty -w z "compadd () { local -a m; builtin compadd -O m \"\$@\"; print -rl -- \${m:+\"\${(@)m}\"} >>$out; builtin compadd \"\$@\" }"
      zpty -w z "$line"$'\''\t'\''
      zpty -w z $'\''\C-u'\''"print -r -- \"<end>\" >>$out"
      for i in {1..300}; do
        [[ -f $out ]] && grep -qx "<end>" $out && break
        sleep 0.1
      done
      zpty -d z' _ "$work/functions" "$out" "$line")
    grep -qx '<end>' "$out" 2>/dev/null || { fail "zsh did not finish completing '$line'"; return; }
    grep -vx '<end>' "$out"
  }
  expect "zsh: ctrlforge --ima" "$(complete_line 'ctrlforge --ima')" --image --image-format
  expect "zsh: ctrlforge --image=" "$(complete_line 'ctrlforge --image=')" "${formats[@]}"
  expect "zsh: wordforge -W" "$(complete_line 'wordforge -W')" "${wordforge_warnings[@]#-W}"
  expect "zsh: ctrlforge --word-layout=" "$(complete_line 'ctrlforge --word-layout=')" verilog c
  expect "zsh: ctrlforge --output-dir=" "$(complete_line 'ctrlforge --output-dir=')" out
  expect "zsh: wordforge source" "$(complete_line 'wordforge -Wall t')" table.zasm
  expect "zsh: ctrlforge --h" "$(complete_line 'ctrlforge --h')" --help --hex-word-addresses
else
  echo "unknown shell $shell"
  exit 2
fi

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "$shell: the completion scripts of both programs complete as expected"
