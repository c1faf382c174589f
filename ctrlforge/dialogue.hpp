#pragma once
#include <ostream>

#include "common/console.hpp"

namespace ctrlforge {

// The whole console program: banner, cycles of source name, options, start,
// assembly and the continue question. Output files are created in the
// current folder next to the source. Returns the exit status: 0 after a no to
// "CONTINUE? ", or when the console input ends there right after a run; 1
// when the input ends at any other question, or when an output file cannot
// be created or written (both reported on `errors`).
int RunCtrlforge(common::Console& console, std::ostream& errors);

}  // namespace ctrlforge
