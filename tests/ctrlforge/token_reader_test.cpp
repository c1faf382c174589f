#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ctrlforge/keywords.hpp"
#include "ctrlforge/source_reader.hpp"
#include "ctrlforge/token_reader.hpp"

namespace ctrlforge {
namespace {

struct Token {
    int code;
    int value;  // numbers only
    std::string name;  // identifiers only, trailing blanks kept
    bool overflow;
    bool operator==(const Token&) const = default;
};

struct Scan {
    std::vector<Token> tokens;  // up to and including the first TokEof
    std::string listing;
};

// Reads a source to its end the way a run does: prime, then ReadToken.
// `previous` is the token code before the first token.
Scan ScanSource(std::string_view source, int previous = 0) {
    common::OutputSink sink;
    CtrlRun run;
    run.source = source;
    run.options.S = true;
    run.listing = &sink;
    run.TokenCode = static_cast<std::uint8_t>(previous);
    NextChar(run);
    Scan scan;
    for (int i = 0; i < 1000; ++i) {
        ReadToken(run);
        Token t{run.TokenCode, 0, "", false};
        if (run.TokenCode == TokNumber) {
            t.value = run.TokenValue;
            t.overflow = run.TokenOverflow;
        }
        if (run.TokenCode == TokIdent) t.name.assign(run.TokenName.data(), 8);
        scan.tokens.push_back(t);
        if (run.TokenCode == TokEof) break;
    }
    scan.listing = sink.buffer;
    return scan;
}

std::vector<int> Codes(std::string_view source, int previous = 0) {
    std::vector<int> codes;
    for (const Token& t : ScanSource(source, previous).tokens) codes.push_back(t.code);
    return codes;
}

Token Num(int value, bool overflow = false) { return Token{TokNumber, value, "", overflow}; }
Token Id(const std::string& name) { return Token{TokIdent, 0, name + std::string(8 - name.size(), ' '), false}; }
Token Code(int code) { return Token{code, 0, "", false}; }

TEST(TokenReader, PunctuationAndAssignment) {
    EXPECT_EQ(Codes("R0:=R1\r\n"), (std::vector<int>{118, TokAssign, 119, TokEol, TokEof}));
    EXPECT_EQ(Codes("R0: =R1\r\n"), (std::vector<int>{118, TokColon, TokEqual, 119, TokEol, TokEof}));
    EXPECT_EQ(Codes("+-$@*=:"), (std::vector<int>{36, 37, 41, 43, 151, 156, 152, TokEof}));
}

TEST(TokenReader, CommentsEndTheLineWithoutALineEndToken) {
    Scan s = ScanSource("R0 := 1 ; a comment\r\nRA\r\n");
    EXPECT_EQ(s.tokens, (std::vector<Token>{Code(118), Code(TokAssign), Num(1), Code(TokSemicolon), Code(27),
                                            Code(TokEol), Code(TokEof)}));
    EXPECT_EQ(s.listing, "R0 := 1 ; A COMMENT\r\nRA\r\n\r\n");
}

TEST(TokenReader, EndOfFileWithoutLineEnd) {
    Scan s = ScanSource("R1");
    EXPECT_EQ(s.tokens, (std::vector<Token>{Code(119), Code(TokEof)}));
    EXPECT_EQ(s.listing, "R1\r\n");
    // A comment running into the end of the source copies the mark.
    EXPECT_EQ(ScanSource(";x").listing, std::string(";X\x1a\r\n"));
    // With the mark already current, it is copied twice.
    EXPECT_EQ(ScanSource(";").listing, std::string(";\x1a\x1a\r\n"));
}

TEST(TokenReader, ByteTwentySixEndsTheSource) {
    Scan s = ScanSource("R1\x1aR2\r\n");
    EXPECT_EQ(s.tokens, (std::vector<Token>{Code(119), Code(TokEof)}));
    EXPECT_EQ(s.listing, "R1\r\n");
}

TEST(TokenReader, LoneLineFeedReadsLikeCarriageReturnLineFeed) {
    Scan lf = ScanSource("R1 ; c\nR2\n\nR3\n");
    Scan crlf = ScanSource("R1 ; c\r\nR2\r\n\r\nR3\r\n");
    EXPECT_EQ(lf.tokens, crlf.tokens);
    EXPECT_EQ(lf.listing, crlf.listing);
    EXPECT_EQ(lf.listing, "R1 ; C\r\nR2\r\n\r\nR3\r\n\r\n");
}

TEST(TokenReader, CarriageReturnAloneSwallowsTheNextCharacter) {
    EXPECT_EQ(Codes("R1\rXR2\r\n"), (std::vector<int>{119, TokEol, 120, TokEol, TokEof}));
}

TEST(TokenReader, IllegalCharacterDropsTheRestOfTheLine) {
    Scan s = ScanSource("R1 (R2) ; x\r\nR3\r\n");
    EXPECT_EQ(s.tokens, (std::vector<Token>{Code(119), Code(121), Code(TokEol), Code(TokEof)}));
    EXPECT_EQ(s.listing, "R1 (R2) ; X\r\nERROR: ILLEGAL CHARACTER\r\nR3\r\n\r\n");
    // At the end of the source the mark ends the skipped line.
    EXPECT_EQ(ScanSource("#").listing, std::string("#\x1a") + "ERROR: ILLEGAL CHARACTER\r\n\r\n");
}

TEST(TokenReader, DirectivesAndIgnoredDotLines) {
    std::vector<Token> t = ScanSource(".TITLEX\r\n").tokens;
    ASSERT_EQ(t.size(), 4u);
    EXPECT_EQ(t[0], Code(TokTitle));
    EXPECT_EQ(t[1], Id("X"));
    EXPECT_EQ(Codes(".end\r\n"), (std::vector<int>{TokEnd, TokEol, TokEof}));
    EXPECT_EQ(Codes(".COMMENT TEXT\r\nR1\r\n"), (std::vector<int>{119, TokEol, TokEof}));
    EXPECT_EQ(Codes(".TITL X\r\n.ENDX\r\n. TITLE\r\n"), (std::vector<int>{TokEof}));
    EXPECT_EQ(ScanSource(".TITL X\r\n").listing, ".TITL X\r\n\r\n");
}

TEST(TokenReader, NumbersBeginningWithADigitAreHexadecimalAndWrap) {
    EXPECT_EQ(ScanSource("10 0FFFF 8000").tokens,
              (std::vector<Token>{Num(16), Num(-1), Num(-32768), Code(TokEof)}));
    EXPECT_EQ(ScanSource("12345").tokens[0], Num(0x2345));     // silently wraps
    EXPECT_EQ(ScanSource("80001").tokens[0], Num(1, true));    // overflow marked
    EXPECT_EQ(ScanSource("80000").tokens[0], Num(0));          // silently 0
    EXPECT_EQ(ScanSource("1FH").tokens, (std::vector<Token>{Num(0x1F), Id("H"), Code(TokEof)}));
}

TEST(WordReader, KeywordsAndIdentifiers) {
    EXPECT_EQ(Codes("R0 R8 ZERO ZER RBUS RB"), (std::vector<int>{118, TokIdent, 17, 93, 127, 9, TokEof}));
    EXPECT_EQ(Codes("EXECUTE EXECUTED SUB_1"), (std::vector<int>{146, TokIdent, TokIdent, TokEof}));
    EXPECT_EQ(ScanSource("EXECUTEXY RETURNING").tokens,
              (std::vector<Token>{Id("EXECUTEX"), Id("RETURNIN"), Code(TokEof)}));
    EXPECT_EQ(Codes("goto fetch"), (std::vector<int>{135, 140, TokEof}));
}

TEST(WordReader, EveryKeywordHasItsCode) {
    const std::pair<const char*, int> all[] = {
        {"GOTO", 135}, {"HLT", 115}, {"IF", 134}, {"IAB", 83}, {"IO", 12}, {"IOP", 81}, {"IR", 14},
        {"IRA", 82}, {"IRB", 148}, {"LBUS", 126}, {"MM", 13}, {"NEG", 94}, {"NEX", 117}, {"NSH", 52},
        {"NSQ", 91}, {"ONE", 159}, {"OR", 39}, {"OV", 96}, {"PC", 11}, {"R0", 118}, {"R1", 119},
        {"R2", 120}, {"R3", 121}, {"R4", 122}, {"R5", 123}, {"R6", 124}, {"R7", 125}, {"RA", 27},
        {"RAP", 28}, {"RBP", 10}, {"RB", 9}, {"RBUS", 127}, {"READ", 141}, {"RETURN", 137},
        {"SAVE", 149}, {"SET", 145}, {"SNX", 49}, {"SLA", 47}, {"SLL", 45}, {"SRA", 48}, {"SRL", 46},
        {"SWP", 50}, {"T", 97}, {"THEN", 139}, {"WITH", 147}, {"WRITE", 142}, {"XOR", 40}, {"ZER", 93},
        {"ZERO", 17}, {"AND", 38}, {"BY", 143}, {"CALL", 136}, {"CRY", 95}, {"CZ", 98}, {"ELSE", 138},
        {"EXECUTE", 146}, {"FETCH", 140}, {"FLAG", 103}, {"FSR", 15},
    };
    for (const auto& [word, code] : all) {
        EXPECT_EQ(Codes(word)[0], code) << word;
    }
}

TEST(WordReader, HexadecimalWordsDependOnThePreviousToken) {
    // After GOTO, CALL, THEN, IOP, IRA, IAB and .TITLE: a label.
    for (const char* before : {"GOTO ", "CALL ", "THEN ", "IOP ", "IRA ", "IAB ", ".TITLE "}) {
        Scan s = ScanSource(std::string(before) + "FACE");
        EXPECT_EQ(s.tokens[1], Id("FACE")) << before;
    }
    // After operators, shifts and :=, a number.
    for (const char* before : {"+ ", "- ", "AND ", "OR ", "XOR ", "$ ", "@ ", "SLL ", "NSH ", ":= "}) {
        Scan s = ScanSource(std::string(before) + "FACE");
        EXPECT_EQ(s.tokens[1], Num(static_cast<std::int16_t>(0xFACE))) << before;
    }
    // Elsewhere the look-ahead decides: a colon makes a label.
    EXPECT_EQ(ScanSource("FACE :").tokens[0], Id("FACE"));
    EXPECT_EQ(ScanSource("FACE :").listing, "FACE :\r\n");
    EXPECT_EQ(ScanSource("FACE 1").tokens[0], Num(static_cast<std::int16_t>(0xFACE)));
}

TEST(WordReader, TheWordCIsAKeywordOnlyAtALineStart) {
    EXPECT_EQ(Codes("C", TokEol)[0], TokC);
    EXPECT_EQ(Codes("C", TokSemicolon)[0], TokC);
    EXPECT_EQ(ScanSource("R1\r\nC - 1").tokens[2], Code(TokC));
    EXPECT_EQ(ScanSource("+ C").tokens[1], Num(12));
    // After a skipped line the previous code is the internal skip code.
    EXPECT_EQ(ScanSource("R1\r\n.X\r\nC").tokens[2], Num(12));
}

TEST(WordReader, LongHexadecimalWordsOverflow) {
    EXPECT_EQ(ScanSource("+ ABCDE").tokens[1], Num(0, true));
    EXPECT_EQ(ScanSource("+ ABCD").tokens[1], Num(static_cast<std::int16_t>(0xABCD)));
}

// The overflow mark is the number token's own: every number read sets or
// clears it, and other tokens leave it alone.
TEST(TokenReader, EveryNumberCarriesItsOwnOverflowMark) {
    EXPECT_EQ(ScanSource("80001 1 + ABCDE 5 + ABCDE B\"X").tokens,
              (std::vector<Token>{Num(1, true), Num(1), Code(TokPlus), Num(0, true), Num(5), Code(TokPlus),
                                  Num(0, true), Num(0), Id("X"), Code(TokEof)}));
}

TEST(WordReader, RadixPrefixes) {
    EXPECT_EQ(ScanSource("B\"1010").tokens[0], Num(10));
    EXPECT_EQ(ScanSource("B\"101").tokens[0], Num(5));
    EXPECT_EQ(ScanSource("D\"255").tokens[0], Num(255));
    EXPECT_EQ(ScanSource("D\"99").tokens[0], Num(99));
    EXPECT_EQ(ScanSource("D\"12A").tokens, (std::vector<Token>{Num(12), Num(10), Code(TokEof)}));
    // A prefix without a digit of its base is the number 0; the character
    // after the quote starts the next token and reaches the listing once.
    Scan s = ScanSource("5 B\"2\r\n");
    EXPECT_EQ(s.tokens, (std::vector<Token>{Num(5), Num(0), Num(2), Code(TokEol), Code(TokEof)}));
    EXPECT_EQ(s.listing, "5 B\"2\r\n\r\n");
    // A, C, E and F with a quote drop the rest of the line silently.
    for (const char* text : {"A\"1 R1\r\nR2", "C\"1\r\nR2", "E\"\r\nR2", "F\"ZZ\r\nR2"}) {
        Scan dropped = ScanSource(text);
        EXPECT_EQ(dropped.tokens, (std::vector<Token>{Code(120), Code(TokEof)})) << text;
    }
    EXPECT_EQ(ScanSource("a\"1 r1\r\n").listing, "A\"1 R1\r\n\r\n");
}

TEST(WordReader, Recodings) {
    CtrlRun run;
    const int left[][2] = {{118, 1}, {125, 8}, {17, 16}, {9, 9}, {13, 13}};
    for (auto [from, to] : left) {
        run.TokenCode = static_cast<std::uint8_t>(from);
        RecodeLeftBus(run);
        EXPECT_EQ(run.TokenCode, to);
    }
    const int right[][2] = {{118, 19}, {125, 26}, {27, 27}, {28, 28}};
    for (auto [from, to] : right) {
        run.TokenCode = static_cast<std::uint8_t>(from);
        RecodeRightBus(run);
        EXPECT_EQ(run.TokenCode, to);
    }
    const int sbus[][2] = {{118, 54}, {125, 61}, {27, 62}, {28, 63}, {9, 64}, {10, 65}, {11, 66}, {12, 12}};
    for (auto [from, to] : sbus) {
        run.TokenCode = static_cast<std::uint8_t>(from);
        RecodeSBus(run);
        EXPECT_EQ(run.TokenCode, to);
    }
}

TEST(TokenReader, ListingIsAnUpperCasedCopy) {
    EXPECT_EQ(ScanSource("* loop: 10\r\n\tr1 := r2 + 1 ; add\r\n").listing,
              "* LOOP: 10\r\n\tR1 := R2 + 1 ; ADD\r\n\r\n");
}

}  // namespace
}  // namespace ctrlforge
