#pragma once
#include "ctrlforge/run_state.hpp"

namespace ctrlforge {

// Like every parse routine, these return true when they reported an error;
// the caller then returns at once.

// transfer = destination ":=" expression terminator
//          | "SET" "BY" expression terminator      (entered at BY)
[[nodiscard]] bool ParseTransfer(CtrlRun& run);

// Stores the current token (a register or a literal) into RB and LT. Where
// the exception clause C := uses it, a long literal is refused with error 15,
// since it would need the EX field that clause fills.
[[nodiscard]] bool StoreRightOperand(CtrlRun& run, bool longLiteralAllowed = true);

}  // namespace ctrlforge
