// Every format the reader takes, from small texts and bytes written by
// hand after the formats' definitions, with the words worked out by hand;
// how the format is told from a name or the content; and lanes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "image/reader.hpp"

namespace {

using image::PlacedWord;
using image::ReadFormat;
using image::ReadRequest;
using image::ReadResult;

using Words = std::vector<std::pair<std::uint32_t, std::uint64_t>>;

Words AsPairs(const std::vector<PlacedWord>& words) {
    Words pairs;
    for (const PlacedWord& w : words) pairs.emplace_back(w.address, w.word);
    return pairs;
}

const ReadRequest kControl{40, 4096, "", image::HexAddressing::Bytes};
const ReadRequest kMemory{16, 65536, "", image::HexAddressing::Bytes};

ReadResult Read(const std::string& name, const std::string& bytes, ReadRequest request) {
    return image::ReadImage({name, bytes}, request);
}

// The words of an image that must read cleanly.
Words WordsOf(const std::string& name, const std::string& bytes, ReadRequest request) {
    const ReadResult result = Read(name, bytes, request);
    EXPECT_FALSE(result.error) << image::FormatReadError(*result.error);
    return AsPairs(result.words);
}

TEST(ReaderFormats, ReadmemTextAsVerilogReadsIt) {
    // Comments of both kinds, "@" addresses, "_" between digits, any
    // spacing, a word of x digits that takes address 011 but loads nothing.
    const std::string mem =
        "// ctrlforge control store\r\n"
        "@000\r\n"
        "FFFCFFFE00\r\n"
        "321C_FFE000   /* a comment\r\n"
        "   over two lines */ @010 123456789a\n"
        "\txxxxxxxxxx 0a//end";
    EXPECT_EQ(WordsOf("p.mem", mem, kControl),
              (Words{{0x000, 0xFFFCFFFE00}, {0x001, 0x321CFFE000}, {0x010, 0x123456789A}, {0x012, 0x0A}}));
    EXPECT_EQ(WordsOf("p.memb", "@2\n1010_1010\n0000000011111111\n@0 1\n", kMemory),
              (Words{{2, 0xAA}, {3, 0x00FF}, {0, 1}}));
    // What $writememh writes: an address comment before every sixteen
    // words, x for words never loaded.
    const std::string written = "// 0x00000000\n123456789a\nxxxxxxxxxx\n// 0x00000002\nfffffffe00\n";
    EXPECT_EQ(WordsOf("dump.mem", written, kControl), (Words{{0, 0x123456789A}, {2, 0xFFFFFFFE00}}));
}

TEST(ReaderFormats, IntelHexAtByteAndWordAddresses) {
    // The records of the format's own examples: two 16-bit words; two
    // 40-bit words of five bytes; upper address 0001 before a record at
    // byte 0000, that is byte 10000, word 8000.
    EXPECT_EQ(WordsOf("a.hex", ":040000001234ABCD3E\r\n:00000001FF\r\n", kMemory), (Words{{0, 0x1234}, {1, 0xABCD}}));
    EXPECT_EQ(WordsOf("b.hex", ":0A000000123456789A00000000FF49\r\n:00000001FF\r\n", kControl),
              (Words{{0, 0x123456789A}, {1, 0xFF}}));
    EXPECT_EQ(WordsOf("c.hex", ":020000040001F9\r\n:02000000ABCD86\r\n:00000001FF\r\n", kMemory),
              (Words{{0x8000, 0xABCD}}));
    // Counting words, 02+80+00+00+AB+CD = 1FA: checksum 06.
    ReadRequest words = kMemory;
    words.hexAddressing = image::HexAddressing::Words;
    EXPECT_EQ(WordsOf("d.hex", ":02800000ABCD06\n:00000001FF\n", words), (Words{{0x8000, 0xABCD}}));
    // Sixteen-byte records as objcopy writes them cut 40-bit words: bytes
    // 01..10 (10 + 0+1+..+10 = 10+88 = 98, checksum 68), then 11..14 at
    // byte 10 (04+10+11+12+13+14 = 5E, checksum A2): words 0 to 3.
    const std::string split = ":100000000102030405060708090A0B0C0D0E0F1068\r\n:0400100011121314A2\r\n:00000001FF\r\n";
    EXPECT_EQ(WordsOf("e.hex", split, kControl),
              (Words{{0, 0x0102030405}, {1, 0x060708090A}, {2, 0x0B0C0D0E0F}, {3, 0x1011121314}}));
    // An extended segment address 1000 (times 16: byte 10000; 02+02+10 =
    // 14, checksum EC), and a start address record, which a store ignores
    // (04+03+12+34+56+78 = 11B, checksum E5); blank lines are skipped.
    EXPECT_EQ(WordsOf("f.hex", ":020000021000EC\r\n\r\n:02000000ABCD86\r\n:0400000312345678E5\r\n:00000001FF\r\n", kMemory),
              (Words{{0x8000, 0xABCD}}));
}

TEST(ReaderFormats, LogisimImagesAsLogisimReadsThem) {
    // A word after two blanks is ignored, the colon may stand apart, "0x"
    // is allowed, "#" comments anywhere.
    const std::string addressed =
        "v3.0 hex words addressed\n# made by hand\n000: 01 0x02 03  04\n0x10 : ff # last\n";
    EXPECT_EQ(WordsOf("a.img", addressed, kMemory), (Words{{0, 1}, {1, 2}, {2, 3}, {0x10, 0xFF}}));
    EXPECT_EQ(WordsOf("b.img", "v3.0 hex words plain\n1 2\n0x3 # c\n", kMemory), (Words{{0, 1}, {1, 2}, {2, 3}}));
    // Without a style the first line with a colon makes it addressed.
    EXPECT_EQ(WordsOf("c.img", "V3.0 Words Hex\n8: 7\n", kMemory), (Words{{8, 7}}));
    // The format's example: 14*0 is fourteen zeros, from address 2 to F.
    Words raw{{0, 0xFFFCFFFE00}, {1, 0x321CFFE000}};
    for (std::uint32_t a = 2; a < 16; ++a) raw.emplace_back(a, 0);
    raw.emplace_back(16, 0x123456789A);
    EXPECT_EQ(WordsOf("d.img", "v2.0 raw\nfffcfffe00 321cffe000 14*0 123456789a\n", kControl), raw);
}

TEST(ReaderFormats, MifWithRangesRadixesAndComments) {
    const std::string bin =
        "-- eight-bit words\n"
        "DEPTH = 16; WIDTH = 8;\n"
        "ADDRESS_RADIX = HEX; DATA_RADIX = BIN;\n"
        "CONTENT BEGIN\n"
        "0 : 00000001;\n"
        "1 : 10 11 % a block\n"
        "comment % ;\n"
        "[3..5] : 11111111;\n"
        "END;\n";
    ReadRequest eight{8, 4096, "", image::HexAddressing::Bytes};
    const ReadResult result = Read("a.mif", bin, eight);
    ASSERT_FALSE(result.error) << image::FormatReadError(*result.error);
    EXPECT_EQ(AsPairs(result.words), (Words{{0, 1}, {1, 2}, {2, 3}, {3, 0xFF}, {4, 0xFF}, {5, 0xFF}}));
    EXPECT_EQ(result.fileWordBits, 8u);
    // Signed decimal: -1 is FFFF in 16 bits; unsigned decimal addresses.
    const std::string dec = "WIDTH=16;DEPTH=65536;ADDRESS_RADIX=UNS;DATA_RADIX=DEC;CONTENT BEGIN 10 : -1; 11 : 300; END;";
    EXPECT_EQ(WordsOf("b.mif", dec, kMemory), (Words{{10, 0xFFFF}, {11, 300}}));
}

TEST(ReaderFormats, ObjectFilesOfBothPrograms) {
    const std::string micro = "CM   DISPATCH\r\n000  1FFC35FE02\r\n00D  FFFFF61E07\r\n";
    const ReadResult control = Read("dispatch.mic.o", micro, kControl);
    ASSERT_FALSE(control.error) << image::FormatReadError(*control.error);
    EXPECT_EQ(AsPairs(control.words), (Words{{0x000, 0x1FFC35FE02}, {0x00D, 0xFFFFF61E07}}));
    EXPECT_EQ(control.fileWordBits, 40u);
    EXPECT_EQ(control.format, ReadFormat::Object);
    // A word written over stays in file order; LF alone ends lines too.
    EXPECT_EQ(WordsOf("high.asm.b", "MM HIGH\r\n0000  EE00\r\n0001  EF00\r\n0001  2222\r\n", kMemory),
              (Words{{0, 0xEE00}, {1, 0xEF00}, {1, 0x2222}}));
    EXPECT_EQ(WordsOf("p.b", "MM\n0010  0905\n", kMemory), (Words{{0x10, 0x0905}}));
    // The heading of a run that failed after its title: no words.
    EXPECT_EQ(WordsOf("bad.mic.o", "CM   BAD     \r\n", kControl), Words{});
}

TEST(ReaderFormats, RawBinaryWordsBigEndian) {
    const std::string bytes("\x12\x34\x56\x78\x9A\xFF\xFF\xFF\xFE\x00", 10);
    EXPECT_EQ(WordsOf("p.bin", bytes, kControl), (Words{{0, 0x123456789A}, {1, 0xFFFFFFFE00}}));
    EXPECT_EQ(WordsOf("p.bin", std::string("\xAB\xCD\x00\x01", 4), kMemory), (Words{{0, 0xABCD}, {1, 0x0001}}));
    EXPECT_EQ(WordsOf("p.bin", "", kMemory), Words{});
}

TEST(ReaderFormats, EepromDumpsOfLanesWithTheirErasedFill) {
    // Two 40-bit words in five 4 KiB chips, bytes after the program left
    // erased (FF): lane 0 the low byte, lane 4 the high byte. Every address
    // of the chips reads back, the erased ones as FFFFFFFFFF.
    const std::uint64_t program[] = {0x123456789A, 0xFFFCFFFE00};
    std::vector<std::string> chips(5, std::string(4096, '\xFF'));
    for (unsigned lane = 0; lane < 5; ++lane) {
        for (std::size_t a = 0; a < 2; ++a) chips[lane][a] = static_cast<char>(program[a] >> (8 * lane));
    }
    EXPECT_EQ(chips[0].substr(0, 2), std::string("\x9A\x00", 2));
    EXPECT_EQ(chips[3].substr(0, 2), std::string("\x34\xFC", 2));
    // Given in any order.
    const std::vector<image::ImageFile> files{{"rom.lane3.bin", chips[3]}, {"rom.lane0.bin", chips[0]},
                                              {"rom.lane4.bin", chips[4]}, {"rom.lane2.bin", chips[2]},
                                              {"rom.lane1.bin", chips[1]}};
    const ReadResult result = image::ReadImages(files, kControl);
    ASSERT_FALSE(result.error) << image::FormatReadError(*result.error);
    EXPECT_TRUE(result.lanes);
    ASSERT_EQ(result.words.size(), 4096u);
    EXPECT_EQ(result.words[0].word, 0x123456789Au);
    EXPECT_EQ(result.words[1].word, 0xFFFCFFFE00u);
    for (std::uint32_t a = 2; a < 4096; ++a) {
        ASSERT_EQ(result.words[a].address, a);
        ASSERT_EQ(result.words[a].word, 0xFFFFFFFFFFu) << a;
    }
}

TEST(ReaderFormats, LanesPutTogetherLowByteFirst) {
    // Lane 0 holds bits 7..0: 34 and CD in lane 0, 12 and AB in lane 1.
    const std::vector<image::ImageFile> files{{"p.lane1.mem", "@7 12 AB\n"}, {"p.lane0.mem", "@7 34\nCD\n"}};
    const ReadResult result = image::ReadImages(files, kMemory);
    ASSERT_FALSE(result.error) << image::FormatReadError(*result.error);
    EXPECT_EQ(AsPairs(result.words), (Words{{7, 0x1234}, {8, 0xABCD}}));
}

TEST(ReaderFormats, TheFormatFromTheNameElseTheContent) {
    struct Case {
        const char* name;
        std::string bytes;
        ReadFormat format;
        image::FormatSource source;
    };
    using image::FormatSource;
    const Case cases[] = {
        // The extension decides, in any letter case, even against the content.
        {"x.MEM", "", ReadFormat::Readmemh, FormatSource::Extension},
        {"x.lane1.memb", "", ReadFormat::Readmemb, FormatSource::Extension},
        {"x.hex", "@0 12", ReadFormat::IntelHex, FormatSource::Extension},
        {"x.img", "", ReadFormat::Logisim, FormatSource::Extension},
        {"x.mif", "", ReadFormat::Mif, FormatSource::Extension},
        {"x.bin", "", ReadFormat::Bin, FormatSource::Extension},
        {"fetch.mic.o", "", ReadFormat::Object, FormatSource::Extension},
        {"table.asm.b", "", ReadFormat::Object, FormatSource::Extension},
        // Without a known extension the content tells.
        {"dump", "\r\n  :00000001FF\r\n", ReadFormat::IntelHex, FormatSource::Content},
        {"dump", "# by hand\nv2.0 raw\n1 2\n", ReadFormat::Logisim, FormatSource::Content},
        {"dump", "-- by hand\n% and %\nWIDTH = 8;", ReadFormat::Mif, FormatSource::Content},
        {"dump", "CM   FETCH   \r\n000  FFFFFFFE00\r\n", ReadFormat::Object, FormatSource::Content},
        {"dump", "MM\r\n", ReadFormat::Object, FormatSource::Content},
        {"dump", "/* c */ @10\n0101\n", ReadFormat::Readmemh, FormatSource::Content},
        // All binary digits, one longer than a 16-bit word's four hex digits.
        {"dump", "@10\n0101\n0000000011111111\n", ReadFormat::Readmemb, FormatSource::Content},
        {"dump", "// nothing but a comment\n", ReadFormat::Readmemh, FormatSource::Content},
        {"dump", std::string("\x12\x34\x00\x01", 4), ReadFormat::Bin, FormatSource::Content},
        {"dump", "hello", ReadFormat::Bin, FormatSource::Content},
        {"dir.hex/dump", "1234", ReadFormat::Readmemh, FormatSource::Content},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + ": " + c.bytes);
        const image::DetectedFormat detected = image::DetectFormat(c.name, c.bytes, 16);
        EXPECT_EQ(detected.format, c.format);
        EXPECT_EQ(detected.source, c.source);
    }
    // Binary digits no longer than a word's hex digits read as hex.
    EXPECT_EQ(image::DetectFormat("dump", "0101 1\n", 40).format, ReadFormat::Readmemh);
    // A named format overrides both.
    ReadRequest named = kMemory;
    named.format = "readmemb";
    const ReadResult result = Read("x.hex", "11 10", named);
    ASSERT_FALSE(result.error);
    EXPECT_EQ(result.format, ReadFormat::Readmemb);
    EXPECT_EQ(result.formatSource, image::FormatSource::Named);
    EXPECT_EQ(AsPairs(result.words), (Words{{0, 3}, {1, 2}}));
}

TEST(ReaderFormats, NamesAreTheWritersPlusObject) {
    EXPECT_EQ(image::ReadFormatNames(), "readmemh, readmemb, intelhex, logisim, mif, bin, object");
    for (const image::FormatInfo& info : image::Formats()) {
        const std::optional<ReadFormat> format = image::FindReadFormat(info.name);
        ASSERT_TRUE(format) << info.name;
        EXPECT_EQ(image::WriterOf(*format), info.format);
        EXPECT_EQ(image::NameOf(*format), info.name);
    }
    EXPECT_EQ(image::FindReadFormat("object"), ReadFormat::Object);
    EXPECT_FALSE(image::WriterOf(ReadFormat::Object));
    EXPECT_FALSE(image::FindReadFormat("srec"));
}

TEST(ReaderFormats, LaneNumbersFromNames) {
    EXPECT_EQ(image::LaneOfName("fetch.mic.lane3.mem"), 3u);
    EXPECT_EQ(image::LaneOfName("dir/fetch.mic.lane12"), 12u);
    EXPECT_EQ(image::LaneOfName("a.lane1.b.lane0.hex"), 0u);
    EXPECT_FALSE(image::LaneOfName("fetch.mic.mem"));
    EXPECT_FALSE(image::LaneOfName("fetch.lanes.mem"));
    EXPECT_FALSE(image::LaneOfName("x.lane2y.mem"));
    EXPECT_FALSE(image::LaneOfName("x.lane1/prog.mem"));
    // The names the writers give their lane files.
    EXPECT_EQ(image::LaneOfName(image::ImageFileName("fetch.mic", image::Format::Bin, 4)), 4u);
}

TEST(ReaderFormats, ErrorsPrintAsEditorsReadThem) {
    EXPECT_EQ(image::FormatReadError({"p.hex", 3, std::nullopt, "bad checksum"}), "p.hex:3: error: bad checksum");
    EXPECT_EQ(image::FormatReadError({"p.bin", 0, 20480, "too long"}), "p.bin: error: at byte 20480: too long");
    EXPECT_EQ(image::FormatReadError({"p.lane4.mem", 0, std::nullopt, "lane 4 is missing"}),
              "p.lane4.mem: error: lane 4 is missing");
}

}  // namespace
