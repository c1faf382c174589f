// The page's entry points leave exactly the files the dialogue leaves, with
// the dialogue's console text, and list the diagnostics the command line
// prints.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "common/diagnostics.hpp"
#include "web/entry.hpp"

namespace {

using common::Severity;

std::vector<std::string> Extensions(const web::EntryResult& result) {
    std::vector<std::string> names;
    for (const web::OutputFile& file : result.files) names.push_back(file.kind + " " + file.extension);
    return names;
}

const char kTinyMicro[] = ".TITLE TINY\r\n*\r\n.END\r\n";

TEST(CtrlforgeEntry, CleanRunGivesTheChosenFilesAndTheNormalEnd) {
    web::EntryResult result = web::AssembleCtrlforge(kTinyMicro, {"SOM"});
    EXPECT_EQ(Extensions(result), (std::vector<std::string>{"listing .s", "object .o", "map .m"}));
    EXPECT_FALSE(result.failed);
    EXPECT_EQ(result.console, "\nNORMAL TERMINATION!\n\n");
    // Heading with the title padded to eight, then the one word: every
    // field at its "no operation" code, placed at 000.
    EXPECT_EQ(result.files[1].bytes, "CM   TINY    \r\n000  FFFFFFFE00\r\n");
    const std::string& listing = result.files[0].bytes;
    EXPECT_EQ(listing.substr(listing.size() - 33), "THERE WAS NO ERROR IN ASSEMBLE.\r\n");
}

TEST(CtrlforgeEntry, OptionLettersChooseFilesAsTheDialogueAnswerDoes) {
    EXPECT_EQ(Extensions(web::AssembleCtrlforge(kTinyMicro, {"m"})), (std::vector<std::string>{"map .m"}));
    EXPECT_EQ(Extensions(web::AssembleCtrlforge(kTinyMicro, {"M,S"})),
              (std::vector<std::string>{"listing .s", "map .m"}));
    // "NONE" holds an O: the object file alone.
    EXPECT_EQ(Extensions(web::AssembleCtrlforge(kTinyMicro, {"NONE"})), (std::vector<std::string>{"object .o"}));
    web::EntryResult none = web::AssembleCtrlforge(kTinyMicro, {""});
    EXPECT_TRUE(none.files.empty());
    EXPECT_EQ(none.console, "\nNORMAL TERMINATION!\n\n");
}

TEST(CtrlforgeEntry, FailedRunKeepsItsFilesAsTheDialogueLeavesThem) {
    // The title is refused before the object file's heading is written.
    web::EntryResult result = web::AssembleCtrlforge(".TITLE GOTO\r\n*\r\n.END\r\n", {"SOM"});
    EXPECT_TRUE(result.failed);
    EXPECT_EQ(result.console, "\nERROR OCCURRED IN ASSEMBLE-TIME!\n\n");
    ASSERT_EQ(Extensions(result), (std::vector<std::string>{"listing .s", "object .o", "map .m"}));
    EXPECT_NE(result.files[0].bytes.find("ERROR    2:"), std::string::npos);
    EXPECT_EQ(result.files[1].bytes, "");
    EXPECT_EQ(result.files[2].bytes, "");
    // GOTO is a reserved word: the title that begins at column 8 is refused.
    ASSERT_EQ(result.diagnostics.size(), 1u);
    const common::Diagnostic& d = result.diagnostics[0];
    EXPECT_EQ(d.line, 1);
    EXPECT_EQ(d.column, 8);
    EXPECT_EQ(d.severity, Severity::Error);
    EXPECT_EQ(d.tag, "E2");
    EXPECT_EQ(d.message, "ILLEGAL FORMAT OF PROGRAM TITLE.");
}

TEST(CtrlforgeEntry, PlacementMessagesReachTheConsole) {
    // A statement at the last address leaves none for the blank word that
    // closes the list: the dialogue says ADRS OVER before its end message.
    web::EntryResult result = web::AssembleCtrlforge(".TITLE FULL\r\n* FFF\r\n.END\r\n", {"S"});
    EXPECT_TRUE(result.failed);
    EXPECT_EQ(result.console, "ADRS OVER\n\nERROR OCCURRED IN ASSEMBLE-TIME!\n\n");
    ASSERT_EQ(result.diagnostics.size(), 1u);
    EXPECT_EQ(result.diagnostics[0].line, 3);
    EXPECT_EQ(result.diagnostics[0].severity, Severity::Error);
}

TEST(CtrlforgeEntry, TruncatedNumberIsAWarningThatChangesNoFile) {
    const std::string source = ".TITLE WARN\r\n*\r\nR3 := 12345\r\n.END\r\n";
    web::EntryResult result = web::AssembleCtrlforge(source, {"SOM"});
    EXPECT_FALSE(result.failed);
    ASSERT_EQ(result.diagnostics.size(), 1u);
    const common::Diagnostic& d = result.diagnostics[0];
    EXPECT_EQ(d.line, 3);
    EXPECT_EQ(d.column, 7);
    EXPECT_EQ(d.severity, Severity::Warning);
    EXPECT_EQ(d.tag, "-Wtruncation");
    EXPECT_EQ(d.message, "number 12345 does not fit in 16 bits; 2345 is used");
    // The same statement written as the word it gives: the same object file.
    web::EntryResult meant = web::AssembleCtrlforge(".TITLE WARN\r\n*\r\nR3 := 2345\r\n.END\r\n", {"O"});
    EXPECT_TRUE(meant.diagnostics.empty());
    EXPECT_EQ(result.files[1].bytes, meant.files[0].bytes);
}

TEST(WordforgeEntry, CleanRunGivesListingAndObjectFile) {
    web::EntryResult result = web::AssembleWordforge("        HLT\r\n        END\r\n", {});
    EXPECT_EQ(Extensions(result), (std::vector<std::string>{"listing .a", "object .b"}));
    EXPECT_FALSE(result.failed);
    EXPECT_EQ(result.console, " NORMAL TERMINATION !\n\n");
    EXPECT_EQ(result.files[1].bytes, "MM\r\n0000  EF00\r\n");
}

TEST(WordforgeEntry, RunWithErrorsLosesItsObjectFile) {
    web::EntryResult result = web::AssembleWordforge("        FOO\r\n        END\r\n", {});
    EXPECT_EQ(Extensions(result), (std::vector<std::string>{"listing .a"}));
    EXPECT_TRUE(result.failed);
    EXPECT_EQ(result.console, "ERROR OCCURED IN ASSEMBLE TIME !\n\n");
    EXPECT_NE(result.files[0].bytes.find("THERE WAS ONE ERROR."), std::string::npos);
    ASSERT_EQ(result.diagnostics.size(), 1u);
    EXPECT_EQ(common::FormatDiagnostic("P", result.diagnostics[0]), "P:1:9: error: unknown mnemonic FOO [F]");
}

TEST(WordforgeEntry, ListsOnlyTheWarningsOnByDefault) {
    // 300 does not fit in LC's 8-bit field (a warning on by default); the X
    // after ADD's complete operand is dropped text (a warning off by default).
    web::EntryResult result = web::AssembleWordforge(" LC 2,300\r\n ADD 1,5(2) X\r\n END\r\n", {});
    EXPECT_FALSE(result.failed);
    ASSERT_EQ(result.diagnostics.size(), 1u);
    EXPECT_EQ(common::FormatDiagnostic("P", result.diagnostics[0]),
              "P:1:7: warning: value 300 does not fit in 8 bits; 2C is used [-Wtruncation]");
    EXPECT_EQ(Extensions(result), (std::vector<std::string>{"listing .a", "object .b"}));
}

// Every golden command-line case that assembles one source with no option:
// the entry point lists, line for line, what the command line printed on
// standard error, and fails exactly when its exit status was 1.
namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

int CheckCommandLineCases(const std::string& program) {
    int checked = 0;
    for (const auto& entry : fs::directory_iterator(fs::path(GOLDEN_DIR) / program)) {
        const fs::path dir = entry.path();
        if (!fs::exists(dir / "args")) continue;
        std::vector<std::string> args = Lines(ReadFile(dir / "args"));
        if (args.size() != 1 || (args[0] != "-" && args[0].rfind('-', 0) == 0)) continue;
        const bool fromStdin = args[0] == "-";
        const fs::path sourcePath = fromStdin ? dir / "stdin" : dir / "input" / args[0];
        std::error_code unreadable;  // a name too long for the system is no source either
        if (!fromStdin && !fs::is_regular_file(sourcePath, unreadable)) continue;
        SCOPED_TRACE(dir.string());
        const std::string source = fs::exists(sourcePath) ? ReadFile(sourcePath) : std::string();
        web::EntryResult result = program == "ctrlforge" ? web::AssembleCtrlforge(source, {"SOM"})
                                                         : web::AssembleWordforge(source, {});
        std::vector<std::string> listed;
        for (const common::Diagnostic& d : result.diagnostics) {
            listed.push_back(common::FormatDiagnostic(fromStdin ? "<stdin>" : args[0], d));
        }
        EXPECT_EQ(listed, Lines(fs::exists(dir / "stderr") ? ReadFile(dir / "stderr") : std::string()));
        const std::string status = fs::exists(dir / "status") ? ReadFile(dir / "status") : "0";
        EXPECT_EQ(result.failed, std::stoi(status) == 1);
        ++checked;
    }
    return checked;
}

TEST(EntryDiagnostics, AreTheCommandLinesOnEveryGoldenCaseOfOneSource) {
    EXPECT_GE(CheckCommandLineCases("ctrlforge"), 5);
    EXPECT_GE(CheckCommandLineCases("wordforge"), 4);
}

}  // namespace
