#pragma once
// The listing line under construction: at most 80 characters in fixed
// columns (counted from 1); text beyond column 80 is dropped when appended.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>
#include <string_view>

namespace wordforge {

inline constexpr std::size_t kListingWidth = 80;

// Room behind the 80 columns: fixed-size copies of up to 16 bytes may run
// into it. A written line is copied whole, its room with it, and the line
// end put behind its text in the output.
inline constexpr std::size_t kListingSlack = 16;

struct ListingLine {
    std::array<char, kListingWidth + kListingSlack> text{};
    std::size_t length = 0;
};

inline std::string_view Text(const ListingLine& line) { return {line.text.data(), line.length}; }

inline void Append(ListingLine& line, char c) {
    if (line.length < kListingWidth) line.text[line.length++] = c;
}

inline void Append(ListingLine& line, std::string_view text) {
    std::size_t count = std::min(kListingWidth - line.length, text.size());
    std::memcpy(line.text.data() + line.length, text.data(), count);
    line.length += count;
}

// Appends the first `count` of 8 bytes that may all be read (a word's
// characters): one fixed-size copy instead of a call.
inline void AppendEight(ListingLine& line, const char* bytes, std::size_t count) {
    std::memcpy(line.text.data() + line.length, bytes, 8);
    line.length += std::min(kListingWidth - line.length, count);
}

inline void Clear(ListingLine& line) { line.length = 0; }

// Pads with blanks up to `length`; a longer line stays as it is.
inline void PadTo(ListingLine& line, std::size_t length) {
    length = std::min(length, kListingWidth);
    if (line.length < length) {
        std::memset(line.text.data() + line.length, ' ', length - line.length);
        line.length = length;
    }
}

// Pads with blanks or cuts so that the line is exactly `length` long.
inline void PadOrCut(ListingLine& line, std::size_t length) {
    length = std::min(length, kListingWidth);
    PadTo(line, length);
    line.length = length;
}

// Overwrites the columns from `column` on with `text`; the line grows with
// blanks when it is shorter.
inline void SetColumns(ListingLine& line, std::size_t column, std::string_view text) {
    std::size_t start = column - 1;
    if (start >= kListingWidth || text.empty()) return;
    std::size_t count = std::min(text.size(), kListingWidth - start);
    PadTo(line, start);
    std::memcpy(line.text.data() + start, text.data(), count);
    line.length = std::max(line.length, start + count);
}

// Removes the columns first..last; what stood after them moves left.
void RemoveColumns(ListingLine& line, std::size_t first, std::size_t last);

}  // namespace wordforge
