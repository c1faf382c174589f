#pragma once
#include <cstdint>
#include <string>

#include "ctrlforge/error_codes.hpp"
#include "ctrlforge/run_state.hpp"

namespace ctrlforge {

// The listing text of an error line, without its line end. `name` is used by
// LabelNotDeclared only.
std::string ErrorLine(CtrlError error, const Name* name = nullptr);

// The one place where source errors are reported: skips the rest of the line
// (except for LabelNotDeclared), writes the error line, skips to the next
// "*", ".END" or end of file, and marks the statement and the run as failed.
// Returns true, the parse routines' "an error was reported", so that they can
// end with `return ReportError(...)`. With a diagnostic sink, the error is
// also recorded at the current token, or at `at` when given, with the
// message of its cause.
bool ReportError(CtrlRun& run, CtrlError error, Cause cause, const Name* name = nullptr, std::size_t at = kAtToken);

}  // namespace ctrlforge
