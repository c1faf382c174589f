#pragma once
// Verilog $readmemh and $readmemb text: a comment line naming the program,
// then "@address" before each run of consecutive words and one word a line,
// in as many digits as the word's width takes. Only placed words appear; the
// memory's other words keep what the test bench gave them.
#include <span>
#include <string>

#include "image/store.hpp"

namespace image {

std::string WriteReadmemh(const Store& store, std::span<const PlacedWord> words);
std::string WriteReadmemb(const Store& store, std::span<const PlacedWord> words);

}  // namespace image
