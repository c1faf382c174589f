#pragma once
// Everything one assembly run works on, created afresh for each run and
// handed by reference to the passes, readers and encoders.
#include <cstdint>
#include <string>
#include <vector>

#include "wordforge/listing_line.hpp"
#include "wordforge/mnemonic_table.hpp"
#include "wordforge/source_reader.hpp"
#include "wordforge/symbol_table.hpp"
#include "common/text_file.hpp"
#include "image/placed_word.hpp"

namespace wordforge {

// Output bytes gathered in memory and handed to their sink in large pieces,
// so that a line costs one copy and no string growth.
struct OutputStage {
    std::string bytes;      // allocated at the first write; `used` of them hold output
    std::size_t used = 0;
};

struct WordRun {
    SourceReader reader;
    ListingLine line;                         // the listing line under construction
    SymbolTable symbols;                      // filled by pass 1
    std::vector<std::int32_t> duplicateLines; // ascending line numbers of repeated definitions
    std::int32_t errorCount = 0;
    std::int32_t location = 0;                // the location counter
    int mnemonic = kNoMnemonic;               // the current statement's mnemonic index
    bool titleFirst = false;                  // the source begins with TITLE (found by pass 1)
    common::OutputSink* listing = nullptr;    // written by pass 2
    common::OutputSink* object = nullptr;     // written by pass 2
    OutputStage listingStage;                 // listing lines not yet handed to `listing`
    OutputStage objectStage;                  // object lines not yet handed to `object`
    // When set, every word written to the object file is added here, in the
    // same order; memory images are made from these.
    std::vector<image::PlacedWord>* placed = nullptr;
};

// Arithmetic on values and counters wraps in 32 bits.
inline std::int32_t WrapAdd(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}
inline std::int32_t WrapSub(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
}
inline std::int32_t WrapNegate(std::int32_t a) { return WrapSub(0, a); }

}  // namespace wordforge
