// Positions between the assemblers' bytes and the protocol's units: line
// ends of all three kinds, characters of one to four bytes, and places
// outside the text, in UTF-16, UTF-8 and UTF-32. The expected units are
// counted by hand from the characters' encodings.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "lsp/documents.hpp"
#include "lsp/positions.hpp"

namespace {

using lsp::Position;
using lsp::PositionEncoding;

std::vector<std::uint32_t> Starts(std::string_view text) {
    std::vector<std::uint32_t> starts;
    lsp::IndexLines(text, starts);
    return starts;
}

TEST(Positions, LinesEndWithCrLfLfOrALoneCr) {
    EXPECT_EQ(Starts(""), (std::vector<std::uint32_t>{0}));
    EXPECT_EQ(Starts("a\r\nb\nc\rd"), (std::vector<std::uint32_t>{0, 3, 5, 7}));
    // A line end at the end leaves an empty last line; CR CR LF is a lone
    // CR, then CR LF; LF CR is LF, then a lone CR.
    EXPECT_EQ(Starts("x\r\n"), (std::vector<std::uint32_t>{0, 3}));
    EXPECT_EQ(Starts("\r\r\n\n\r"), (std::vector<std::uint32_t>{0, 1, 3, 4, 5}));
    const std::string text = "ab\r\ncd\ne\rf";
    const auto starts = Starts(text);
    EXPECT_EQ(lsp::LineContentEnd(text, starts, 0), 2u);
    EXPECT_EQ(lsp::LineContentEnd(text, starts, 1), 6u);
    EXPECT_EQ(lsp::LineContentEnd(text, starts, 2), 8u);
    EXPECT_EQ(lsp::LineContentEnd(text, starts, 3), 10u);
}

// A comment holding characters of two, three and four bytes and a tab:
// ";é€𝄞\tX". Bytes: ";" 0, "é" 1-2, "€" 3-5, "𝄞" 6-9, tab 10, "X" 11.
// UTF-16 units: ";" 0, "é" 1, "€" 2, "𝄞" 3-4, tab 5, "X" 6.
const std::string kLine = ";\xC3\xA9\xE2\x82\xAC\xF0\x9D\x84\x9E\tX";

TEST(Positions, CharactersCountInTheEncodingsUnits) {
    const std::string text = "first\r\n" + kLine + "\r\nlast";
    const auto starts = Starts(text);
    const std::uint32_t line = 7;  // where the comment's line starts
    struct Case {
        std::uint32_t byte, utf16, utf32;
    };
    for (const Case& c : {Case{0, 0, 0}, Case{1, 1, 1}, Case{3, 2, 2}, Case{6, 3, 3}, Case{10, 5, 4},
                          Case{11, 6, 5}, Case{12, 7, 6}}) {
        SCOPED_TRACE(c.byte);
        EXPECT_EQ(lsp::PositionOf(text, starts, line + c.byte, PositionEncoding::Utf16).character, c.utf16);
        EXPECT_EQ(lsp::PositionOf(text, starts, line + c.byte, PositionEncoding::Utf32).character, c.utf32);
        EXPECT_EQ(lsp::PositionOf(text, starts, line + c.byte, PositionEncoding::Utf8).character, c.byte);
        EXPECT_EQ(lsp::OffsetOf(text, starts, {1, c.utf16}, PositionEncoding::Utf16), line + c.byte);
        EXPECT_EQ(lsp::OffsetOf(text, starts, {1, c.utf32}, PositionEncoding::Utf32), line + c.byte);
        EXPECT_EQ(lsp::OffsetOf(text, starts, {1, c.byte}, PositionEncoding::Utf8), line + c.byte);
        // The assemblers' column is the byte from 1.
        const Position column = lsp::PositionOfColumn(text, starts, 2, static_cast<std::int32_t>(c.byte + 1),
                                                      PositionEncoding::Utf16);
        EXPECT_EQ(column.line, 1u);
        EXPECT_EQ(column.character, c.utf16);
    }
}

TEST(Positions, APlaceInsideACharacterGoesToItsStartOrItsEnd) {
    const auto starts = Starts(kLine);
    // Between the halves of the surrogate pair of "𝄞" (unit 4): its start.
    EXPECT_EQ(lsp::OffsetOf(kLine, starts, {0, 4}, PositionEncoding::Utf16), 6u);
    // A byte inside "€" (bytes 3-5), in UTF-8 as well.
    EXPECT_EQ(lsp::OffsetOf(kLine, starts, {0, 4}, PositionEncoding::Utf8), 3u);
    EXPECT_EQ(lsp::PositionOf(kLine, starts, 4, PositionEncoding::Utf16).character, 2u);
    // A range's end inside a character takes the whole character.
    EXPECT_EQ(lsp::PositionOfColumn(kLine, starts, 1, 8, PositionEncoding::Utf16, true).character, 5u);
    EXPECT_EQ(lsp::PositionOfColumn(kLine, starts, 1, 8, PositionEncoding::Utf16, false).character, 3u);
}

TEST(Positions, PlacesOutsideTheTextAreClamped) {
    const std::string text = "ab\r\ncd";
    const auto starts = Starts(text);
    // Past a line's end: the line's end, before its line end.
    EXPECT_EQ(lsp::OffsetOf(text, starts, {0, 99}, PositionEncoding::Utf16), 2u);
    // Past the last line: the end of the text.
    EXPECT_EQ(lsp::OffsetOf(text, starts, {7, 0}, PositionEncoding::Utf16), 6u);
    EXPECT_EQ(lsp::OffsetOf(text, starts, {4294967295u, 4294967295u}, PositionEncoding::Utf16), 6u);
    // An offset on the CR LF stands at its line's end.
    EXPECT_EQ(lsp::PositionOf(text, starts, 3, PositionEncoding::Utf16).line, 0u);
    EXPECT_EQ(lsp::PositionOf(text, starts, 3, PositionEncoding::Utf16).character, 2u);
    EXPECT_EQ(lsp::PositionOf(text, starts, 100, PositionEncoding::Utf16).line, 1u);
    const Position far = lsp::PositionOfColumn(text, starts, 9, 1, PositionEncoding::Utf16);
    EXPECT_EQ(far.line, 1u);
    EXPECT_EQ(far.character, 2u);
}

TEST(Positions, ABytePartOfNoCharacterCountsAsOne) {
    // A lone continuation byte, a lead byte cut short, an overlong form and
    // an encoded surrogate: each byte one unit, like U+FFFD.
    const std::string text = "\x80" "a\xC3" "b\xC0\xAF\xED\xA0\x80" "c";
    const auto starts = Starts(text);
    EXPECT_EQ(lsp::PositionOf(text, starts, static_cast<std::uint32_t>(text.size()), PositionEncoding::Utf16).character,
              10u);
    EXPECT_EQ(lsp::OffsetOf(text, starts, {0, 3}, PositionEncoding::Utf16), 3u);
}

TEST(Positions, ChangesApplyAtTheirPositions) {
    lsp::Document document;
    lsp::SetText(document, kLine + "\r\n* L:\n");
    // Replace the tab (UTF-16 unit 5 to 6) by two blanks.
    const lsp::Json change{{"range", {{"start", {{"line", 0}, {"character", 5}}}, {"end", {{"line", 0}, {"character", 6}}}}},
                           {"text", "  "}};
    ASSERT_TRUE(lsp::ApplyChange(document, change, PositionEncoding::Utf16));
    EXPECT_EQ(document.text, ";\xC3\xA9\xE2\x82\xAC\xF0\x9D\x84\x9E  X\r\n* L:\n");
    // A CR put before the LF makes one line end of the two.
    const lsp::Json cr{{"range", {{"start", {{"line", 1}, {"character", 4}}}, {"end", {{"line", 1}, {"character", 4}}}}},
                       {"text", "\r"}};
    ASSERT_TRUE(lsp::ApplyChange(document, cr, PositionEncoding::Utf16));
    EXPECT_EQ(document.lineStarts, (std::vector<std::uint32_t>{0, 15, 21}));
    // Deleting across the line end joins the lines; a range given end first
    // is taken from its start.
    const lsp::Json join{{"range", {{"start", {{"line", 1}, {"character", 0}}}, {"end", {{"line", 0}, {"character", 8}}}}},
                         {"text", ""}};
    ASSERT_TRUE(lsp::ApplyChange(document, join, PositionEncoding::Utf16));
    EXPECT_EQ(document.text, ";\xC3\xA9\xE2\x82\xAC\xF0\x9D\x84\x9E  X* L:\r\n");
    ASSERT_TRUE(lsp::ApplyChange(document, lsp::Json{{"text", "whole"}}, PositionEncoding::Utf16));
    EXPECT_EQ(document.text, "whole");
    EXPECT_FALSE(lsp::ApplyChange(document, lsp::Json{{"range", 5}}, PositionEncoding::Utf16));
}

// The index brought up to date after a change is the index of the new text,
// whatever the change does to the line ends around it: CR and LF put in,
// taken out, split apart and joined into pairs, at the ends of the text too.
TEST(Positions, TheIndexAfterAChangeIsTheIndexOfTheNewText) {
    std::mt19937 random(25);
    const std::string alphabet = "\r\n\r\nab";
    const auto pick = [&](std::size_t length) {
        std::string text;
        for (std::size_t i = 0; i < length; ++i) text += alphabet[random() % alphabet.size()];
        return text;
    };
    for (int round = 0; round < 20000; ++round) {
        std::string text = pick(random() % 12);
        std::vector<std::uint32_t> starts = Starts(text);
        for (int edit = 0; edit < 4; ++edit) {
            const std::uint32_t from = static_cast<std::uint32_t>(random() % (text.size() + 1));
            const std::uint32_t removed = static_cast<std::uint32_t>(random() % (text.size() - from + 1));
            const std::string inserted = pick(random() % 4);
            const std::string before = text;
            text.replace(from, removed, inserted);
            lsp::ReindexAfterReplace(text, starts, from, removed, static_cast<std::uint32_t>(inserted.size()));
            ASSERT_EQ(starts, Starts(text)) << "after replacing " << removed << " bytes at " << from << " of '"
                                            << before << "' by '" << inserted << "'";
        }
    }
}

TEST(Positions, TheLanguageIsTheClientsIdElseTheExtension) {
    using lsp::Language;
    EXPECT_EQ(lsp::LanguageOf("zorvelt-micro", "file:///a.asm"), Language::Microprogram);
    EXPECT_EQ(lsp::LanguageOf("zorvelt-asm", "untitled:1"), Language::Assembly);
    EXPECT_EQ(lsp::LanguageOf("", "file:///src/fetch.MIC"), Language::Microprogram);
    EXPECT_EQ(lsp::LanguageOf("plaintext", "file:///t.zasm"), Language::Assembly);
    EXPECT_EQ(lsp::LanguageOf("", "file:///t.asm?x=1"), Language::Assembly);
    EXPECT_EQ(lsp::LanguageOf("", "file:///notes.txt"), Language::None);
}

}  // namespace
