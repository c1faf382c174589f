// Memories read back, on the real command lines: EEPROM dumps made here by
// hand (one .bin file per byte lane, FF where nothing was programmed)
// compare equal with their sources, and a single flipped bit is found at
// exactly its address and field; decoded sources of object files assemble
// back to them; every image format decodes alike; hostile images end with
// exit status 2 and a message naming the file.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "ctrlforge/ctrlforge.hpp"
#include "tests/support/golden_sources.hpp"
#include "tests/support/scratch_folder.hpp"
#include "wordforge/wordforge.hpp"

namespace {

namespace fs = std::filesystem;
using image::PlacedWord;

struct Started {
    int status = -1;
    std::string out, err;
};

class Folder {
public:
    explicit Folder(const std::string& purpose) : scratch_("read-back-" + purpose) {}
    const fs::path& Path() const { return scratch_.Path(); }
    void Write(const std::string& name, const std::string& bytes) const {
        std::ofstream(Path() / name, std::ios::binary) << bytes;
    }
    std::string Read(const std::string& name) const { return test_support::ReadBytes(Path() / name); }
    // The program started in the folder with the arguments (shell words).
    Started Start(const std::string& program, const std::string& arguments) const {
        const std::string command = "cd '" + Path().string() + "' && '" + program + "' " + arguments +
                                    " >out.txt 2>err.txt";
        const int raw = std::system(command.c_str());
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, Read("out.txt"), Read("err.txt")};
    }

private:
    test_support::ScratchFolder scratch_;
};

// A hand-made EEPROM dump: one file per byte lane, `depth` bytes each, all
// ones where no word was programmed; lane N holds bits 8N+7..8N.
void WriteLanes(const Folder& folder, const std::string& stem, const std::vector<PlacedWord>& words, unsigned lanes,
                std::size_t depth) {
    for (unsigned lane = 0; lane < lanes; ++lane) {
        std::string bytes(depth, '\xFF');
        for (const PlacedWord& w : words) bytes[w.address] = static_cast<char>((w.word >> (8 * lane)) & 0xFFu);
        folder.Write(stem + ".lane" + std::to_string(lane) + ".bin", bytes);
    }
}

void FlipBit(const Folder& folder, const std::string& name, std::size_t offset, unsigned bit) {
    std::string bytes = folder.Read(name);
    bytes[offset] = static_cast<char>(bytes[offset] ^ (1 << bit));
    folder.Write(name, bytes);
}

std::string Lanes(const std::string& stem, unsigned lanes) {
    std::string arguments;
    for (unsigned lane = 0; lane < lanes; ++lane) arguments += " --compare=" + stem + ".lane" + std::to_string(lane) + ".bin";
    return arguments;
}

// The line number of the first line holding `text`.
int LineOf(const std::string& source, const std::string& text) {
    return 1 + static_cast<int>(std::count(source.begin(), source.begin() + static_cast<std::ptrdiff_t>(source.find(text)), '\n'));
}

const std::string kMicroprogram =
    ".TITLE EEPROM\r\n"
    "* START: 0\r\n"
    "    READ\r\n"
    "    R1 := MM\r\n"
    "* LOOP:\r\n"
    "    IF ZER = 0 THEN LOOP\r\n"
    "    R1 := R1 - R2\r\n"
    "* 10\r\n"
    "    RETURN\r\n"
    "    R2 := 0BEEF\r\n"
    ".END\r\n";

TEST(ReadBack, AMicroprogramsEepromLanesCompareEqualAndAFlippedBitIsFound) {
    Folder folder("micro-eeprom");
    folder.Write("prog.mic", kMicroprogram);
    std::vector<PlacedWord> words;
    ASSERT_FALSE(ctrlforge::AssembleSource(kMicroprogram, {}, {.placed = &words}).failed);
    ASSERT_EQ(words.size(), 3u);
    WriteLanes(folder, "dump", words, 5, 4096);

    Started run = folder.Start(CTRLFORGE_PROGRAM, "--fill=FFFFFFFFFF" + Lanes("dump", 5) + " prog.mic");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "the image holds the source's words at all 4096 addresses\n");
    EXPECT_EQ(run.err, "");

    // Bit 3 of lane 0 at 001 is bit 3 of LT, in the word of LOOP: the IF's
    // target 001 reads 009. Bit 6 of lane 4 at 010 is bit 38, in LB: no
    // left bus (1111) becomes 1011, IO.
    FlipBit(folder, "dump.lane0.bin", 0x001, 3);
    FlipBit(folder, "dump.lane4.bin", 0x010, 6);
    run = folder.Start(CTRLFORGE_PROGRAM, "--fill=FFFFFFFFFF" + Lanes("dump", 5) + " prog.mic");
    EXPECT_EQ(run.status, 1) << run.err;
    const std::string loop = "prog.mic:" + std::to_string(LineOf(kMicroprogram, "* LOOP:")) + ":1: 001: image ";
    const std::string last = "prog.mic:" + std::to_string(LineOf(kMicroprogram, "* 10")) + ":1: 010: image ";
    std::istringstream lines(run.out);
    std::string first, second, summary;
    std::getline(lines, first);
    std::getline(lines, second);
    std::getline(lines, summary);
    EXPECT_EQ(first.rfind(loop, 0), 0u) << run.out;
    EXPECT_NE(first.find("image 123C741E09, source 123C741E01, fields LT (image 009, source 001)"), std::string::npos)
        << first;
    EXPECT_EQ(second.rfind(last, 0), 0u) << run.out;
    EXPECT_NE(second.find("image BBFCB2BEEF, source FBFCB2BEEF, fields LB (image IO, source NLB)"), std::string::npos)
        << second;
    EXPECT_EQ(summary, "2 of 4096 addresses differ");

    // A bit cleared where nothing was programmed: the image's own name.
    WriteLanes(folder, "dump", words, 5, 4096);
    FlipBit(folder, "dump.lane2.bin", 0x123, 0);
    run = folder.Start(CTRLFORGE_PROGRAM, "--fill=FFFFFFFFFF" + Lanes("dump", 5) + " prog.mic");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out,
              "dump.bin: 123: image FFFFFEFFFF, no word from the source (an unwritten word holds FFFFFFFFFF)\n"
              "1 of 4096 addresses differ\n");
}

const std::string kAssembly =
    "        TITLE EEPROM\r\n"
    "START:  L     1,DATA\r\n"
    "        SUB   1,1\r\n"
    "        BNZ   *-1\r\n"
    "        HLT\r\n"
    "DATA:   DC    X\"1234\r\n"
    "        END\r\n";

TEST(ReadBack, AProgramsEepromLanesCompareEqualAndAFlippedBitIsFound) {
    Folder folder("word-eeprom");
    folder.Write("prog.asm", kAssembly);
    std::vector<PlacedWord> words;
    ASSERT_FALSE(wordforge::AssembleSource(kAssembly, {}, {.placed = &words}).failed);
    WriteLanes(folder, "dump", words, 2, 65536);
    Started run = folder.Start(WORDFORGE_PROGRAM, "--fill=FFFF" + Lanes("dump", 2) + " prog.asm");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "the image holds the source's words at all 65536 addresses\n");

    // SUB 1,1 at 0001: bit 0 of its high byte turns register 1 into 0.
    FlipBit(folder, "dump.lane1.bin", 0x0001, 0);
    run = folder.Start(WORDFORGE_PROGRAM, "--fill=FFFF" + Lanes("dump", 2) + " prog.asm");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out,
              "prog.asm:3:9: 0001: image 1001 (SUB 0,1), source 1101 (SUB 1,1)\n"
              "1 of 65536 addresses differ\n");
}

TEST(ReadBack, DecodedSourcesOfObjectFilesAssembleBackToThem) {
    Folder folder("object-back");
    folder.Write("fetch.mic", test_support::ReadBytes(fs::path(EXAMPLES_DIR) / "fetch.mic"));
    folder.Write("table.asm", test_support::ReadBytes(fs::path(EXAMPLES_DIR) / "table.zasm"));
    ASSERT_EQ(folder.Start(CTRLFORGE_PROGRAM, "-O fetch.mic").status, 0);
    ASSERT_EQ(folder.Start(WORDFORGE_PROGRAM, "table.asm").status, 0);

    Started run = folder.Start(CTRLFORGE_PROGRAM, "--decode --as-source fetch.mic.o");
    EXPECT_EQ(run.status, 0) << run.err;
    folder.Write("back.mic", run.out);
    ASSERT_EQ(folder.Start(CTRLFORGE_PROGRAM, "-O back.mic").status, 0);
    EXPECT_EQ(folder.Read("back.mic.o"), folder.Read("fetch.mic.o"));

    for (const char* annotate : {"", "--annotate"}) {
        run = folder.Start(WORDFORGE_PROGRAM, std::string("--disassemble ") + annotate + " table.asm.b");
        EXPECT_EQ(run.status, 0) << run.err;
        folder.Write("back.asm", run.out);
        ASSERT_EQ(folder.Start(WORDFORGE_PROGRAM, "back.asm").status, 0);
        EXPECT_EQ(folder.Read("back.asm.b"), folder.Read("table.asm.b"));
    }
}

TEST(ReadBack, EverySparseImageFormatDecodesLikeTheObjectFile) {
    Folder folder("formats");
    folder.Write("fetch.mic", test_support::ReadBytes(fs::path(EXAMPLES_DIR) / "fetch.mic"));
    ASSERT_EQ(folder.Start(CTRLFORGE_PROGRAM, "-O --image=readmemh --image=readmemb --image=intelhex fetch.mic").status, 0);
    const Started object = folder.Start(CTRLFORGE_PROGRAM, "--decode fetch.mic.o");
    ASSERT_EQ(object.status, 0);
    EXPECT_GT(std::count(object.out.begin(), object.out.end(), '\n'), 100);
    for (const char* image : {"fetch.mic.mem", "fetch.mic.memb", "fetch.mic.hex"}) {
        const Started run = folder.Start(CTRLFORGE_PROGRAM, std::string("--decode ") + image);
        EXPECT_EQ(run.status, 0) << image << run.err;
        EXPECT_EQ(run.out, object.out) << image;
    }
    // Named by the option, a file whose name tells nothing.
    fs::copy_file(folder.Path() / "fetch.mic.mem", folder.Path() / "dump.txt");
    EXPECT_EQ(folder.Start(CTRLFORGE_PROGRAM, "--decode --image-format=readmemh dump.txt").out, object.out);
    // Several images each get a heading line.
    const Started two = folder.Start(CTRLFORGE_PROGRAM, "--decode fetch.mic.o fetch.mic.hex");
    EXPECT_EQ(two.out, "; fetch.mic.o\n" + object.out + "; fetch.mic.hex\n" + object.out);
}

TEST(ReadBack, WordsNoStatementGivesAreCountedOnStandardError) {
    Folder folder("inexpressible");
    folder.Write("dump.mem", "@000\nFFFFFFFE00\nFFFFF9FE00\n@FFF\nFFFFFFFE00\n");
    const Started run = folder.Start(CTRLFORGE_PROGRAM, "--decode --as-source dump.mem");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "ctrlforge: dump.mem: 2 words cannot be written as source and stand as comments\n");
    EXPECT_NE(run.out.find("; 001  FFFFF9FE00  not written as source: SQ holds 9"), std::string::npos) << run.out;
    // Without --as-source the decoding says why, and nothing is left out.
    const Started listing = folder.Start(CTRLFORGE_PROGRAM, "--decode dump.mem");
    EXPECT_EQ(listing.status, 0);
    EXPECT_EQ(listing.err, "");
}

TEST(ReadBack, HostileImagesEndWithStatusTwoAndTheFilesName) {
    Folder folder("hostile");
    folder.Write("prog.mic", kMicroprogram);
    std::mt19937 random(3);
    std::string noise(10u << 20, '\0');
    for (char& c : noise) c = static_cast<char>(random());
    folder.Write("noise.bin", noise);
    folder.Write("cut.hex", ":0A0000001234567890FFFF");                     // a record cut short
    folder.Write("sum.hex", ":0500000012345678FF00\n:00000001FF\n");        // a checksum that does not add up
    folder.Write("long.mem", std::string(5000, '0') + "\n");                // a line past the limit
    folder.Write("wide.mem", "123456789ABC\n");                              // a word wider than 40 bits
    std::vector<PlacedWord> words{{0, 0x121C701F05}};
    WriteLanes(folder, "four", words, 5, 16);
    fs::remove(folder.Path() / "four.lane4.bin");                          // a lane missing
    for (const char* image : {"noise.bin", "cut.hex", "sum.hex", "long.mem", "wide.mem"}) {
        for (const std::string& arguments :
             {std::string("--decode ") + image, std::string("--compare=") + image + " prog.mic"}) {
            const Started run = folder.Start(CTRLFORGE_PROGRAM, arguments);
            EXPECT_EQ(run.status, 2) << arguments;
            EXPECT_EQ(run.out, "") << arguments;
            EXPECT_EQ(run.err.rfind(std::string(image) + ":", 0), 0u) << arguments << ": " << run.err;
            EXPECT_NE(run.err.find(": error: "), std::string::npos) << run.err;
        }
    }
    const Started lanes = folder.Start(CTRLFORGE_PROGRAM, "--decode four.lane0.bin four.lane1.bin four.lane2.bin four.lane3.bin");
    EXPECT_EQ(lanes.status, 2);
    EXPECT_NE(lanes.err.find("lane 4"), std::string::npos) << lanes.err;
    const Started missing = folder.Start(CTRLFORGE_PROGRAM, "--compare=nothere.bin prog.mic");
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.err, "ctrlforge: cannot read 'nothere.bin': No such file or directory\n");
    // A source with errors: nothing to compare with.
    folder.Write("bad.mic", ".TITLE BAD\r\n* GOTO\r\n.END\r\n");
    folder.Write("ok.mem", "@000\n121C701F05\n");
    const Started bad = folder.Start(CTRLFORGE_PROGRAM, "--compare=ok.mem bad.mic");
    EXPECT_EQ(bad.status, 2);
    EXPECT_NE(bad.err.find("bad.mic:2:"), std::string::npos) << bad.err;
    EXPECT_NE(bad.err.find("ctrlforge: bad.mic has errors; nothing was compared\n"), std::string::npos) << bad.err;
}

TEST(ReadBack, UsageErrorsSayWhatIsWrong) {
    Folder folder("usage");
    const std::pair<const char*, const char*> cases[] = {
        {"--decode", "ctrlforge: no FILE given to --decode"},
        {"--as-source x.o", "ctrlforge: --as-source needs --decode"},
        {"--decode --compare=x.o y.mic", "ctrlforge: --decode and --compare are two tasks; give one"},
        {"--decode -O x.o", "ctrlforge: --decode writes no files; --object is not taken with it"},
        {"--compare=x.o", "ctrlforge: --compare=IMAGE compares with one SOURCE"},
        {"--decode --image-format=hexx x", "ctrlforge: unknown image format 'hexx'; the formats are readmemh, "
                                           "readmemb, intelhex, logisim, mif, bin, object"},
        {"--decode --fill=1FFFFFFFFFF x", "ctrlforge: --fill needs a word of at most 40 bits in hexadecimal digits, "
                                          "not '1FFFFFFFFFF'"},
        {"--explain 12345", "ctrlforge: --explain needs a word of 10 hexadecimal digits, not '12345'"},
    };
    for (const auto& [arguments, message] : cases) {
        const Started run = folder.Start(CTRLFORGE_PROGRAM, arguments);
        EXPECT_EQ(run.status, 2) << arguments;
        EXPECT_EQ(run.err, std::string(message) + "\nTry 'ctrlforge --help' for more information.\n") << arguments;
    }
    const Started annotate = folder.Start(WORDFORGE_PROGRAM, "--annotate x.b");
    EXPECT_EQ(annotate.err, "wordforge: --annotate needs --disassemble\nTry 'wordforge --help' for more information.\n");
}

}  // namespace
