#pragma once
// The listing line under construction: at most 80 characters in fixed
// columns (counted from 1); text beyond column 80 is dropped when appended.
#include <array>
#include <cstddef>
#include <string_view>

namespace wordforge {

inline constexpr std::size_t kListingWidth = 80;

struct ListingLine {
    std::array<char, kListingWidth> text{};
    std::size_t length = 0;
};

inline std::string_view Text(const ListingLine& line) { return {line.text.data(), line.length}; }

inline void Append(ListingLine& line, char c) {
    if (line.length < kListingWidth) line.text[line.length++] = c;
}

void Append(ListingLine& line, std::string_view text);
void Clear(ListingLine& line);

// Pads with blanks or cuts so that the line is exactly `length` long.
void PadOrCut(ListingLine& line, std::size_t length);

// Pads with blanks up to `length`; a longer line stays as it is.
void PadTo(ListingLine& line, std::size_t length);

// Overwrites the columns from `column` on with `text`; the line grows with
// blanks when it is shorter.
void SetColumns(ListingLine& line, std::size_t column, std::string_view text);

// Removes the columns first..last; what stood after them moves left.
void RemoveColumns(ListingLine& line, std::size_t first, std::size_t last);

}  // namespace wordforge
