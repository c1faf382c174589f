#include "wordforge/source_reader.hpp"

#include <algorithm>
#include <bit>
#include <cstring>

namespace wordforge {

void LoadSource(SourceReader& reader, std::string_view bytes) {
    std::size_t stop = bytes.find(kFileEnd);
    reader.text = stop == std::string_view::npos ? bytes : bytes.substr(0, stop);
    Rewind(reader);
}

void Rewind(SourceReader& reader) {
    reader.position = 0;
    reader.current = kFileEnd;
    reader.line = 1;
    reader.keepCase = false;
}

namespace {

constexpr std::uint64_t kOnes = 0x0101010101010101ull;
constexpr std::uint64_t kHighs = 0x8080808080808080ull;

// High bit set in every byte of the block equal to `c`; a false mark can only
// follow a true one, so the lowest mark is always right.
inline std::uint64_t BytesEqual(std::uint64_t block, char c) {
    std::uint64_t x = block ^ (kOnes * static_cast<unsigned char>(c));
    return (x - kOnes) & ~x & kHighs;
}

// High bit set in exactly the bytes of the block that are not zero.
inline std::uint64_t BytesExactlyNonZero(std::uint64_t block) {
    constexpr std::uint64_t kLow7 = ~kHighs;
    return (((block & kLow7) + kLow7) | block) & kHighs;
}

// High bit set in every byte of the block below `limit` (at most 128); as
// with BytesEqual, the lowest mark is always right.
inline std::uint64_t BytesBelow(std::uint64_t block, unsigned char limit) {
    return (block - kOnes * limit) & ~block & kHighs;
}

inline bool IsStop(char c, bool semicolon) { return c == '\n' || c == '\r' || (semicolon && c == ';'); }

// The position of the first line-end byte (or ";" when asked) from `from` on,
// or the size of the source when there is none. Eight bytes are tested at a
// time, for bytes below 14 (both line-end bytes, but also a tab or another
// control character, which is passed over).
std::size_t FindStop(std::string_view text, std::size_t from, bool semicolon) {
    const char* data = text.data();
    std::size_t size = text.size();
    if constexpr (std::endian::native == std::endian::little) {
        while (from + 8 <= size) {
            std::uint64_t block;
            std::memcpy(&block, data + from, 8);
            std::uint64_t marks = BytesBelow(block, '\r' + 1);
            if (semicolon) marks |= BytesEqual(block, ';');
            if (marks != 0) {
                std::size_t at = from + static_cast<std::size_t>(std::countr_zero(marks) >> 3);
                if (IsStop(data[at], semicolon)) return at;
                from = at + 1;
                continue;
            }
            from += 8;
        }
    }
    while (from < size && !IsStop(data[from], semicolon)) ++from;
    return from;
}

}  // namespace

void SkipToLineEnd(SourceReader& reader) {
    if (IsLineOver(reader.current)) return;
    reader.position = FindStop(reader.text, reader.position, false);
    NextChar(reader);
}

std::string_view TakeRestOfLine(SourceReader& reader) {
    if (IsLineOver(reader.current)) return {};
    std::size_t from = reader.position;
    reader.position = FindStop(reader.text, from, false);
    std::string_view rest = reader.text.substr(from, reader.position - from);
    NextChar(reader);
    return rest;
}

void SkipToCommentOrLineEnd(SourceReader& reader) {
    if (IsLineOver(reader.current) || reader.current == ';') return;
    reader.position = FindStop(reader.text, reader.position, true);
    if (reader.position < reader.text.size() && reader.text[reader.position] == ';') {
        reader.current = ';';
        ++reader.position;
        return;
    }
    NextChar(reader);
}

Word MakeWord(std::string_view name) {
    Word word;
    for (char c : name) AppendToWord(word, c);
    return word;
}

namespace {

// A word begun at the current character (a letter or digit) taken from one
// block of the next 8 bytes: cut to the word's length and upper-cased at
// once (in a letter or digit, clearing bit 5 wherever bit 6 is set
// upper-cases a letter). Every field of the word is set. Returns false,
// leaving the word alone, where the block does not serve: with keep-case
// on, or near the end of the source.
bool TakeWordBlock(SourceReader& reader, Word& word) {
    if constexpr (std::endian::native == std::endian::little) {
        const char* data = reader.text.data();
        std::size_t size = reader.text.size();
        std::size_t from = reader.position - 1;  // the current character
        if (reader.keepCase || from + 8 > size) return false;
        std::size_t end = reader.position;
        while (end < size && IsClass(data[end], kWordByte)) ++end;
        std::size_t kept = std::min<std::size_t>(end - from, 8);
        std::uint64_t block;
        std::memcpy(&block, data + from, 8);
        if (kept < 8) block &= (std::uint64_t{1} << (8 * kept)) - 1;
        block &= ~((block & 0x4040404040404040ull) >> 1);
        std::memcpy(word.text.data(), &block, 8);
        word.length = static_cast<std::uint8_t>(kept);
        word.key = __builtin_bswap64(block);
        reader.position = end;
        NextChar(reader);
        return true;
    }
    return false;
}

}  // namespace

void ReadWord(SourceReader& reader, Word& word) {
    if ((IsLetter(reader.current) || IsDigit(reader.current)) && TakeWordBlock(reader, word)) return;
    word = Word{};
    ReadWordOnto(reader, word);
}

void ReadWordOnto(SourceReader& reader, Word& word) {
    if (!IsLetter(reader.current) && !IsDigit(reader.current)) return;
    if (word.length == 0 && TakeWordBlock(reader, word)) return;
    while (IsLetter(reader.current) || IsDigit(reader.current)) {
        AppendToWord(word, reader.current);
        NextChar(reader);
    }
}

std::size_t BlanksEnd(std::string_view text, std::size_t from) {
    const char* data = text.data();
    std::size_t size = text.size();
    std::size_t end = from;
    if constexpr (std::endian::native == std::endian::little) {
        // Blocks of 8 are searched for the first byte that is no blank; a
        // tab found there belongs to the run, and the search goes on after
        // it (blanks are common, tabs rare).
        while (end + 8 <= size) {
            std::uint64_t block;
            std::memcpy(&block, data + end, 8);
            std::uint64_t others = BytesExactlyNonZero(block ^ (kOnes * ' '));
            if (others != 0) {
                end += static_cast<std::size_t>(std::countr_zero(others) >> 3);
                if (data[end] != '\t') return end;
                ++end;
                continue;
            }
            end += 8;
        }
    }
    while (end < size && IsClass(data[end], kBlankByte)) ++end;
    return end;
}

std::size_t LineEndFrom(std::string_view text, std::size_t from) { return FindStop(text, from, false); }

void SkipBlankRun(SourceReader& reader) {
    reader.position = BlanksEnd(reader.text, reader.position);
    NextChar(reader);
}

}  // namespace wordforge
