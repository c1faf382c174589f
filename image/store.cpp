#include "image/store.hpp"

namespace image {

std::uint64_t WordMask(unsigned wordBits) {
    return wordBits >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << wordBits) - 1;
}

unsigned BytesPerWord(unsigned wordBits) { return (wordBits + 7) / 8; }

Contents Load(const Store& store, std::span<const PlacedWord> words) {
    const std::uint64_t mask = WordMask(store.wordBits);
    Contents contents;
    contents.words.assign(store.depth, store.fill & mask);
    contents.used.assign(store.depth, false);
    for (const PlacedWord& placed : words) {
        if (placed.address >= store.depth) continue;
        contents.words[placed.address] = placed.word & mask;
        contents.used[placed.address] = true;
        if (placed.address >= contents.end) contents.end = placed.address + 1;
    }
    return contents;
}

std::vector<PlacedWord> UsedWords(const Contents& contents) {
    std::vector<PlacedWord> words;
    for (std::uint32_t address = 0; address < contents.end; ++address) {
        if (contents.used[address]) words.push_back({address, contents.words[address]});
    }
    return words;
}

std::vector<Run> UsedRuns(const Contents& contents) {
    std::vector<Run> runs;
    std::uint32_t address = 0;
    while (address < contents.end) {
        if (!contents.used[address]) {
            ++address;
            continue;
        }
        Run run{address, address};
        while (run.end < contents.end && contents.used[run.end]) ++run.end;
        runs.push_back(run);
        address = run.end;
    }
    return runs;
}

}  // namespace image
