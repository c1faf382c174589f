# Shows both programs at work on the bundled examples: first the command
# line, as make, CI and the editors use it (both examples assembled, a
# source with an error and its diagnostics, a memory image), then the
# console dialogue with its answers piped in. Microprograms (*.mic) go
# through ctrlforge, assembly programs (*.zasm) through wordforge.
#   cmake -DCTRLFORGE=... -DWORDFORGE=... -DEXAMPLES=... -DWORK=... -P demo.cmake
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}/dialogue")
# The two examples the README starts from; the folder holds more.
set(micro fetch.mic)
set(assembly table.zasm)
file(GLOB others RELATIVE "${EXAMPLES}" "${EXAMPLES}/*.mic" "${EXAMPLES}/*.zasm")
list(REMOVE_ITEM others ${micro} ${assembly})

function(show_file path)
  get_filename_component(name "${path}" NAME)
  file(READ "${path}" text)
  string(REPLACE "\r" "" text "${text}")
  message("----- ${name} -----\n${text}")
endfunction()

# Runs one command line on `source` (a file of the examples or of WORK) in a
# folder of its own, and shows it as typed, with what it printed, its exit
# status and the files it wrote.
function(run_command folder source program)
  set(folder "${WORK}/command-line/${folder}")
  file(COPY "${source}" DESTINATION "${folder}")
  get_filename_component(name "${program}" NAME)
  execute_process(COMMAND "${program}" ${ARGN}
                  WORKING_DIRECTORY "${folder}"
                  OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)
  list(JOIN ARGN " " arguments)
  set(shown "$ ${name} ${arguments}\n${out}${err}(exit status ${status})")
  get_filename_component(source_name "${source}" NAME)
  file(GLOB written RELATIVE "${folder}" "${folder}/*")
  list(REMOVE_ITEM written "${source_name}")
  foreach(f IN LISTS written)
    file(SIZE "${folder}/${f}" size)
    string(APPEND shown "\n  wrote ${f} (${size} bytes)")
  endforeach()
  message("${shown}\n")
endfunction()

message("===== The command line =====\n")
foreach(example IN LISTS micro)
  run_command("${example}" "${EXAMPLES}/${example}" "${CTRLFORGE}" "${example}")
endforeach()
foreach(example IN LISTS assembly)
  run_command("${example}" "${EXAMPLES}/${example}" "${WORDFORGE}" "${example}")
endforeach()

# A copy of the first assembly example with two faults put in after its ORG
# line: an operand register that does not exist and a branch to a label
# that does not.
list(GET assembly 0 first)
file(READ "${EXAMPLES}/${first}" text)
string(REGEX REPLACE "(\n[^\n]* ORG [^\n]*\n)" "\\1        ADD   7,1\n        B     NOWHERE\n" text "${text}")
file(WRITE "${WORK}/broken.zasm" "${text}")
message("A source with errors: each error is one line on standard error, the\n"
        "listing stays and the object file goes, so make never takes it as built.\n")
run_command("errors" "${WORK}/broken.zasm" "${WORDFORGE}" "-Wall" "broken.zasm")
file(REMOVE "${WORK}/broken.zasm")

message("A memory image for an HDL test bench, beside the other files:\n")
foreach(example IN LISTS micro)
  run_command("image" "${EXAMPLES}/${example}" "${CTRLFORGE}" "--image=readmemh" "${example}")
  show_file("${WORK}/command-line/image/${example}.mem")
endforeach()

message("\n===== The dialogue =====\n")
# Answers as typed at the console: the source name, then (ctrlforge) the
# option letters S, O and M and the start, then no to "CONTINUE?".
function(run_dialogue program example answers)
  set(folder "${WORK}/dialogue")
  file(COPY "${EXAMPLES}/${example}" DESTINATION "${folder}")
  file(WRITE "${WORK}/${example}.answers" "${answers}")
  execute_process(COMMAND "${program}"
                  WORKING_DIRECTORY "${folder}"
                  INPUT_FILE "${WORK}/${example}.answers"
                  OUTPUT_VARIABLE console
                  RESULT_VARIABLE status)
  file(REMOVE "${WORK}/${example}.answers")
  get_filename_component(name "${program}" NAME)
  string(REPLACE ";" "\\;" console "${console}")
  string(REPLACE "\n" "\\n" shown "${answers}")
  message("$ printf '${shown}' | ${name}\n${console}\n(exit status ${status})")
  file(GLOB outputs "${folder}/${example}.?")
  foreach(f IN LISTS outputs)
    show_file("${f}")
  endforeach()
endfunction()

foreach(example IN LISTS micro)
  run_dialogue("${CTRLFORGE}" "${example}" "${example}\nSOM\nY\nN\n")
endforeach()
foreach(example IN LISTS assembly)
  run_dialogue("${WORDFORGE}" "${example}" "${example}\nN\n")
endforeach()
list(JOIN others ", " more)
message("More examples beside these: ${more}; the two named mistakes.* do not\n"
        "assemble, on purpose: find their mistakes.")
message("The files are in ${WORK}")
