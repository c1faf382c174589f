// Input the reader must refuse, each with the file, the line or byte
// offset worked out by hand, and a message that names the fault; and noise
// that must be refused at once, whatever format it is read as.
#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <string>
#include <vector>

#include "image/reader.hpp"

namespace {

using image::ReadRequest;
using image::ReadResult;

const ReadRequest kControl{40, 4096, "", image::HexAddressing::Bytes};
const ReadRequest kMemory{16, 65536, "", image::HexAddressing::Bytes};

struct Fault {
    std::string file;
    std::uint32_t line;                 // 0: none
    std::optional<std::uint64_t> offset;
    std::vector<std::string> words;     // that the message holds
};

void ExpectRefused(const ReadResult& result, const Fault& fault) {
    ASSERT_TRUE(result.error) << "read " << result.words.size() << " words";
    const image::ReadError& error = *result.error;
    EXPECT_TRUE(result.words.empty());
    EXPECT_EQ(error.file, fault.file);
    EXPECT_EQ(error.line, fault.line) << error.text;
    EXPECT_EQ(error.offset, fault.offset) << error.text;
    for (const std::string& word : fault.words) {
        EXPECT_NE(error.text.find(word), std::string::npos) << "'" << word << "' not in: " << error.text;
    }
}

ReadResult Read(const std::string& name, const std::string& bytes, const ReadRequest& request = kMemory) {
    return image::ReadImage({name, bytes}, request);
}

TEST(ReaderHostile, IntelHexRecordsCutShortOrCorrupt) {
    // Line 2 should end in B6 (02+00+04+00+22+22 = 4A).
    ExpectRefused(Read("p.hex", ":020000001111DC\r\n:020004002222B7\r\n:00000001FF\r\n"),
                  {"p.hex", 2, {}, {"checksum", "B7", "B6"}});
    // Cut in the middle of line 2: the count says two data bytes, none left.
    ExpectRefused(Read("p.hex", ":020000001111DC\r\n:0200040022"), {"p.hex", 2, {}, {"truncated", "2 data bytes"}});
    ExpectRefused(Read("p.hex", ":020000001111DC\r\n:0200"), {"p.hex", 2, {}, {"truncated"}});
    // Cut after a whole record: no end record.
    ExpectRefused(Read("p.hex", ":020000001111DC\r\n"), {"p.hex", 1, {}, {"end record"}});
    ExpectRefused(Read("p.hex", ":020000001111DC\r\n:00000001FF\r\n:020000001111DC\r\n"),
                  {"p.hex", 3, {}, {"after the end record"}});
    ExpectRefused(Read("p.hex", "\r\n:0200000011G1DC\r\n"), {"p.hex", 2, {}, {"'G'", "not a hex digit"}});
    ExpectRefused(Read("p.hex", "@0 1234\r\n"), {"p.hex", 1, {}, {"':'"}});
    ExpectRefused(Read("p.hex", ":020000061111D6\r\n"), {"p.hex", 1, {}, {"type 06"}});
    // Upper address 0002 (checksum F8): byte 20000 is word 10000, past 64 Ki.
    ExpectRefused(Read("p.hex", ":020000040002F8\r\n:020000001111DC\r\n"), {"p.hex", 2, {}, {"0x10000", "beyond", "65536"}});
    // Three bytes of one word at word addresses: 03+00+00+00+11+22+33 = 69,
    // checksum 97.
    ReadRequest words = kMemory;
    words.hexAddressing = image::HexAddressing::Words;
    ExpectRefused(Read("p.hex", ":0300000011223397\r\n:00000001FF\r\n", words), {"p.hex", 1, {}, {"3 bytes", "whole"}});
}

TEST(ReaderHostile, WordsTooWideAndAddressesBeyondTheStore) {
    ExpectRefused(Read("p.mem", "// c\n\nFFFFFFFFFFF\n", kControl), {"p.mem", 3, {}, {"wider than 40 bits"}});
    ExpectRefused(Read("p.mem", "@fff\n1\n2\n", kControl), {"p.mem", 3, {}, {"0x1000", "beyond", "4096"}});
    ExpectRefused(Read("p.mem", "@1000\n", kControl), {"p.mem", 1, {}, {"0x1000", "beyond"}});
    ExpectRefused(Read("p.mem", "1 12G4\n"), {"p.mem", 1, {}, {"'G'", "not a hex digit"}});
    ExpectRefused(Read("p.memb", "0101\n0121\n"), {"p.memb", 2, {}, {"'2'", "not a binary digit"}});
    ExpectRefused(Read("p.mem", "1x\n"), {"p.mem", 1, {}, {"mixes unknown"}});
    ExpectRefused(Read("p.mem", "1 /* open\n2\n"), {"p.mem", 1, {}, {"never closed"}});
    ExpectRefused(Read("p.img", "v3.0 hex words addressed\nfff0: 1 2 3 4 5 6 7 8 9 a b c d e f 10 11\n"),
                  {"p.img", 2, {}, {"0x10000", "beyond"}});
    ExpectRefused(Read("p.img", "v2.0 raw\n1 2\n4096*0\n", kControl), {"p.img", 3, {}, {"4096*0", "passes the end"}});
    ExpectRefused(Read("p.img", "v3.0 hex words plain\n1 fg\n"), {"p.img", 2, {}, {"'g'", "not a hex digit"}});
    ExpectRefused(Read("p.img", "v3.0 hex bytes\n00 01\n"), {"p.img", 1, {}, {"words"}});
    ExpectRefused(Read("p.img", "# only\n\n"), {"p.img", 2, {}, {"no Logisim header"}});
    ExpectRefused(Read("p.b", "MM\r\n0000  12345\r\n"), {"p.b", 2, {}, {"4 hex digits, two blanks and 4 hex digits"}});
    ExpectRefused(Read("p.o", "CM   X\r\n0G0  1234567890\r\n", kControl), {"p.o", 2, {}, {"'G'", "not a hex digit"}});
    ExpectRefused(Read("p.o", "", kControl), {"p.o", 0, {}, {"empty object file"}});
    ExpectRefused(Read("p.o", "CM   X\r\n000  1234567890\r\n"), {"p.o", 1, {}, {"40-bit words", "not 16-bit"}});
    // Seven bytes hold one 40-bit word and two bytes of the next, at byte 5.
    ExpectRefused(Read("p.bin", std::string(7, '\x01'), kControl), {"p.bin", 0, 5, {"inside a word", "7 bytes"}});
    ExpectRefused(Read("p.bin", std::string(3, '\x01')), {"p.bin", 0, 2, {"inside a word"}});
    ExpectRefused(Read("p.bin", std::string(20481, '\x01'), kControl), {"p.bin", 0, 20480, {"pass the end", "4096"}});
}

TEST(ReaderHostile, MifHeadersAndContentThatDoNotFit) {
    const std::string head = "DEPTH = 16;\nWIDTH = 16;\nADDRESS_RADIX = HEX;\nDATA_RADIX = HEX;\nCONTENT BEGIN\n";
    ExpectRefused(Read("p.mif", head + "0 : 1;\n[0..3] : 2;\nEND;\n"), {"p.mif", 7, {}, {"0x0000", "twice", "line 6"}});
    ExpectRefused(Read("p.mif", head + "0 : 1;\n"), {"p.mif", 6, {}, {"no END"}});
    ExpectRefused(Read("p.mif", head + "0 : 10000;\nEND;\n"), {"p.mif", 6, {}, {"wider than 16 bits"}});
    ExpectRefused(Read("p.mif", head + "10 : 1;\nEND;\n"), {"p.mif", 6, {}, {"beyond DEPTH = 16"}});
    ExpectRefused(Read("p.mif", head + "[5..3] : 1;\nEND;\n"), {"p.mif", 6, {}, {"backwards"}});
    ExpectRefused(Read("p.mif", head + "0 : 1; % open\nEND;\n"), {"p.mif", 6, {}, {"never closed"}});
    ExpectRefused(Read("p.mif", head + "END;\n0 : 1;\n"), {"p.mif", 7, {}, {"after END"}});
    ExpectRefused(Read("p.mif", "DEPTH = 16;\nWIDTH = 40;\nADDRESS_RADIX = HEX;\nDATA_RADIX = HEX;\nCONTENT BEGIN\nEND;\n"),
                  {"p.mif", 2, {}, {"WIDTH = 40", "16 bits"}});
    ExpectRefused(Read("p.mif", "DEPTH = 65537;\nWIDTH = 16;\nADDRESS_RADIX = HEX;\nDATA_RADIX = HEX;\nCONTENT BEGIN\nEND;\n"),
                  {"p.mif", 1, {}, {"DEPTH = 65537", "65536"}});
    ExpectRefused(Read("p.mif", "DEPTH = 16;\nWIDTH = 16;\nDATA_RADIX = HEX;\nCONTENT BEGIN\nEND;\n"),
                  {"p.mif", 4, {}, {"ADDRESS_RADIX"}});
    ExpectRefused(Read("p.mif", "DEPTH = 16;\nWIDTH = 16;\nADDRESS_RADIX = HEX;\n"), {"p.mif", 3, {}, {"CONTENT BEGIN"}});
}

TEST(ReaderHostile, OverlongLinesInEveryTextFormat) {
    const std::string line(5000, '0');
    for (const char* name : {"p.mem", "p.memb", "p.hex", "p.img", "p.mif", "p.b"}) {
        SCOPED_TRACE(name);
        const std::string before = std::string(name) == "p.b" ? "MM\r\n0000  0000\r\n" : "\n\n";
        ExpectRefused(Read(name, before + line + "\n1\n"), {name, 3, {}, {"5000 characters", "4096"}});
    }
}

TEST(ReaderHostile, LaneSetsThatAreNotOneImage) {
    const std::string lane = "@0\n12\n34\n";
    // Files of those names, all holding `lane`.
    const auto files = [&](const std::vector<std::string>& names) {
        std::vector<image::ImageFile> list;
        for (const std::string& name : names) list.push_back({name, lane});
        return list;
    };
    // Four of the five lanes of a 40-bit word: the missing one is named.
    ExpectRefused(image::ReadImages(files({"p.lane0.mem", "p.lane1.mem", "p.lane2.mem", "p.lane3.mem"}), kControl),
                  {"p.lane4.mem", 0, {}, {"lane 4 is missing"}});
    ExpectRefused(image::ReadImages(files({"p.lane0.mem"}), kMemory), {"p.lane1.mem", 0, {}, {"lane 1 is missing"}});
    ExpectRefused(image::ReadImages(files({"p.lane0.mem", "p.lane1.mem", "q.lane1.mem"}), kMemory),
                  {"q.lane1.mem", 0, {}, {"lane 1 is given twice", "p.lane1.mem"}});
    ExpectRefused(image::ReadImages(files({"p.lane0.mem", "p.lane1.mem", "p.lane2.mem"}), kMemory),
                  {"p.lane2.mem", 0, {}, {"lane 2 does not exist", "0 to 1"}});
    ExpectRefused(image::ReadImages(files({"p.lane0.mem", "p.mem"}), kMemory), {"p.mem", 0, {}, {"no lane file"}});
    // Lanes of different formats.
    const std::vector<image::ImageFile> mixed{{"p.lane0.mem", lane}, {"p.lane1.hex", ":00000001FF\n"}};
    ExpectRefused(image::ReadImages(mixed, kMemory),
                  {"p.lane1.hex", 0, {}, {"lane 1 is intelhex", "lane 0 (p.lane0.mem) readmemh", "one format"}});
    // Lane 1 fills one address more (line 3) or one fewer.
    const std::vector<image::ImageFile> more{{"p.lane0.mem", "@0 12 34\n"}, {"p.lane1.mem", "@0 12 34\n\n@10 56\n"}};
    ExpectRefused(image::ReadImages(more, kMemory), {"p.lane1.mem", 3, {}, {"lane 1 has a word at address 0x0010"}});
    const std::vector<image::ImageFile> fewer{{"p.lane0.mem", "@0 12\n34\n"}, {"p.lane1.mem", "@0 12\n"}};
    ExpectRefused(image::ReadImages(fewer, kMemory),
                  {"p.lane1.mem", 0, {}, {"lane 1 has no word at address 0x0001", "line 2"}});
    // A lane's words are eight bits wide.
    const std::vector<image::ImageFile> wide{{"p.lane0.mem", "@0 12\n"}, {"p.lane1.mem", "@0\n1FF\n"}};
    ExpectRefused(image::ReadImages(wide, kMemory), {"p.lane1.mem", 2, {}, {"wider than 8 bits"}});
    const std::vector<image::ImageFile> bins{{"p.lane0.bin", "\x01\x02"}, {"p.lane1.bin", "\x01"}};
    ExpectRefused(image::ReadImages(bins, kMemory), {"p.lane1.bin", 0, {}, {"no word at address 0x0001", "byte 1"}});
}

TEST(ReaderHostile, AnUnknownFormatName) {
    ReadRequest named = kMemory;
    named.format = "srec";
    ExpectRefused(Read("p.mem", "1\n", named),
                  {"p.mem", 0, {}, {"unknown image format 'srec'", "readmemh, readmemb, intelhex, logisim, mif, bin, object"}});
}

TEST(ReaderHostile, TenMegabytesOfNoiseAreRefusedAtOnce) {
    std::mt19937_64 random(20240229);
    std::string noise(10 << 20, '\0');
    for (std::size_t i = 0; i < noise.size(); i += 8) {
        const std::uint64_t bits = random();
        for (std::size_t k = 0; k < 8 && i + k < noise.size(); ++k) noise[i + k] = static_cast<char>(bits >> (8 * k));
    }
    // Noise of text characters only, with a line end now and then.
    std::string text(noise.size(), ' ');
    for (std::size_t i = 0; i < noise.size(); ++i) {
        const auto byte = static_cast<unsigned char>(noise[i]);
        text[i] = byte % 97 == 0 ? '\n' : static_cast<char>(0x20 + byte % 95);
    }
    const auto start = std::chrono::steady_clock::now();
    for (const std::string* bytes : {&noise, &text}) {
        for (const char* format : {"", "readmemh", "readmemb", "intelhex", "logisim", "mif", "bin", "object"}) {
            for (const ReadRequest* machine : {&kControl, &kMemory}) {
                SCOPED_TRACE(std::string(format) + (bytes == &noise ? " noise" : " text"));
                ReadRequest request = *machine;
                request.format = format;
                const ReadResult result = Read("noise", *bytes, request);
                ASSERT_TRUE(result.error);
                EXPECT_EQ(result.error->file, "noise");
                EXPECT_FALSE(result.error->text.empty());
                EXPECT_TRUE(result.words.empty());
            }
        }
        // As lane files too.
        const std::vector<image::ImageFile> lanes{{"n.lane0", *bytes}, {"n.lane1", *bytes}};
        EXPECT_TRUE(image::ReadImages(lanes, kMemory).error);
    }
    // Noise read as bin is refused where the store ends, at its 4096th word.
    ExpectRefused(Read("noise", noise, kControl), {"noise", 0, 20480, {"pass the end"}});
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(seconds, 10.0);
}

}  // namespace
