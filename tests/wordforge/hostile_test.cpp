#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "wordforge/wordforge.hpp"
#include "assembly_helpers.hpp"
#include "wordforge/dialogue.hpp"
#include "tests/support/unprivileged_run.hpp"
#include "tests/support/scratch_folder.hpp"
#include "tests/support/skip.hpp"

namespace {

namespace fs = std::filesystem;
using wordforge::AssembleText;
using wordforge::WordResult;
using wordforge_test::Blanks;
using wordforge_test::Lines;

std::size_t Count(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

TEST(HostileSource, EmptyFileIsAnErrorLineAndAMissingEnd) {
    WordResult r = AssembleText("");
    EXPECT_EQ(r.errorCount, 2);
    EXPECT_EQ(r.listing, "F 0000                 \r\nF\r\n\r\nTHERE WERE 2 ERRORS.\r\n\r\nLABEL(S)\r\n\r\n");
    EXPECT_EQ(r.object, "MM\r\n");
}

TEST(HostileSource, RandomBytesFailCleanlyAndRepeatably) {
    std::mt19937 generator(8122026);
    std::string bytes(64 * 1024, '\0');
    for (char& c : bytes) c = static_cast<char>(generator() & 0xFF);
    WordResult first = AssembleText(bytes);
    WordResult second = AssembleText(bytes);
    EXPECT_GT(first.errorCount, 0);
    EXPECT_EQ(first.listing, second.listing);
    EXPECT_EQ(first.object, second.object);
    EXPECT_NE(first.listing.find("\r\nTHERE WERE " + std::to_string(first.errorCount) + " ERRORS.\r\n"),
              std::string::npos);
}

TEST(HostileSource, NulAndHighBytes) {
    const std::string nul(1, '\0');
    // In a comment the bytes are kept as typed.
    WordResult comment = AssembleText("  NOP ; \xe9t\xe9" + nul + "\r\n  END\r\n");
    EXPECT_EQ(comment.errorCount, 0);
    EXPECT_EQ(Lines(comment.listing)[0], "  0000 E 32 00         NOP   " + Blanks(12) + "; \xe9t\xe9" + nul);
    // In an operand a NUL stops the reader: a format error, the rest shown.
    WordResult operand = AssembleText("  ADD 1," + nul + "5\r\n  END\r\n");
    EXPECT_EQ(operand.errorCount, 1);
    EXPECT_EQ(Lines(operand.listing)[0], "F 0000" + Blanks(17) + "ADD   1," + nul + "5");
    // A label ends at a byte that is no letter or digit.
    WordResult label = AssembleText("AB\xc4: NOP\r\n  END\r\n");
    EXPECT_EQ(label.errorCount, 1);
}

TEST(HostileSource, TenMegabyteLineIsCutAtEightyColumns) {
    std::string source = "  NOP ; " + std::string(10 * 1024 * 1024, 'x') + "\r\n  END\r\n";
    WordResult r = AssembleText(source);
    EXPECT_EQ(r.errorCount, 0);
    std::vector<std::string> lines = Lines(r.listing);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[0], "  0000 E 32 00         NOP   " + Blanks(12) + "; " + std::string(37, 'x'));
    EXPECT_EQ(lines[1], "                       END   ");
}

TEST(HostileSource, ByteTwentySixEndsTheSource) {
    WordResult r = AssembleText("  NOP\r\n  END\r\n\x1a(garbage)\r\n");
    EXPECT_EQ(r.errorCount, 0);
    WordResult early = AssembleText("  NOP\r\n\x1a  END\r\n");
    // The END is never read: the end of the file stands where a line
    // should begin (an error line), then the "F" line.
    EXPECT_EQ(early.errorCount, 2);
    EXPECT_NE(early.listing.find("\r\nF\r\n"), std::string::npos);
}

TEST(HostileSource, TwoHundredThousandDistinctLabels) {
    std::string source;
    for (int i = 0; i < 200000; ++i) source += "L" + std::to_string(i) + ": B L" + std::to_string(i) + "\r\n";
    source += "  END\r\n";
    WordResult r = AssembleText(source);
    EXPECT_EQ(r.errorCount, 0);
    // 0x30D3F is the last address; the table shows its low 16 bits.
    EXPECT_NE(r.listing.find("L199999:  0D3F    \r\n"), std::string::npos);
    EXPECT_NE(r.listing.find("LABEL(S)\r\nL0:       0000    L1:       0001    L2:       0002    L3:       0003    \r\n"),
              std::string::npos);
}

TEST(HostileSource, HundredThousandRepeatedDefinitions) {
    std::string source;
    for (int i = 0; i < 100001; ++i) source += "SAME: NOP\r\n";
    source += "  END\r\n";
    WordResult r = AssembleText(source);
    EXPECT_EQ(r.errorCount, 100000);
    EXPECT_NE(r.listing.find("\r\nTHERE WERE 100000 ERRORS.\r\n"), std::string::npos);
    EXPECT_EQ(Count(r.listing, "\r\nD "), 100000u);
    EXPECT_NE(r.listing.find("LABEL(S)\r\nSAME:     0000    \r\n"), std::string::npos);
}

TEST(HostileSource, OrgAtTheTopOfTheAddressRange) {
    WordResult r = AssembleText("  ORG FFFFFFFF\r\nX: ADD 1,2\r\nY: NOP\r\n  END\r\n");
    EXPECT_EQ(r.errorCount, 0);
    EXPECT_EQ(r.object, "MM\r\nFFFF  0102\r\n0000  EE00\r\n");
    std::vector<std::string> lines = Lines(r.listing);
    EXPECT_EQ(lines[1], "  FFFF 0 01 02 X:      ADD   1,2");
    EXPECT_EQ(lines[2], "  0000 E 32 00 Y:      NOP   ");
}

TEST(HostileSource, StorageCountsAtAndBeyondTheLimit) {
    WordResult full = AssembleText("  DS 65536\r\nN: NOP\r\n  END\r\n");
    EXPECT_EQ(full.errorCount, 0);
    EXPECT_EQ(Count(full.object, "  0000\r\n"), 65536u);
    EXPECT_NE(full.listing.find("N:        0000"), std::string::npos);  // 0x10000 shows as 0000

    WordResult over = AssembleText("A: DS 65537 ; big\r\nB: DS 99999999\r\nC: DS 0 ; none\r\n  END\r\n");
    EXPECT_EQ(over.errorCount, 2);
    EXPECT_EQ(over.object, "MM\r\n");
    std::vector<std::string> lines = Lines(over.listing);
    EXPECT_EQ(lines[0], "F 0000         A:      DS    65537 ; BIG");
    EXPECT_EQ(lines[1], "F 0000         B:      DS    99999999");
    EXPECT_EQ(lines[2], "  0000         C:      DS    0           ; none");
}

struct Surroundings {
    test_support::ScratchFolder scratch;
    fs::path dir;
    std::string console;
    int status = -1;
    explicit Surroundings(const std::string& name) : scratch("word-hostile-" + name), dir(scratch.Path()) {
        std::ofstream(dir / "P", std::ios::binary) << "  NOP\r\n  END\r\n";
    }
    std::string Path(const std::string& file) const { return (dir / file).string(); }
    void Run(const std::string& input) {
        std::istringstream in(input);
        std::ostringstream out, err;
        common::Console c{in, out};
        status = wordforge::RunWordforge(c, err);
        console = out.str();
    }
};

const char* const kBanner = "   *** ZORVELT ASSEMBLER for Win32 (Ver. 1.0) ***\n";

TEST(HostileSurroundings, DirectoryAsSource) {
    Surroundings s("dir");
    s.Run(s.dir.string() + "\nN\n");
    EXPECT_EQ(s.status, 0);
    EXPECT_EQ(s.console, std::string(kBanner) + "\n SOURCE FILE NAME ? ERROR:IS A DIRECTORY\n CONTINUE ? (Y/N):");
}

// The program itself runs, as an unprivileged user when the tests run as root.
TEST(HostileSurroundings, UnreadableSource) {
    Surroundings s("unreadable");
    fs::permissions(s.dir / "P", fs::perms::none);
    test_support::ProgramRun run = test_support::RunUnprivileged(WORDFORGE_PROGRAM, s.Path("P") + "\nN\n", s.dir);
    if (!run.started) ZORVELT_SKIP(run.skipReason);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, std::string(kBanner) + "\n SOURCE FILE NAME ? ERROR:PERMISSION DENIED\n CONTINUE ? (Y/N):");
}

TEST(HostileSurroundings, OutputThatCannotBeWrittenGoesToTheQuestion) {
    Surroundings s("full");
    std::error_code ec;
    fs::create_symlink("/dev/full", s.dir / "P.b", ec);
    if (ec || !fs::exists("/dev/full")) ZORVELT_SKIP("no /dev/full");
    s.Run(s.Path("P") + "\nN\n");
    EXPECT_EQ(s.status, 0);
    EXPECT_EQ(s.console, std::string(kBanner) +
                             "\n SOURCE FILE NAME ? \n START ? \nERROR:NO SPACE LEFT ON DEVICE\n CONTINUE ? (Y/N):");
    // The listing is complete.
    std::ifstream listing(s.dir / "P.a", std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(listing)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text,
              "  0000 E 32 00         NOP   \r\n                       END   \r\n\r\nTHERE WERE NO ERRORS.\r\n"
              "\r\nLABEL(S)\r\n\r\n");

    Surroundings d("folder");
    fs::create_directories(d.dir / "P.a");
    d.Run(d.Path("P") + "\nN\n");
    EXPECT_EQ(d.console, std::string(kBanner) +
                             "\n SOURCE FILE NAME ? \n START ? \nERROR:IS A DIRECTORY\n CONTINUE ? (Y/N):");
}

TEST(HostileSurroundings, SourceNameWithBlanks) {
    Surroundings s("blanks");
    std::ofstream(s.dir / "my prog.asm", std::ios::binary) << "  NOP\r\n  END\r\n";
    s.Run(s.Path("my prog.asm") + "\r\nn\r\n");
    EXPECT_EQ(s.status, 0);
    EXPECT_TRUE(fs::exists(s.dir / "my prog.asm.a"));
    EXPECT_TRUE(fs::exists(s.dir / "my prog.asm.b"));
}

}  // namespace
