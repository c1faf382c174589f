// The source model as the page receives it: flat rows of named columns,
// with places counted in UTF-16 code units of the text the page encoded.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "web/entry.hpp"
#include "web/model_tables.hpp"

namespace {

template <std::size_t N>
std::int32_t At(const std::vector<std::int32_t>& rows, const std::array<const char*, N>& columns, std::size_t row,
                std::string_view column) {
    const auto found = std::find_if(columns.begin(), columns.end(), [&](const char* name) { return column == name; });
    EXPECT_NE(found, columns.end()) << column;
    return rows.at(row * N + static_cast<std::size_t>(found - columns.begin()));
}

TEST(ModelTables, ByteOffsetsBecomeUtf16Offsets) {
    // "aÄ€𝄞b": a (1 byte), Ä (2), € (3), 𝄞 (4 bytes, two units), b.
    const std::string text = "a\xC3\x84\xE2\x82\xAC\xF0\x9D\x84\x9E" "b";
    const web::Utf16Offsets offsets = web::ScanUtf16(text);
    const std::vector<std::pair<std::uint32_t, std::int32_t>> expected{{0, 0}, {1, 1}, {3, 2}, {6, 3}, {10, 5}, {11, 6}};
    for (const auto& [bytes, units] : expected) EXPECT_EQ(web::ToUtf16(offsets, bytes), units) << bytes;
    EXPECT_TRUE(web::ScanUtf16("plain ASCII\r\n").after.empty());
    // A byte that leads nothing, or a character cut off at the end, counts one.
    const web::Utf16Offsets broken = web::ScanUtf16("\x84x\xE2\x82");
    EXPECT_EQ(web::ToUtf16(broken, 4), 4);
}

// The golden dispatch program: ENTRY at 000 (target of GOTO), an IOP to
// OPTAB, an IRA to IRTAB and an IAB to ABTAB; the aligned targets land where
// their rules put them (IRTAB 013: next 16-word block keeping the low bits
// of 00F; OPTAB 020; ABTAB 040) and IRHIGH at its given 843.
const char kDispatch[] =
    ".TITLE DISPATCH\n* ENTRY:\nIOP OPTAB\nR0 := R1\n* 0D\nIRA IRTAB\n*\nIAB ABTAB\nWRITE\n* IRTAB:\nR2 := R3\n"
    "* OPTAB:\nREAD\n* ABTAB:\nIRA IRHIGH\n* IRHIGH: 843\nGOTO ENTRY\n.END\n";

TEST(ModelTables, CtrlforgeStatementsCarryTheirPlacesWordsAndCells) {
    web::EntryResult result = web::AssembleCtrlforge(kDispatch, {.model = true});
    ASSERT_FALSE(result.failed);
    const web::ModelTables tables = web::CtrlforgeTables(result.ctrlforgeModel, kDispatch);
    const auto& columns = web::kStatementColumns;
    ASSERT_EQ(tables.units.size(), 7 * columns.size());
    EXPECT_EQ(tables.title, "DISPATCH");
    const std::vector<std::int32_t> addresses{0x000, 0x00D, 0x00E, 0x013, 0x020, 0x040, 0x843};
    const std::vector<std::int32_t> classes{2, 0, 0, 3, 4, 5, 3};
    // The object file's words, as the format lays out the fields.
    const std::vector<std::uint64_t> words{0x1FFC35FE02, 0xFFFFF61E07, 0xFFFFD71E10, 0x3FFCBFFE00,
                                           0xFFFFCFFE00, 0xFFFFF63E13, 0xFFFFF01E00};
    for (std::size_t i = 0; i < 7; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(At(tables.units, columns, i, "address"), addresses[i]);
        EXPECT_EQ(At(tables.units, columns, i, "placementClass"), classes[i]);
        EXPECT_EQ(At(tables.units, columns, i, "flags") & web::kPacked, web::kPacked);
        const auto high = static_cast<std::uint64_t>(static_cast<std::uint32_t>(At(tables.units, columns, i, "wordHigh")));
        const auto low = static_cast<std::uint64_t>(static_cast<std::uint32_t>(At(tables.units, columns, i, "wordLow")));
        EXPECT_EQ(high << 32 | low, words[i]);
    }
    // The first statement runs from its "*" (offset 16) to the end of
    // "R0 := R1" (offset 43); its heading ends at 24.
    EXPECT_EQ(At(tables.units, columns, 0, "begin"), 16);
    EXPECT_EQ(At(tables.units, columns, 0, "headingEnd"), 24);
    EXPECT_EQ(At(tables.units, columns, 0, "end"), 43);
    // Its map cells: "R1L NRB NAL NSH R0S NMM IOP NTS NEX 002 ", its LT bits
    // 002 (OPTAB 020 divided by 16), SQ's bits 0101.
    EXPECT_EQ(tables.cells.substr(0, 40), "R1L NRB NAL NSH R0S NMM IOP NTS NEX 002 ");
    EXPECT_EQ(tables.fieldBits[9], 0x002);
    EXPECT_EQ(tables.fieldBits[6], 0x5);
    // ENTRY is statement 0, at 000, used once by GOTO in the last statement.
    const auto& labelColumns = web::kCtrlLabelColumns;
    EXPECT_EQ(tables.labelNames, "ENTRY\nOPTAB\nIRTAB\nABTAB\nIRHIGH\n");
    EXPECT_EQ(At(tables.labels, labelColumns, 0, "statement"), 0);
    EXPECT_EQ(At(tables.labels, labelColumns, 0, "begin"), 18);
    EXPECT_EQ(At(tables.labels, labelColumns, 0, "end"), 23);
    const std::int32_t firstUse = At(tables.labels, labelColumns, 0, "firstUse");
    ASSERT_EQ(At(tables.labels, labelColumns, 0, "uses"), 1);
    const auto use = static_cast<std::size_t>(firstUse);
    EXPECT_EQ(At(tables.uses, web::kCtrlUseColumns, use, "statement"), 6);
    EXPECT_EQ(At(tables.uses, web::kCtrlUseColumns, use, "label"), 0);
    EXPECT_EQ(std::string(web::kLabelUseNames[static_cast<std::size_t>(At(tables.uses, web::kCtrlUseColumns, use, "clause"))]),
              "GOTO");
    const std::int32_t useBegin = At(tables.uses, web::kCtrlUseColumns, use, "begin");
    EXPECT_EQ(std::string(kDispatch).substr(static_cast<std::size_t>(useBegin), 5), "ENTRY");
    // The branch of the last statement names ENTRY at 000.
    EXPECT_EQ(At(tables.units, columns, 6, "target"), 0);
    EXPECT_EQ(At(tables.units, columns, 6, "targetAddress"), 0);
    // Tokens come three numbers each, the first the title directive.
    ASSERT_GE(tables.tokens.size(), 3u);
    EXPECT_EQ(tables.tokens.size() % 3, 0u);
    EXPECT_EQ(std::string(web::kTokenKindNames[static_cast<std::size_t>(tables.tokens[2])]), "directive");
}

TEST(ModelTables, PlacesAfterCharactersOfSeveralBytesCountUnits) {
    // The comment's "Größe" holds two characters of two bytes: the heading
    // after it starts two units before its byte offset (21).
    const std::string text = ".TITLE UTF\n; Gr\xC3\xB6\xC3\x9F" "e\n* LOOP:\nGOTO LOOP\n.END\n";
    web::EntryResult result = web::AssembleCtrlforge(text, {.model = true});
    ASSERT_FALSE(result.failed);
    const web::ModelTables tables = web::CtrlforgeTables(result.ctrlforgeModel, text);
    ASSERT_EQ(tables.units.size(), web::kStatementColumns.size());
    EXPECT_EQ(text.find('*'), 21u);
    EXPECT_EQ(At(tables.units, web::kStatementColumns, 0, "begin"), 19);
    EXPECT_EQ(At(tables.labels, web::kCtrlLabelColumns, 0, "begin"), 21);
}

TEST(ModelTables, AModelOnlyWhenAskedFor) {
    EXPECT_TRUE(web::AssembleCtrlforge(kDispatch, {}).ctrlforgeModel.statements.empty());
    // A run with errors still has a model of what was read: no word packed.
    web::EntryResult failed = web::AssembleCtrlforge(".TITLE UTF\n* A:\nGOTO NOWHERE\n.END\n", {.model = true});
    ASSERT_TRUE(failed.failed);
    const web::ModelTables tables = web::CtrlforgeTables(failed.ctrlforgeModel, "");
    ASSERT_EQ(tables.units.size(), web::kStatementColumns.size());
    EXPECT_EQ(At(tables.units, web::kStatementColumns, 0, "flags") & web::kPacked, 0);
    EXPECT_EQ(tables.cells, std::string(40, ' '));
}

// ORG 10 puts START at 0010 and the L after it at 0011, the constant at
// 0012 and three reserved words at 0013-0015. The comment before them holds
// two characters of two bytes each: their places are two units before
// their bytes.
const char kMemory[] =
    "; Gr\xC3\xB6\xC3\x9F" "e\n        ORG   10\nSTART:  LC    1,5\n        L     1,COUNT\nCOUNT:  DC    X\"ABCD\n"
    "BUF:    DS    3\n        END\n";

TEST(ModelTables, WordforgeLinesCarryTheirWordsFieldsAndLabels) {
    web::EntryResult result = web::AssembleWordforge(kMemory, {.model = true});
    ASSERT_FALSE(result.failed);
    const web::ModelTables tables = web::WordforgeTables(result.wordforgeModel, kMemory);
    const auto& columns = web::kLineColumns;
    ASSERT_GE(tables.units.size(), 7 * columns.size());
    EXPECT_EQ(tables.mnemonics, "\nORG\nLC\nL\nDC\nDS\nEND\n");
    // Address and value of each word, in the order produced; the
    // instructions' values are checked against their fields below.
    ASSERT_EQ(tables.words.size(), 12u);
    const std::vector<std::uint16_t> addresses{0x10, 0x11, 0x12, 0x13, 0x14, 0x15};
    for (std::size_t i = 0; i < addresses.size(); ++i) EXPECT_EQ(tables.words[2 * i], addresses[i]) << i;
    EXPECT_EQ(tables.words[5], 0xABCD);
    EXPECT_EQ(tables.words[7] | tables.words[9] | tables.words[11], 0);
    // START's line: its address, its one word, its label; BUF's: three words.
    EXPECT_EQ(At(tables.units, columns, 2, "address"), 0x10);
    EXPECT_EQ(At(tables.units, columns, 2, "firstWord"), 0);
    EXPECT_EQ(At(tables.units, columns, 2, "words"), 1);
    EXPECT_EQ(At(tables.units, columns, 2, "label"), 0);
    EXPECT_EQ(At(tables.units, columns, 5, "firstWord"), 3);
    EXPECT_EQ(At(tables.units, columns, 5, "words"), 3);
    EXPECT_EQ(std::string(web::kLineKindNames[static_cast<std::size_t>(At(tables.units, columns, 5, "kind"))]), "pseudo");
    // The L line: its fields are its word's four parts, its operand names
    // COUNT, whose address is 0012.
    const std::uint16_t load = tables.words[3];
    EXPECT_EQ(At(tables.units, columns, 3, "operation"), load >> 12);
    EXPECT_EQ(At(tables.units, columns, 3, "modifier"), (load >> 10) & 3);
    EXPECT_EQ(At(tables.units, columns, 3, "register"), (load >> 8) & 3);
    EXPECT_EQ(At(tables.units, columns, 3, "operand"), load & 0xFF);
    EXPECT_EQ(At(tables.units, columns, 3, "operandLabel"), 1);
    EXPECT_EQ(At(tables.units, columns, 3, "operandValue"), 0x12);
    EXPECT_EQ(tables.labelNames, "START\nCOUNT\nBUF\n");
    const std::string text = kMemory;
    const auto& labelColumns = web::kWordLabelColumns;
    EXPECT_EQ(At(tables.labels, labelColumns, 1, "value"), 0x12);
    EXPECT_EQ(At(tables.labels, labelColumns, 1, "begin"), static_cast<std::int32_t>(text.find("COUNT:")) - 2);
    EXPECT_EQ(At(tables.labels, labelColumns, 1, "uses"), 1);
    const auto use = static_cast<std::size_t>(At(tables.labels, labelColumns, 1, "firstUse"));
    EXPECT_EQ(At(tables.uses, web::kWordUseColumns, use, "line"), 3);
    EXPECT_EQ(At(tables.uses, web::kWordUseColumns, use, "begin"), static_cast<std::int32_t>(text.find("COUNT\n")) - 2);
    // The first line begins at 0 and ends before its line end, two units
    // short of its nine bytes.
    EXPECT_EQ(At(tables.units, columns, 0, "begin"), 0);
    EXPECT_EQ(At(tables.units, columns, 0, "end"), 7);
}

}  // namespace
