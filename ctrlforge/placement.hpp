#pragma once
#include "ctrlforge/run_state.hpp"

namespace ctrlforge {

// Gives every word, the trailing blank one included, its final control-store
// address. On failure sets AssemblyFailed and places no further word.
void PlaceWords(CtrlRun& run);

}  // namespace ctrlforge
