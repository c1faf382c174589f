#pragma once
// An image against the words a source gives, address by address: what a
// memory read back from hardware holds against what the assembler placed.
#include <algorithm>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "common/source_model.hpp"
#include "image/placed_word.hpp"

namespace image {

// A word the assembler placed, and where the statement that placed it
// begins in the source.
struct SourceWord {
    std::uint32_t address;
    std::uint64_t word;
    common::SourcePlace place;
};

struct WordDifference {
    std::uint32_t address = 0;
    std::optional<std::uint64_t> image;   // none: the image holds no word there
    std::optional<std::uint64_t> source;  // none: the source places no word there
    common::SourcePlace place;            // the placing statement; line 0 when none
};

struct WordComparison {
    std::size_t addresses = 0;                // where the image or the source has a word
    std::vector<WordDifference> differences;  // in address order
};

// The words in address order, of two at one address the later: what
// loading them in their order leaves. Word is any type with an `address`.
template <typename Word>
std::vector<Word> LastByAddress(std::span<const Word> words) {
    std::vector<Word> sorted(words.begin(), words.end());
    std::stable_sort(sorted.begin(), sorted.end(), [](const Word& a, const Word& b) { return a.address < b.address; });
    std::vector<Word> last;
    last.reserve(sorted.size());
    for (const Word& word : sorted) {
        if (!last.empty() && last.back().address == word.address) {
            last.back() = word;
        } else {
            last.push_back(word);
        }
    }
    return last;
}

// Of two words at one address, on either side, the later counts, as loading
// an object file or writing memory leaves it. An address the source places
// no word at agrees when the image holds none or holds `fill`: what an
// unwritten word of that memory reads as (an erased EEPROM: all ones).
WordComparison CompareWords(std::span<const PlacedWord> image, std::span<const SourceWord> source, std::uint64_t fill);

}  // namespace image
