#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "ctrlforge/dialogue.hpp"
#include "common/text_file.hpp"
#include "tests/support/scratch_folder.hpp"

namespace ctrlforge {
namespace {

namespace fs = std::filesystem;

const char* const kBanner = "\n\n   *** ZORVELT MICROASSEMBLER for Win32(Ver. 1.0) ***\n\n";
const char* const kProgram = ".TITLE PROG\r\n*\r\n.END\r\n";

struct Session {
    test_support::ScratchFolder scratch;
    fs::path dir;
    std::string console;
    std::string errors;
    int status = -1;

    explicit Session(const std::string& name) : scratch("ctrl-dialogue-" + name), dir(scratch.Path()) {}
    std::string Path(const std::string& file) const { return (dir / file).string(); }
    void Write(const std::string& file, const std::string& text) const {
        std::ofstream(dir / file, std::ios::binary) << text;
    }
    std::string Read(const std::string& file) const {
        std::string bytes;
        int err = 0;
        common::ReadWholeFile(Path(file), bytes, err);
        return bytes;
    }
    bool Exists(const std::string& file) const { return fs::exists(dir / file); }
    void Run(const std::string& input) {
        std::istringstream in(input);
        std::ostringstream out, err;
        common::Console terminal{in, out};
        status = RunCtrlforge(terminal, err);
        this->console = out.str();
        errors = err.str();
    }
};

TEST(Dialogue, OneRunWithEveryFile) {
    Session s("one");
    s.Write("A.TXT", kProgram);
    s.Run(s.Path("A.TXT") + "\nsom\ny\nn\n");
    EXPECT_EQ(s.status, 0);
    EXPECT_EQ(s.console, std::string(kBanner) +
                             "SOURCE FILE NAME? OPTION? START? (Y/N):\nNORMAL TERMINATION!\n\nCONTINUE? (Y/N):");
    EXPECT_EQ(s.Read("A.TXT.s"), ".TITLE PROG\r\n*\r\n.END\r\n\r\nTHERE WAS NO ERROR IN ASSEMBLE.\r\n");
    EXPECT_EQ(s.Read("A.TXT.o"), "CM   PROG    \r\n000  FFFFFFFE00\r\n");
    EXPECT_EQ(s.Read("A.TXT.m"), ".TITLE     PROG    \r\nLABEL   ADRS  LB  RB  AL  SH  SB  MM  SQ  TS  EX  LT\r\n"
                                 "         000 NLB NRB NAL NSH NSB NMM NSQ NTS NEX 000         \r\n");
}

TEST(Dialogue, OptionAnswersAreSubstringTests) {
    const std::pair<const char*, const char*> cases[] = {
        {"NONE", "o"}, {"YES", "s"}, {"XYZ", ""}, {"s o", "so"}, {"M,S", "sm"}, {"MOSS", "som"}, {"", ""},
    };
    for (const auto& [answer, files] : cases) {
        Session s("options");
        s.Write("P", kProgram);
        s.Run(s.Path("P") + "\n" + answer + "\nY\nN\n");
        std::string expected = files;
        EXPECT_EQ(s.Exists("P.s"), expected.find('s') != std::string::npos) << answer;
        EXPECT_EQ(s.Exists("P.o"), expected.find('o') != std::string::npos) << answer;
        EXPECT_EQ(s.Exists("P.m"), expected.find('m') != std::string::npos) << answer;
        EXPECT_NE(s.console.find("NORMAL TERMINATION!"), std::string::npos) << answer;
    }
}

TEST(Dialogue, MissingSourceGoesToContinue) {
    Session s("missing");
    s.Run(s.Path("NOPE") + "\nN\n");
    EXPECT_EQ(s.status, 0);
    EXPECT_EQ(s.console, std::string(kBanner) + "SOURCE FILE NAME? ERROR:NO SUCH FILE OR DIRECTORY\nCONTINUE? (Y/N):");
    EXPECT_FALSE(s.Exists("NOPE.s"));
}

TEST(Dialogue, DirectoryOrNulNameAsSource) {
    Session s("dir");
    s.Run(s.dir.string() + "\nN\n");
    EXPECT_EQ(s.console, std::string(kBanner) + "SOURCE FILE NAME? ERROR:IS A DIRECTORY\nCONTINUE? (Y/N):");
    Session n("nul");
    n.Write("P", kProgram);
    n.Run(n.Path("P") + std::string("\0x\n", 3) + "N\n");
    EXPECT_EQ(n.console, std::string(kBanner) + "SOURCE FILE NAME? ERROR:INVALID ARGUMENT\nCONTINUE? (Y/N):");
}

TEST(Dialogue, RefusedStartCreatesNothing) {
    Session s("refused");
    s.Write("P", kProgram);
    s.Run(s.Path("P") + "\nSOM\n\n maybe\nno\nN\n");
    EXPECT_EQ(s.console, std::string(kBanner) +
                             "SOURCE FILE NAME? OPTION? START? (Y/N):(Y/N):(Y/N):CONTINUE? (Y/N):");
    EXPECT_FALSE(s.Exists("P.s"));
    EXPECT_FALSE(s.Exists("P.o"));
    EXPECT_FALSE(s.Exists("P.m"));
}

TEST(Dialogue, TwoCyclesWithDifferentOptions) {
    Session s("two");
    s.Write("A", kProgram);
    s.Write("B", ".TITLE B\r\nR1\r\n");
    s.Run(s.Path("A") + "\nS\nY\nyes\n" + s.Path("B") + "\nOM\nY\nN\n");
    EXPECT_EQ(s.console, std::string(kBanner) +
                             "SOURCE FILE NAME? OPTION? START? (Y/N):\nNORMAL TERMINATION!\n\n"
                             "CONTINUE? (Y/N):SOURCE FILE NAME? OPTION? START? (Y/N):\n"
                             "ERROR OCCURRED IN ASSEMBLE-TIME!\n\nCONTINUE? (Y/N):");
    EXPECT_TRUE(s.Exists("A.s"));
    EXPECT_FALSE(s.Exists("A.o"));
    EXPECT_FALSE(s.Exists("B.s"));
    EXPECT_EQ(s.Read("B.o"), "CM   B       \r\n");
    EXPECT_EQ(s.Read("B.m"), ".TITLE     B       \r\nLABEL   ADRS  LB  RB  AL  SH  SB  MM  SQ  TS  EX  LT\r\n");
}

// Input that ends at an open question ends the program with status 1 and one
// line on standard error, the console unchanged; only "CONTINUE? " right
// after a run may see the input end, since the work is then done.
TEST(Dialogue, EndOfInputAtAnOpenQuestionEndsWithStatusOne) {
    Session s("eof");
    s.Write("P", kProgram);
    const std::string name = s.Path("P") + "\n";
    const std::string banner = kBanner;
    const std::string run = "SOURCE FILE NAME? OPTION? START? (Y/N):\nNORMAL TERMINATION!\n\nCONTINUE? (Y/N):";
    const std::string ended = "ctrlforge: console input ended at the open question ";
    struct Case {
        std::string input, console, question;  // question: "" when the status is 0
    };
    const Case cases[] = {
        {"", banner + "SOURCE FILE NAME? ", "SOURCE FILE NAME?"},
        {name, banner + "SOURCE FILE NAME? OPTION? ", "OPTION?"},
        {name + "SOM\n", banner + "SOURCE FILE NAME? OPTION? START? (Y/N):", "START?"},
        {name + "SOM\nmaybe\n", banner + "SOURCE FILE NAME? OPTION? START? (Y/N):(Y/N):", "START?"},
        {name + "SOM\nY\n", banner + run, ""},
        {name + "SOM\nY\nmaybe\n", banner + run + "(Y/N):", ""},
        {name + "SOM\nY\nY\n", banner + run + "SOURCE FILE NAME? ", "SOURCE FILE NAME?"},
        {name + "SOM\nN\n", banner + "SOURCE FILE NAME? OPTION? START? (Y/N):CONTINUE? (Y/N):", "CONTINUE?"},
        {s.Path("NOPE") + "\n", banner + "SOURCE FILE NAME? ERROR:NO SUCH FILE OR DIRECTORY\nCONTINUE? (Y/N):",
         "CONTINUE?"},
    };
    for (const Case& c : cases) {
        s.Run(c.input);
        EXPECT_EQ(s.console, c.console) << c.input;
        EXPECT_EQ(s.status, c.question.empty() ? 0 : 1) << c.input;
        EXPECT_EQ(s.errors, c.question.empty() ? "" : ended + c.question + "\n") << c.input;
    }
    // The files of a started run are complete when input ends at CONTINUE.
    fs::remove(s.dir / "P.s");
    s.Run(name + "SOM\nY\n");
    EXPECT_EQ(s.Read("P.s"), ".TITLE PROG\r\n*\r\n.END\r\n\r\nTHERE WAS NO ERROR IN ASSEMBLE.\r\n");
}

TEST(Dialogue, UncreatableOutputStopsWithStatusOne) {
    Session s("nocreate");
    s.Write("P", kProgram);
    fs::create_directories(s.dir / "P.o");  // a folder where the object file would go
    s.Run(s.Path("P") + "\nO\nY\nN\n");
    EXPECT_EQ(s.status, 1);
    EXPECT_EQ(s.errors, "ERROR:IS A DIRECTORY (" + s.Path("P.o") + ")\n");
    EXPECT_EQ(s.console, std::string(kBanner) + "SOURCE FILE NAME? OPTION? START? (Y/N):");
}

// The files replace those of an earlier run whole and leave nothing beside
// them; a file with a second name is written through it, as a direct write
// does, and one that is written directly (a device) stays what it is.
TEST(Dialogue, OutputsReplaceEarlierFilesAndLeaveNothingElse) {
    Session s("replace");
    s.Write("P", kProgram);
    s.Write("P.s", "old listing\r\n");
    s.Write("P.o", "old object\r\n");
    fs::create_hard_link(s.dir / "P.o", s.dir / "copy.o");
    fs::create_symlink("/dev/null", s.dir / "P.m");
    s.Run(s.Path("P") + "\nSOM\nY\nN\n");
    EXPECT_EQ(s.status, 0);
    EXPECT_EQ(s.Read("P.s"), ".TITLE PROG\r\n*\r\n.END\r\n\r\nTHERE WAS NO ERROR IN ASSEMBLE.\r\n");
    EXPECT_EQ(s.Read("P.o"), "CM   PROG    \r\n000  FFFFFFFE00\r\n");
    EXPECT_EQ(s.Read("copy.o"), "CM   PROG    \r\n000  FFFFFFFE00\r\n");
    EXPECT_TRUE(fs::is_symlink(s.dir / "P.m"));
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(s.dir)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"P", "P.m", "P.o", "P.s", "copy.o"}));
}

}  // namespace
}  // namespace ctrlforge
