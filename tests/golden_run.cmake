# Runs one golden case: copies the case's input files into an empty working
# folder, starts the program there with the case's answers on standard input,
# and compares the console output, standard error (`stderr`, empty when the
# file is missing), the exit status (`status`, 0 when missing) and every file
# the run left behind with the expected bytes. A case with an `args` file (one
# argument a line) runs the command line instead: standard input comes from
# `stdin`, and standard output is compared with `stdout` (empty when the file
# is missing). Input files that the run must delete
# (outputs an earlier run left) are named in `removed`, one a line, and those
# it must leave alone in `kept`. Usage:
#   cmake -DPROGRAM=<exe> -DCASE=<case folder> -DWORK=<scratch folder> -P golden_run.cmake

foreach(var PROGRAM CASE WORK)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "${var} not set")
  endif()
endforeach()

file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}/run")
set(run "${WORK}/run")

set(inputs "")
if(EXISTS "${CASE}/input")
  file(GLOB input_files LIST_DIRECTORIES false RELATIVE "${CASE}/input" "${CASE}/input/*")
  foreach(f IN LISTS input_files)
    file(COPY "${CASE}/input/${f}" DESTINATION "${run}")
    list(APPEND inputs "${f}")
  endforeach()
  file(GLOB input_dirs LIST_DIRECTORIES true RELATIVE "${CASE}/input" "${CASE}/input/*")
  foreach(d IN LISTS input_dirs)
    if(IS_DIRECTORY "${CASE}/input/${d}")
      file(COPY "${CASE}/input/${d}" DESTINATION "${run}")
      list(APPEND inputs "${d}")
    endif()
  endforeach()
endif()

set(arguments "")
set(command_line FALSE)
if(EXISTS "${CASE}/args")
  set(command_line TRUE)
  file(STRINGS "${CASE}/args" arguments ENCODING UTF-8)
  set(answers "${CASE}/stdin")
else()
  set(answers "${CASE}/answers")
endif()
if(NOT EXISTS "${answers}")
  set(answers "/dev/null")
endif()

execute_process(
  COMMAND "${PROGRAM}" ${arguments}
  WORKING_DIRECTORY "${run}"
  INPUT_FILE "${answers}"
  OUTPUT_FILE "${WORK}/console"
  ERROR_FILE "${WORK}/stderr"
  RESULT_VARIABLE status)

set(failures 0)

# Reports the first byte where two files differ, with some context.
function(describe_difference expected actual label)
  file(SIZE "${expected}" esize)
  file(SIZE "${actual}" asize)
  file(READ "${expected}" ehex HEX)
  file(READ "${actual}" ahex HEX)
  string(LENGTH "${ehex}" elen)
  string(LENGTH "${ahex}" alen)
  set(pos 0)
  set(step 64)
  while(pos LESS elen AND pos LESS alen)
    string(SUBSTRING "${ehex}" ${pos} ${step} e)
    string(SUBSTRING "${ahex}" ${pos} ${step} a)
    if(NOT e STREQUAL a)
      break()
    endif()
    math(EXPR pos "${pos} + ${step}")
  endwhile()
  # narrow down to the byte
  while(pos LESS elen AND pos LESS alen)
    string(SUBSTRING "${ehex}" ${pos} 2 e)
    string(SUBSTRING "${ahex}" ${pos} 2 a)
    if(NOT e STREQUAL a)
      break()
    endif()
    math(EXPR pos "${pos} + 2")
  endwhile()
  math(EXPR offset "${pos} / 2")
  math(EXPR from "${offset} - 40")
  if(from LESS 0)
    set(from 0)
  endif()
  file(READ "${expected}" ectx OFFSET ${from} LIMIT 100)
  file(READ "${actual}" actx OFFSET ${from} LIMIT 100)
  message("${label}: differs at byte ${offset} (expected ${esize} bytes, got ${asize})\n"
          "--- expected from byte ${from}:\n[${ectx}]\n--- actual from byte ${from}:\n[${actx}]")
endfunction()

function(compare expected actual label)
  execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${expected}" "${actual}"
                  RESULT_VARIABLE differ)
  if(differ)
    describe_difference("${expected}" "${actual}" "${label}")
    set(failures 1 PARENT_SCOPE)
  endif()
endfunction()

set(expected_status 0)
if(EXISTS "${CASE}/status")
  file(READ "${CASE}/status" expected_status)
  string(STRIP "${expected_status}" expected_status)
endif()
if(NOT status STREQUAL expected_status)
  file(READ "${WORK}/stderr" err)
  message("exit status: expected ${expected_status}, got ${status}\n${err}")
  set(failures 1)
endif()

# A missing expectation of a command-line stream means it stays empty.
function(expected_stream name out)
  if(EXISTS "${CASE}/${name}")
    set(${out} "${CASE}/${name}" PARENT_SCOPE)
  else()
    file(WRITE "${WORK}/empty" "")
    set(${out} "${WORK}/empty" PARENT_SCOPE)
  endif()
endfunction()

if(command_line)
  expected_stream(stdout expected_out)
  compare("${expected_out}" "${WORK}/console" "standard output")
else()
  compare("${CASE}/console" "${WORK}/console" "console")
endif()
expected_stream(stderr expected_err)
compare("${expected_err}" "${WORK}/stderr" "standard error")

# Files may stand in folders of the work folder (an output folder): every
# file is compared, and every other file must be one of the inputs.
set(expected_files "")
if(EXISTS "${CASE}/expected")
  file(GLOB_RECURSE expected_files LIST_DIRECTORIES false RELATIVE "${CASE}/expected" "${CASE}/expected/*")
endif()
set(input_files_all "")
if(EXISTS "${CASE}/input")
  file(GLOB_RECURSE input_files_all LIST_DIRECTORIES false RELATIVE "${CASE}/input" "${CASE}/input/*")
endif()
file(GLOB_RECURSE produced LIST_DIRECTORIES false RELATIVE "${run}" "${run}/*")
foreach(f IN LISTS produced)
  list(FIND input_files_all "${f}" is_input)
  list(FIND expected_files "${f}" is_expected)
  if(is_input EQUAL -1 AND is_expected EQUAL -1)
    message("unexpected file left behind: ${f}")
    set(failures 1)
  endif()
endforeach()
foreach(f IN LISTS expected_files)
  if(NOT EXISTS "${run}/${f}")
    message("expected file missing: ${f}")
    set(failures 1)
  else()
    compare("${CASE}/expected/${f}" "${run}/${f}" "${f}")
  endif()
endforeach()

if(EXISTS "${CASE}/removed")
  file(STRINGS "${CASE}/removed" removed_files ENCODING UTF-8)
  foreach(f IN LISTS removed_files)
    if(EXISTS "${run}/${f}")
      message("file not removed: ${f}")
      set(failures 1)
    endif()
  endforeach()
endif()

if(EXISTS "${CASE}/kept")
  file(STRINGS "${CASE}/kept" kept_files ENCODING UTF-8)
  foreach(f IN LISTS kept_files)
    if(NOT EXISTS "${run}/${f}")
      message("file not kept: ${f}")
      set(failures 1)
    endif()
  endforeach()
endif()

if(failures)
  message(FATAL_ERROR "golden case ${CASE} failed (work folder: ${WORK})")
endif()
