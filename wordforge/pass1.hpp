#pragma once
#include "wordforge/word_run.hpp"

namespace wordforge {

// The largest DS count that reserves words; a larger count (or one that
// wrapped below 0) is an error line that reserves nothing.
inline constexpr std::int32_t kLargestStorageCount = 65536;

inline bool StorageCountInRange(std::int32_t count) { return count >= 0 && count <= kLargestStorageCount; }

// Walks the source once, counting locations as pass 2 will, to define every
// label; records the lines of repeated definitions (one error each) and
// whether the source begins with a TITLE statement.
void Pass1(WordRun& run);

}  // namespace wordforge
