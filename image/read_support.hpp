#pragma once
// What the readers of each format share (inside the image library only):
// the file being read and what it must fit, the words found with where each
// came from, a line reader that counts lines and refuses overlong ones, and
// the digits of numbers.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/ascii.hpp"

#include "image/intel_hex.hpp"
#include "image/placed_word.hpp"
#include "image/read_error.hpp"

namespace image::read {

// One file to read and the words it must hold.
struct Target {
    std::string_view file;   // the name, for messages
    std::string_view bytes;
    unsigned wordBits;       // the width of its words: the machine's, or a lane's
    std::uint32_t depth;
    HexAddressing addressing;
};

// The words of one file, and for each the line (text) or byte offset (bin)
// that gave it, for messages about lane files that disagree.
struct Found {
    std::vector<PlacedWord> words;
    std::vector<std::uint64_t> where;
    std::optional<unsigned> statedBits;

    void Add(std::uint32_t address, std::uint64_t word, std::uint64_t at) {
        words.push_back({address, word});
        where.push_back(at);
    }
};

// Fills the error and returns false, so that a reader can `return Fail(...)`.
bool Fail(ReadError& error, const Target& target, std::uint32_t line, std::string text);
bool FailAtByte(ReadError& error, const Target& target, std::uint64_t offset, std::string text);

// Lines of a text one by one, without their line ends (LF, or CR LF).
struct Lines {
    const Target& target;
    ReadError& error;
    std::size_t next = 0;      // where the next line starts
    std::uint32_t number = 0;  // of the line handed out last
    bool failed = false;       // a line was too long: the error is set

    // The next line; false at the end of the text or on a line longer
    // than kMaxImageLine (then `failed`).
    bool Next(std::string_view& line);
    bool AtEnd() const { return next >= target.bytes.size(); }
    // An error on the current line.
    bool Fail(std::string text);
};

// Text read past blanks and comments, for the formats of free-form text: a
// line comment runs to the line end, a block comment from its open mark to
// its close mark over any number of lines.
struct CommentedText {
    Lines lines;
    std::string_view lineComment;  // "//", "--"
    std::string_view blockOpen;    // "/*", "%"
    std::string_view blockClose;   // "*/", "%"
    std::string_view rest{};       // of the current line, from the next character to read
    bool inComment = false;
    std::uint32_t commentLine = 0;  // where the open block comment started

    // Moves `rest` to the next character that is no blank and in no
    // comment; false at the end of the text, or on a fault (a line too long,
    // a block comment never closed): then `lines.failed` and the error set.
    bool Skip();
};

// Value of a digit in the given radix, or -1.
int DigitValue(char c, unsigned radix);
bool IsBlank(char c);  // space, tab, CR, form feed, vertical tab
std::string_view Trim(std::string_view text);
using common::EqualsIgnoringCase;

// A character for a message: 'g', or byte 0x07 when it does not print.
std::string Shown(char c);
// A token for a message, cut short when long.
std::string Quoted(std::string_view text);

// The digits as an unsigned number; false when one is no digit of the
// radix (`bad` then points to it) or the value needs more than 64 bits
// (`overflow`).
struct Number {
    std::uint64_t value = 0;
    bool overflow = false;
    std::size_t bad = std::string_view::npos;
};
Number ParseNumber(std::string_view digits, unsigned radix);

// "0x013": an address in the digits of the store's last address.
std::string AddressText(std::uint64_t address, std::uint32_t depth);
// "1FFFFFFFFFF": a word in hex.
std::string WordText(std::uint64_t word);
bool FitsWidth(std::uint64_t word, unsigned bits);
// "the word 1FF is wider than 8 bits"
std::string TooWide(std::uint64_t word, unsigned bits);
std::string TooWideDigits(std::string_view digits, unsigned bits);
// "address 0x1000 is beyond the store's 4096 words"
std::string BeyondDepth(std::uint64_t address, std::uint32_t depth);
// "the word '2' would go to address 0x1000, beyond the store's 4096 words"
std::string WordBeyondDepth(std::string_view word, std::uint64_t address, std::uint32_t depth);

// Where a file's name gives its lane: ".lane<N>" followed by "." or the
// end of the name, the last such in its last path component.
struct LaneMark {
    unsigned lane;
    std::size_t at;      // of the "."
    std::size_t length;  // ".lane" and the digits
};
std::optional<LaneMark> FindLaneMark(std::string_view name);
// The name with another lane: the name of a lane file that is missing.
std::string WithLane(std::string_view name, unsigned lane);

// The readers of each format: each fills `found` or the error.
bool ReadReadmem(const Target& target, bool binary, Found& found, ReadError& error);
bool ReadIntelHex(const Target& target, Found& found, ReadError& error);
bool ReadLogisim(const Target& target, Found& found, ReadError& error);
bool ReadMif(const Target& target, Found& found, ReadError& error);
bool ReadBin(const Target& target, Found& found, ReadError& error);
bool ReadObject(const Target& target, Found& found, ReadError& error);

// What the content tells of the text formats that have no mark of their
// own. Readmem text: none unless its first token is a number or an "@"
// address; else whether it is binary (readmemb). MIF: its first token is a
// header keyword.
std::optional<bool> SniffReadmem(std::string_view bytes, unsigned wordBits);
bool SniffMif(std::string_view bytes);

}  // namespace image::read
