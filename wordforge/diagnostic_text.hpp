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

// Warnings: texts the language accepts that almost always hide a mistake.
// Each is recorded with its name; the caller decides which it shows.

// A value placed into a field of `bits` bits (8 or 16) that it does not fit.
void WarnTruncation(WordRun& run, std::int32_t value, int bits, std::size_t offset);

// An ORG operand that begins with no hexadecimal digit (at `offset`), or
// has text after its digits; `value` is the address set.
void WarnOrigin(WordRun& run, bool digitsFound, std::int32_t value, std::size_t offset);

// A word written to an address that an earlier word of the program took.
void WarnOverlap(WordRun& run, std::int32_t address);

// Text after a complete operand that the listing drops without a flag.
void WarnTrailingText(WordRun& run);

}  // namespace wordforge
