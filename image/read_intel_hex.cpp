// Intel HEX records: each checked for its digits, its length and its
// checksum before its data counts, and the end record required.
#include <array>

#include "image/read_support.hpp"
#include "image/reader.hpp"
#include "image/store.hpp"
#include "image/text.hpp"

namespace image::read {

namespace {

constexpr std::size_t kMaxRecordBytes = 255 + 5;  // count, address (2), type, data, checksum

// The bytes of one record line, checked; false with the error set.
bool DecodeRecord(Lines& lines, std::string_view line, std::array<std::uint8_t, kMaxRecordBytes>& record,
                  std::size_t& size) {
    if (line.front() != ':') return lines.Fail("a record starts with ':', not " + Shown(line.front()));
    const std::string_view digits = line.substr(1);
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (DigitValue(digits[i], 16) < 0) {
            return lines.Fail(Shown(digits[i]) + " is not a hex digit (column " + std::to_string(i + 2) + ")");
        }
    }
    if (digits.size() % 2 != 0) return lines.Fail("odd number of hex digits: a record is whole bytes");
    size = digits.size() / 2;
    if (size < 5) {
        return lines.Fail("truncated record: " + std::to_string(size) +
                          " bytes, where count, address, type and checksum take 5");
    }
    if (size > kMaxRecordBytes) {
        return lines.Fail("the record holds " + std::to_string(size) + " bytes; a record holds at most " +
                          std::to_string(kMaxRecordBytes));
    }
    unsigned sum = 0;
    for (std::size_t i = 0; i < size; ++i) {
        record[i] = static_cast<std::uint8_t>(DigitValue(digits[2 * i], 16) * 16 + DigitValue(digits[2 * i + 1], 16));
        sum += record[i];
    }
    const std::size_t data = size - 5;
    if (record[0] > data) {
        return lines.Fail("truncated record: its count says " + std::to_string(record[0]) + " data bytes, it holds " +
                          std::to_string(data));
    }
    if (record[0] < data) {
        return lines.Fail("the record holds " + std::to_string(data) + " data bytes, its count says " +
                          std::to_string(record[0]));
    }
    if ((sum & 0xFFu) != 0) {
        std::string text = "bad checksum: the record ends in ";
        AppendHex(text, record[size - 1], 2);
        text += ", its bytes need ";
        AppendHex(text, (0x100u - ((sum - record[size - 1]) & 0xFFu)) & 0xFFu, 2);
        return lines.Fail(text);
    }
    return true;
}

// Bytes at byte addresses gathered into the words they belong to, each
// word complete only when all its bytes came.
struct ByteWords {
    std::vector<std::uint64_t> value;
    std::vector<std::uint8_t> have;        // a bit per byte of the word
    std::vector<std::uint32_t> firstLine;  // of the first byte that came, 0 for none
};

}  // namespace

bool ReadIntelHex(const Target& target, Found& found, ReadError& error) {
    const unsigned bytesPerWord = BytesPerWord(target.wordBits);
    // With one byte a word, byte and word addresses agree and words keep
    // their file order.
    const bool byteAddresses = target.addressing == HexAddressing::Bytes && bytesPerWord > 1;
    ByteWords gathered;
    if (byteAddresses) {
        gathered.value.assign(target.depth, 0);
        gathered.have.assign(target.depth, 0);
        gathered.firstLine.assign(target.depth, 0);
    }
    Lines lines{target, error};
    std::array<std::uint8_t, kMaxRecordBytes> record{};
    std::uint64_t base = 0;  // from the last type 02 or 04 record
    bool ended = false;
    std::string_view line;
    while (lines.Next(line)) {
        line = Trim(line);
        if (line.empty()) continue;
        if (ended) return lines.Fail("text after the end record");
        std::size_t size = 0;
        if (!DecodeRecord(lines, line, record, size)) return false;
        const unsigned count = record[0];
        const std::uint64_t offset = (unsigned{record[1]} << 8) | record[2];
        const std::uint8_t* data = record.data() + 4;
        const auto needCount = [&](unsigned wanted, const char* what) {
            if (count == wanted) return true;
            return lines.Fail(std::string(what) + " holds " + std::to_string(wanted) + " data bytes, not " +
                              std::to_string(count));
        };
        switch (record[3]) {
            case 0x00: {
                const std::uint64_t start = base + offset;
                if (byteAddresses) {
                    for (unsigned i = 0; i < count; ++i) {
                        const std::uint64_t byte = start + i;
                        const std::uint64_t address = byte / bytesPerWord;
                        if (address >= target.depth) {
                            return lines.Fail("byte address " + AddressText(byte, 0) + " is in the word at " +
                                              AddressText(address, target.depth) + ", beyond the store's " +
                                              std::to_string(target.depth) + " words");
                        }
                        const unsigned k = static_cast<unsigned>(byte % bytesPerWord);
                        const unsigned shift = 8 * (bytesPerWord - 1 - k);
                        // Below the depth, so it fits any size_t.
                        const auto at = static_cast<std::size_t>(address);
                        std::uint64_t& word = gathered.value[at];
                        word = (word & ~(std::uint64_t{0xFF} << shift)) | (std::uint64_t{data[i]} << shift);
                        gathered.have[at] = static_cast<std::uint8_t>(gathered.have[at] | (1u << k));
                        if (gathered.firstLine[at] == 0) gathered.firstLine[at] = lines.number;
                    }
                    break;
                }
                if (count % bytesPerWord != 0) {
                    return lines.Fail("a record of " + std::to_string(count) + " bytes holds no whole number of " +
                                      std::to_string(bytesPerWord) + "-byte words");
                }
                for (unsigned i = 0; i < count / bytesPerWord; ++i) {
                    const std::uint64_t address = start + i;
                    if (address >= target.depth) return lines.Fail(BeyondDepth(address, target.depth));
                    std::uint64_t word = 0;
                    for (unsigned k = 0; k < bytesPerWord; ++k) word = (word << 8) | data[i * bytesPerWord + k];
                    if (!FitsWidth(word, target.wordBits)) return lines.Fail(TooWide(word, target.wordBits));
                    found.Add(static_cast<std::uint32_t>(address), word, lines.number);
                }
                break;
            }
            case 0x01:
                if (!needCount(0, "an end record")) return false;
                ended = true;
                break;
            case 0x02:
                if (!needCount(2, "an extended segment address record")) return false;
                base = ((unsigned{data[0]} << 8) | data[1]) * std::uint64_t{16};
                break;
            case 0x04:
                if (!needCount(2, "an extended linear address record")) return false;
                base = ((unsigned{data[0]} << 8) | data[1]) * std::uint64_t{0x10000};
                break;
            case 0x03:
            case 0x05:
                // A start address tells a processor where to run; a store
                // has no use for it.
                if (!needCount(4, "a start address record")) return false;
                break;
            default: {
                std::string text = "record type ";
                AppendHex(text, record[3], 2);
                return lines.Fail(text + " is none of Intel HEX's types 00 to 05");
            }
        }
    }
    if (lines.failed) return false;
    if (!ended) return Fail(error, target, lines.number, "the file ends without the end record :00000001FF (cut short?)");
    if (byteAddresses) {
        const unsigned all = (1u << bytesPerWord) - 1;
        for (std::uint32_t address = 0; address < target.depth; ++address) {
            const unsigned have = gathered.have[address];
            if (have == 0) continue;
            const std::uint32_t at = gathered.firstLine[address];
            if (have != all) {
                unsigned given = 0;
                for (unsigned k = 0; k < bytesPerWord; ++k) given += (have >> k) & 1u;
                return Fail(error, target, at,
                            "the word at address " + AddressText(address, target.depth) + " gets " +
                                std::to_string(given) + " of its " + std::to_string(bytesPerWord) + " bytes");
            }
            const std::uint64_t word = gathered.value[address];
            if (!FitsWidth(word, target.wordBits)) return Fail(error, target, at, TooWide(word, target.wordBits));
            found.Add(address, word, at);
        }
    }
    return true;
}

}  // namespace image::read
