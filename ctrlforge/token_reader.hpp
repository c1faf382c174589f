#pragma once
#include "ctrlforge/run_state.hpp"

namespace ctrlforge {

// Reads the next token: sets TokenCode and, for words and numbers, TokenName
// or TokenValue. Illegal characters are reported in the listing only.
void ReadToken(CtrlRun& run);

// Reads the word after "." (CurChar is the "."): TokTitle, TokEnd, or a
// skipped line.
void ReadDirective(CtrlRun& run);

}  // namespace ctrlforge
