#pragma once
// What the image reader (image/reader.hpp) refuses a file with, and the
// limits it reads within; apart from the reader's calls, so that the
// readers of each format can use them.
#include <cstdint>
#include <optional>
#include <string>

namespace image {

inline constexpr std::size_t kMaxImageLine = 4096;
// The deepest store read for: the reader keeps a few bytes per address.
inline constexpr std::uint32_t kMaxImageDepth = std::uint32_t{1} << 24;

struct ReadError {
    std::string file;
    std::uint32_t line = 0;               // text formats: from 1; 0 when the fault is the file's as a whole
    std::optional<std::uint64_t> offset;  // bin: the byte where the fault is
    std::string text;
};

}  // namespace image
