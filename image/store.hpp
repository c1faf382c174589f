#pragma once
// The memory an image is made for, and the words loaded into it.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "image/placed_word.hpp"

namespace image {

struct Store {
    unsigned wordBits = 0;     // width of a word, 1 to 64: 40, 16, or 8 in a lane
    std::uint32_t depth = 0;   // words in the whole store: 4096, 65536
    std::uint64_t fill = 0;    // the word of unused addresses in dense images
    std::string name;          // the program, named in the comment lines of text images
};

// The store as loading the words in object-file order leaves it: a later word
// at an address already taken replaces the earlier one. Words are cut to the
// store's width; words at addresses beyond the depth are not loaded (the
// assemblers never place any there).
struct Contents {
    std::vector<std::uint64_t> words;  // `depth` entries; unused ones hold the fill
    std::vector<bool> used;            // `depth` entries
    std::uint32_t end = 0;             // one past the highest used address; 0 when none
};

Contents Load(const Store& store, std::span<const PlacedWord> words);

// The words the contents hold, one per used address, ascending: loading
// them gives the same contents as the words they were loaded from, so every
// image of them is the same, however many words were written over.
std::vector<PlacedWord> UsedWords(const Contents& contents);

// A run of consecutive used addresses [first, end).
struct Run {
    std::uint32_t first;
    std::uint32_t end;
};

// The runs of used addresses, ascending.
std::vector<Run> UsedRuns(const Contents& contents);

// The mask of a word of the store's width.
std::uint64_t WordMask(unsigned wordBits);

// Bytes a word takes in binary images: the width rounded up to whole bytes.
unsigned BytesPerWord(unsigned wordBits);

}  // namespace image
