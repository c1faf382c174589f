# The temp folder of a test run: emptied before it (MODE=prepare), and found
# empty after it (MODE=check), naming whatever a test left there.
#   cmake -DDIR=<folder> -DMODE=prepare|check -P temp_folder.cmake
cmake_policy(VERSION 3.25)
if(MODE STREQUAL "prepare")
  file(REMOVE_RECURSE "${DIR}")
  file(MAKE_DIRECTORY "${DIR}")
  return()
endif()
file(GLOB left LIST_DIRECTORIES true RELATIVE "${DIR}" "${DIR}/*" "${DIR}/.*")
if(left)
  list(JOIN left "\n  " names)
  message(FATAL_ERROR "the test run left these in its temp folder ${DIR}:\n  ${names}")
endif()
