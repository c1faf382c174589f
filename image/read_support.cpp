#include "image/read_support.hpp"

#include <algorithm>
#include <cstring>
#include <utility>

#include "image/text.hpp"

namespace image::read {

bool Fail(ReadError& error, const Target& target, std::uint32_t line, std::string text) {
    error = ReadError{std::string(target.file), line, std::nullopt, std::move(text)};
    return false;
}

bool FailAtByte(ReadError& error, const Target& target, std::uint64_t offset, std::string text) {
    error = ReadError{std::string(target.file), 0, offset, std::move(text)};
    return false;
}

bool Lines::Next(std::string_view& line) {
    const std::string_view text = target.bytes;
    if (failed || next >= text.size()) return false;
    const void* found = std::memchr(text.data() + next, '\n', text.size() - next);
    const std::size_t end = found == nullptr ? text.size() : static_cast<std::size_t>(static_cast<const char*>(found) - text.data());
    line = text.substr(next, end - next);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    next = found == nullptr ? text.size() : end + 1;
    ++number;
    if (line.size() > kMaxImageLine) {
        failed = true;
        Fail("line is " + std::to_string(line.size()) + " characters long; at most " +
             std::to_string(kMaxImageLine) + " are read");
        return false;
    }
    return true;
}

bool Lines::Fail(std::string text) { return read::Fail(error, target, number, std::move(text)); }

bool CommentedText::Skip() {
    for (;;) {
        if (rest.empty()) {
            if (lines.Next(rest)) continue;
            if (!lines.failed && inComment) {
                Fail(lines.error, lines.target, commentLine,
                     "the comment opened here is never closed with '" + std::string(blockClose) + "'");
                lines.failed = true;
            }
            return false;
        }
        if (inComment) {
            const std::size_t close = rest.find(blockClose);
            rest = close == std::string_view::npos ? std::string_view{} : rest.substr(close + blockClose.size());
            if (close != std::string_view::npos) inComment = false;
        } else if (IsBlank(rest.front())) {
            rest.remove_prefix(1);
        } else if (rest.substr(0, lineComment.size()) == lineComment) {
            rest = {};
        } else if (rest.substr(0, blockOpen.size()) == blockOpen) {
            inComment = true;
            commentLine = lines.number;
            rest.remove_prefix(blockOpen.size());
        } else {
            return true;
        }
    }
}

int DigitValue(char c, unsigned radix) {
    int value;
    if (c >= '0' && c <= '9') {
        value = c - '0';
    } else if (c >= 'a' && c <= 'z') {
        value = c - 'a' + 10;
    } else if (c >= 'A' && c <= 'Z') {
        value = c - 'A' + 10;
    } else {
        return -1;
    }
    return value < static_cast<int>(radix) ? value : -1;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v'; }

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

std::string Shown(char c) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7F) return std::string("'") + c + "'";
    std::string text = "byte 0x";
    AppendHex(text, byte, 2);
    return text;
}

std::string Quoted(std::string_view text) {
    constexpr std::size_t kShown = 24;
    std::string shown = "'";
    for (std::size_t i = 0; i < text.size() && i < kShown; ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        shown += byte >= 0x20 && byte < 0x7F ? text[i] : '?';
    }
    if (text.size() > kShown) shown += "...";
    return shown + "'";
}

Number ParseNumber(std::string_view digits, unsigned radix) {
    Number number;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        const int digit = DigitValue(digits[i], radix);
        if (digit < 0) {
            number.bad = i;
            return number;
        }
        if (number.value > (~std::uint64_t{0} - static_cast<unsigned>(digit)) / radix) number.overflow = true;
        number.value = number.value * radix + static_cast<unsigned>(digit);
    }
    return number;
}

std::string AddressText(std::uint64_t address, std::uint32_t depth) {
    std::string text = "0x";
    const unsigned digits = HexDigitsFor(depth == 0 ? 0 : depth - 1);
    AppendHex(text, address, std::max(digits, HexDigitsFor(address)));
    return text;
}

std::string WordText(std::uint64_t word) {
    std::string text;
    AppendHex(text, word, HexDigitsFor(word));
    return text;
}

bool FitsWidth(std::uint64_t word, unsigned bits) { return bits >= 64 || (word >> bits) == 0; }

std::string TooWide(std::uint64_t word, unsigned bits) {
    return "the word " + WordText(word) + " is wider than " + std::to_string(bits) + " bits";
}

std::string TooWideDigits(std::string_view digits, unsigned bits) {
    return "the word " + Quoted(digits) + " is wider than " + std::to_string(bits) + " bits";
}

std::string BeyondDepth(std::uint64_t address, std::uint32_t depth) {
    return "address " + AddressText(address, depth) + " is beyond the store's " + std::to_string(depth) + " words";
}

std::string WordBeyondDepth(std::string_view word, std::uint64_t address, std::uint32_t depth) {
    return "the word " + Quoted(word) + " would go to address " + AddressText(address, depth) + ", beyond the store's " +
           std::to_string(depth) + " words";
}

}  // namespace image::read
