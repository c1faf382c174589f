#pragma once
#include "ctrlforge/run_state.hpp"

namespace ctrlforge {

// Reads a digit string of base 2, 10 or 16 whose first digit is in CurChar
// (already copied to the listing) into TokenValue, wrapping to 16 bits; the
// token is TokNumber. Used by the token reader for numbers that begin with a
// digit and by the word reader after the prefixes B" and D".
void ReadNumber(CtrlRun& run, int base);

// The warning for a number whose digits denote more than 16 bits but that
// the reader keeps, without its overflow mark, as its low 16 bits.
void WarnTruncation(CtrlRun& run);

}  // namespace ctrlforge
