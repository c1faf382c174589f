#pragma once
// What the text images share: digits, the line end and the comment that
// names the program.
#include <cstdint>
#include <string>

#include "image/store.hpp"

namespace image {

// Every text image ends its lines with CR LF, as every other file of the
// tool chain does. Each consumer takes it: $readmemh and $readmemb count CR
// as white space, Intel HEX's own record terminator is CR LF, Logisim trims
// each line it reads, and MIF readers take any white space.
inline constexpr const char* kLineEnd = "\r\n";

// Upper-case hexadecimal digits of the value, leading zeros kept, higher
// digits dropped.
void AppendHex(std::string& out, std::uint64_t value, unsigned digits);
void AppendBinary(std::string& out, std::uint64_t value, unsigned digits);

// Hexadecimal digits a value up to `highest` needs, at least one.
unsigned HexDigitsFor(std::uint64_t highest);

// "MAINLOOP, 40-bit words": the program and the width, for the comment line
// at the top of the text images.
std::string Describe(const Store& store);

}  // namespace image
