#pragma once
// Words as a program places them, for the tests that write and read images:
// runs, gaps, jumps back and forth, addresses written over, words wider than
// the store (cut on loading), and a last word at the store's top address.
#include <cstdint>
#include <vector>

#include "image/placed_word.hpp"
#include "image/store.hpp"

namespace image_test {

inline std::vector<image::PlacedWord> Scattered(const image::Store& store, std::uint64_t seed, int count) {
    std::vector<image::PlacedWord> words;
    std::uint64_t x = seed;
    auto next = [&x] {
        x = x * 6364136223846793005ull + 1442695040888963407ull;
        return x >> 11;
    };
    std::uint32_t address = 0;
    for (int i = 0; i < count; ++i) {
        switch (next() % 4) {
            case 0: address = static_cast<std::uint32_t>(next() % store.depth); break;  // a jump, maybe back
            case 1: address = (address + 1 + static_cast<std::uint32_t>(next() % 20)) % store.depth; break;
            default: address = (address + 1) % store.depth; break;
        }
        words.push_back({address, next()});  // wider than the store: cut on loading
    }
    words.push_back({store.depth - 1, next()});
    return words;
}

}  // namespace image_test
