#include "image/readmem.hpp"

#include "image/text.hpp"

namespace image {

namespace {

// The two differ only in the digits of a word. Addresses take the hex digits
// of the store's last address, so all "@" lines of a store line up.
std::string WriteReadmem(const Store& store, std::span<const PlacedWord> words, bool binary) {
    const Contents contents = Load(store, words);
    const unsigned addressDigits = HexDigitsFor(store.depth == 0 ? 0 : store.depth - 1);
    const unsigned wordDigits = binary ? store.wordBits : (store.wordBits + 3) / 4;
    std::string out;
    out += "// ";
    out += Describe(store);
    out += kLineEnd;
    for (const Run& run : UsedRuns(contents)) {
        out += '@';
        AppendHex(out, run.first, addressDigits);
        out += kLineEnd;
        for (std::uint32_t address = run.first; address < run.end; ++address) {
            if (binary) {
                AppendBinary(out, contents.words[address], wordDigits);
            } else {
                AppendHex(out, contents.words[address], wordDigits);
            }
            out += kLineEnd;
        }
    }
    return out;
}

}  // namespace

std::string WriteReadmemh(const Store& store, std::span<const PlacedWord> words) {
    return WriteReadmem(store, words, false);
}

std::string WriteReadmemb(const Store& store, std::span<const PlacedWord> words) {
    return WriteReadmem(store, words, true);
}

}  // namespace image
