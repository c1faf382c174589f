#include "image/compare.hpp"

namespace image {

WordComparison CompareWords(std::span<const PlacedWord> image, std::span<const SourceWord> source, std::uint64_t fill) {
    const std::vector<PlacedWord> held = LastByAddress(image);
    const std::vector<SourceWord> placed = LastByAddress(source);
    WordComparison result;
    std::size_t i = 0, s = 0;
    while (i < held.size() || s < placed.size()) {
        const bool fromImage = i < held.size() && (s == placed.size() || held[i].address <= placed[s].address);
        const bool fromSource = s < placed.size() && (i == held.size() || placed[s].address <= held[i].address);
        WordDifference d;
        d.address = fromImage ? held[i].address : placed[s].address;
        if (fromImage) d.image = held[i++].word;
        if (fromSource) {
            d.source = placed[s].word;
            d.place = placed[s++].place;
        }
        ++result.addresses;
        const bool same = d.source.has_value() ? d.image == d.source : *d.image == fill;
        if (!same) result.differences.push_back(d);
    }
    return result;
}

}  // namespace image
