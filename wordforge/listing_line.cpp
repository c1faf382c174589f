#include "listing_line.hpp"

#include <algorithm>
#include <cstring>

namespace wordforge {

void Append(ListingLine& line, std::string_view text) {
    std::size_t room = kListingWidth - line.length;
    std::size_t count = std::min(room, text.size());
    std::memcpy(line.text.data() + line.length, text.data(), count);
    line.length += count;
}

void Clear(ListingLine& line) { line.length = 0; }

void PadOrCut(ListingLine& line, std::size_t length) {
    length = std::min(length, kListingWidth);
    PadTo(line, length);
    line.length = length;
}

void PadTo(ListingLine& line, std::size_t length) {
    length = std::min(length, kListingWidth);
    while (line.length < length) line.text[line.length++] = ' ';
}

void SetColumns(ListingLine& line, std::size_t column, std::string_view text) {
    std::size_t start = column - 1;
    for (std::size_t i = 0; i < text.size() && start + i < kListingWidth; ++i) {
        PadTo(line, start + i);
        line.text[start + i] = text[i];
        if (line.length < start + i + 1) line.length = start + i + 1;
    }
}

void RemoveColumns(ListingLine& line, std::size_t first, std::size_t last) {
    if (line.length < first) return;
    std::size_t end = std::min(last, line.length);
    std::size_t removed = end - first + 1;
    std::memmove(line.text.data() + first - 1, line.text.data() + end, line.length - end);
    line.length -= removed;
}

}  // namespace wordforge
