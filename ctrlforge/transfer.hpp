#pragma once
#include "ctrlforge/run_state.hpp"

namespace ctrlforge {

void ParseTransfer(CtrlRun& run);

// Stores the current token (a register or a literal) into RB and LT. Where
// the exception clause C := uses it, a long literal is refused with error 15,
// since it would need the EX field that clause fills.
void StoreRightOperand(CtrlRun& run, bool longLiteralAllowed = true);

}  // namespace ctrlforge
