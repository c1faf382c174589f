#include "lsp/positions.hpp"

#include <algorithm>

namespace lsp {

namespace {

// The length of the well-formed UTF-8 sequence at `at`, or 0 when the byte
// there starts none.
std::uint32_t SequenceLength(std::string_view text, std::uint32_t at) {
    const auto byte = [&](std::uint32_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    std::uint32_t length = 0;
    unsigned char low = 0x80, high = 0xBF;  // the allowed range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (at + length > text.size()) return 0;
    if (byte(at + 1) < low || byte(at + 1) > high) return 0;
    for (std::uint32_t i = 2; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) return 0;
    }
    return length;
}

// The bytes and units of the character at `at` (not a line end).
void Character(std::string_view text, std::uint32_t at, PositionEncoding encoding, std::uint32_t& bytes,
               std::uint32_t& units) {
    const std::uint32_t length = SequenceLength(text, at);
    bytes = length == 0 ? 1 : length;
    switch (encoding) {
        case PositionEncoding::Utf8: units = bytes; break;
        case PositionEncoding::Utf16: units = length == 4 ? 2 : 1; break;
        case PositionEncoding::Utf32: units = 1; break;
    }
}

}  // namespace

std::string_view EncodingName(PositionEncoding encoding) {
    switch (encoding) {
        case PositionEncoding::Utf8: return "utf-8";
        case PositionEncoding::Utf32: return "utf-32";
        case PositionEncoding::Utf16: break;
    }
    return "utf-16";
}

void IndexLines(std::string_view text, std::vector<std::uint32_t>& starts) {
    starts.clear();
    starts.push_back(0);
    const char* const begin = text.data();
    const char* const end = begin + text.size();
    for (const char* p = begin; p < end; ++p) {
        const char c = *p;
        if (c == '\n') {
            starts.push_back(static_cast<std::uint32_t>(p + 1 - begin));
        } else if (c == '\r') {
            if (p + 1 < end && p[1] == '\n') ++p;
            starts.push_back(static_cast<std::uint32_t>(p + 1 - begin));
        }
    }
}

void ReindexAfterReplace(std::string_view text, std::vector<std::uint32_t>& starts, std::uint32_t from,
                         std::uint32_t removed, std::uint32_t inserted) {
    const std::uint32_t to = from + removed;  // the end of the old bytes replaced
    // Kept as they are: the starts up to the line holding the byte before
    // the change, whose line ends lie wholly before it. Kept, moved: the
    // starts after to + 1, whose line ends and the bytes around them were
    // not touched (a line end at `to` may pair anew with what came before).
    const std::uint32_t before = from == 0 ? 0 : from - 1;
    const std::size_t first =
        static_cast<std::size_t>(std::upper_bound(starts.begin(), starts.end(), before) - starts.begin()) - 1;
    const std::size_t tail =
        static_cast<std::size_t>(std::upper_bound(starts.begin(), starts.end(), to + 1) - starts.begin());
    std::vector<std::uint32_t> moved(starts.begin() + static_cast<std::ptrdiff_t>(tail), starts.end());
    starts.resize(first + 1);
    const std::uint32_t limit = to + 1 + inserted - removed;  // the last start read again, in the new text
    const std::uint32_t size = static_cast<std::uint32_t>(text.size());
    for (std::uint32_t p = starts.back(); p < size && p < limit; ++p) {
        const char c = text[p];
        if (c != '\n' && c != '\r') continue;
        if (c == '\r' && p + 1 < size && text[p + 1] == '\n') ++p;
        if (p + 1 <= limit) starts.push_back(p + 1);
    }
    for (std::uint32_t start : moved) starts.push_back(start + inserted - removed);
}

std::uint32_t LineContentEnd(std::string_view text, const std::vector<std::uint32_t>& starts, std::uint32_t line) {
    if (line + 1 >= starts.size()) return static_cast<std::uint32_t>(text.size());
    std::uint32_t end = starts[line + 1];
    // The next line starts after this one's line end: LF, CR or CR LF.
    if (end > starts[line] && text[end - 1] == '\n') --end;
    if (end > starts[line] && text[end - 1] == '\r') --end;
    return end;
}

std::uint32_t UnitsBetween(std::string_view text, std::uint32_t lineStart, std::uint32_t offset,
                           PositionEncoding encoding, bool roundUp) {
    std::uint32_t units = 0;
    std::uint32_t at = lineStart;
    while (at < offset) {
        if (static_cast<unsigned char>(text[at]) < 0x80) {
            ++at;
            ++units;
            continue;
        }
        std::uint32_t bytes = 0, width = 0;
        Character(text, at, encoding, bytes, width);
        if (at + bytes > offset && !roundUp) break;  // inside the character: at its start
        units += width;
        at += bytes;
    }
    return units;
}

std::uint32_t OffsetOf(std::string_view text, const std::vector<std::uint32_t>& starts, Position position,
                       PositionEncoding encoding) {
    if (position.line >= starts.size()) return static_cast<std::uint32_t>(text.size());
    const std::uint32_t start = starts[position.line];
    const std::uint32_t end = LineContentEnd(text, starts, position.line);
    std::uint32_t at = start;
    std::uint32_t left = position.character;
    while (at < end && left > 0) {
        if (static_cast<unsigned char>(text[at]) < 0x80) {
            ++at;
            --left;
            continue;
        }
        std::uint32_t bytes = 0, units = 0;
        Character(text, at, encoding, bytes, units);
        if (units > left) break;  // inside the character: at its start
        left -= units;
        at += bytes;
    }
    return std::min(at, end);
}

Position PositionOf(std::string_view text, const std::vector<std::uint32_t>& starts, std::uint32_t offset,
                    PositionEncoding encoding) {
    offset = std::min(offset, static_cast<std::uint32_t>(text.size()));
    const auto after = std::upper_bound(starts.begin(), starts.end(), offset);
    const std::uint32_t line = static_cast<std::uint32_t>(after - starts.begin()) - 1;
    // An offset on a line end stands at the end of its line's content.
    const std::uint32_t end = std::min(offset, LineContentEnd(text, starts, line));
    return {line, UnitsBetween(text, starts[line], end, encoding)};
}

Position PositionOfColumn(std::string_view text, const std::vector<std::uint32_t>& starts, std::int32_t line,
                          std::int32_t column, PositionEncoding encoding, bool roundUp) {
    if (line < 1) return {0, 0};
    const std::uint32_t index = static_cast<std::uint32_t>(line - 1);
    if (index >= starts.size()) return PositionOf(text, starts, static_cast<std::uint32_t>(text.size()), encoding);
    const std::uint32_t start = starts[index];
    const std::uint32_t end = LineContentEnd(text, starts, index);
    const std::uint32_t wanted = column < 1 ? 0 : static_cast<std::uint32_t>(column - 1);
    const std::uint32_t offset = std::min(end, start + std::min(wanted, end - start));
    return {index, UnitsBetween(text, start, offset, encoding, roundUp)};
}

}  // namespace lsp
