#pragma once
// The diagnostics an in-memory run lists: those the program's command line
// prints when no warning option is given.
#include <string_view>
#include <vector>

#include "cli/invocation.hpp"
#include "common/diagnostics.hpp"

namespace web {

// A sink for one run of `program` over `source` that keeps, in `list`, every
// error and every warning that is on by default. `list` must outlive it.
common::DiagnosticSink ShownDiagnostics(const cli::ProgramInfo& program, std::string_view source,
                                        std::vector<common::Diagnostic>& list);

// True when the list holds an error. The command line then exits with 1 and
// writes no image, even when the assembler itself finished normally (an
// ILLEGAL CHARACTER line is dropped, and the dialogue ends normally).
bool HasErrors(const std::vector<common::Diagnostic>& list);

}  // namespace web
