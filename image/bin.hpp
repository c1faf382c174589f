#pragma once
// Raw bytes: every word big-endian in its whole bytes, from address 0 to the
// highest address used, unused words filled. No words, no bytes.
#include <span>
#include <string>

#include "image/store.hpp"

namespace image {

std::string WriteBin(const Store& store, std::span<const PlacedWord> words);

}  // namespace image
