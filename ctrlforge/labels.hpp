#pragma once
#include "ctrlforge/run_state.hpp"

namespace ctrlforge {

// Defines the label in TokenName for the current word (error 1 when it is
// defined already) and resolves every word waiting for it.
void DefineLabel(CtrlRun& run);

// Records that the current word branches to the label in TokenName, asking
// the target for at least `placementClass`.
void ReferenceLabel(CtrlRun& run, std::uint8_t placementClass);

// Reports error 20 for every label used and never defined, in order of first
// use.
void ReportUndefinedLabels(CtrlRun& run);

}  // namespace ctrlforge
