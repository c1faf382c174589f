#pragma once
// Reading a program's command line into an Invocation.
#include <ostream>
#include <string>

#include "cli/invocation.hpp"

namespace cli {

enum class ParseOutcome { Run, Exit };

// Reads the arguments. On --help or --version, prints to `out`, sets `status`
// to 0 and returns Exit; on a usage error, prints the two-line complaint to
// `err`, sets `status` to 2 and returns Exit.
ParseOutcome ParseArguments(const ProgramInfo& program, int argc, const char* const* argv, Invocation& invocation,
                            std::ostream& out, std::ostream& err, int& status);

// Prints a usage complaint: one line saying what is wrong, then where to find
// help. Returns the exit status of a usage error.
int UsageError(const ProgramInfo& program, std::ostream& err, std::string what);

}  // namespace cli
