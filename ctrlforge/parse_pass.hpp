#pragma once
#include "ctrlforge/run_state.hpp"

namespace ctrlforge {

// Reads the whole source once: the title line, the statements, each into one
// MicroWord, and the ending; then reports every label used and never defined.
void ParsePass(CtrlRun& run);

// Reads the ".TITLE" line and writes the first lines of object file and map.
void ReadProgramHeading(CtrlRun& run);

}  // namespace ctrlforge
