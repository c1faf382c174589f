#pragma once
// The hexadecimal digits of the listing, the label table and the object file.
#include <array>
#include <cstdint>
#include <cstring>

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

}  // namespace wordforge
