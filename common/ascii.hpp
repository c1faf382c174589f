#pragma once

// Letters compared as the formats and protocols read them: ASCII only, so
// that a header name or a format word matches in any case and no locale
// changes the answer.
#include <cstddef>
#include <string_view>

namespace common {

constexpr char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

constexpr bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
    }
    return true;
}

}  // namespace common
