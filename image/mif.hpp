#pragma once
// Memory initialisation file: a comment naming the program, DEPTH (the whole
// store), WIDTH, hexadecimal radixes, then between CONTENT BEGIN and END one
// line "addr : word;" per placed word and one line per gap holding the fill:
// "[a..b] : fill;", or "a : fill;" for a gap of one word.
#include <span>
#include <string>

#include "image/store.hpp"

namespace image {

std::string WriteMif(const Store& store, std::span<const PlacedWord> words);

}  // namespace image
