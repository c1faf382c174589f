#pragma once
// Writing pass 2's results: error flags, listing lines, object lines and the
// comment at column 42.
#include <cstdint>

#include "wordforge/word_run.hpp"

namespace wordforge {

inline constexpr std::size_t kCommentColumn = 42;

// Sets flag F or L in column 1 when it is blank, otherwise in column 2, and
// counts one error.
void FlagError(WordRun& run, char flag);

// Appends the rest of the line as read (upper-cased, comment included).
void ShowRestOfLine(WordRun& run);

// Skips to a ";" or the line end; from a ";" on, the comment is put at column
// 42 with its letter case kept.
void FinishWithComment(WordRun& run);

// Hands whatever the stages hold to the listing and object sinks; needed
// before anything is written to the sinks directly.
void HandOverStaged(WordRun& run);

// Writes the listing line and a line end to the listing.
void WriteListingLine(WordRun& run);

// Writes one object line: address, two blanks, word.
void WriteObjectLine(WordRun& run, std::int32_t address, std::int32_t word);

}  // namespace wordforge
