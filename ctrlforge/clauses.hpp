#pragma once
#include "ctrlforge/run_state.hpp"

namespace ctrlforge {

void ParseSequencingClause(CtrlRun& run);
void ParseMemoryClause(CtrlRun& run);
void ParseExceptionClause(CtrlRun& run);

}  // namespace ctrlforge
