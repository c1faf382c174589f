#pragma once
// The command-line mode of both programs: each SOURCE assembled on its own
// into the files asked for, one line per diagnostic on standard error, and an
// exit status for make, scripts and editors.
#include <cstdio>

#include "cli/assembly.hpp"
#include "cli/invocation.hpp"

namespace cli {

// Runs a whole command line; returns the exit status.
int RunCommandLine(const ProgramInfo& program, Assembler assemble, int argc, const char* const* argv,
                   std::FILE* in, std::FILE* out, std::FILE* err);

}  // namespace cli
