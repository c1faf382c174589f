#include "image/text.hpp"

namespace image {

void AppendHex(std::string& out, std::uint64_t value, unsigned digits) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (unsigned i = digits; i-- > 0;) out.push_back(kHex[(value >> (4 * i)) & 15u]);
}

void AppendBinary(std::string& out, std::uint64_t value, unsigned digits) {
    for (unsigned i = digits; i-- > 0;) out.push_back(((value >> i) & 1u) != 0 ? '1' : '0');
}

unsigned HexDigitsFor(std::uint64_t highest) {
    unsigned digits = 1;
    while (digits < 16 && (highest >> (4 * digits)) != 0) ++digits;
    return digits;
}

std::string Describe(const Store& store) {
    std::string text = store.name;
    if (!text.empty()) text += ", ";
    text += std::to_string(store.wordBits);
    text += "-bit words";
    return text;
}

}  // namespace image
