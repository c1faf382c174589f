#pragma once
// Character reader over the whole source held in memory: one character of
// look-ahead, upper-casing unless the keep-case switch is on, and the line
// counter. A second pass rewinds by resetting the position.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace wordforge {

// The current character at the end of a line (the line end has already been
// stepped over) and at the end of the source.
inline constexpr char kLineEnd = 13;
inline constexpr char kFileEnd = 26;

struct SourceReader {
    std::string_view text;  // the source, cut at its first byte 26
    std::size_t position = 0;
    char current = kFileEnd;
    std::int32_t line = 1;
    bool keepCase = false;
    std::size_t lineEndAt = 0;  // where the line end last reached stands in the text
};

// Binds the reader to the source bytes (a byte 26 ends the source there) and
// rewinds it.
void LoadSource(SourceReader& reader, std::string_view bytes);

// Back to the first character: position 0, line counter 1, keep-case off.
void Rewind(SourceReader& reader);

inline bool IsLetter(char c) { return c >= 'A' && c <= 'Z'; }
inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }
inline bool IsLineOver(char c) { return c == kLineEnd || c == kFileEnd; }

// Byte classes of the raw source, for the readers that scan whole runs of
// characters at once instead of stepping through them.
inline constexpr std::uint8_t kBlankByte = 1;  // blank or tab
inline constexpr std::uint8_t kWordByte = 2;   // letter (either case) or digit

inline constexpr std::array<std::uint8_t, 256> kByteClass = [] {
    std::array<std::uint8_t, 256> table{};
    table[' '] = kBlankByte;
    table['\t'] = kBlankByte;
    for (int c = '0'; c <= '9'; ++c) table[static_cast<std::size_t>(c)] = kWordByte;
    for (int c = 'A'; c <= 'Z'; ++c) table[static_cast<std::size_t>(c)] = kWordByte;
    for (int c = 'a'; c <= 'z'; ++c) table[static_cast<std::size_t>(c)] = kWordByte;
    return table;
}();

inline bool IsClass(char c, std::uint8_t byteClass) {
    return (kByteClass[static_cast<unsigned char>(c)] & byteClass) != 0;
}

inline char UpperCase(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// The line end reached by NextChar: counts the line and steps over the line
// feed of a carriage return and line feed pair.
inline void EnterLineEnd(SourceReader& reader, char c) {
    reader.lineEndAt = reader.position - 1;
    if (c == '\r' && reader.position < reader.text.size() && reader.text[reader.position] == '\n') {
        ++reader.position;
    }
    ++reader.line;
    reader.current = kLineEnd;
}

// Steps to the next character. A carriage return with a line feed, a line
// feed alone and a carriage return alone each count as one line end.
inline void NextChar(SourceReader& reader) {
    std::size_t at = reader.position;
    if (at >= reader.text.size()) {
        reader.current = kFileEnd;
        return;
    }
    char c = reader.text[at];
    reader.position = at + 1;
    // Both line-end bytes lie below the blank and every printable character,
    // so one comparison lets those pass.
    if (static_cast<unsigned char>(c) <= '\r' && (c == '\r' || c == '\n')) {
        EnterLineEnd(reader, c);
        return;
    }
    reader.current = reader.keepCase ? c : UpperCase(c);
}

// Where the current character stands in the text: a line end at its first
// byte, the end of the source just past the text.
inline std::size_t CurrentOffset(const SourceReader& reader) {
    if (reader.current == kLineEnd) return reader.lineEndAt;
    if (reader.current == kFileEnd) return reader.text.size();
    return reader.position - 1;
}

// Whenever the current character is neither the line end nor the end of the
// source, it stands in the source just before `position`; the run scanners
// below start there and finish with NextChar on the first byte they left.
void SkipBlankRun(SourceReader& reader);

inline void SkipBlanks(SourceReader& reader) {
    if (reader.current == ' ' || reader.current == '\t') SkipBlankRun(reader);
}

// NextChar and then SkipBlanks, as at the start of every line, without
// first stepping onto a blank that the run skips anyway.
inline void NextCharSkippingBlanks(SourceReader& reader) {
    const std::size_t at = reader.position;
    if (at < reader.text.size() && (reader.text[at] == ' ' || reader.text[at] == '\t')) {
        reader.position = at + 1;
        SkipBlankRun(reader);
        return;
    }
    NextChar(reader);
}

// Scans of the raw text that leave the reader where it is, for looking
// ahead: the position of the first byte from `from` on that is neither a
// blank nor a tab, and that of the first line-end byte; either is the size
// of the text when there is none.
std::size_t BlanksEnd(std::string_view text, std::size_t from);
std::size_t LineEndFrom(std::string_view text, std::size_t from);

// Moves the reader onto the line end whose first byte stands at `at`, as
// NextChar does when it reaches it.
inline void StepOntoLineEnd(SourceReader& reader, std::size_t at) {
    reader.position = at + 1;
    EnterLineEnd(reader, reader.text[at]);
}

// Skips to the end of the current line: afterwards the current character is
// the line end or the end of the source.
void SkipToLineEnd(SourceReader& reader);

// Returns the characters after the current one up to the line end, exactly
// as they stand in the source, and moves past them: afterwards the current
// character is the line end or the end of the source.
std::string_view TakeRestOfLine(SourceReader& reader);

// Skips to a ";" or the end of the line, whichever comes first.
void SkipToCommentOrLineEnd(SourceReader& reader);

// A word of letters and digits; only the first 8 characters are kept. The key
// packs the kept characters for hashing and table search.
struct Word {
    std::array<char, 8> text{};
    std::uint8_t length = 0;
    std::uint64_t key = 0;
};

inline std::string_view View(const Word& word) { return {word.text.data(), word.length}; }

// Appends one character to a word unless it already holds 8.
inline void AppendToWord(Word& word, char c) {
    if (word.length < 8) {
        word.key |= static_cast<std::uint64_t>(static_cast<unsigned char>(c)) << (56 - 8 * word.length);
        word.text[word.length++] = c;
    }
}

// The key that a word holding exactly these characters has.
constexpr std::uint64_t PackName(std::string_view name) {
    std::uint64_t key = 0;
    for (std::size_t i = 0; i < 8; ++i) {
        key <<= 8;
        if (i < name.size()) key |= static_cast<unsigned char>(name[i]);
    }
    return key;
}

Word MakeWord(std::string_view name);

// Reads letters and digits from the current character on into a fresh word;
// characters beyond the 8th are consumed and dropped. The first character is
// not checked.
void ReadWord(SourceReader& reader, Word& word);

// The same, appending to a word that already holds its first characters.
void ReadWordOnto(SourceReader& reader, Word& word);

}  // namespace wordforge
