#pragma once
// Pass 2's handling of DC, DS and ORG; each starts at the operand.
#include "wordforge/word_run.hpp"

namespace wordforge {

// DC: one word holding the constant's low 16 bits.
void AssembleConstant(WordRun& run);

// DS n: n words of 0000, one listing line each (the first carries the
// source); the location counter advances by n. DS 0 reserves nothing.
void AssembleStorage(WordRun& run);

// ORG: hexadecimal digits become the location counter; no word.
void AssembleOrigin(WordRun& run);

}  // namespace wordforge
