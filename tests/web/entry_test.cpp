// The page's entry points leave exactly the files the dialogue leaves, with
// the dialogue's console text, list the diagnostics the command line
// prints, and add the command line's memory images to a run without errors.
// The browser checks compare those lists and images with the command-line
// golden cases the page can replay.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/diagnostics.hpp"
#include "web/entry.hpp"

namespace {

using common::Severity;

using namespace std::string_literals;

std::vector<std::string> Extensions(const web::EntryResult& result) {
    std::vector<std::string> names;
    for (const web::OutputFile& file : result.files) names.push_back(file.kind + " " + file.extension);
    return names;
}

const char kTinyMicro[] = ".TITLE TINY\r\n*\r\n.END\r\n";

TEST(CtrlforgeEntry, CleanRunGivesTheChosenFilesAndTheNormalEnd) {
    web::EntryResult result = web::AssembleCtrlforge(kTinyMicro, {});
    EXPECT_EQ(Extensions(result), (std::vector<std::string>{"listing .s", "object .o", "map .m"}));
    EXPECT_FALSE(result.failed);
    EXPECT_EQ(result.console, "\nNORMAL TERMINATION!\n\n");
    // Heading with the title padded to eight, then the one word: every
    // field at its "no operation" code, placed at 000.
    EXPECT_EQ(result.files[1].bytes, "CM   TINY    \r\n000  FFFFFFFE00\r\n");
    const std::string& listing = result.files[0].bytes;
    EXPECT_EQ(listing.substr(listing.size() - 33), "THERE WAS NO ERROR IN ASSEMBLE.\r\n");
}

TEST(CtrlforgeEntry, OnlyTheChosenFilesAreGivenInTheDialoguesOrder) {
    EXPECT_EQ(Extensions(web::AssembleCtrlforge(kTinyMicro, {.listing = false, .object = false})),
              (std::vector<std::string>{"map .m"}));
    EXPECT_EQ(Extensions(web::AssembleCtrlforge(kTinyMicro, {.object = false})),
              (std::vector<std::string>{"listing .s", "map .m"}));
    EXPECT_EQ(Extensions(web::AssembleCtrlforge(kTinyMicro, {.listing = false, .map = false})),
              (std::vector<std::string>{"object .o"}));
    web::EntryResult none = web::AssembleCtrlforge(kTinyMicro, {.listing = false, .object = false, .map = false});
    EXPECT_TRUE(none.files.empty());
    EXPECT_EQ(none.console, "\nNORMAL TERMINATION!\n\n");
}

TEST(CtrlforgeEntry, FailedRunKeepsItsFilesAsTheDialogueLeavesThem) {
    // The title is refused before the object file's heading is written.
    web::EntryResult result = web::AssembleCtrlforge(".TITLE GOTO\r\n*\r\n.END\r\n", {});
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
    EXPECT_EQ(d.message, "'GOTO' is a keyword and cannot be the title; choose another name");
}

TEST(CtrlforgeEntry, PlacementMessagesReachTheConsole) {
    // A statement at the last address leaves none for the blank word that
    // closes the list: the dialogue says ADRS OVER before its end message.
    web::EntryResult result = web::AssembleCtrlforge(".TITLE FULL\r\n* FFF\r\n.END\r\n", {.object = false, .map = false});
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

web::EntryOptions WithImages(web::EntryImages images, std::string name = "PROG") {
    return {.images = std::move(images), .sourceName = std::move(name)};
}
web::EntryOptions ObjectWithImages(web::EntryImages images) {
    return {.listing = false, .map = false, .images = std::move(images), .sourceName = "PROG"};
}

TEST(EntryImages, CleanRunAddsEachImageAfterTheProgramsFiles) {
    web::EntryResult result = web::AssembleCtrlforge(kTinyMicro, WithImages({.formats = {"readmemh", "bin"}}));
    ASSERT_EQ(Extensions(result), (std::vector<std::string>{"listing .s", "object .o", "map .m", "image .mem",
                                                            "image .bin"}));
    EXPECT_EQ(result.imageProblem, "");
    // The one word at 000, named by the program's title; a control store of
    // 4096 words takes three address digits.
    EXPECT_EQ(result.files[3].bytes, "// TINY, 40-bit words\r\n@000\r\nFFFFFFFE00\r\n");
    EXPECT_EQ(result.files[3].format, "readmemh");
    EXPECT_FALSE(result.files[3].lane.has_value());
    EXPECT_EQ(result.files[4].bytes, "\xFF\xFF\xFF\xFE\x00"s);
    EXPECT_EQ(result.files[4].format, "bin");
}

TEST(EntryImages, LanesComeInLaneOrderAndNameTheSourceWithoutItsFolder) {
    // HLT is EF00 at 0000: lane 0 holds its low byte, lane 1 its high byte.
    web::EntryResult result = web::AssembleWordforge(
        "        HLT\r\n        END\r\n", WithImages({.formats = {"readmemh"}, .lanes = true}, "src/P.ASM"));
    ASSERT_EQ(Extensions(result), (std::vector<std::string>{"listing .a", "object .b", "image .lane0.mem",
                                                            "image .lane1.mem"}));
    EXPECT_EQ(result.files[2].bytes, "// P.ASM lane 0 (bits 7..0), 8-bit words\r\n@0000\r\n00\r\n");
    EXPECT_EQ(result.files[3].bytes, "// P.ASM lane 1 (bits 15..8), 8-bit words\r\n@0000\r\nEF\r\n");
    EXPECT_EQ(result.files[2].lane, 0u);
    EXPECT_EQ(result.files[3].lane, 1u);
    EXPECT_EQ(result.files[3].format, "readmemh");
}

TEST(EntryImages, FillAndWordAddressesReachTheWriters) {
    // HLT lands at 0002 after ORG 2; the gap below it holds the fill.
    web::EntryImages images{.formats = {"bin", "intelhex"}, .fill = "beef", .hexWordAddresses = true};
    web::EntryResult result = web::AssembleWordforge("        ORG 2\r\n        HLT\r\n        END\r\n",
                                                     WithImages(images));
    ASSERT_EQ(Extensions(result), (std::vector<std::string>{"listing .a", "object .b", "image .bin", "image .hex"}));
    EXPECT_EQ(result.files[2].bytes, "\xBE\xEF\xBE\xEF\xEF\x00"s);
    // Address 0002 counts words; 02+00+02+00+EF+00 = F3, so the checksum is 0D.
    EXPECT_EQ(result.files[3].bytes, ":02000200EF000D\r\n:00000001FF\r\n");
}

TEST(EntryImages, RunWithErrorsMakesNoImage) {
    web::EntryImages images{.formats = {"readmemh", "mif"}, .lanes = true};
    web::EntryResult micro = web::AssembleCtrlforge(".TITLE GOTO\r\n*\r\n.END\r\n", WithImages(images));
    EXPECT_TRUE(micro.failed);
    EXPECT_EQ(Extensions(micro), (std::vector<std::string>{"listing .s", "object .o", "map .m"}));
    web::EntryResult program = web::AssembleWordforge("        FOO\r\n        END\r\n", WithImages(images));
    EXPECT_TRUE(program.failed);
    EXPECT_EQ(Extensions(program), (std::vector<std::string>{"listing .a"}));
    EXPECT_EQ(program.imageProblem, "");
}

TEST(EntryImages, AnErrorTheDialogueLetsPassStillMakesNoImage) {
    // The dialogue drops a line that begins with no token and ends normally;
    // the command line names it an error, exits with 1 and writes no image.
    web::EntryResult result =
        web::AssembleCtrlforge(".TITLE TINY\r\n*\r\n#\r\n.END\r\n", ObjectWithImages({.formats = {"bin"}}));
    EXPECT_EQ(result.console, "\nNORMAL TERMINATION!\n\n");
    ASSERT_EQ(result.diagnostics.size(), 1u);
    EXPECT_EQ(common::FormatDiagnostic("P", result.diagnostics[0]),
              "P:3:1: error: '#' cannot begin a line; a comment begins with ';', so the line is ignored");
    EXPECT_TRUE(result.failed);
    EXPECT_EQ(Extensions(result), (std::vector<std::string>{"object .o"}));
}

TEST(EntryImages, RefusedOptionsAreReportedAndTheRunStillAssembles) {
    web::EntryResult fill = web::AssembleWordforge("        HLT\r\n        END\r\n",
                                                   WithImages({.formats = {"mif"}, .fill = "10000"}));
    EXPECT_EQ(fill.imageProblem, "--fill needs a word of at most 16 bits in hexadecimal digits, not '10000'");
    EXPECT_EQ(Extensions(fill), (std::vector<std::string>{"listing .a", "object .b"}));
    web::EntryResult format = web::AssembleCtrlforge(kTinyMicro, ObjectWithImages({.formats = {"bin", "vhdl"}}));
    EXPECT_EQ(format.imageProblem,
              "unknown image format 'vhdl'; the formats are readmemh, readmemb, intelhex, logisim, mif, bin");
    EXPECT_EQ(Extensions(format), (std::vector<std::string>{"object .o"}));
    // Without a format the other fields ask for nothing, and are not judged.
    web::EntryResult none = web::AssembleCtrlforge(kTinyMicro, ObjectWithImages({.lanes = true, .fill = "XYZ"}));
    EXPECT_EQ(none.imageProblem, "");
    EXPECT_EQ(Extensions(none), (std::vector<std::string>{"object .o"}));
}

TEST(EntryImages, FactsGiveTheWidthLanesAndDefaultFill) {
    // The control word is 40 bits, five lanes; unused words hold the word of
    // a statement that names no field. Main memory words are 16 bits, filled with 0.
    web::ImageFacts micro = web::CtrlforgeImageFacts();
    EXPECT_EQ(micro.wordBits, 40u);
    EXPECT_EQ(micro.lanes, 5u);
    EXPECT_EQ(micro.defaultFill, "FFFFFFFE00");
    web::ImageFacts memory = web::WordforgeImageFacts();
    EXPECT_EQ(memory.wordBits, 16u);
    EXPECT_EQ(memory.lanes, 2u);
    EXPECT_EQ(memory.defaultFill, "0000");
}

}  // namespace
