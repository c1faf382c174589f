// Lines and columns from byte offsets: every line-end style, offsets asked for
// out of order, and the end of the text.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "common/diagnostics.hpp"

namespace {

common::Place At(common::LineLocator& locator, std::size_t offset) { return common::Locate(locator, offset); }

TEST(LineLocator, EveryLineEndStyleAndAnyOrder) {
    // Line 1 "AB" CR LF, line 2 "C" LF, line 3 "D" CR, line 4 "EF" (no end).
    common::LineLocator locator;
    locator.text = "AB\r\nC\nD\rEF";
    struct Case { std::size_t offset; int line, column; };
    const Case cases[] = {
        {9, 4, 2},   // F, asked for first
        {0, 1, 1},   // A
        {2, 1, 3},   // the CR ends line 1 and belongs to it
        {3, 1, 4},   // so does the LF of the pair
        {4, 2, 1},   // C
        {5, 2, 2},   // its LF
        {6, 3, 1},   // D
        {7, 3, 2},   // its lone CR
        {8, 4, 1},   // E
        {10, 4, 3},  // the end of the text, just past the last line
        {99, 4, 3},  // beyond the end counts as the end
    };
    for (const Case& c : cases) {
        common::Place place = At(locator, c.offset);
        EXPECT_EQ(place.line, c.line) << "offset " << c.offset;
        EXPECT_EQ(place.column, c.column) << "offset " << c.offset;
    }
}

// A diagnostic covers the token it names: a word of letters, digits and "_",
// the assignment ":=", one byte of anything else, nothing at a line end.
TEST(LineLocator, DiagnosticsCoverTheirToken) {
    const std::string text = "* LOOP_1: 10\r\nR1 := R2, 5\nX\xC3\x84\xE2\x82\xAC\xC3";
    std::vector<common::Diagnostic> list;
    common::DiagnosticSink sink = common::ListSink(text, list);
    struct Case { std::size_t offset; int column, endColumn; };
    const Case cases[] = {
        {0, 1, 2},    // "*"
        {2, 3, 9},    // "LOOP_1", its colon not part of it
        {10, 11, 13}, // "10"
        {12, 13, 13}, // the CR LF: nothing
        {17, 4, 6},   // ":=" on line 2
        {22, 9, 10},  // ","
        {25, 12, 12}, // the lone LF
        {26, 1, 2},   // "X"
        {27, 2, 4},   // "\xC3\x84", one character of two bytes
        {29, 4, 7},   // "\xE2\x82\xAC", of three
        {32, 7, 8},   // a lead byte the text ends after
        {33, 8, 8},   // the end of the text
    };
    for (const Case& c : cases) {
        common::Record(sink, c.offset, common::Severity::Error, "", "m");
        ASSERT_FALSE(list.empty());
        EXPECT_EQ(list.back().column, c.column) << "offset " << c.offset;
        EXPECT_EQ(list.back().endColumn, c.endColumn) << "offset " << c.offset;
    }
}

// Where each byte stands, worked out byte by byte from what ends a line: a
// carriage return with a line feed, a line feed alone, a carriage return alone.
std::vector<common::Place> PlacesByDefinition(const std::string& text) {
    std::vector<common::Place> places;
    common::Place place;
    for (std::size_t i = 0; i < text.size(); ++i) {
        places.push_back(place);
        ++place.column;
        const bool pairStart = text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n';
        if ((text[i] == '\n' || text[i] == '\r') && !pairStart) place = {place.line + 1, 1};
    }
    places.push_back(place);  // the end of the text
    return places;
}

// Long texts, so that whole blocks of bytes are counted at once, with every
// line-end style, more than 4096 lines, and offsets asked for mostly in order
// with gaps of every size and now and then far back.
TEST(LineLocator, LongTextsAgreeWithTheDefinitionAtEveryOffsetAskedFor) {
    const char* const styles[] = {"\n", "\r\n", "mixed"};
    for (const char* style : styles) {
        std::mt19937 random(12345);
        std::string text;
        const std::string_view ends[] = {"\n", "\r\n", "\r", "\n"};
        for (int line = 0; line < 20000; ++line) {
            text.append(random() % 30, 'x');
            if (std::string_view(style) == "mixed") {
                text += ends[random() % 4];
            } else {
                text += style;
            }
        }
        text += "tail";
        const std::vector<common::Place> expected = PlacesByDefinition(text);
        common::LineLocator locator;
        locator.text = text;
        std::size_t offset = 0;
        int checked = 0;
        while (offset <= text.size()) {
            const common::Place place = common::Locate(locator, offset);
            ASSERT_EQ(place.line, expected[offset].line) << style << " offset " << offset;
            ASSERT_EQ(place.column, expected[offset].column) << style << " offset " << offset;
            ++checked;
            const auto step = random() % 100;
            if (step == 0 && offset > 5000) {
                offset -= random() % 5000;  // back, as a later diagnostic may point
            } else {
                offset += step < 60 ? step % 9 : step < 95 ? step : step * 4;
            }
        }
        EXPECT_GT(checked, 5000) << style;
    }
}

TEST(LineLocator, FormatsTheGnuOneLineForm) {
    common::Diagnostic error{3, 8, common::Severity::Error, "E3", "END OF LINE."};
    EXPECT_EQ(common::FormatDiagnostic("a b.mic", error), "a b.mic:3:8: error: END OF LINE. [E3]");
    common::Diagnostic warning{12, 10, common::Severity::Warning, "-Wtruncation", "value 300"};
    EXPECT_EQ(common::FormatDiagnostic("p.asm", warning), "p.asm:12:10: warning: value 300 [-Wtruncation]");
    common::Diagnostic untagged{1, 1, common::Severity::Error, "", "ILLEGAL CHARACTER"};
    EXPECT_EQ(common::FormatDiagnostic("-", untagged), "-:1:1: error: ILLEGAL CHARACTER");
}

}  // namespace
