# Assembles every bundled example with answers piped in, then prints the
# console dialogue and each file written. Microprograms (*.mic) go through
# ctrlforge with options S, O and M; assembly programs (*.asm) through
# wordforge.
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")

function(show_files pattern)
  file(GLOB outputs "${WORK}/${pattern}")
  foreach(f IN LISTS outputs)
    get_filename_component(name "${f}" NAME)
    file(READ "${f}" text)
    string(REPLACE "\r" "" text "${text}")
    message("----- ${name} -----\n${text}")
  endforeach()
endfunction()

function(run program example answers)
  file(WRITE "${WORK}/${example}.answers" "${answers}")
  execute_process(COMMAND "${program}"
                  WORKING_DIRECTORY "${WORK}"
                  INPUT_FILE "${WORK}/${example}.answers"
                  OUTPUT_VARIABLE console
                  RESULT_VARIABLE status)
  file(REMOVE "${WORK}/${example}.answers")
  string(REPLACE ";" "\\;" console "${console}")
  string(REPLACE "\n" "\\n" shown "${answers}")
  message("===== ${example}: console (answers piped in: ${shown}) =====\n${console}\n(exit status ${status})")
  show_files("${example}.?")
endfunction()

file(GLOB micro RELATIVE "${EXAMPLES}" "${EXAMPLES}/*.mic")
foreach(example IN LISTS micro)
  file(COPY "${EXAMPLES}/${example}" DESTINATION "${WORK}")
  run("${CTRLFORGE}" "${example}" "${example}\nSOM\nY\nN\n")
endforeach()

file(GLOB assembly RELATIVE "${EXAMPLES}" "${EXAMPLES}/*.asm")
foreach(example IN LISTS assembly)
  file(COPY "${EXAMPLES}/${example}" DESTINATION "${WORK}")
  run("${WORDFORGE}" "${example}" "${example}\nN\n")
endforeach()
message("The files are in ${WORK}")
