// Raw bytes: each word its whole bytes, big-endian, from address 0.
#include "image/read_support.hpp"
#include "image/reader.hpp"
#include "image/store.hpp"

namespace image::read {

bool ReadBin(const Target& target, Found& found, ReadError& error) {
    const unsigned bytesPerWord = BytesPerWord(target.wordBits);
    const std::string_view bytes = target.bytes;
    const std::uint64_t room = std::uint64_t{target.depth} * bytesPerWord;
    std::string words = " ";
    words += std::to_string(bytesPerWord);
    words += bytesPerWord == 1 ? "-byte word" : "-byte words";
    if (bytes.size() > room) {
        return FailAtByte(error, target, room,
                          "the file's " + std::to_string(bytes.size()) + " bytes pass the end of the store's " +
                              std::to_string(target.depth) + words);
    }
    if (bytes.size() % bytesPerWord != 0) {
        return FailAtByte(error, target, bytes.size() - bytes.size() % bytesPerWord,
                          "the file ends inside a word: " + std::to_string(bytes.size()) +
                              " bytes are no whole number of" + words);
    }
    found.words.reserve(bytes.size() / bytesPerWord);
    for (std::size_t offset = 0; offset < bytes.size(); offset += bytesPerWord) {
        std::uint64_t word = 0;
        for (unsigned k = 0; k < bytesPerWord; ++k) word = (word << 8) | static_cast<unsigned char>(bytes[offset + k]);
        if (!FitsWidth(word, target.wordBits)) return FailAtByte(error, target, offset, TooWide(word, target.wordBits));
        found.Add(static_cast<std::uint32_t>(offset / bytesPerWord), word, offset);
    }
    return true;
}

}  // namespace image::read
