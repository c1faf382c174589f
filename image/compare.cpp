#include "image/compare.hpp"

#include <algorithm>

namespace image {

namespace {

// The words by address, the later of two at one address.
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

}  // namespace

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
