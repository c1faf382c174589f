# Every test of the build carries one of the project's labels, and no test
# carries any other.
#   cmake -DCTEST=<ctest> -DBUILD=<build folder> -DLABELS=<list> -P labels_check.cmake
cmake_policy(VERSION 3.25)
list(JOIN LABELS "|" alternatives)
execute_process(COMMAND "${CTEST}" -N -LE "^(${alternatives})$" WORKING_DIRECTORY "${BUILD}"
                OUTPUT_VARIABLE unlabelled RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR NOT unlabelled MATCHES "Total Tests: 0")
  message(FATAL_ERROR "tests without a label (${LABELS}):\n${unlabelled}")
endif()
execute_process(COMMAND "${CTEST}" --print-labels WORKING_DIRECTORY "${BUILD}" OUTPUT_VARIABLE printed)
string(REGEX MATCHALL "\n  [^\n]+" found "${printed}")
set(count 0)
foreach(entry IN LISTS found)
  string(STRIP "${entry}" label)
  math(EXPR count "${count} + 1")
  if(NOT label IN_LIST LABELS)
    message(FATAL_ERROR "a test carries the label '${label}', which is none of ${LABELS}")
  endif()
endforeach()
if(count EQUAL 0)
  message(FATAL_ERROR "no labels found in:\n${printed}")
endif()
