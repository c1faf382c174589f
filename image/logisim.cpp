#include "image/logisim.hpp"

#include "image/text.hpp"

namespace image {

std::string WriteLogisim(const Store& store, std::span<const PlacedWord> words) {
    const Contents contents = Load(store, words);
    // The lines look like those Logisim writes itself: addresses in the
    // digits of the last address, 8 words a line when a word takes more than
    // four digits, 16 up to four, 32 for one. The whole store is written, as
    // Logisim would fill the words after the last line with zeros, not with
    // the fill word. Words are parted by one blank: Logisim ignores the rest
    // of a line after two.
    const unsigned addressDigits = HexDigitsFor(store.depth == 0 ? 0 : store.depth - 1);
    const unsigned wordDigits = (store.wordBits + 3) / 4;
    const std::uint32_t perLine = wordDigits == 1 ? 32 : wordDigits <= 4 ? 16 : 8;
    std::string out;
    out += "v3.0 hex words addressed";
    out += kLineEnd;
    // A comment may not come before the header line, which must be first.
    out += "# ";
    out += Describe(store);
    out += kLineEnd;
    for (std::uint32_t line = 0; line < store.depth; line += perLine) {
        AppendHex(out, line, addressDigits);
        out += ':';
        for (std::uint32_t address = line; address < store.depth && address < line + perLine; ++address) {
            out += ' ';
            AppendHex(out, contents.words[address], wordDigits);
        }
        out += kLineEnd;
    }
    return out;
}

}  // namespace image
