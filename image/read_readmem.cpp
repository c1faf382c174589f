// $readmemh and $readmemb text as Verilog reads it: white space, comments,
// "@" addresses and numbers, each number the word at the next address.
#include <algorithm>

#include "image/read_support.hpp"
#include "image/reader.hpp"

namespace image::read {

namespace {

// A number token: digits of the radix, "_" after the first as a spacer,
// x and z as unknown digits. A word of unknown digits only is a
// word never loaded: it takes its address and gives nothing.
struct Word {
    std::uint64_t value = 0;
    bool unknown = false;  // every digit x or z
};

bool IsUnknownDigit(char c) { return c == 'x' || c == 'X' || c == 'z' || c == 'Z'; }

bool ReadWord(Lines& lines, std::string_view token, unsigned radix, unsigned bits, Word& word) {
    const char* kind = radix == 2 ? "binary" : "hex";
    if (token.front() == '_') return lines.Fail("a number may not start with '_': " + Quoted(token));
    std::size_t known = 0, unknown = 0;
    bool overflow = false;
    for (char c : token) {
        if (c == '_') continue;
        if (IsUnknownDigit(c)) {
            ++unknown;
            continue;
        }
        const int digit = DigitValue(c, radix);
        if (digit < 0) return lines.Fail(Shown(c) + " is not a " + std::string(kind) + " digit, in " + Quoted(token));
        ++known;
        if ((word.value >> (64 - (radix == 2 ? 1 : 4))) != 0) overflow = true;
        word.value = word.value * radix + static_cast<unsigned>(digit);
    }
    if (unknown != 0 && known != 0) {
        return lines.Fail("the word " + Quoted(token) + " mixes unknown (x or z) and known digits");
    }
    word.unknown = unknown != 0;
    if (overflow || !FitsWidth(word.value, bits)) return lines.Fail(TooWideDigits(token, bits));
    return true;
}

// The tokens of the text: groups of characters up to a blank or a "/",
// with "//" and "/* */" comments dropped.
struct Tokens {
    CommentedText text;

    // The next token; false at the end or on a fault (then the error is set).
    bool Next(std::string_view& token) {
        if (!text.Skip()) return false;
        std::string_view& rest = text.rest;
        if (rest.front() == '/') {
            text.lines.Fail("a '/' that starts no comment");
            text.lines.failed = true;
            return false;
        }
        std::size_t end = 1;
        while (end < rest.size() && !IsBlank(rest[end]) && rest[end] != '/') ++end;
        token = rest.substr(0, end);
        rest.remove_prefix(end);
        return true;
    }
};

Tokens TokensOf(const Target& target, ReadError& error) { return Tokens{{Lines{target, error}, "//", "/*", "*/"}}; }

}  // namespace

bool ReadReadmem(const Target& target, bool binary, Found& found, ReadError& error) {
    const unsigned radix = binary ? 2 : 16;
    Tokens tokens = TokensOf(target, error);
    Lines& lines = tokens.text.lines;
    std::uint64_t address = 0;
    std::string_view token;
    while (tokens.Next(token)) {
        if (token.front() == '@') {
            const std::string_view digits = token.substr(1);
            if (digits.empty()) return lines.Fail("'@' needs a hex word address right after it");
            const Number at = ParseNumber(digits, 16);
            if (at.bad != std::string_view::npos) {
                return lines.Fail(Shown(digits[at.bad]) + " is not a hex digit, in the address " + Quoted(token));
            }
            if (at.overflow || at.value >= target.depth) {
                return lines.Fail(at.overflow ? "address " + Quoted(token) + " is beyond the store's " +
                                                    std::to_string(target.depth) + " words"
                                              : BeyondDepth(at.value, target.depth));
            }
            address = at.value;
            continue;
        }
        Word word;
        if (!ReadWord(lines, token, radix, target.wordBits, word)) return false;
        if (address >= target.depth) {
            return lines.Fail(WordBeyondDepth(token, address, target.depth));
        }
        if (!word.unknown) found.Add(static_cast<std::uint32_t>(address), word.value, lines.number);
        ++address;
    }
    return !lines.failed;
}

std::optional<bool> SniffReadmem(std::string_view bytes, unsigned wordBits) {
    const Target target{"", bytes, wordBits, 0, HexAddressing::Bytes};
    ReadError ignored;
    Tokens tokens = TokensOf(target, ignored);
    std::string_view token;
    bool any = false, binaryOnly = true;
    std::size_t longest = 0;
    while (tokens.Next(token)) {
        const bool address = token.front() == '@';
        const char first = address ? (token.size() > 1 ? token[1] : ' ') : token.front();
        if (!any && DigitValue(first, 16) < 0 && !IsUnknownDigit(first)) return std::nullopt;
        any = true;
        if (address) continue;
        std::size_t digits = 0;
        for (char c : token) {
            if (c == '_') continue;
            ++digits;
            if (c != '0' && c != '1' && !IsUnknownDigit(c)) binaryOnly = false;
        }
        if (!binaryOnly) break;
        longest = std::max(longest, digits);
    }
    // The text before a fault still tells what it was meant to be.
    return binaryOnly && longest > (wordBits + 3) / 4;
}

}  // namespace image::read
