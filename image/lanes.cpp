#include "image/lanes.hpp"

#include <algorithm>
#include <string>

namespace image {

unsigned LaneCount(unsigned wordBits) { return (wordBits + 7) / 8; }

Lane SplitLane(const Store& store, std::span<const PlacedWord> words, unsigned lane) {
    const unsigned shift = 8 * lane;
    const std::uint64_t mask = WordMask(store.wordBits);
    const unsigned lowBit = shift;
    const unsigned highBit = std::min(shift + 8, store.wordBits) - 1;
    Lane result;
    result.store.wordBits = 8;
    result.store.depth = store.depth;
    result.store.fill = ((store.fill & mask) >> shift) & 0xFFu;
    result.store.name = store.name;
    if (!result.store.name.empty()) result.store.name += ' ';
    result.store.name += "lane " + std::to_string(lane) + " (bits " + std::to_string(highBit) + ".." +
                         std::to_string(lowBit) + ")";
    result.words.reserve(words.size());
    for (const PlacedWord& placed : words) {
        result.words.push_back({placed.address, ((placed.word & mask) >> shift) & 0xFFu});
    }
    return result;
}

}  // namespace image
