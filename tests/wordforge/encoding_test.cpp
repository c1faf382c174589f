// Mnemonic lookup and the encodings of every instruction group, each
// statement assembled at location 0010.
#include <gtest/gtest.h>

#include <string>

#include "assembly_helpers.hpp"
#include "wordforge/mnemonic_table.hpp"

namespace {

using wordforge_test::AssembleAt10;
using wordforge_test::Blanks;
using wordforge_test::Statement;

struct Encoded {
    const char* statement;
    const char* word;      // the object word
    const char* fields;    // listing columns 8-14
    const char* mnemonic;  // listing columns 24-29
    const char* operand;   // listing from column 30
};

void ExpectEncoded(const Encoded& e) {
    Statement s = AssembleAt10(e.statement);
    EXPECT_EQ(s.errors, 0) << e.statement;
    EXPECT_EQ(s.object, std::string("0010  ") + e.word + "\r\n") << e.statement;
    EXPECT_EQ(s.listingLine, std::string("  0010 ") + e.fields + " " + Blanks(8) + e.mnemonic + e.operand)
        << e.statement;
}

// A line flagged F or L: no word, the operand echo and the rest as given.
void ExpectFlagged(const std::string& statement, char flag, const std::string& mnemonic,
                   const std::string& shown) {
    Statement s = AssembleAt10(statement);
    EXPECT_EQ(s.errors, 1) << statement;
    EXPECT_EQ(s.object, "") << statement;
    EXPECT_EQ(s.listingLine, std::string(1, flag) + " 0010" + Blanks(17) + mnemonic + shown) << statement;
}

TEST(MnemonicTable, EveryMnemonicIsFoundAtItsIndex) {
    for (int i = 0; i < wordforge::kMnemonicCount; ++i) {
        auto name = wordforge::kMnemonicTable[static_cast<std::size_t>(i)];
        EXPECT_EQ(wordforge::LookUpMnemonic(wordforge::MakeWord(name)), i) << name;
    }
    EXPECT_EQ(wordforge::kMnemonicTable[wordforge::kBix], "BIX");
    EXPECT_EQ(wordforge::kMnemonicTable[wordforge::kBsr], "BSR");
    EXPECT_EQ(wordforge::kMnemonicTable[wordforge::kEnd], "END");
}

TEST(MnemonicTable, OnlyExactMatchesCount) {
    for (const char* word : {"ADDX", "AD", "", "TITLEX", "B1", "HALT", "LPT"}) {
        EXPECT_EQ(wordforge::LookUpMnemonic(wordforge::MakeWord(word)), wordforge::kNoMnemonic) << word;
    }
}

TEST(Encodings, WorkedTable) {
    const Encoded table[] = {
        {"ADD 1,5(2)", "0905", "0 21 05", "ADD   ", "1,5(2)"},
        {"EX 3,X\"1F", "F31F", "F 03 1F", "EX    ", "3,X\"1F"},
        {"LC 2,255", "9EFF", "9 32 FF", "LC    ", "2,255"},
        {"POP 3,0", "D700", "D 13 00", "POP   ", "3,0"},
        {"SA 1,-1", "55FF", "5 11 FF", "SA    ", "1,-1"},
        {"BIX 3,2", "DB02", "D 23 02", "BIX   ", "3,2"},
        {"STX 0,4(1)", "C404", "C 10 04", "STX   ", "0,4(1)"},
        {"ST 2,*+3", "9603", "9 12 03", "ST    ", "2,*+3"},
        {"BNZ *-16", "E5F0", "E 11 F0", "BNZ   ", "*-16"},
        {"BDIS *", "DC00", "D 30 00", "BDIS  ", "*"},
        {"WIO LPT", "ED01", "E 31 01", "WIO   ", "LPT"},
        {"HLT", "EF00", "E 33 00", "HLT   ", ""},
    };
    for (const Encoded& e : table) ExpectEncoded(e);
}

TEST(Encodings, EdgeCaseTable) {
    const Encoded table[] = {
        {"ADD 1,300", "012C", "0 01 2C", "ADD   ", "1,300"},
        {"SL 0,-1", "50FF", "5 00 FF", "SL    ", "0,-1"},
        {"LEA 1,-2(3)", "ADFE", "A 31 FE", "LEA   ", "1,-2(3)"},
        {"ADD 1,X\"1F\"(2)", "011F", "0 01 1F", "ADD   ", "1,X\"1F"},
        {"L 1,*+127", "917F", "9 01 7F", "L     ", "1,*+127"},
        {"B *-128", "E880", "E 20 80", "B     ", "*-128"},
        {"ADD ,5", "0005", "0 00 05", "ADD   ", ",5"},
        {"BIX 2,1", "DA01", "D 22 01", "BIX   ", "2,1"},
        {"RIO CR", "EC00", "E 30 00", "RIO   ", "CR"},
        {"RIO", "EC00", "E 30 00", "RIO   ", ""},
    };
    for (const Encoded& e : table) ExpectEncoded(e);
    ExpectFlagged("L 1,*+128", 'L', "L     ", "1,*+128");
    ExpectFlagged("RIO 256", 'F', "RIO   ", "256");
    ExpectFlagged("ADDX 1,2", 'F', "ADDX  ", "");
}

TEST(Encodings, EveryOperationDigitOfGroupOne) {
    const Encoded table[] = {
        {"SUB 0,1", "1001", "1 00 01", "SUB   ", "0,1"},
        {"AND 0,1", "2001", "2 00 01", "AND   ", "0,1"},
        {"OR 0,1", "3001", "3 00 01", "OR    ", "0,1"},
        {"XOR 0,1", "4001", "4 00 01", "XOR   ", "0,1"},
        {"MULT 0,1", "6001", "6 00 01", "MULT  ", "0,1"},
        {"DIV 0,1", "7001", "7 00 01", "DIV   ", "0,1"},
        {"CMP 0,1", "8001", "8 00 01", "CMP   ", "0,1"},
        {"ADD 2,(3)", "0E00", "0 32 00", "ADD   ", "2,(3)"},
        {"ADD 1 , 5 ( 2 )", "0905", "0 21 05", "ADD   ", "1,5(2)"},
        {"ADD\t1,\tB\"101\t(1)", "0505", "0 11 05", "ADD   ", "1,B\"101(1)"},
        {"ADD 1,O\"777", "01FF", "0 01 FF", "ADD   ", "1,O\"777"},
    };
    for (const Encoded& e : table) ExpectEncoded(e);
}

TEST(Encodings, OtherGroupsAndSubCodes) {
    const Encoded table[] = {
        {"PUSH 1,X\"80", "D180", "D 01 80", "PUSH  ", "1,X\"80"},
        {"SC 3,+2", "5B02", "5 23 02", "SC    ", "3,+2"},
        {"BIX 0,-X\"10", "D8F0", "D 20 F0", "BIX   ", "0,-X\"10"},
        {"LX 2,(0)", "B200", "B 02 00", "LX    ", "2,(0)"},
        {"LA 3,*", "9B00", "9 23 00", "LA    ", "3,*"},
        {"BP *+1", "E001", "E 00 01", "BP    ", "*+1"},
        {"BZ *", "E100", "E 01 00", "BZ    ", "*"},
        {"BM *", "E200", "E 02 00", "BM    ", "*"},
        {"BC *+127", "E37F", "E 03 7F", "BC    ", "*+127"},
        {"BNP *", "E400", "E 10 00", "BNP   ", "*"},
        {"BNM *", "E600", "E 12 00", "BNM   ", "*"},
        {"BNC *", "E700", "E 13 00", "BNC   ", "*"},
        {"BI *", "E900", "E 21 00", "BI    ", "*"},
        {"BSR *-1", "EAFF", "E 22 FF", "BSR   ", "*-1"},
        {"RET", "EB00", "E 23 00", "RET   ", ""},
        {"NOP", "EE00", "E 32 00", "NOP   ", ""},
        {"WIO 255", "EDFF", "E 31 FF", "WIO   ", "255"},
    };
    for (const Encoded& e : table) ExpectEncoded(e);
}

TEST(Encodings, AddressesUseLabelsBackwardAndForward) {
    Statement forward = AssembleAt10("L 1,DATA", "", "  HLT\r\nDATA: DC 5\r\n");
    EXPECT_EQ(forward.errors, 0);
    EXPECT_EQ(forward.object.substr(0, 12), "0010  9102\r\n");

    Statement backward = AssembleAt10("B BACK", "BACK: HLT\r\n");
    EXPECT_EQ(backward.errors, 0);
    EXPECT_EQ(backward.object, "0010  E8F0\r\n");

    Statement offset = AssembleAt10("B BACK + 3", "BACK: HLT\r\n");
    EXPECT_EQ(offset.object, "0010  E8F3\r\n");
    EXPECT_EQ(offset.listingLine, "  0010 E 20 F3         B     BACK+3");

    Statement far = AssembleAt10("B BACK-113", "BACK: HLT\r\n");  // -129 from 0010
    EXPECT_EQ(far.listingLine, "L 0010" + Blanks(17) + "B     BACK-113");
    Statement near = AssembleAt10("B BACK-112", "BACK: HLT\r\n");
    EXPECT_EQ(near.object, "0010  E880\r\n");
}

TEST(Encodings, DeviceWordsTakePrecedenceOverLabels) {
    Statement s = AssembleAt10("RIO LPT", "LPT: HLT\r\n");
    EXPECT_EQ(s.object, "0010  EC01\r\n");
}

TEST(Encodings, RioWithoutADeviceReadsDeviceZero) {
    Statement s = AssembleAt10("RIO -5");
    EXPECT_EQ(s.errors, 0);
    EXPECT_EQ(s.object, "0010  EC00\r\n");
    EXPECT_EQ(s.listingLine, "  0010 E 30 00         RIO   ");
}

TEST(Encodings, NopIgnoresTheRestOfTheLine) {
    Statement s = AssembleAt10("NOP junk words");
    EXPECT_EQ(s.errors, 0);
    EXPECT_EQ(s.object, "0010  EE00\r\n");
    EXPECT_EQ(s.listingLine, "  0010 E 32 00         NOP   ");
}

TEST(SyntaxErrors, GroupOne) {
    ExpectFlagged("ADD 4,5", 'F', "ADD   ", "4,5");
    ExpectFlagged("ADD 1 5", 'F', "ADD   ", "15");
    ExpectFlagged("SUB 1,-5", 'F', "SUB   ", "1,-5");
    ExpectFlagged("AND 1,Y", 'F', "AND   ", "1,Y");
    ExpectFlagged("OR 1,X5", 'F', "OR    ", "1,5");  // the letter is used up looking for its quote
    ExpectFlagged("XOR 1,5(4)", 'F', "XOR   ", "1,5(4)");
    ExpectFlagged("MULT 1,5(2", 'F', "MULT  ", "1,5(2");
    ExpectFlagged("DIV 1,(2", 'F', "DIV   ", "1,(2");
    ExpectFlagged("CMP", 'F', "CMP   ", "");
    ExpectFlagged("EX 1,( 2 ]", 'F', "EX    ", "1,(2]");
}

TEST(SyntaxErrors, GroupTwo) {
    ExpectFlagged("LC 1,-1", 'F', "LC    ", "1,-1");
    ExpectFlagged("PUSH 1,(2)", 'F', "PUSH  ", "1,(2)");
    ExpectFlagged("POP 1", 'F', "POP   ", "1");
    ExpectFlagged("LC 5,1", 'F', "LC    ", "5,1");
    ExpectFlagged("PUSH 1,O8", 'F', "PUSH  ", "1,8");
}

TEST(SyntaxErrors, GroupThree) {
    ExpectFlagged("SL 1,+", 'F', "SL    ", "1,+");
    ExpectFlagged("SA 1,(2)", 'F', "SA    ", "1,(2)");
    ExpectFlagged("SC 1,-X5", 'F', "SC    ", "1,-5");
    ExpectFlagged("BIX 1,Z", 'F', "BIX   ", "1,Z");
    ExpectFlagged("SL 1,+ ; Note", 'F', "SL    ", "1,+; NOTE");
}

TEST(SyntaxErrors, GroupFour) {
    ExpectFlagged("LEA 1,5", 'F', "LEA   ", "1,5");
    ExpectFlagged("LX 1,5 2", 'F', "LX    ", "1,52");
    ExpectFlagged("STX 1,Q(2)", 'F', "STX   ", "1,Q(2)");
    ExpectFlagged("LEA 1,(4)", 'F', "LEA   ", "1,(4)");
    ExpectFlagged("LX 1,-(2)", 'F', "LX    ", "1,-(2)");
}

TEST(SyntaxErrors, GroupFive) {
    ExpectFlagged("L 1,NOWHERE", 'F', "L     ", "1,NOWHERE");
    ExpectFlagged("ST 1 *", 'F', "ST    ", "1*");
    ExpectFlagged("LA 1,5", 'F', "LA    ", "1,5");
    ExpectFlagged("L 4,*", 'F', "L     ", "4,*");
    ExpectFlagged("ST 0,*-129", 'L', "ST    ", "0,*-129");
}

TEST(SyntaxErrors, GroupSix) {
    ExpectFlagged("B NOWHERE", 'F', "B     ", "NOWHERE");
    ExpectFlagged("BZ 5", 'F', "BZ    ", "5");
    ExpectFlagged("BDIS", 'F', "BDIS  ", "");
    ExpectFlagged("BSR *+200", 'L', "BSR   ", "*+200");
    ExpectFlagged("BP *-129", 'L', "BP    ", "*-129");
    ExpectFlagged("BNZ *+128 x ; Why", 'L', "BNZ   ", "*+128 X ; WHY");
}

TEST(SyntaxErrors, GroupSevenShowsOnlyTheDeviceAndAlignsTheComment) {
    ExpectFlagged("WIO PRN", 'F', "WIO   ", "PRN");
    ExpectFlagged("RIO 4294967295", 'F', "RIO   ", "4294967295");
    Statement s = AssembleAt10("RIO 300 junk ; Device");
    EXPECT_EQ(s.errors, 1);
    EXPECT_EQ(s.listingLine, "F 0010" + Blanks(17) + "RIO   300" + Blanks(9) + "; Device");
}

TEST(LowerCase, StatementsAssembleAsInUpperCase) {
    const char* pairs[][2] = {
        {"add 1,x\"1f\"(2)", "ADD 1,X\"1F\"(2)"},
        {"sc 2,-b\"11", "SC 2,-B\"11"},
        {"lea 1,o\"7(3)", "LEA 1,O\"7(3)"},
        {"wio lpt", "WIO LPT"},
        {"bnz *-16", "BNZ *-16"},
        {"hlt", "HLT"},
    };
    for (auto& pair : pairs) {
        Statement lower = AssembleAt10(pair[0]);
        Statement upper = AssembleAt10(pair[1]);
        EXPECT_EQ(lower.errors, 0) << pair[0];
        EXPECT_EQ(lower.object, upper.object) << pair[0];
        EXPECT_EQ(lower.listingLine, upper.listingLine) << pair[0];
    }
    EXPECT_EQ(AssembleAt10("sc 2,-b\"11").object, "0010  5AFD\r\n");
    Statement label = AssembleAt10("loop: bnz Loop");
    EXPECT_EQ(label.object, "0010  E500\r\n");
    EXPECT_EQ(label.listingLine, "  0010 E 11 00 LOOP:   BNZ   LOOP");
}

}  // namespace
