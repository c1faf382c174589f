#pragma once
// Logisim-evolution "v3.0 hex words addressed": the header line, a comment
// naming the program, then the whole store, unused words filled, in lines
// "aaa: w w w ...".
#include <span>
#include <string>

#include "image/store.hpp"

namespace image {

std::string WriteLogisim(const Store& store, std::span<const PlacedWord> words);

}  // namespace image
