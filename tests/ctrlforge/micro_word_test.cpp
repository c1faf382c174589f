#include <gtest/gtest.h>

#include "ctrlforge/micro_word.hpp"
#include "ctrlforge/tokens.hpp"

namespace ctrlforge {
namespace {

std::uint64_t Bits(const PackedWord& p) {
    return (std::uint64_t{p.high} << 32) | (std::uint64_t{p.mid} << 16) | p.low;
}

TEST(MicroWord, FreshWordPacksToAllNoOperations) {
    MicroWord word;
    PackedWord p = PackWord(word);
    EXPECT_EQ(p.high, 0xFF);
    EXPECT_EQ(p.mid, 0xFFFF);
    EXPECT_EQ(p.low, 0xFE00);
}

TEST(MicroWord, FieldValuesRunFromBasePlusOne) {
    EXPECT_EQ(FieldValue(Field::LB, 11), 10u);  // PC
    EXPECT_EQ(FieldValue(Field::LB, 16), 15u);  // NLB
    EXPECT_EQ(FieldValue(Field::LB, 0), 15u);   // not named
    EXPECT_EQ(FieldValue(Field::SQ, 84), 8u);   // EI
    EXPECT_EQ(FieldValue(Field::TS, 100), 7u);  // NTS
    EXPECT_EQ(FieldValue(Field::TS, 92), 7u);
    EXPECT_EQ(FieldValue(Field::RB, 30), 11u);  // LLT
    EXPECT_EQ(FieldValue(Field::EX, 117), 15u); // NEX
    EXPECT_EQ(FieldValue(Field::MM, 72), 1u);   // WM
}

TEST(MicroWord, MnemonicCells) {
    EXPECT_EQ(FieldCell(Field::LB, 16), "NLB ");
    EXPECT_EQ(FieldCell(Field::LB, 0), "NLB ");
    EXPECT_EQ(FieldCell(Field::LB, 9), " RB ");
    EXPECT_EQ(FieldCell(Field::RB, 27), " RA ");
    EXPECT_EQ(FieldCell(Field::RB, 30), "LLT ");
    EXPECT_EQ(FieldCell(Field::RB, 34), "NRB ");
    EXPECT_EQ(FieldCell(Field::RB, 18), "NRB ");
    EXPECT_EQ(FieldCell(Field::AL, 39), " OR ");
    EXPECT_EQ(FieldCell(Field::AL, 43), "NAL ");
    EXPECT_EQ(FieldCell(Field::SH, 52), "NSH ");
    EXPECT_EQ(FieldCell(Field::SB, 66), "PCS ");
    EXPECT_EQ(FieldCell(Field::SB, 69), "NSB ");
    EXPECT_EQ(FieldCell(Field::MM, 71), " RM ");
    EXPECT_EQ(FieldCell(Field::MM, 70), "NMM ");
    EXPECT_EQ(FieldCell(Field::SQ, 76), "  B ");
    EXPECT_EQ(FieldCell(Field::SQ, 84), " EI ");
    EXPECT_EQ(FieldCell(Field::SQ, 91), "NSQ ");
    EXPECT_EQ(FieldCell(Field::TS, 97), "  T ");
    EXPECT_EQ(FieldCell(Field::TS, 100), "NTS ");
    EXPECT_EQ(FieldCell(Field::EX, 108), " SC ");
    EXPECT_EQ(FieldCell(Field::EX, 116), " OV ");
    EXPECT_EQ(FieldCell(Field::EX, 101), "NEX ");
}

TEST(MicroWord, UnconditionalBranchCarriesTwelveBits) {
    MicroWord word;
    word.SQ = SqB;
    word.LT = 0x123;
    // TS bits 000, EX not named (1111), LT bits 1 0010 0011
    EXPECT_EQ(PackWord(word).low, 0x1F23);
    word.LT = 0xE45;
    PackedWord p = PackWord(word);
    EXPECT_EQ(p.low >> 13, 7u);
    EXPECT_EQ(p.low & 0x1FF, 0x045u);
}

TEST(MicroWord, IopIraIabReshapeTheLiteral) {
    MicroWord iop;
    iop.SQ = SqIOP;
    iop.LT = 0x230;
    PackedWord p = PackWord(iop);
    EXPECT_EQ(iop.LT, 0x023);
    EXPECT_EQ(p.low & 0x1FF, 0x023u);

    MicroWord ira;
    ira.SQ = SqIRA;
    ira.LT = 0x843;
    p = PackWord(ira);
    EXPECT_EQ(p.low >> 13, 1u);
    EXPECT_EQ(ira.LT, 0x213);
    EXPECT_EQ(p.low & 0x1FF, 0x013u);

    MicroWord iab;
    iab.SQ = SqIAB;
    iab.LT = 0x0C1;
    p = PackWord(iab);
    EXPECT_EQ(iab.LT, 0x031);  // 0x0C1 div 4 = 0x30, plus 1
}

TEST(MicroWord, LongLiteralSpreadsOverTsExAndLt) {
    MicroWord word;
    word.RB = RbLLT;
    word.LT = 0xBEEF;
    PackedWord p = PackWord(word);
    EXPECT_EQ(p.low >> 13, 5u);
    EXPECT_EQ((p.low >> 9) & 15u, 15u);
    EXPECT_EQ(p.low & 0x1FF, 0x0EFu);
    EXPECT_EQ(p.low, 0xBEEF);
}

TEST(MicroWord, TestFieldBitsAreEqualForBaseAndNts) {
    MicroWord a, b;
    a.TS = 92;
    b.TS = 100;
    EXPECT_EQ(Bits(PackWord(a)), Bits(PackWord(b)));
}

TEST(MicroWord, WorkedWordOfTheObjectFile) {
    MicroWord word;
    word.LB = 2;    // R1L
    word.RB = 21;   // R2R
    word.AL = 36;   // ADD
    word.SB = 55;   // R1S
    word.SQ = SqB;
    word.LT = 0x105;
    PackedWord p = PackWord(word);
    EXPECT_EQ(p.high, 0x12);
    EXPECT_EQ(p.mid, 0x1C70);
    EXPECT_EQ(p.low, 0x1F05);
}

TEST(MicroWord, NoLabelOnLeftBusEqualsBase) {
    MicroWord zero, base;
    zero.LB = LbNLB;
    EXPECT_EQ(PackWord(zero).high, PackWord(base).high);
}

}  // namespace
}  // namespace ctrlforge
