// Lines and columns from byte offsets: every line-end style, offsets asked for
// out of order, and the end of the text.
#include <gtest/gtest.h>

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

TEST(LineLocator, FormatsTheGnuOneLineForm) {
    common::Diagnostic error{3, 8, common::Severity::Error, "E3", "END OF LINE."};
    EXPECT_EQ(common::FormatDiagnostic("a b.mic", error), "a b.mic:3:8: error: END OF LINE. [E3]");
    common::Diagnostic warning{12, 10, common::Severity::Warning, "-Wtruncation", "value 300"};
    EXPECT_EQ(common::FormatDiagnostic("p.asm", warning), "p.asm:12:10: warning: value 300 [-Wtruncation]");
    common::Diagnostic untagged{1, 1, common::Severity::Error, "", "ILLEGAL CHARACTER"};
    EXPECT_EQ(common::FormatDiagnostic("-", untagged), "-:1:1: error: ILLEGAL CHARACTER");
}

}  // namespace
