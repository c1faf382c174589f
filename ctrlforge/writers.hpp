#pragma once
#include <array>

#include "ctrlforge/micro_word.hpp"
#include "ctrlforge/run_state.hpp"

namespace ctrlforge {

// Resolves, packs and writes every word but the trailing blank one: one object
// line (when O is selected) and one map line (when M is selected) each.
void WriteOutputs(CtrlRun& run);

// Puts the final address of the branch target into LT of a branching word.
void ResolveTarget(CtrlRun& run, MicroWord& word);

PackedWord WriteObjectLine(CtrlRun& run, MicroWord& word);

// The map's columns LB to LT of a packed word: ten cells of four characters.
using FieldCells = std::array<char, 40>;
FieldCells MapFieldCells(const MicroWord& word);

void WriteMapLine(CtrlRun& run, const MicroWord& word);

}  // namespace ctrlforge
