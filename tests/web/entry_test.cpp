// The page's entry points leave exactly the files the dialogue leaves, with
// the dialogue's console text.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "web/entry.hpp"

namespace {

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
}

}  // namespace
