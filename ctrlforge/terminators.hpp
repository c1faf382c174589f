#pragma once
#include "ctrlforge/error_report.hpp"
#include "ctrlforge/run_state.hpp"

namespace ctrlforge {

// Reads tokens while the current one is ";" or a line end, so blank and
// comment lines may stand wherever a line has ended.
void SkipTerminators(CtrlRun& run);

// The end of every heading and clause line: the current token must be a
// terminator, else error 3 (a number that overflowed is a token like any
// other here); then terminators are skipped. Returns true when it reported;
// `cause` names the line that should have ended.
[[nodiscard]] bool EndClause(CtrlRun& run, Cause cause);

}  // namespace ctrlforge
