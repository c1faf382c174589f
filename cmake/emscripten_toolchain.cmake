# The WebAssembly tool chain of the browser build: Emscripten's own
# toolchain file, found beside the emcc on PATH wherever it is installed.
find_program(ZORVELT_EMCC emcc)
if(NOT ZORVELT_EMCC)
  message(FATAL_ERROR "emcc was not found on PATH; the browser build needs Emscripten (Debian: emscripten)")
endif()
get_filename_component(zorvelt_emcc_real "${ZORVELT_EMCC}" REALPATH)
get_filename_component(zorvelt_emscripten_root "${zorvelt_emcc_real}" DIRECTORY)
include("${zorvelt_emscripten_root}/cmake/Modules/Platform/Emscripten.cmake")
