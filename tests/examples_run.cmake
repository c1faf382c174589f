# Assembles every bundled example and fails unless each run ends normally,
# so the examples the README shows always assemble without errors; on the
# command line, with every warning on, each is assembled without a word.
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")

function(expect_normal program example answers message)
  file(COPY "${EXAMPLES}/${example}" DESTINATION "${WORK}")
  file(WRITE "${WORK}/answers" "${answers}")
  execute_process(COMMAND "${program}" WORKING_DIRECTORY "${WORK}" INPUT_FILE "${WORK}/answers"
                  OUTPUT_VARIABLE console RESULT_VARIABLE status)
  string(FIND "${console}" "${message}" at)
  if(NOT status EQUAL 0 OR at EQUAL -1)
    message(FATAL_ERROR "${example} did not assemble cleanly (exit ${status}):\n${console}")
  endif()
endfunction()

function(expect_silent program example)
  execute_process(COMMAND "${program}" -Wall "${example}" WORKING_DIRECTORY "${WORK}"
                  OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)
  if(NOT status EQUAL 0 OR NOT out STREQUAL "" OR NOT err STREQUAL "")
    message(FATAL_ERROR "${example} did not assemble silently with -Wall (exit ${status}):\n${out}${err}")
  endif()
endfunction()

# The "find the mistakes" examples fail on purpose (tests/docs checks their
# diagnostics).
file(GLOB micro RELATIVE "${EXAMPLES}" "${EXAMPLES}/*.mic")
list(REMOVE_ITEM micro mistakes.mic)
foreach(example IN LISTS micro)
  expect_normal("${CTRLFORGE}" "${example}" "${example}\nSOM\nY\nN\n" "\nNORMAL TERMINATION!\n")
  expect_silent("${CTRLFORGE}" "${example}")
endforeach()
file(GLOB assembly RELATIVE "${EXAMPLES}" "${EXAMPLES}/*.zasm")
list(REMOVE_ITEM assembly mistakes.zasm)
foreach(example IN LISTS assembly)
  expect_normal("${WORDFORGE}" "${example}" "${example}\nN\n" " NORMAL TERMINATION !\n")
  expect_silent("${WORDFORGE}" "${example}")
endforeach()
