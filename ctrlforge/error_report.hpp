#pragma once
#include <string>

#include "ctrlforge/run_state.hpp"

namespace ctrlforge {

// The listing text of an error line, without its line end. `name` is used by
// error 20 only.
std::string ErrorLine(int number, const Name* name = nullptr);

// Reports a source error: skips the rest of the line (except for error 20),
// writes the error line, skips to the next "*", ".END" or end of file, and
// marks the statement and the run as failed.
void ReportError(CtrlRun& run, int number, const Name* name = nullptr);

// Reads the ".TITLE" line and writes the first lines of object file and map.
void ReadProgramHeading(CtrlRun& run);

}  // namespace ctrlforge
