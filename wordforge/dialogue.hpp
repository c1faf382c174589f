#pragma once
#include <ostream>

#include "common/console.hpp"

namespace wordforge {

// The whole program: banner, then runs (source name, assembly, end message,
// files closed, object file deleted after errors) until the continue
// question is answered no or the console input ends. Returns the exit
// status: 0, or 1 when the input ends at a question still open (any but the
// continue question right after a finished run), reported on `errors`.
int RunWordforge(common::Console& console, std::ostream& errors);

}  // namespace wordforge
