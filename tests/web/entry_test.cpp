// The page's entry points leave exactly the files the dialogue leaves, with
// the dialogue's console text, and list the diagnostics the command line
// prints. The browser checks compare those lists with every command-line
// golden case of one source.
#include <gtest/gtest.h>

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

}  // namespace
