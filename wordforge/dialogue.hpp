#pragma once
#include "common/console.hpp"

namespace wordforge {

// The whole program: banner, then runs (source name, assembly, end message,
// files closed, object file deleted after errors) until the continue
// question is answered no or the console input ends. Returns the exit status.
int RunWordforge(common::Console& console);

}  // namespace wordforge
