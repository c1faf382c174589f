// The dense images (Logisim, MIF, raw bytes), byte lanes and the format
// names, worked out by hand from the formats.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "image/bin.hpp"
#include "image/image.hpp"
#include "image/lanes.hpp"
#include "image/logisim.hpp"
#include "image/mif.hpp"
#include "image/readmem.hpp"

namespace {

using image::PlacedWord;
using image::Store;

std::string Repeat(const std::string& part, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) text += part;
    return text;
}

TEST(Logisim, TheWholeStoreSixteenFourDigitWordsALine) {
    Store store{16, 32, 0xFFFF, "T"};
    std::vector<PlacedWord> words{{0x01, 0x1234}, {0x11, 0xABCD}};
    EXPECT_EQ(image::WriteLogisim(store, words),
              "v3.0 hex words addressed\r\n"
              "# T, 16-bit words\r\n"
              "00: FFFF 1234" + Repeat(" FFFF", 14) + "\r\n"
              "10: FFFF ABCD" + Repeat(" FFFF", 14) + "\r\n");
}

TEST(Logisim, EightWordsALineWhenAWordTakesMoreThanFourDigits) {
    Store store{40, 16, 0xFFFFFFFE00, "MAINLOOP"};
    std::vector<PlacedWord> words{{9, 0x123456789A}};
    EXPECT_EQ(image::WriteLogisim(store, words),
              "v3.0 hex words addressed\r\n"
              "# MAINLOOP, 40-bit words\r\n"
              "0:" + Repeat(" FFFFFFFE00", 8) + "\r\n"
              "8: FFFFFFFE00 123456789A" + Repeat(" FFFFFFFE00", 6) + "\r\n");
}

TEST(Logisim, ThirtyTwoOneDigitWordsALineAndAShortLastLine) {
    Store store{4, 40, 0, "N"};
    std::vector<PlacedWord> words{{0x21, 0x5}};
    EXPECT_EQ(image::WriteLogisim(store, words),
              "v3.0 hex words addressed\r\n"
              "# N, 4-bit words\r\n"
              "00:" + Repeat(" 0", 32) + "\r\n"
              "20: 0 5 0 0 0 0 0 0\r\n");
}

TEST(Mif, TheTailOfTheStoreIsOneRangeLine) {
    Store store{40, 4096, 0xFFFFFFFE00, "MAINLOOP"};
    std::vector<PlacedWord> words{{0x000, 0xFFFCFFFE00}, {0x001, 0x321CFFE000}};
    EXPECT_EQ(image::WriteMif(store, words),
              "-- MAINLOOP, 40-bit words\r\n"
              "DEPTH = 4096;\r\n"
              "WIDTH = 40;\r\n"
              "ADDRESS_RADIX = HEX;\r\n"
              "DATA_RADIX = HEX;\r\n"
              "CONTENT BEGIN\r\n"
              "000 : FFFCFFFE00;\r\n"
              "001 : 321CFFE000;\r\n"
              "[002..FFF] : FFFFFFFE00;\r\n"
              "END;\r\n");
}

TEST(Mif, EveryGapGetsOneLineAndAOneWordGapAPlainOne) {
    Store store{16, 16, 0x00EE, "G"};
    std::vector<PlacedWord> words{{0x5, 0x1111}, {0x7, 0x2222}, {0xF, 0x3333}};
    EXPECT_EQ(image::WriteMif(store, words),
              "-- G, 16-bit words\r\n"
              "DEPTH = 16;\r\n"
              "WIDTH = 16;\r\n"
              "ADDRESS_RADIX = HEX;\r\n"
              "DATA_RADIX = HEX;\r\n"
              "CONTENT BEGIN\r\n"
              "[0..4] : 00EE;\r\n"
              "5 : 1111;\r\n"
              "6 : 00EE;\r\n"
              "7 : 2222;\r\n"
              "[8..E] : 00EE;\r\n"
              "F : 3333;\r\n"
              "END;\r\n");
}

TEST(Bin, WordsBigEndianFromZeroToTheHighestUsed) {
    Store wide{40, 4096, 0xFFFFFFFE00, "T"};
    std::vector<PlacedWord> one{{1, 0x0102030405}};
    EXPECT_EQ(image::WriteBin(wide, one), std::string("\xFF\xFF\xFF\xFE\x00\x01\x02\x03\x04\x05", 10));

    Store narrow{16, 65536, 0xEEEE, "T"};
    std::vector<PlacedWord> gap{{2, 0xABCD}, {0, 0x1234}, {2, 0xCDEF}};
    EXPECT_EQ(image::WriteBin(narrow, gap), std::string("\x12\x34\xEE\xEE\xCD\xEF", 6));
    EXPECT_EQ(image::WriteBin(narrow, {}), "");
}

TEST(Lanes, LaneZeroHoldsBitsSevenToZero) {
    EXPECT_EQ(image::LaneCount(40), 5u);
    EXPECT_EQ(image::LaneCount(16), 2u);
    Store store{40, 4096, 0xFFFFFFFE00, "MAINLOOP"};
    std::vector<PlacedWord> words{{3, 0x123456789A}, {0x10, 0xA0B0C0D0E0}};
    const unsigned expected[5][2] = {{0x9A, 0xE0}, {0x78, 0xD0}, {0x56, 0xC0}, {0x34, 0xB0}, {0x12, 0xA0}};
    const std::uint64_t fills[5] = {0x00, 0xFE, 0xFF, 0xFF, 0xFF};
    for (unsigned lane = 0; lane < 5; ++lane) {
        image::Lane split = image::SplitLane(store, words, lane);
        EXPECT_EQ(split.store.wordBits, 8u);
        EXPECT_EQ(split.store.depth, 4096u);
        EXPECT_EQ(split.store.fill, fills[lane]) << "lane " << lane;
        ASSERT_EQ(split.words.size(), 2u);
        EXPECT_EQ(split.words[0].address, 3u);
        EXPECT_EQ(split.words[0].word, expected[lane][0]) << "lane " << lane;
        EXPECT_EQ(split.words[1].address, 0x10u);
        EXPECT_EQ(split.words[1].word, expected[lane][1]) << "lane " << lane;
    }
}

TEST(Lanes, LaneImagesCountLaneBytesAndNameTheirBits) {
    Store store{40, 4096, 0xFFFFFFFE00, "MAINLOOP"};
    std::vector<PlacedWord> words{{0x10, 0x123456789A}};
    image::Lane top = image::SplitLane(store, words, 4);
    EXPECT_EQ(image::WriteReadmemh(top.store, top.words),
              "// MAINLOOP lane 4 (bits 39..32), 8-bit words\r\n@010\r\n12\r\n");
    image::Lane low = image::SplitLane(store, words, 1);
    // Lane 1 of the fill FFFFFFFE00 is FE; address 10 is byte 10 of the chip.
    EXPECT_EQ(image::WriteBin(low.store, low.words), std::string(16, '\xFE') + "\x78");
    Store narrow{16, 65536, 0, ""};
    EXPECT_EQ(image::SplitLane(narrow, {}, 0).store.name, "lane 0 (bits 7..0)");
}

TEST(Store, UsedWordsKeepTheLastWordAtEachAddressAscending) {
    // Object-file order 8, 9, 2, 8, then 20 beyond a depth of 16; words cut
    // to 16 bits.
    Store store{16, 16, 0xEEEE, "ORG"};
    std::vector<PlacedWord> words{{8, 0x1111}, {9, 0x12222}, {2, 0x3333}, {8, 0x4444}, {20, 0x5555}};
    const std::vector<PlacedWord> used = image::UsedWords(image::Load(store, words));
    ASSERT_EQ(used.size(), 3u);
    EXPECT_EQ(used[0].address, 2u);
    EXPECT_EQ(used[0].word, 0x3333u);
    EXPECT_EQ(used[1].address, 8u);
    EXPECT_EQ(used[1].word, 0x4444u);
    EXPECT_EQ(used[2].address, 9u);
    EXPECT_EQ(used[2].word, 0x2222u);
    // Every image of them is the image of all the words.
    for (const image::FormatInfo& info : image::Formats()) {
        EXPECT_EQ(image::WriteImage(info.format, store, used), image::WriteImage(info.format, store, words))
            << info.name;
    }
}

TEST(Formats, NamesExtensionsAndFileNames) {
    struct Expected {
        const char* name;
        const char* extension;
    };
    const Expected table[] = {{"readmemh", ".mem"}, {"readmemb", ".memb"}, {"intelhex", ".hex"},
                              {"logisim", ".img"},  {"mif", ".mif"},       {"bin", ".bin"}};
    EXPECT_EQ(image::Formats().size(), std::size(table));
    for (const Expected& e : table) {
        const image::FormatInfo* info = image::FindFormat(e.name);
        ASSERT_NE(info, nullptr) << e.name;
        EXPECT_EQ(info->extension, e.extension);
        EXPECT_EQ(&image::InfoOf(info->format), info);
    }
    EXPECT_EQ(image::FindFormat("hex"), nullptr);
    EXPECT_EQ(image::ImageFileName("prog.mic", image::Format::Mif), "prog.mic.mif");
    EXPECT_EQ(image::ImageFileName("out/prog.asm", image::Format::Readmemh, 1u), "out/prog.asm.lane1.mem");
}

TEST(Formats, WriteImageWritesTheNamedFormat) {
    Store store{16, 16, 0, "T"};
    std::vector<PlacedWord> words{{0, 0x1234}, {1, 0xABCD}};
    EXPECT_EQ(image::WriteImage(image::Format::IntelHex, store, words), ":040000001234ABCD3E\r\n:00000001FF\r\n");
    // Counting words at address 1: 02+00+01+00+AB+CD = 17B, checksum 85.
    std::vector<PlacedWord> second{{1, 0xABCD}};
    EXPECT_EQ(image::WriteImage(image::Format::IntelHex, store, second, image::HexAddressing::Words),
              ":02000100ABCD85\r\n:00000001FF\r\n");
    EXPECT_EQ(image::WriteImage(image::Format::Bin, store, words), "\x12\x34\xAB\xCD");
}

}  // namespace
