#pragma once
// The diagnostics of wordforge's error flags: each names the cause that the
// listing's flag letter stands for. Called only when the run has a sink.
#include <cstddef>

#include "wordforge/word_run.hpp"

namespace wordforge {

// Flag F or L just raised on the current line, from the run's fault note.
void RecordFlag(WordRun& run, char flag);

// Flag D: the label's repeated definition starting at `offset`.
void RecordDuplicate(WordRun& run, const Word& label, std::size_t offset);

// A line that begins with neither a letter nor ";" (a blank line and the end
// of the source included), at the current character.
void RecordErrorLine(WordRun& run);

// The "F" line after the last line of a source without END.
void RecordMissingEnd(WordRun& run);

}  // namespace wordforge
