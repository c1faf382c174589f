#include "wordforge/listing_line.hpp"

namespace wordforge {

void RemoveColumns(ListingLine& line, std::size_t first, std::size_t last) {
    if (line.length < first) return;
    std::size_t end = std::min(last, line.length);
    std::size_t removed = end - first + 1;
    std::memmove(line.text.data() + first - 1, line.text.data() + end, line.length - end);
    line.length -= removed;
}

}  // namespace wordforge
