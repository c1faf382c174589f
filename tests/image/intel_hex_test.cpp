// Intel HEX records worked out by hand: byte count, address, type, data and
// the checksum that makes the record's bytes sum to 0 mod 256.
#include <gtest/gtest.h>

#include <vector>

#include "image/intel_hex.hpp"

namespace {

using image::HexAddressing;
using image::PlacedWord;
using image::Store;

TEST(IntelHex, SixteenBitWordsBigEndianAtByteAddresses) {
    // 04+00+00+00+12+34+AB+CD = 1C2, checksum 100-C2 = 3E.
    Store store{16, 65536, 0, "T"};
    std::vector<PlacedWord> words{{0, 0x1234}, {1, 0xABCD}};
    EXPECT_EQ(image::WriteIntelHex(store, words), ":040000001234ABCD3E\r\n:00000001FF\r\n");
}

TEST(IntelHex, FortyBitWordsTakeFiveBytesEach) {
    // 0A + 12+34+56+78+9A + FF = 2B7, checksum 49.
    Store store{40, 4096, 0xFFFFFFFE00, "T"};
    std::vector<PlacedWord> words{{0, 0x123456789A}, {1, 0x00000000FF}};
    EXPECT_EQ(image::WriteIntelHex(store, words), ":0A000000123456789A00000000FF49\r\n:00000001FF\r\n");
}

TEST(IntelHex, RecordsHoldThreeWholeFortyBitWords) {
    // Four words from word address 2, byte address 0A. First record 15
    // bytes: 0F+00+0A+00 + 5*(01+02+03) = 37, checksum C9. Second record at
    // 0A+0F = 19: 05+00+19+00 + 5*04 = 32, checksum CE.
    Store store{40, 4096, 0, "T"};
    std::vector<PlacedWord> words{
        {2, 0x0101010101}, {3, 0x0202020202}, {4, 0x0303030303}, {5, 0x0404040404}};
    EXPECT_EQ(image::WriteIntelHex(store, words),
              ":0F000A00010101010102020202020303030303C9\r\n"
              ":050019000404040404CE\r\n"
              ":00000001FF\r\n");
    // Counting words: addresses 0002 (sum 2F, checksum D1) and 0005 (sum
    // 1E, checksum E2).
    EXPECT_EQ(image::WriteIntelHex(store, words, HexAddressing::Words),
              ":0F000200010101010102020202020303030303D1\r\n"
              ":050005000404040404E2\r\n"
              ":00000001FF\r\n");
}

TEST(IntelHex, ARecordNeverSpansAGap) {
    // 02+00+00+00+11+11 = 24, checksum DC; 02+00+04+00+22+22 = 4A, checksum B6.
    Store store{16, 65536, 0, "T"};
    std::vector<PlacedWord> words{{0, 0x1111}, {2, 0x2222}};
    EXPECT_EQ(image::WriteIntelHex(store, words),
              ":020000001111DC\r\n:020004002222B6\r\n:00000001FF\r\n");
}

TEST(IntelHex, AType04RecordWhereByteAddressesPassFFFF) {
    // Words 7FFF and 8000 are consecutive, at byte addresses FFFE and 10000.
    // 02+FF+FE+00+12+34 = 245, checksum BB. Upper address 0001: 02+00+00+04+00+01
    // = 07, checksum F9. 02+00+00+00+AB+CD = 17A, checksum 86. Word 8010 at byte
    // address 10020 needs no second type 04 record: 02+00+20+00+00+07 = 29, D7.
    Store store{16, 65536, 0, "T"};
    std::vector<PlacedWord> words{{0x8010, 0x0007}, {0x7FFF, 0x1234}, {0x8000, 0xABCD}};
    EXPECT_EQ(image::WriteIntelHex(store, words),
              ":02FFFE001234BB\r\n"
              ":020000040001F9\r\n"
              ":02000000ABCD86\r\n"
              ":020020000007D7\r\n"
              ":00000001FF\r\n");
    // Counting words, the addresses stay below 10000: 02+80+00+00+AB+CD = 1FA,
    // checksum 06.
    std::vector<PlacedWord> high{{0x8000, 0xABCD}};
    EXPECT_EQ(image::WriteIntelHex(store, high, HexAddressing::Words), ":02800000ABCD06\r\n:00000001FF\r\n");
}

TEST(IntelHex, SixteenBytesAtMostPerRecord) {
    // Seventeen 8-bit words 00..10: 10+00+00+00 + (0+1+..+F = 78) = 88,
    // checksum 78; then 01+00+10+00+10 = 21, checksum DF.
    Store store{8, 4096, 0, "T"};
    std::vector<PlacedWord> words;
    for (std::uint32_t a = 0; a <= 0x10; ++a) words.push_back({a, a});
    EXPECT_EQ(image::WriteIntelHex(store, words),
              ":10000000000102030405060708090A0B0C0D0E0F78\r\n"
              ":0100100010DF\r\n"
              ":00000001FF\r\n");
}

TEST(IntelHex, NoWordsGiveOnlyTheEndRecord) {
    Store store{40, 4096, 0, "T"};
    EXPECT_EQ(image::WriteIntelHex(store, {}), ":00000001FF\r\n");
}

}  // namespace
