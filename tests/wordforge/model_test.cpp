// The source model: two sources worked out by hand, then the model against
// the listing and object file of every golden source and of 1,000 random
// programs (tests/wordforge/model_agreement.hpp says what agrees).
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "model_agreement.hpp"
#include "random_program.hpp"
#include "tests/support/golden_sources.hpp"
#include "wordforge/wordforge.hpp"

namespace {

using common::TokenKind;
using wordforge::LineKind;

using Token = std::tuple<TokenKind, std::uint32_t, std::uint32_t>;  // kind, begin, end offset

std::vector<Token> TokensOf(const wordforge::SourceModel& model) {
    std::vector<Token> tokens;
    for (const auto& t : model.tokens) tokens.emplace_back(t.kind, t.span.begin.offset, t.span.end.offset);
    return tokens;
}

std::vector<std::pair<int, int>> Words(const wordforge::SourceModel& model, const wordforge::ModelLine& line) {
    std::vector<std::pair<int, int>> words;
    for (const auto& w : wordforge::WordsOf(model, line)) words.emplace_back(w.address, w.value);
    return words;
}

void ExpectSpan(const common::SourceSpan& span, std::uint32_t begin, std::uint32_t end, std::int32_t line,
                std::int32_t column) {
    EXPECT_EQ(span.begin.offset, begin);
    EXPECT_EQ(span.end.offset, end);
    EXPECT_EQ(span.begin.line, line);
    EXPECT_EQ(span.end.line, line);
    EXPECT_EQ(span.begin.column, column);
    EXPECT_EQ(span.end.column, column + static_cast<std::int32_t>(end - begin));
}

// The whole source of the listing's worked example.
TEST(SourceModel, WorkedExampleWithoutErrors) {
    const std::string source =
        "; demo\r\nSTART:  L     1,DATA\r\n        HLT\r\nDATA:   DC    X\"41\r\n        END\r\n";
    wordforge::SourceModel model;
    ASSERT_EQ(wordforge::AssembleText(source, {nullptr, nullptr, &model}).errorCount, 0);
    EXPECT_EQ(model.title, "");
    ASSERT_EQ(model.lines.size(), 5u);
    const auto& comment = model.lines[0];
    ExpectSpan(comment.span, 0, 6, 1, 1);
    EXPECT_EQ(comment.kind, LineKind::Comment);
    EXPECT_EQ(comment.address, -1);

    const auto& load = model.lines[1];
    ExpectSpan(load.span, 8, 28, 2, 1);
    EXPECT_EQ(load.kind, LineKind::Instruction);
    EXPECT_EQ(load.address, 0);
    EXPECT_EQ(Words(model, load), (std::vector<std::pair<int, int>>{{0, 0x9102}}));
    EXPECT_EQ(wordforge::MnemonicOf(load), "L");
    EXPECT_EQ(load.label, 0);
    EXPECT_EQ(std::tie(load.fields.operation, load.fields.modifier, load.fields.reg, load.fields.operand),
              std::make_tuple(std::uint8_t{9}, std::uint8_t{0}, std::uint8_t{1}, std::uint8_t{2}));
    EXPECT_EQ(load.operandLabel, 1);
    EXPECT_EQ(load.operandValue, 2);

    const auto& halt = model.lines[2];
    EXPECT_EQ(halt.line, 3);
    EXPECT_EQ(Words(model, halt), (std::vector<std::pair<int, int>>{{1, 0xEF00}}));
    EXPECT_EQ(std::tie(halt.fields.operation, halt.fields.modifier, halt.fields.reg),
              std::make_tuple(std::uint8_t{0xE}, std::uint8_t{3}, std::uint8_t{3}));
    EXPECT_EQ(halt.operandLabel, -1);

    const auto& data = model.lines[3];
    ExpectSpan(data.span, 43, 61, 4, 1);
    EXPECT_EQ(data.kind, LineKind::Pseudo);
    EXPECT_EQ(data.address, 2);
    EXPECT_EQ(Words(model, data), (std::vector<std::pair<int, int>>{{2, 0x41}}));
    EXPECT_EQ(wordforge::MnemonicOf(data), "DC");
    EXPECT_EQ(data.label, 1);
    EXPECT_EQ(data.operandValue, 0x41);

    const auto& end = model.lines[4];
    EXPECT_EQ(end.kind, LineKind::Pseudo);
    EXPECT_EQ(end.address, -1);
    EXPECT_EQ(end.wordCount, 0u);

    ASSERT_EQ(model.labels.size(), 2u);
    const auto& start = model.labels[0];
    EXPECT_EQ(start.name, "START");
    EXPECT_TRUE(start.defined);
    ExpectSpan(start.definition, 8, 13, 2, 1);
    EXPECT_EQ(start.value, 0);
    EXPECT_TRUE(start.uses.empty());
    const auto& dataLabel = model.labels[1];
    EXPECT_EQ(dataLabel.name, "DATA");
    ExpectSpan(dataLabel.definition, 43, 47, 4, 1);
    EXPECT_EQ(dataLabel.value, 2);
    ASSERT_EQ(dataLabel.uses.size(), 1u);
    ExpectSpan(dataLabel.uses[0].span, 24, 28, 2, 17);
    EXPECT_EQ(dataLabel.uses[0].line, 1);

    EXPECT_EQ(TokensOf(model), (std::vector<Token>{{TokenKind::Comment, 0, 6},
                                                   {TokenKind::Label, 8, 13},
                                                   {TokenKind::Mnemonic, 16, 17},
                                                   {TokenKind::Register, 22, 23},
                                                   {TokenKind::Label, 24, 28},
                                                   {TokenKind::Mnemonic, 38, 41},
                                                   {TokenKind::Label, 43, 47},
                                                   {TokenKind::Keyword, 51, 53},
                                                   {TokenKind::Number, 57, 61},
                                                   {TokenKind::Keyword, 71, 74}}));
}

// A title prologue, the three line ends, a bad register, a repeated label
// on DS, an undefined label, an error line, a character literal and no END.
TEST(SourceModel, ErrorsAndTheirLinesAreModelledToo) {
    const std::string source =
        " ; head\nTITLE demo ; t\r\nX: ADD 5,1\rX:  DS 2 ; two\r\n B Y\r\n9z: q\r\n  DC 'ab\r\n";
    wordforge::SourceModel model;
    ASSERT_EQ(wordforge::AssembleText(source, {nullptr, nullptr, &model}).errorCount, 6);
    EXPECT_EQ(model.title, "DEMO");
    ASSERT_EQ(model.lines.size(), 8u);
    using Row = std::tuple<std::int32_t, LineKind, char, char, std::int32_t, std::string, std::int32_t, std::int32_t>;
    std::vector<Row> rows;  // line, kind, flags, address, mnemonic, label, operand label
    for (const auto& l : model.lines) {
        rows.emplace_back(l.line, l.kind, l.flags[0], l.flags[1], l.address, std::string(wordforge::MnemonicOf(l)), l.label, l.operandLabel);
    }
    EXPECT_EQ(rows, (std::vector<Row>{{1, LineKind::Comment, ' ', ' ', -1, "", -1, -1},
                                      {2, LineKind::Pseudo, ' ', ' ', -1, "TITLE", -1, -1},
                                      {3, LineKind::Error, 'F', ' ', 0, "ADD", 0, -1},
                                      {4, LineKind::Pseudo, 'D', ' ', 1, "DS", 0, -1},
                                      {5, LineKind::Error, 'F', ' ', 3, "B", -1, 1},
                                      {6, LineKind::Error, 'F', ' ', 4, "", -1, -1},
                                      {7, LineKind::Pseudo, ' ', ' ', 5, "DC", -1, -1},
                                      {8, LineKind::Error, 'F', ' ', 6, "", -1, -1}}));
    ExpectSpan(model.lines[2].span, 24, 34, 3, 1);
    ExpectSpan(model.lines[3].span, 35, 49, 4, 1);
    ExpectSpan(model.lines[7].span, 74, 74, 8, 1);
    EXPECT_EQ(model.lines[2].wordCount, 0u);
    EXPECT_EQ(Words(model, model.lines[3]), (std::vector<std::pair<int, int>>{{1, 0}, {2, 0}}));
    EXPECT_EQ(model.lines[3].operandValue, 2);
    EXPECT_EQ(Words(model, model.lines[6]), (std::vector<std::pair<int, int>>{{5, 0x6162}}));

    ASSERT_EQ(model.labels.size(), 2u);
    EXPECT_EQ(model.labels[0].name, "X");
    EXPECT_TRUE(model.labels[0].defined);
    ExpectSpan(model.labels[0].definition, 24, 25, 3, 1);  // the first of the two
    EXPECT_EQ(model.labels[1].name, "Y");
    EXPECT_FALSE(model.labels[1].defined);
    ASSERT_EQ(model.labels[1].uses.size(), 1u);
    ExpectSpan(model.labels[1].uses[0].span, 54, 55, 5, 4);
    EXPECT_EQ(model.labels[1].uses[0].line, 4);

    EXPECT_EQ(TokensOf(model), (std::vector<Token>{{TokenKind::Comment, 1, 7},
                                                   {TokenKind::Keyword, 8, 13},
                                                   {TokenKind::Title, 14, 18},
                                                   {TokenKind::Comment, 19, 22},
                                                   {TokenKind::Label, 24, 25},
                                                   {TokenKind::Mnemonic, 27, 30},
                                                   {TokenKind::Register, 31, 32},
                                                   {TokenKind::Label, 35, 36},
                                                   {TokenKind::Keyword, 39, 41},
                                                   {TokenKind::Number, 42, 43},
                                                   {TokenKind::Comment, 44, 49},
                                                   {TokenKind::Mnemonic, 52, 53},
                                                   {TokenKind::Label, 54, 55},
                                                   {TokenKind::Keyword, 66, 68},
                                                   {TokenKind::Number, 69, 72}}));
    EXPECT_EQ(model.tokens[10].span.begin.column, 10);
}

// Each operand form's tokens, by their text: registers, numbers of every
// base, offsets after labels and "*", device words and numbers, constants
// and their labels; signs, "*", commas and parentheses are none.
TEST(SourceModel, OperandTokens) {
    const std::string source =
        "S: ADD 1,X\"1F(2)\r\n SL 0,-4\r\n lea 3,+b\"10( 1 )\r\n L 1,S+1\r\n BZ *-1\r\n RIO lpt\r\n"
        " WIO 7\r\n DC -'ab\r\n DC X S\r\n DC Xs\r\n DS 1\r\n ORG 1F\r\n END";
    wordforge::SourceModel model;
    // X and XS are undefined: the two DC lines after the literal are errors.
    ASSERT_EQ(wordforge::AssembleText(source, {nullptr, nullptr, &model}).errorCount, 2);
    std::vector<std::pair<TokenKind, std::string>> tokens;
    for (const auto& t : model.tokens) {
        tokens.emplace_back(t.kind, source.substr(t.span.begin.offset, t.span.end.offset - t.span.begin.offset));
    }
    using K = TokenKind;
    EXPECT_EQ(tokens, (std::vector<std::pair<TokenKind, std::string>>{
                          {K::Label, "S"},       {K::Mnemonic, "ADD"},  {K::Register, "1"},  {K::Number, "X\"1F"},
                          {K::Register, "2"},    {K::Mnemonic, "SL"},   {K::Register, "0"},  {K::Number, "4"},
                          {K::Mnemonic, "lea"},  {K::Register, "3"},    {K::Number, "b\"10"}, {K::Register, "1"},
                          {K::Mnemonic, "L"},    {K::Register, "1"},    {K::Label, "S"},     {K::Number, "1"},
                          {K::Mnemonic, "BZ"},   {K::Number, "1"},      {K::Mnemonic, "RIO"}, {K::Keyword, "lpt"},
                          {K::Mnemonic, "WIO"},  {K::Number, "7"},      {K::Keyword, "DC"},  {K::Number, "'ab"},
                          {K::Keyword, "DC"},    {K::Label, "X"},       {K::Keyword, "DC"},  {K::Label, "Xs"},
                          {K::Keyword, "DS"},    {K::Number, "1"},      {K::Keyword, "ORG"}, {K::Number, "1F"},
                          {K::Keyword, "END"}}));
    // The operands' values as read.
    std::vector<std::int32_t> values;
    for (const auto& line : model.lines) values.push_back(line.operandValue);
    EXPECT_EQ(values, (std::vector<std::int32_t>{0x1F, -4, 2, 1, 3, 1, 7, -0x6162, 0, 0, 1, 0x1F, 0}));
    ASSERT_EQ(model.labels.size(), 3u);  // S, then X and XS, neither defined
    EXPECT_EQ(model.labels[1].name, "X");
    EXPECT_EQ(model.labels[2].name, "XS");
    EXPECT_FALSE(model.labels[2].defined);
}

TEST(SourceModel, AFilledModelIsRefilledFromScratch) {
    wordforge::SourceModel model;
    wordforge::AssembleText("A: B A\r\n C: DC C\r\n END\r\n", {nullptr, nullptr, &model});
    wordforge::AssembleText("  HLT\r\n  END\r\n", {nullptr, nullptr, &model});
    EXPECT_EQ(model.lines.size(), 2u);
    EXPECT_TRUE(model.labels.empty());
    EXPECT_EQ(model.tokens.size(), 2u);
}

// Sources at the edges: nothing at all, a lone line end, an end byte first,
// a TITLE with no line end after it (the error line at the end of the
// source then shares its line), a label as long as a line.
TEST(SourceModel, AgreesWithTheOutputsAtTheEdges) {
    for (const std::string source : {"", "\r", "\n\n", "\x1a  HLT\r\n", "  TITLE X", "; c\r\ntitle\r\n", "   ",
                                      "ABCDEFGHIJKLMNOP: DS 2\r\n  DC ABCDEFGHXYZ\r\n END"}) {
        SCOPED_TRACE(source);
        wordforge_test::ExpectModelAgrees(source);
    }
    wordforge::SourceModel model;
    wordforge::AssembleText("  TITLE X", {nullptr, nullptr, &model});
    ASSERT_EQ(model.lines.size(), 2u);
    EXPECT_EQ(model.lines[1].line, 1);
    EXPECT_EQ(model.lines[1].kind, LineKind::Error);
}

TEST(SourceModel, AgreesWithTheOutputsOfEveryGoldenSource) {
    const auto sources = test_support::GoldenSources(GOLDEN_DIR, "wordforge");
    ASSERT_GT(sources.size(), 20u);
    for (const auto& path : sources) {
        SCOPED_TRACE(path.string());
        wordforge_test::ExpectModelAgrees(test_support::ReadBytes(path));
    }
}

// Every other program refills the model of the one before.
TEST(SourceModel, AgreesWithTheOutputsOfRandomPrograms) {
    int failing = 0;
    wordforge::SourceModel kept;
    for (unsigned seed = 1; seed <= 1000; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        const std::string source = wordforge_test::RandomProgram(seed);
        failing += wordforge::AssembleText(source).errorCount > 0;
        wordforge_test::ExpectModelAgrees(source, seed % 2 == 0 ? &kept : nullptr);
        if (seed % 2 == 1) wordforge::AssembleText(source, {nullptr, nullptr, &kept});
        if (HasFailure()) break;  // one seed's report is enough
    }
    // Both kinds of run are among them.
    EXPECT_GT(failing, 100);
    EXPECT_LT(failing, 900);
}

}  // namespace
