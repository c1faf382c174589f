#include "image/intel_hex.hpp"

#include <algorithm>
#include <vector>

#include "image/text.hpp"

namespace image {

namespace {

constexpr unsigned kMaxDataBytes = 16;

// One record: ":", count, address, type, data, checksum, each byte as two
// hex digits; the checksum makes all the record's bytes add up to 0 mod 256.
void AppendRecord(std::string& out, std::uint16_t address, std::uint8_t type,
                  const std::vector<std::uint8_t>& data) {
    unsigned sum = static_cast<unsigned>(data.size()) + (address >> 8) + (address & 0xFFu) + type;
    out += ':';
    AppendHex(out, data.size(), 2);
    AppendHex(out, address, 4);
    AppendHex(out, type, 2);
    for (std::uint8_t byte : data) {
        AppendHex(out, byte, 2);
        sum += byte;
    }
    AppendHex(out, (0x100u - (sum & 0xFFu)) & 0xFFu, 2);
    out += kLineEnd;
}

}  // namespace

std::string WriteIntelHex(const Store& store, std::span<const PlacedWord> words, HexAddressing addressing) {
    const Contents contents = Load(store, words);
    const unsigned bytesPerWord = BytesPerWord(store.wordBits);
    const std::uint64_t unitsPerWord = addressing == HexAddressing::Bytes ? bytesPerWord : 1;
    // Records hold whole words, so a word never spans two records.
    const std::uint32_t wordsPerRecord = std::max(1u, kMaxDataBytes / bytesPerWord);

    std::string out;
    std::vector<std::uint8_t> data;
    std::uint64_t upper = 0;  // the upper 16 address bits the reader holds
    for (const Run& run : UsedRuns(contents)) {
        std::uint32_t address = run.first;
        while (address < run.end) {
            const std::uint64_t start = address * unitsPerWord;
            // A record stays within one 64 Ki-unit segment of addresses,
            // which whole words always allow for the stores of this tool
            // chain; a word that would itself straddle a segment boundary
            // goes into a record of its own.
            const std::uint64_t segmentEnd = (start | 0xFFFFu) + 1;
            const std::uint64_t fitting = std::max<std::uint64_t>(1, (segmentEnd - start) / unitsPerWord);
            const std::uint32_t count = static_cast<std::uint32_t>(
                std::min<std::uint64_t>({wordsPerRecord, run.end - address, fitting}));
            if ((start >> 16) != upper) {
                upper = start >> 16;
                AppendRecord(out, 0, 4, {static_cast<std::uint8_t>(upper >> 8), static_cast<std::uint8_t>(upper)});
            }
            data.clear();
            for (std::uint32_t i = 0; i < count; ++i) {
                const std::uint64_t word = contents.words[address + i];
                for (unsigned byte = bytesPerWord; byte-- > 0;) {
                    data.push_back(static_cast<std::uint8_t>(word >> (8 * byte)));
                }
            }
            AppendRecord(out, static_cast<std::uint16_t>(start), 0, data);
            address += count;
        }
    }
    out += ":00000001FF";
    out += kLineEnd;
    return out;
}

}  // namespace image
