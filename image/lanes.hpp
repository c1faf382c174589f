#pragma once
// Byte lanes: every word cut into 8-bit lanes, one image per lane, for
// byte-wide memory chips. Lane 0 holds bits 7..0. A lane keeps the word
// addresses, so in a lane image an address counts lane bytes and byte and
// word addresses agree.
#include <span>
#include <vector>

#include "image/store.hpp"

namespace image {

struct Lane {
    Store store;                     // 8-bit words, the same depth, the lane of the fill
    std::vector<PlacedWord> words;   // the lane of each word, in the same order
};

// Lanes of a word of the given width: 5 for 40 bits, 2 for 16.
unsigned LaneCount(unsigned wordBits);

// Lane `lane` of the store and its words; the name says which bits it holds
// ("MAINLOOP lane 1 (bits 15..8)").
Lane SplitLane(const Store& store, std::span<const PlacedWord> words, unsigned lane);

}  // namespace image
