#pragma once
// A word as an assembler places it: the unit both programs hand to the image
// writers, one per object line, in object-file order.
#include <cstdint>

namespace image {

struct PlacedWord {
    std::uint32_t address;  // word address in the store
    std::uint64_t word;     // the word's bits, right-aligned
};

}  // namespace image
