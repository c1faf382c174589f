// $readmemh and $readmemb text, worked out by hand from the format: a "//"
// comment, "@address" before each run of consecutive words, one word a line.
#include <gtest/gtest.h>

#include <vector>

#include "image/readmem.hpp"

namespace {

using image::PlacedWord;
using image::Store;

TEST(Readmem, RunsOfConsecutiveWordsEachStartWithTheirAddress) {
    Store store{40, 4096, 0xFFFFFFFE00, "MAINLOOP"};
    std::vector<PlacedWord> words{{0x000, 0xFFFCFFFE00}, {0x001, 0x321CFFE000}, {0x010, 0x123456789A}};
    EXPECT_EQ(image::WriteReadmemh(store, words),
              "// MAINLOOP, 40-bit words\r\n"
              "@000\r\nFFFCFFFE00\r\n321CFFE000\r\n"
              "@010\r\n123456789A\r\n");
}

TEST(Readmem, BinaryDigitsOfTheWholeWidth) {
    Store store{16, 65536, 0, "SUMTAB"};
    std::vector<PlacedWord> words{{0x0010, 0xA5C3}, {0x0011, 0x0001}};
    EXPECT_EQ(image::WriteReadmemb(store, words),
              "// SUMTAB, 16-bit words\r\n"
              "@0010\r\n1010010111000011\r\n0000000000000001\r\n");
}

TEST(Readmem, ALaterWordAtATakenAddressReplacesTheEarlierOne) {
    // Object-file order 8, 9, 2, 8: the image ascends and keeps the last 8.
    Store store{16, 65536, 0, "ORG"};
    std::vector<PlacedWord> words{{8, 0x1111}, {9, 0x2222}, {2, 0x3333}, {8, 0x4444}};
    EXPECT_EQ(image::WriteReadmemh(store, words),
              "// ORG, 16-bit words\r\n"
              "@0002\r\n3333\r\n"
              "@0008\r\n4444\r\n2222\r\n");
}

TEST(Readmem, WordsAreCutToTheWidthAndUnnamedProgramsNameOnlyTheWidth) {
    Store store{16, 16, 0, ""};
    std::vector<PlacedWord> words{{0xF, 0x12345}};
    EXPECT_EQ(image::WriteReadmemh(store, words), "// 16-bit words\r\n@F\r\n2345\r\n");
}

TEST(Readmem, NoWordsLeaveOnlyTheComment) {
    Store store{40, 4096, 0, "EMPTY"};
    EXPECT_EQ(image::WriteReadmemh(store, {}), "// EMPTY, 40-bit words\r\n");
    EXPECT_EQ(image::WriteReadmemb(store, {}), "// EMPTY, 40-bit words\r\n");
}

}  // namespace
