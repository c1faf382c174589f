// The character reader, the word and number readers and the operand readers.
#include <gtest/gtest.h>

#include <string>

#include "wordforge/operand_readers.hpp"
#include "wordforge/word_run.hpp"

namespace {

using wordforge::kFileEnd;
using wordforge::kLineEnd;
using wordforge::WordRun;

// A run reading `source`, positioned on its first character; the listing
// line is empty so that echoes can be checked.
struct ReaderFixture {
    std::string source;
    WordRun run;
    explicit ReaderFixture(std::string text) : source(std::move(text)) {
        wordforge::LoadSource(run.reader, source);
        wordforge::NextChar(run.reader);
    }
    std::string Echoed() const { return std::string(wordforge::Text(run.line)); }
    char Current() const { return run.reader.current; }
    void Define(const char* name, std::int32_t value) {
        ASSERT_TRUE(wordforge::DefineLabel(run.symbols, wordforge::MakeWord(name), value));
    }
};

TEST(NextChar, EachKindOfLineEndCountsOnceAndTheEndRepeats) {
    ReaderFixture f("a\r\nb\nc\rd");
    std::string seen;
    for (int i = 0; i < 9; ++i) {
        seen.push_back(f.Current());
        wordforge::NextChar(f.run.reader);
    }
    EXPECT_EQ(seen, std::string("A\rB\rC\rD\x1a\x1a", 9));
    EXPECT_EQ(f.run.reader.line, 4);
}

TEST(NextChar, AByte26EndsTheSource) {
    ReaderFixture f(std::string("A\x1a") + "B\n");
    EXPECT_EQ(f.Current(), 'A');
    wordforge::NextChar(f.run.reader);
    EXPECT_EQ(f.Current(), kFileEnd);
    wordforge::NextChar(f.run.reader);
    EXPECT_EQ(f.Current(), kFileEnd);
}

TEST(NextChar, UpperCasesOnlyLettersUnlessKeepCaseIsOn) {
    ReaderFixture f("az{\xe4q");
    std::string seen;
    for (int i = 0; i < 3; ++i) {
        seen.push_back(f.Current());
        wordforge::NextChar(f.run.reader);
    }
    EXPECT_EQ(seen, "AZ{");
    EXPECT_EQ(f.Current(), '\xe4');
    f.run.reader.keepCase = true;
    wordforge::NextChar(f.run.reader);
    EXPECT_EQ(f.Current(), 'q');
}

TEST(SkipBlanks, SkipsBlanksAndTabsButNotLineEnds) {
    ReaderFixture f(" \t \tX");
    wordforge::SkipBlanks(f.run.reader);
    EXPECT_EQ(f.Current(), 'X');
    ReaderFixture g("  \nX");
    wordforge::SkipBlanks(g.run.reader);
    EXPECT_EQ(g.Current(), kLineEnd);
}

TEST(SkipBlanks, LongRunsWithTabsAnywhereEndAtTheFirstOtherCharacter) {
    // Runs longer than a block of 8, with a tab (or two) at every place.
    for (std::size_t tab = 0; tab < 20; ++tab) {
        std::string run(20, ' ');
        run[tab] = '\t';
        run[(tab * 7) % 20] = '\t';
        ReaderFixture f("A" + run + "xyz  12345678");
        wordforge::NextChar(f.run.reader);  // the first blank
        wordforge::SkipBlanks(f.run.reader);
        EXPECT_EQ(f.Current(), 'X') << tab;
        wordforge::NextChar(f.run.reader);
        EXPECT_EQ(f.Current(), 'Y') << tab;
    }
    // A run ending at a line end or at the end of the source.
    ReaderFixture g("A" + std::string(11, ' ') + "\t\r\n" + std::string(9, ' ') + "B");
    wordforge::NextChar(g.run.reader);
    wordforge::SkipBlanks(g.run.reader);
    EXPECT_EQ(g.Current(), kLineEnd);
    EXPECT_EQ(g.run.reader.line, 2);
    wordforge::NextChar(g.run.reader);
    wordforge::SkipBlanks(g.run.reader);
    EXPECT_EQ(g.Current(), 'B');
    ReaderFixture h("A" + std::string(17, ' '));
    wordforge::NextChar(h.run.reader);
    wordforge::SkipBlanks(h.run.reader);
    EXPECT_EQ(h.Current(), kFileEnd);
}

TEST(RestOfLine, TabsAndControlCharactersDoNotEndTheLine) {
    // Bytes below the carriage return other than the line feed belong to
    // the line wherever they stand, before or after a block boundary.
    const std::string text = std::string("b\tc\x0b\x0c d\x01\x02\x03\t\t;e\x0b\tf\x00g", 19);
    for (std::size_t pad = 0; pad < 9; ++pad) {
        const std::string rest = std::string(pad, 'p') + text;
        ReaderFixture f("A" + rest + "\r\nZ");
        EXPECT_EQ(wordforge::TakeRestOfLine(f.run.reader), rest) << pad;
        EXPECT_EQ(f.Current(), kLineEnd);
        EXPECT_EQ(f.run.reader.line, 2);
        wordforge::NextChar(f.run.reader);
        EXPECT_EQ(f.Current(), 'Z');

        ReaderFixture g("A" + rest + "\rZ");
        wordforge::SkipToLineEnd(g.run.reader);
        EXPECT_EQ(g.Current(), kLineEnd);
        wordforge::NextChar(g.run.reader);
        EXPECT_EQ(g.Current(), 'Z') << pad;

        // The ";" after the tabs and control characters stops the skip.
        ReaderFixture h("A" + rest + "\n");
        wordforge::SkipToCommentOrLineEnd(h.run.reader);
        EXPECT_EQ(h.Current(), ';') << pad;
        wordforge::NextChar(h.run.reader);
        EXPECT_EQ(h.Current(), 'E') << pad;
    }
}

TEST(ReadWord, KeepsEightCharactersAndConsumesTheRest) {
    ReaderFixture f("abcdefghij+1");
    wordforge::Word word;
    wordforge::ReadWord(f.run.reader, word);
    EXPECT_EQ(wordforge::View(word), "ABCDEFGH");
    EXPECT_EQ(f.Current(), '+');
    EXPECT_EQ(word.key, wordforge::MakeWord("ABCDEFGH").key);
}

TEST(ReadWord, TakesDigitsAndDoesNotCheckTheFirstCharacter) {
    ReaderFixture f("9A1 B");
    wordforge::Word word;
    wordforge::ReadWord(f.run.reader, word);
    EXPECT_EQ(wordforge::View(word), "9A1");
    ReaderFixture g("+A");
    wordforge::ReadWord(g.run.reader, word);
    EXPECT_EQ(word.length, 0);
    EXPECT_EQ(g.Current(), '+');
}

TEST(NumberReaders, ReadTheirDigitsWithAndWithoutEcho) {
    ReaderFixture f("1234Z");
    EXPECT_EQ(wordforge::ReadDecimal(f.run, false), 1234);
    EXPECT_EQ(f.Echoed(), "");
    EXPECT_EQ(f.Current(), 'Z');

    ReaderFixture g("1aFg");
    EXPECT_EQ(wordforge::ReadHex(g.run, true), 0x1AF);
    EXPECT_EQ(g.Echoed(), "1AF");
    EXPECT_EQ(g.Current(), 'G');

    ReaderFixture h("1789");
    EXPECT_EQ(wordforge::ReadOctal(h.run), 017);
    EXPECT_EQ(h.Current(), '8');

    ReaderFixture b("1012");
    EXPECT_EQ(wordforge::ReadBase2(b.run), 5);
    EXPECT_EQ(b.Echoed(), "101");

    ReaderFixture none(",5");
    EXPECT_EQ(wordforge::ReadDecimal(none.run, true), 0);
    EXPECT_EQ(none.Current(), ',');
}

TEST(NumberReaders, WrapInThirtyTwoBits) {
    ReaderFixture f("4294967297");
    EXPECT_EQ(wordforge::ReadDecimal(f.run, true), 1);
    ReaderFixture g("2147483648");
    EXPECT_EQ(wordforge::ReadDecimal(g.run, true), INT32_MIN);
}

TEST(ReadUnsigned, BasedLiteralsEndAtTheFirstForeignCharacter) {
    std::int32_t value = 0;
    ReaderFixture f("X\"1G");
    ASSERT_TRUE(wordforge::ReadUnsigned(f.run, value));
    EXPECT_EQ(value, 1);
    EXPECT_EQ(f.Current(), 'G');
    EXPECT_EQ(f.Echoed(), "X\"1");

    ReaderFixture nine("X\"FFFFFFFFF");
    ASSERT_TRUE(wordforge::ReadUnsigned(nine.run, value));
    EXPECT_EQ(value, -1);
    EXPECT_EQ(wordforge::HexWord(value), "FFFF");

    ReaderFixture blanks("B\"  101");
    ASSERT_TRUE(wordforge::ReadUnsigned(blanks.run, value));
    EXPECT_EQ(value, 5);
    EXPECT_EQ(blanks.Echoed(), "B\"101");

    ReaderFixture octal("o\"777");
    ASSERT_TRUE(wordforge::ReadUnsigned(octal.run, value));
    EXPECT_EQ(value, 0777);

    ReaderFixture empty("X\"");
    ASSERT_TRUE(wordforge::ReadUnsigned(empty.run, value));
    EXPECT_EQ(value, 0);
}

TEST(ReadUnsigned, ALetterWithoutQuoteFails) {
    std::int32_t value = 0;
    ReaderFixture f("X 1");
    EXPECT_FALSE(wordforge::ReadUnsigned(f.run, value));
    ReaderFixture g("B1");
    EXPECT_FALSE(wordforge::ReadUnsigned(g.run, value));
    EXPECT_EQ(g.Echoed(), "");
}

TEST(ReadSigned, SignBlanksAndNumber) {
    std::int32_t value = 0;
    ReaderFixture f("- 5");
    ASSERT_TRUE(wordforge::ReadSigned(f.run, value));
    EXPECT_EQ(value, -5);
    EXPECT_EQ(f.Echoed(), "-5");

    ReaderFixture plus("+X\"10");
    ASSERT_TRUE(wordforge::ReadSigned(plus.run, value));
    EXPECT_EQ(value, 16);

    ReaderFixture bare("-");
    EXPECT_FALSE(wordforge::ReadSigned(bare.run, value));
    ReaderFixture letter("-Q");
    EXPECT_FALSE(wordforge::ReadSigned(letter.run, value));
}

TEST(ReadRegister, AcceptsZeroToThreeAndReadsNothingAsZero) {
    int reg = -1;
    ReaderFixture three("3,");
    ASSERT_TRUE(wordforge::ReadRegister(three.run, reg));
    EXPECT_EQ(reg, 3);
    ReaderFixture four("4");
    EXPECT_FALSE(wordforge::ReadRegister(four.run, reg));
    EXPECT_EQ(four.Echoed(), "4");
    ReaderFixture none(",5");
    ASSERT_TRUE(wordforge::ReadRegister(none.run, reg));
    EXPECT_EQ(reg, 0);
    ReaderFixture wrapped("4294967295");
    EXPECT_FALSE(wordforge::ReadRegister(wrapped.run, reg));
}

TEST(ReadRegister, OneDigitEndsAtTheNextCharacterAndMoreDigitsAreOneNumber) {
    int reg = -1;
    // A hex letter after the digit is no decimal digit: it ends the number.
    ReaderFixture letter("2a,");
    ASSERT_TRUE(wordforge::ReadRegister(letter.run, reg));
    EXPECT_EQ(reg, 2);
    EXPECT_EQ(letter.Echoed(), "2");
    EXPECT_EQ(letter.Current(), 'A');
    ReaderFixture last("1");
    ASSERT_TRUE(wordforge::ReadRegister(last.run, reg));
    EXPECT_EQ(reg, 1);
    EXPECT_EQ(last.Current(), kFileEnd);
    ReaderFixture lineEnd("0\r\nX");
    ASSERT_TRUE(wordforge::ReadRegister(lineEnd.run, reg));
    EXPECT_EQ(reg, 0);
    EXPECT_EQ(lineEnd.Current(), kLineEnd);
    EXPECT_EQ(lineEnd.run.reader.line, 2);
    // Leading zeros still make register 3; 1 and 3 together make 13.
    ReaderFixture zeros("003)");
    ASSERT_TRUE(wordforge::ReadRegister(zeros.run, reg));
    EXPECT_EQ(reg, 3);
    EXPECT_EQ(zeros.Echoed(), "003");
    EXPECT_EQ(zeros.Current(), ')');
    ReaderFixture thirteen("13,");
    EXPECT_FALSE(wordforge::ReadRegister(thirteen.run, reg));
    EXPECT_EQ(thirteen.Echoed(), "13");
}

TEST(HexDigits, EveryByteInBothPlacesOfAWord) {
    const std::string digits = "0123456789ABCDEF";
    for (int high = 0; high < 16; ++high) {
        for (int low = 0; low < 16; ++low) {
            const int byte = high * 16 + low;
            const std::string pair{digits[static_cast<std::size_t>(high)], digits[static_cast<std::size_t>(low)]};
            EXPECT_EQ(wordforge::HexWord(byte), "00" + pair);
            EXPECT_EQ(wordforge::HexWord(byte << 8 | 0x5A), pair + "5A");
        }
    }
}

TEST(ReadAddress, AsteriskLabelsAndOffsets) {
    std::int32_t value = 0;
    ReaderFixture star("*");
    star.run.location = 0x10;
    ASSERT_TRUE(wordforge::ReadAddress(star.run, value));
    EXPECT_EQ(value, 0x10);

    ReaderFixture offset("* - 16");
    offset.run.location = 0x10;
    ASSERT_TRUE(wordforge::ReadAddress(offset.run, value));
    EXPECT_EQ(value, 0);
    EXPECT_EQ(offset.Echoed(), "*-16");

    ReaderFixture label("data + 3;x");
    label.Define("DATA", 0x20);
    ASSERT_TRUE(wordforge::ReadAddress(label.run, value));
    EXPECT_EQ(value, 0x23);
    EXPECT_EQ(label.Echoed(), "DATA+3");
    EXPECT_EQ(label.Current(), ';');

    ReaderFixture undefined("NOWHERE");
    EXPECT_FALSE(wordforge::ReadAddress(undefined.run, value));
    EXPECT_EQ(undefined.Echoed(), "NOWHERE");

    ReaderFixture number("5");
    EXPECT_FALSE(wordforge::ReadAddress(number.run, value));
}

TEST(ReadConstant, CharacterLiterals) {
    std::int32_t value = 0;
    ReaderFixture two("'AB");
    ASSERT_TRUE(wordforge::ReadConstant(two.run, value));
    EXPECT_EQ(value, 0x4142);
    EXPECT_EQ(two.Current(), 'B');  // the second character stays current

    ReaderFixture one("'A\r\n");
    ASSERT_TRUE(wordforge::ReadConstant(one.run, value));
    EXPECT_EQ(value, 0x4120);

    ReaderFixture alone("'\nX");
    ASSERT_TRUE(wordforge::ReadConstant(alone.run, value));
    EXPECT_EQ(value, 0x2020);

    ReaderFixture atEnd("'");
    ASSERT_TRUE(wordforge::ReadConstant(atEnd.run, value));
    EXPECT_EQ(value, 0x2020);

    ReaderFixture negative("- 'AB");
    ASSERT_TRUE(wordforge::ReadConstant(negative.run, value));
    EXPECT_EQ(value, -0x4142);
    EXPECT_EQ(wordforge::HexWord(value), "BEBE");

    ReaderFixture quoted("'A'");
    ASSERT_TRUE(wordforge::ReadConstant(quoted.run, value));
    EXPECT_EQ(value, 0x4127);
}

TEST(ReadConstant, CharacterLiteralKeepsCaseAndBlanksAsTyped) {
    std::int32_t value = 0;
    ReaderFixture f("'a b");
    ASSERT_TRUE(wordforge::ReadConstant(f.run, value));
    EXPECT_EQ(value, 0x6120);
    EXPECT_EQ(f.Echoed(), "'a ");
    EXPECT_FALSE(f.run.reader.keepCase);
    wordforge::NextChar(f.run.reader);
    EXPECT_EQ(f.Current(), 'B');  // upper-casing is back on
}

TEST(ReadConstant, NumbersBasedFormsAndLabels) {
    std::int32_t value = 0;
    ReaderFixture decimal("65");
    ASSERT_TRUE(wordforge::ReadConstant(decimal.run, value));
    EXPECT_EQ(value, 65);

    ReaderFixture based("X  \"41");
    ASSERT_TRUE(wordforge::ReadConstant(based.run, value));
    EXPECT_EQ(value, 0x41);
    EXPECT_EQ(based.Echoed(), "X\"41");

    ReaderFixture label("XRAY");
    label.Define("XRAY", 7);
    ASSERT_TRUE(wordforge::ReadConstant(label.run, value));
    EXPECT_EQ(value, 7);
    EXPECT_EQ(label.Echoed(), "XRAY");

    ReaderFixture other("-START");
    other.Define("START", 2);
    ASSERT_TRUE(wordforge::ReadConstant(other.run, value));
    EXPECT_EQ(value, -2);
    EXPECT_EQ(other.Echoed(), "-START");

    ReaderFixture cut("BCDEFGHIJK");
    cut.Define("BCDEFGHI", 9);
    ASSERT_TRUE(wordforge::ReadConstant(cut.run, value));
    EXPECT_EQ(value, 9);
}

TEST(ReadConstant, ABlankAfterTheLetterEndsTheLabel) {
    std::int32_t value = 0;
    ReaderFixture f("X ABC");
    f.Define("X", 0x30);
    f.Define("XABC", 0x31);
    ASSERT_TRUE(wordforge::ReadConstant(f.run, value));
    EXPECT_EQ(value, 0x30);
    EXPECT_EQ(f.Current(), 'A');
    EXPECT_EQ(f.Echoed(), "X");
}

TEST(ReadConstant, FailsOnUndefinedLabelsAndOtherCharacters) {
    std::int32_t value = 0;
    ReaderFixture emptyBased("O\"");
    ASSERT_TRUE(wordforge::ReadConstant(emptyBased.run, value));  // a based literal without digits
    ReaderFixture missing("MISSING");
    EXPECT_FALSE(wordforge::ReadConstant(missing.run, value));
    ReaderFixture star("*");
    EXPECT_FALSE(wordforge::ReadConstant(star.run, value));
    ReaderFixture nothing("");
    EXPECT_FALSE(wordforge::ReadConstant(nothing.run, value));
    ReaderFixture sign("-");
    EXPECT_FALSE(wordforge::ReadConstant(sign.run, value));
}

TEST(CopyRest, StopsAtTheStopSetAndRestoresUpperCasing) {
    ReaderFixture f("ab;Cd e\nx");
    wordforge::CopyRest(f.run, ";", false);
    EXPECT_EQ(f.Echoed(), "AB");
    wordforge::CopyRest(f.run, {}, true);
    EXPECT_EQ(f.Echoed(), "AB;Cd e");
    EXPECT_EQ(f.Current(), kLineEnd);
    EXPECT_FALSE(f.run.reader.keepCase);
    wordforge::NextChar(f.run.reader);
    EXPECT_EQ(f.Current(), 'X');
}

TEST(TextHelpers, HexWordAndBlanks) {
    EXPECT_EQ(wordforge::HexWord(0), "0000");
    EXPECT_EQ(wordforge::HexWord(0xABC), "0ABC");
    EXPECT_EQ(wordforge::HexWord(0x12345), "2345");
    EXPECT_EQ(wordforge::HexWord(-1), "FFFF");
    EXPECT_EQ(wordforge::Blanks(3), "   ");
    EXPECT_EQ(wordforge::Blanks(0), "");
}

TEST(ListingLine, DropsTextBeyondColumn80) {
    wordforge::ListingLine line;
    wordforge::Append(line, std::string(79, 'a'));
    wordforge::Append(line, "bcd");
    EXPECT_EQ(line.length, 80u);
    EXPECT_EQ(wordforge::Text(line).back(), 'b');
    wordforge::RemoveColumns(line, 7, 14);
    EXPECT_EQ(line.length, 72u);
    wordforge::PadOrCut(line, 41);
    EXPECT_EQ(line.length, 41u);
}

TEST(SymbolTable, TheKeyOfAWordIsTheKeyOfItsCharacters) {
    for (const char* name : {"A", "L1", "LOOP", "ABCDEFG", "ABCDEFGH"}) {
        EXPECT_EQ(wordforge::LabelKey(wordforge::MakeWord(name)), common::NameKey(name)) << name;
    }
    wordforge::Word cut = wordforge::MakeWord("ABCDEFGHIJ");
    EXPECT_EQ(wordforge::LabelKey(cut), common::NameKey("ABCDEFGH"));
}

TEST(SymbolTable, FirstDefinitionWinsAndManyLabelsStayFindable) {
    wordforge::SymbolTable table;
    EXPECT_TRUE(wordforge::DefineLabel(table, wordforge::MakeWord("ABCDEFGH"), 1));
    EXPECT_FALSE(wordforge::DefineLabel(table, wordforge::MakeWord("ABCDEFGH"), 2));
    for (int i = 0; i < 5000; ++i) {
        EXPECT_TRUE(wordforge::DefineLabel(table, wordforge::MakeWord("L" + std::to_string(i)), i));
    }
    ASSERT_EQ(table.entries.size(), 5001u);
    EXPECT_EQ(wordforge::View(table.entries[0]), "ABCDEFGH");
    EXPECT_EQ(table.entries[0].value, 1);
    EXPECT_EQ(wordforge::View(table.entries[5000]), "L4999");
    const std::int32_t* found = wordforge::FindLabel(table, wordforge::MakeWord("ABCDEFGH"));
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(*found, 1);
    const std::int32_t* last = wordforge::FindLabel(table, wordforge::MakeWord("L4999"));
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(*last, 4999);
    EXPECT_EQ(wordforge::FindLabel(table, wordforge::MakeWord("L5000")), nullptr);
    EXPECT_EQ(wordforge::FindLabel(table, wordforge::MakeWord("ABCDEFG")), nullptr);
}

}  // namespace
