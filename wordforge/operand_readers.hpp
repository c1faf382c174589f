#pragma once
// Number and operand readers. Each starts at the current character and
// leaves the first character it did not use as the new current one; with
// echo, the characters used are appended to the listing line. Readers that
// can fail return false; a number reader that finds no digit gives 0.
#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "wordforge/word_run.hpp"

namespace wordforge {

// The two upper-case hex digits of every byte value: a listing line shows
// up to three 16-bit values, so a byte is looked up at a time rather than
// each digit.
inline constexpr std::array<std::array<char, 2>, 256> kHexPairs = [] {
    constexpr char kHex[] = "0123456789ABCDEF";
    std::array<std::array<char, 2>, 256> pairs{};
    for (std::size_t i = 0; i < 256; ++i) pairs[i] = {kHex[i >> 4], kHex[i & 0xF]};
    return pairs;
}();

// Writes the 4 upper-case hex digits of the low 16 bits of the value.
inline void HexDigits(char* out, std::int32_t value) {
    auto bits = static_cast<std::uint32_t>(value);
    std::memcpy(out, kHexPairs[(bits >> 8) & 0xFF].data(), 2);
    std::memcpy(out + 2, kHexPairs[bits & 0xFF].data(), 2);
}

// The same digits as a string.
std::string HexWord(std::int32_t value);

// A run of n blanks (n at most 80).
std::string_view Blanks(std::size_t n);

inline void Echo(WordRun& run, char c) { Append(run.line, c); }

std::int32_t ReadDecimal(WordRun& run, bool echo);
std::int32_t ReadHex(WordRun& run, bool echo);
std::int32_t ReadOctal(WordRun& run);
std::int32_t ReadBase2(WordRun& run);

// The characters that may begin an unsigned or a signed number.
inline bool BeginsUnsigned(char c) { return IsDigit(c) || c == 'B' || c == 'O' || c == 'X'; }
inline bool BeginsSigned(char c) { return BeginsUnsigned(c) || c == '+' || c == '-'; }

// Decimal digits, or B, O or X directly followed by a double quote and then
// digits of base 2, 8 or 16 (blanks may stand after the quote).
bool ReadUnsigned(WordRun& run, std::int32_t& value);

// An optional sign, then an unsigned number. A sign followed by anything that
// begins no number fails.
bool ReadSigned(WordRun& run, std::int32_t& value);

// A decimal register number 0..3; no digit at all reads as register 0.
bool ReadRegister(WordRun& run, int& reg);

// "*", "*+n", "*-n", a label, "label+n" or "label-n" (n decimal).
bool ReadAddress(WordRun& run, std::int32_t& value);

// The DC operand: an optional sign, then a character literal, an unsigned
// number or a label.
bool ReadConstant(WordRun& run, std::int32_t& value);

// Appends characters to the listing line until the current one is the line
// end, the end of the source or one of `stops`. With keepCase the characters
// are taken as typed; the keep-case switch is off afterwards in any case.
void CopyRest(WordRun& run, std::string_view stops, bool keepCase);

}  // namespace wordforge
