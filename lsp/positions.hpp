#pragma once
// Places in a document, converted between the assemblers' byte counts and
// the protocol's positions.
//
// The assemblers count lines from 1 and columns in bytes from 1; a line ends
// with CR LF, a lone CR or a lone LF. The protocol counts lines from 0,
// ended the same three ways, and characters from 0 in the unit the client
// and server agreed on: UTF-16 code units unless the client offered UTF-8
// (bytes, the assemblers' own count) or UTF-32 (code points).
//
// Converting walks the bytes of one line only: a line's start comes from the
// document's line index. A run of bytes below 0x80 counts one unit per byte
// in every encoding, so ASCII lines cost a scan, not a decode. The text is
// UTF-8 (it came in JSON); should a byte not start a well-formed sequence it
// counts as one character, U+FFFD, one unit. A position inside a character
// (between the two halves of a surrogate pair, or a byte inside a sequence)
// goes to that character's start; past a line's end to the line's end; past
// the last line to the end of the document.
#include <cstdint>
#include <string_view>
#include <vector>

namespace lsp {

enum class PositionEncoding : std::uint8_t { Utf16, Utf8, Utf32 };

std::string_view EncodingName(PositionEncoding encoding);

struct Position {
    std::uint32_t line = 0;
    std::uint32_t character = 0;
};

// The byte offset of every line's start; line 0 starts at 0, and a text that
// ends with a line end has an empty last line after it.
void IndexLines(std::string_view text, std::vector<std::uint32_t>& starts);

// Brings the index up to date after bytes [from, from + removed) of the text
// were replaced by `inserted` bytes (`text` is the new text): only the lines
// around the change are read again, the later starts moved by the
// difference. The same as IndexLines on the new text.
void ReindexAfterReplace(std::string_view text, std::vector<std::uint32_t>& starts, std::uint32_t from,
                         std::uint32_t removed, std::uint32_t inserted);

// Where line `line` (from 0, within the index) ends: before its line end.
std::uint32_t LineContentEnd(std::string_view text, const std::vector<std::uint32_t>& starts, std::uint32_t line);

// The byte offset of a position.
std::uint32_t OffsetOf(std::string_view text, const std::vector<std::uint32_t>& starts, Position position,
                       PositionEncoding encoding);

// The position of a byte offset (clamped to the text); a byte inside a
// character stands for that character's start.
Position PositionOf(std::string_view text, const std::vector<std::uint32_t>& starts, std::uint32_t offset,
                    PositionEncoding encoding);

// The character count of bytes [lineStart, offset) of one line, in the
// encoding's units; `offset` inside a character counts that character when
// `roundUp`, else not.
std::uint32_t UnitsBetween(std::string_view text, std::uint32_t lineStart, std::uint32_t offset,
                           PositionEncoding encoding, bool roundUp = false);

// The position of a 1-based line and byte column as the assemblers give them;
// `roundUp` moves a column inside a character to its end (for the end of a
// range), else to its start.
Position PositionOfColumn(std::string_view text, const std::vector<std::uint32_t>& starts, std::int32_t line,
                          std::int32_t column, PositionEncoding encoding, bool roundUp = false);

}  // namespace lsp
