#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "ctrlforge/ctrlforge.hpp"
#include "ctrlforge/dialogue.hpp"
#include "parse_helpers.hpp"
#include "common/text_file.hpp"
#include "tests/support/unprivileged_run.hpp"
#include "tests/support/scratch_folder.hpp"
#include "tests/support/skip.hpp"

namespace ctrlforge {
namespace {

namespace fs = std::filesystem;
using testing::Errors;

std::size_t Count(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

TEST(HostileSource, EmptyFile) {
    CtrlOutput out = AssembleText("");
    EXPECT_TRUE(out.failed);
    EXPECT_EQ(out.listing,
              "\r\n\x1a\x1a\r\nERROR    2:ILLEGAL FORMAT OF PROGRAM TITLE.\r\n"
              "\x1a\x1a\r\nERROR   16:ILLEGAL FORMAT OF INSTRUCTION HEADING OR UNKNOWN STATEMENT.\r\n"
              "\x1a\x1a\r\nERROR   19:.END EXPECTED.\r\n");
    EXPECT_EQ(out.object, "");
    EXPECT_EQ(out.map, "");
    EXPECT_EQ(out.console, "\nERROR OCCURRED IN ASSEMBLE-TIME!\n\n");
}

TEST(HostileSource, RandomBytesFailCleanlyAndRepeatably) {
    std::mt19937 generator(20261208);
    std::string bytes(64 * 1024, '\0');
    for (char& c : bytes) c = static_cast<char>(generator() & 0xFF);
    CtrlOutput first = AssembleText(bytes);
    CtrlOutput second = AssembleText(bytes);
    EXPECT_TRUE(first.failed);
    EXPECT_EQ(first.console, "\nERROR OCCURRED IN ASSEMBLE-TIME!\n\n");
    EXPECT_EQ(first.listing, second.listing);
    EXPECT_EQ(first.object, "");
}

TEST(HostileSource, NulAndHighBytesInNamesNumbersAndComments) {
    const std::string nul(1, '\0');
    // In a comment every byte is copied; in a word a NUL ends the word, so
    // R is an identifier and the error skips the rest of the line.
    CtrlOutput out = AssembleText(".TITLE P ; \xe9t\xe9" + nul + "\r\n*\r\nR1 := R" + nul + "2\r\n.END\r\n");
    EXPECT_EQ(out.listing, ".TITLE P ; \xe9T\xe9" + nul + "\r\n*\r\nR1 := R" + nul + "2\r\n" +
                               "\r\nERROR   11:ILLEGAL EXPRESSION OR ASSIGNMENT.\r\n.END\r\n\r\n");
    // Where a token may start, NUL and bytes above 127 are illegal characters.
    CtrlOutput illegal = AssembleText(".TITLE P\r\n*\r\n" + nul + "R1\r\n\xc4 := 1\r\n.END\r\n");
    EXPECT_FALSE(illegal.failed);
    EXPECT_EQ(illegal.listing, ".TITLE P\r\n*\r\n" + nul + "R1\r\nERROR: ILLEGAL CHARACTER\r\n" +
                                   "\xc4 := 1\r\nERROR: ILLEGAL CHARACTER\r\n.END\r\n\r\n" +
                                   "THERE WAS NO ERROR IN ASSEMBLE.\r\n");
    // A number ends at a NUL; the NUL drops the rest of its line, and the
    // token stream goes on with the next line.
    CtrlOutput number = AssembleText(".TITLE P\r\n* 1" + nul + " ; x\r\n;\r\n.END\r\n");
    EXPECT_FALSE(number.failed);
    EXPECT_EQ(number.listing, ".TITLE P\r\n* 1" + nul + " ; X\r\nERROR: ILLEGAL CHARACTER\r\n;\r\n.END\r\n\r\n" +
                                  "THERE WAS NO ERROR IN ASSEMBLE.\r\n");
}

TEST(HostileSource, TenMegabyteLine) {
    std::string source = ".TITLE P\r\n*\r\n;" + std::string(10 * 1024 * 1024, 'x') + "\r\n.END\r\n";
    CtrlOutput out = AssembleText(source);
    EXPECT_FALSE(out.failed);
    EXPECT_EQ(out.listing.size(), source.size() + 2 + 33);  // end-of-file line end, closing line
    // A number of ten million digits wraps; passing through 8001 marks it.
    std::string digits;
    for (int i = 0; i < 10 * 1024 * 1024 / 4; ++i) digits += "8001";
    std::string bad = ".TITLE P\r\n*\r\nR1 := " + digits + "\r\n.END\r\n";
    CtrlOutput wrapped = AssembleText(bad);
    EXPECT_EQ(Errors(wrapped.listing), std::vector<int>{10});
}

TEST(HostileSource, ByteTwentySixInMidFileEndsTheSource) {
    CtrlOutput out = AssembleText(".TITLE P\r\n*\r\n.END\r\n\x1a garbage (((\r\n");
    EXPECT_FALSE(out.failed);
    EXPECT_EQ(out.listing, ".TITLE P\r\n*\r\n.END\r\n\r\nTHERE WAS NO ERROR IN ASSEMBLE.\r\n");
}

TEST(HostileSource, TwentyThousandStatements) {
    std::string source = ".TITLE P\r\n";
    for (int i = 0; i < 20000; ++i) source += "*\r\n";
    source += ".END\r\n";
    CtrlOutput out = AssembleText(source);
    EXPECT_TRUE(out.failed);
    // Statement 4097 is the first beyond the store; each error 18 is found at
    // a line end, so it consumes the following heading as well.
    EXPECT_EQ(Count(out.listing, "ERROR   18:"), 7952u);
    EXPECT_EQ(Count(out.listing, "ERROR"), 7952u);
    EXPECT_EQ(out.object, "CM   P       \r\n");
}

TEST(HostileSource, TenThousandDistinctLabels) {
    std::string source = ".TITLE P\r\n";
    for (int i = 0; i < 2000; ++i) {
        source += "* L" + std::to_string(i) + ":\r\nGOTO M" + std::to_string(i) + "\r\n";
    }
    for (int i = 0; i < 2000; ++i) source += "* M" + std::to_string(i) + ":\r\n";
    source += ".END\r\n";
    CtrlOutput out = AssembleText(source, {.listing = false, .map = false});
    ASSERT_FALSE(out.failed);
    EXPECT_EQ(Count(out.object, "\r\n"), 4001u);
    // The first word branches to M0 at 0x7D0: TS 011, LT 1 1101 0000.
    EXPECT_EQ(out.object.substr(15, 17), "000  FFFFF07FD0\r\n");

    std::string many = ".TITLE P\r\n";
    for (int i = 0; i < 10000; ++i) many += "* L" + std::to_string(i) + ":\r\n;\r\n";
    many += ".END\r\n";
    CtrlOutput errors = AssembleText(many, {.object = false, .map = false});
    // Statements 4096 and later are beyond the store.
    EXPECT_EQ(Count(errors.listing, "ERROR   18:"), 10000u - 4096u);
}

TEST(HostileSource, OneLabelReferencedThousandsOfTimesBeforeItsDefinition) {
    std::string source = ".TITLE P\r\n";
    for (int i = 0; i < 4000; ++i) source += "*\r\nGOTO TARGET\r\n";
    source += "* TARGET:\r\n.END\r\n";
    CtrlOutput out = AssembleText(source, {.listing = false, .map = false});
    ASSERT_FALSE(out.failed);
    // Every waiting word branches to TARGET at 0xFA0: TS 111, LT 1 1010 0000.
    EXPECT_EQ(Count(out.object, "FFFFF0FFA0\r\n"), 4000u);
}

TEST(HostileSource, EveryErrorNumber) {
    using testing::Lines;
    CtrlOutput out = AssembleText(Lines({
        ".TITLE GOTO",                                 // 2
        "* A:", "* A:",                                // 1
        "* B: 10 X",                                   // 3
        "*", "IF C = 1 THEN L",                        // 4
        "*", "IF T = 1 L",                             // 5
        "*", "CALL 5",                                 // 6
        "*", "IF ZER = 1 THEN L ELSE FETCH",           // 7
        "*", "IF ZER = 0 THEN L ELSE L",               // 8
        "*", "GOTO L", "R1 := 5",                      // 9
        "*", "R1 := ABCDE",                            // 10
        "*", "R1 := R2 R3",                            // 11
        "*", "R1 := R2 + R3", "C := R4",               // 12
        "*", "C - 2",                                  // 13
        "*", "R1 := R2", "IR := R5",                   // 14
        "*", "R1 := 300", "NEX",                       // 15
        "*", "SET HLT", "HLT",                         // 16
        "* 20", "* 20 ; again", ";",                   // 17
        "* 1000 ; too far", ";",                       // 18
        ".END", "R1",                                  // 21, then 20 for L
    }));
    EXPECT_EQ(Errors(out.listing),
              (std::vector<int>{2, 1, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 21, 20}));
    // 19 and 21 exclude each other: 19 needs a source without .END.
    EXPECT_EQ(Errors(AssembleText(Lines({".TITLE P", "*"})).listing), std::vector<int>{19});
}

struct Surroundings {
    test_support::ScratchFolder scratch;
    fs::path dir;
    std::string console, errors;
    int status = -1;
    explicit Surroundings(const std::string& name) : scratch("ctrl-hostile-" + name), dir(scratch.Path()) {}
    void Run(const std::string& input) {
        std::istringstream in(input);
        std::ostringstream out, err;
        common::Console c{in, out};
        status = RunCtrlforge(c, err);
        console = out.str();
        errors = err.str();
    }
};

TEST(HostileSurroundings, WriteFailureStopsWithStatusOne) {
    Surroundings s("full");
    std::ofstream(s.dir / "P", std::ios::binary) << ".TITLE P\r\n*\r\n.END\r\n";
    std::error_code ec;
    fs::create_symlink("/dev/full", s.dir / "P.s", ec);
    if (ec || !fs::exists("/dev/full")) ZORVELT_SKIP("no /dev/full");
    s.Run((s.dir / "P").string() + "\nS\nY\nN\n");
    EXPECT_EQ(s.status, 1);
    EXPECT_EQ(s.errors, "ERROR:NO SPACE LEFT ON DEVICE (" + (s.dir / "P.s").string() + ")\n");
    // Nothing after the failed write reaches the console.
    EXPECT_EQ(s.console.find("TERMINATION"), std::string::npos);
}

// The program itself runs, as an unprivileged user when the tests run as root.
TEST(HostileSurroundings, UnreadableSource) {
    Surroundings s("unreadable");
    std::ofstream(s.dir / "P") << ".TITLE P\r\n";
    fs::permissions(s.dir / "P", fs::perms::none);
    test_support::ProgramRun run = test_support::RunUnprivileged(CTRLFORGE_PROGRAM, (s.dir / "P").string() + "\nN\n", s.dir);
    if (!run.started) ZORVELT_SKIP(run.skipReason);
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.output.find("SOURCE FILE NAME? ERROR:PERMISSION DENIED\nCONTINUE? (Y/N):"), std::string::npos)
        << run.output;
}

TEST(HostileSurroundings, SourceNameWithBlanksAndCrLfAnswers) {
    Surroundings s("blanks");
    std::ofstream(s.dir / "my prog.mic", std::ios::binary) << ".TITLE P\r\n*\r\n.END\r\n";
    s.Run((s.dir / "my prog.mic").string() + "\r\nsom\r\ny\r\nn\r\n");
    EXPECT_EQ(s.status, 0);
    EXPECT_NE(s.console.find("NORMAL TERMINATION!"), std::string::npos);
    EXPECT_TRUE(fs::exists(s.dir / "my prog.mic.s"));
    EXPECT_TRUE(fs::exists(s.dir / "my prog.mic.o"));
    EXPECT_TRUE(fs::exists(s.dir / "my prog.mic.m"));
}

}  // namespace
}  // namespace ctrlforge
