#include "image/mif.hpp"

#include <string_view>
#include <utility>

#include "image/text.hpp"

namespace image {

namespace {

struct MifWriter {
    std::string out;
    unsigned addressDigits;
    unsigned wordDigits;

    void Line(std::string_view text) {
        out += text;
        out += kLineEnd;
    }
    void Word(std::uint32_t address, std::uint64_t word) {
        AppendHex(out, address, addressDigits);
        out += " : ";
        AppendHex(out, word, wordDigits);
        Line(";");
    }
    // A one-word gap gets a plain line: a range whose ends coincide is not
    // something every reader is known to take.
    void Gap(std::uint32_t first, std::uint32_t last, std::uint64_t fill) {
        if (first == last) {
            Word(first, fill);
            return;
        }
        out += '[';
        AppendHex(out, first, addressDigits);
        out += "..";
        AppendHex(out, last, addressDigits);
        out += "] : ";
        AppendHex(out, fill, wordDigits);
        Line(";");
    }
};

}  // namespace

std::string WriteMif(const Store& store, std::span<const PlacedWord> words) {
    const Contents contents = Load(store, words);
    const std::uint64_t fill = store.fill & WordMask(store.wordBits);
    MifWriter mif{{}, HexDigitsFor(store.depth == 0 ? 0 : store.depth - 1), (store.wordBits + 3) / 4};
    mif.out += "-- ";
    mif.Line(Describe(store));
    mif.Line("DEPTH = " + std::to_string(store.depth) + ";");
    mif.Line("WIDTH = " + std::to_string(store.wordBits) + ";");
    mif.Line("ADDRESS_RADIX = HEX;");
    mif.Line("DATA_RADIX = HEX;");
    mif.Line("CONTENT BEGIN");
    std::uint32_t next = 0;  // the first address not yet written
    for (const Run& run : UsedRuns(contents)) {
        if (run.first > next) mif.Gap(next, run.first - 1, fill);
        for (std::uint32_t address = run.first; address < run.end; ++address) {
            mif.Word(address, contents.words[address]);
        }
        next = run.end;
    }
    if (next < store.depth) mif.Gap(next, store.depth - 1, fill);
    mif.Line("END;");
    return std::move(mif.out);
}

}  // namespace image
