#pragma once
// Filling the source model (ctrlforge/source_model.hpp) from the places
// where a run already learns each fact: the token reader, the statement
// loop, the label routines, placement and the writers. Every hook is called
// only when the caller asked for the model (run.model set), so a run
// without one pays a single test at each place.
#include <cstddef>
#include <string_view>

#include "ctrlforge/micro_word.hpp"
#include "ctrlforge/run_state.hpp"

namespace ctrlforge {

// A token has been read (the reader calls this for every token it returns,
// and for a "." line it ignores).
void ModelTokenRead(CtrlRun& run);
void ModelIgnoredLine(CtrlRun& run);

// The token just read is the program's title; or the condition after IF.
void ModelTitleRead(CtrlRun& run);
void ModelConditionRead(CtrlRun& run);

// A statement begins at the current "*", and ends before the current token.
void ModelStatementBegins(CtrlRun& run);
void ModelStatementEnds(CtrlRun& run);

// The label in TokenName is defined by the current statement, or named by
// one of its clauses.
void ModelLabelDefined(CtrlRun& run);
void ModelLabelUsed(CtrlRun& run, LabelUse use);

// The writers packed the word of statement `index`; `cells` are its map
// columns LB to LT, four characters each.
void ModelWordPacked(CtrlRun& run, std::size_t index, const MicroWord& word, const PackedWord& packed,
                     std::string_view cells);

// The run is over: addresses, classes and targets are final.
void ModelRunEnds(CtrlRun& run);

}  // namespace ctrlforge
