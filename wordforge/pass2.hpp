#pragma once
#include "wordforge/word_run.hpp"

namespace wordforge {

// Reads the source a second time, encodes every line with the labels of
// pass 1, and writes the listing (with error flags, the error summary and
// the label table) and the object file through the run's two sinks.
void Pass2(WordRun& run);

}  // namespace wordforge
