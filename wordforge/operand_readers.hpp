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

#include "wordforge/hex_digits.hpp"
#include "wordforge/word_run.hpp"

namespace wordforge {

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
