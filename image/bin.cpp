#include "image/bin.hpp"

namespace image {

std::string WriteBin(const Store& store, std::span<const PlacedWord> words) {
    const Contents contents = Load(store, words);
    const unsigned bytesPerWord = BytesPerWord(store.wordBits);
    std::string out;
    out.reserve(std::size_t{contents.end} * bytesPerWord);
    for (std::uint32_t address = 0; address < contents.end; ++address) {
        const std::uint64_t word = contents.words[address];
        for (unsigned byte = bytesPerWord; byte-- > 0;) out.push_back(static_cast<char>(word >> (8 * byte)));
    }
    return out;
}

}  // namespace image
