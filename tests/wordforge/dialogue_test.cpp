// The console dialogue driven from string streams, with files in a
// temporary folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "wordforge/dialogue.hpp"
#include "tests/support/scratch_folder.hpp"

namespace {

namespace fs = std::filesystem;

const std::string kBanner = "   *** ZORVELT ASSEMBLER for Win32 (Ver. 1.0) ***\n";
const std::string kAsk = "\n SOURCE FILE NAME ? ";
const std::string kStart = "\n START ? \n";
const std::string kNormal = " NORMAL TERMINATION !\n\n";
const std::string kFailed = "ERROR OCCURED IN ASSEMBLE TIME !\n\n";
const std::string kContinue = " CONTINUE ? (Y/N):";

class DialogueTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(folder.empty()); }

    std::string Write(const std::string& name, const std::string& text) {
        std::string path = (folder / name).string();
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }
    static std::string Read(const std::string& path) {
        std::ifstream file(path, std::ios::binary);
        std::stringstream text;
        text << file.rdbuf();
        return text.str();
    }
    // Runs the program on the answers; returns the console output.
    std::string Run(const std::string& answers) {
        std::istringstream in(answers);
        std::ostringstream out, err;
        common::Console console{in, out};
        status = wordforge::RunWordforge(console, err);
        errors = err.str();
        return out.str();
    }

    test_support::ScratchFolder scratch{"word-dialogue"};

    fs::path folder = scratch.Path();
    int status = -1;
    std::string errors;
};

const std::string kGoodSource = "START: L 1,DATA\r\n HLT\r\nDATA: DC X\"41\r\n END\r\n";

TEST_F(DialogueTest, OneRunWithoutErrorsLeavesBothFiles) {
    std::string source = Write("PROG.ASM", kGoodSource);
    EXPECT_EQ(Run(source + "\nN\n"), kBanner + kAsk + kStart + kNormal + kContinue);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(Read(source + ".b"), "MM\r\n0000  9102\r\n0001  EF00\r\n0002  0041\r\n");
    std::string listing = Read(source + ".a");
    EXPECT_TRUE(listing.starts_with("  0000 9 01 02 START:  L     1,DATA\r\n")) << listing;
    EXPECT_TRUE(listing.ends_with("THERE WERE NO ERRORS.\r\n\r\nLABEL(S)\r\nSTART:    0000    DATA:     0002    \r\n"));
}

TEST_F(DialogueTest, EmptySourceNameRepeatsThePrompt) {
    std::string source = Write("P", kGoodSource);
    EXPECT_EQ(Run("\n\r\n" + source + "\nn\n"), kBanner + kAsk + kAsk + kAsk + kStart + kNormal + kContinue);
}

TEST_F(DialogueTest, MissingFileReportsAndAsksToContinue) {
    std::string source = Write("P", kGoodSource);
    std::string missing = (folder / "NOPE").string();
    EXPECT_EQ(Run(missing + "\nY\n" + source + "\nno\n"),
              kBanner + kAsk + "ERROR:NO SUCH FILE OR DIRECTORY\n" + kContinue + kAsk + kStart + kNormal + kContinue);
    EXPECT_FALSE(fs::exists(missing + ".a"));
    EXPECT_FALSE(fs::exists(missing + ".b"));
    EXPECT_TRUE(fs::exists(source + ".b"));
}

TEST_F(DialogueTest, RunWithErrorsDeletesTheObjectFile) {
    std::string source = Write("BAD", " HLT\r\n FOO\r\n END\r\n");
    Write("BAD.b", "stale");
    EXPECT_EQ(Run(source + "\nN\n"), kBanner + kAsk + kStart + kFailed + kContinue);
    EXPECT_TRUE(fs::exists(source + ".a"));
    EXPECT_FALSE(fs::exists(source + ".b"));
    EXPECT_TRUE(Read(source + ".a").ends_with("THERE WAS ONE ERROR.\r\n\r\nLABEL(S)\r\n\r\n"));
}

TEST_F(DialogueTest, YesNoAnswersAreUpperCasedAndOnlyTheirFirstLetterCounts) {
    std::string source = Write("P", kGoodSource);
    std::string run = kAsk + kStart + kNormal;
    EXPECT_EQ(Run(source + "\nmaybe\n\n yes\nYes\n" + source + "\ny\n" + source + "\nNO\n"),
              kBanner + run + kContinue + "(Y/N):(Y/N):(Y/N):" + run + kContinue + run + kContinue);
    EXPECT_EQ(status, 0);
}

// Input that ends at an open question ends the program with status 1 and a
// line on standard error; at the continue question after a finished run the
// work is done and the status stays 0. The console shows the same either way.
TEST_F(DialogueTest, EndOfInputEndsTheProgramWithoutLooping) {
    const std::string atName = "wordforge: console input ended at the open question SOURCE FILE NAME ?\n";
    const std::string atContinue = "wordforge: console input ended at the open question CONTINUE ?\n";
    EXPECT_EQ(Run(""), kBanner + kAsk);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(errors, atName);
    EXPECT_EQ(Run("\n\n"), kBanner + kAsk + kAsk + kAsk);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(errors, atName);

    std::string source = Write("P", kGoodSource);
    EXPECT_EQ(Run(source + "\n"), kBanner + kAsk + kStart + kNormal + kContinue);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(errors, "");
    EXPECT_TRUE(Read(source + ".a").ends_with("DATA:     0002    \r\n"));  // closed complete
    EXPECT_EQ(Run(source + "\nwhat\n"), kBanner + kAsk + kStart + kNormal + kContinue + "(Y/N):");
    EXPECT_EQ(status, 0);
    EXPECT_EQ(errors, "");
    // A run with errors is finished too.
    std::string bad = Write("BAD", " FOO\r\n END\r\n");
    EXPECT_EQ(Run(bad + "\n"), kBanner + kAsk + kStart + kFailed + kContinue);
    EXPECT_EQ(status, 0);
    // Asked to go on, the next name is an open question.
    EXPECT_EQ(Run(source + "\ny\n"), kBanner + kAsk + kStart + kNormal + kContinue + kAsk);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(errors, atName);
    // A source that could not be read is no finished run.
    EXPECT_EQ(Run((folder / "NOPE").string() + "\n"), kBanner + kAsk + "ERROR:NO SUCH FILE OR DIRECTORY\n" + kContinue);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(errors, atContinue);
}

TEST_F(DialogueTest, UnreadableSourcesAndBadNames) {
    fs::create_directory(folder / "DIR");
    std::string directory = (folder / "DIR").string();
    EXPECT_EQ(Run(directory + "\nN\n"), kBanner + kAsk + "ERROR:IS A DIRECTORY\n" + kContinue);
    EXPECT_FALSE(fs::exists(directory + ".a"));

    std::string withNul = (folder / "A").string() + std::string(1, '\0') + "B";
    EXPECT_EQ(Run(withNul + "\nN\n"), kBanner + kAsk + "ERROR:INVALID ARGUMENT\n" + kContinue);
}

TEST_F(DialogueTest, OutputThatCannotBeCreatedTakesTheErrorPath) {
    std::string source = Write("P", kGoodSource);
    fs::create_directory(source + ".b");
    EXPECT_EQ(Run(source + "\nN\n"), kBanner + kAsk + kStart + "ERROR:IS A DIRECTORY\n" + kContinue);
    EXPECT_TRUE(fs::is_directory(source + ".b"));
}

// On the error path the files hold what a direct write leaves: the listing
// created before the object file failed is there, empty, and nothing is left
// beside the files.
TEST_F(DialogueTest, AFailedRunLeavesItsFilesAsWrittenAndNothingBeside) {
    std::string source = Write("P", kGoodSource);
    Write("P.a", "old listing\r\n");
    fs::create_directory(source + ".b");
    EXPECT_EQ(Run(source + "\nN\n"), kBanner + kAsk + kStart + "ERROR:IS A DIRECTORY\n" + kContinue);
    EXPECT_EQ(Read(source + ".a"), "");
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"P", "P.a", "P.b"}));
}

TEST_F(DialogueTest, EachRunStartsAfresh) {
    std::string first = Write("ONE", "X: HLT\r\nX: HLT\r\n END\r\n");
    std::string second = Write("TWO", " B X\r\n END\r\n");
    EXPECT_EQ(Run(first + "\ny\n" + second + "\nn\n"),
              kBanner + kAsk + kStart + kFailed + kContinue + kAsk + kStart + kFailed + kContinue);
    EXPECT_TRUE(Read(first + ".a").ends_with("THERE WAS ONE ERROR.\r\n\r\nLABEL(S)\r\nX:        0000    \r\n"));
    // The label of the first run is unknown to the second.
    EXPECT_TRUE(Read(second + ".a").starts_with("F 0000                 B     X\r\n"));
    EXPECT_TRUE(Read(second + ".a").ends_with("THERE WAS ONE ERROR.\r\n\r\nLABEL(S)\r\n\r\n"));
}

}  // namespace
