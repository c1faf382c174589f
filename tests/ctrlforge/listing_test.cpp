#include <gtest/gtest.h>

#include "ctrlforge/ctrlforge.hpp"
#include "ctrlforge/error_report.hpp"
#include "parse_helpers.hpp"

namespace ctrlforge {
namespace {

using testing::Lines;

TEST(ErrorLine, NumberRightAlignedInFiveCharacters) {
    EXPECT_EQ(ErrorLine(CtrlError::LabelAlreadyDefined), "ERROR    1:THIS LABEL ALREADY DEFINED.");
    EXPECT_EQ(ErrorLine(CtrlError::MissingTerminator), "ERROR    3:END OF MICRO_INSTRUCTION MUST BE \";\" OR END OF LINE.");
    EXPECT_EQ(ErrorLine(CtrlError::ElseNotFetch), "ERROR    8:ELSE CLAUSE MUST BE \"FETCH\".");
    EXPECT_EQ(ErrorLine(CtrlError::LtFieldDefined), "ERROR    9:LT FEILD ALREADY DEFINED.");
    EXPECT_EQ(ErrorLine(CtrlError::IllegalStatement), "ERROR   16:ILLEGAL FORMAT OF INSTRUCTION HEADING OR UNKNOWN STATEMENT.");
    Name abc{'A', 'B', 'C', ' ', ' ', ' ', ' ', ' '};
    EXPECT_EQ(ErrorLine(CtrlError::LabelNotDeclared, &abc), "ERROR   20:LABELS(ABC     ) IS NOT DECLARED.");
    EXPECT_EQ(ErrorLine(CtrlError::IllegalProgramEnding), "ERROR   21:ILLEGAL TYPE OF PROGRAM ENDING.");
}

TEST(Listing, ErrorInsideALineSkipsItsRestThenAnEmptyLine) {
    CtrlOutput out = AssembleText(Lines({".TITLE PROG", "* LOOP 5", "* 1", ".END"}));
    EXPECT_EQ(out.listing,
              ".TITLE PROG\r\n* LOOP 5\r\n\r\n"
              "ERROR   16:ILLEGAL FORMAT OF INSTRUCTION HEADING OR UNKNOWN STATEMENT.\r\n"
              "* 1\r\n.END\r\n\r\n");
    EXPECT_TRUE(out.failed);
    EXPECT_EQ(out.console, "\nERROR OCCURRED IN ASSEMBLE-TIME!\n\n");
}

TEST(Listing, ErrorAfterALineEndConsumesTheWholeNextLine) {
    CtrlOutput out = AssembleText(Lines({".TITLE PROG", "* 5", "* 5", "R1 := R2", ".END"}));
    EXPECT_EQ(out.listing,
              ".TITLE PROG\r\n* 5\r\n* 5\r\nR1 := R2\r\n\r\n"
              "ERROR   17:SPECIFIED ADDRESS OVERLAPPED.\r\n"
              ".END\r\n\r\n");
    // Even when that line is the ending: it is copied, then the end of file.
    CtrlOutput ending = AssembleText(Lines({".TITLE PROG", "* 5", "* 5", ".END"}));
    EXPECT_EQ(ending.listing,
              ".TITLE PROG\r\n* 5\r\n* 5\r\n.END\r\n\r\n"
              "ERROR   17:SPECIFIED ADDRESS OVERLAPPED.\r\n\r\n"
              "\x1a\x1a\r\nERROR   19:.END EXPECTED.\r\n");
}

TEST(Listing, DuplicateLabel) {
    CtrlOutput out = AssembleText(Lines({".TITLE PROG", "* A1:", "* A1:", ".END"}));
    EXPECT_EQ(out.listing,
              ".TITLE PROG\r\n* A1:\r\n* A1:\r\n\r\nERROR    1:THIS LABEL ALREADY DEFINED.\r\n.END\r\n\r\n");
}

TEST(Listing, MissingEndCopiesTheEndMarkTwice) {
    CtrlOutput out = AssembleText(Lines({".TITLE PROG", "*"}));
    EXPECT_EQ(out.listing, std::string(".TITLE PROG\r\n*\r\n\r\n\x1a\x1a\r\nERROR   19:.END EXPECTED.\r\n"));
}

TEST(Listing, TextAfterEndIsReportedOnce) {
    CtrlOutput out = AssembleText(Lines({".TITLE PROG", "*", ".END", "R1", "R2"}));
    EXPECT_EQ(out.listing,
              ".TITLE PROG\r\n*\r\n.END\r\nR1\r\n\r\nERROR   21:ILLEGAL TYPE OF PROGRAM ENDING.\r\n"
              "R2\r\n\r\n");
}

TEST(Listing, UndefinedLabelLinesFollowTheSource) {
    CtrlOutput out = AssembleText(Lines({".TITLE PROG", "*", "GOTO NOWHERE", ".END"}));
    EXPECT_EQ(out.listing,
              ".TITLE PROG\r\n*\r\nGOTO NOWHERE\r\n.END\r\n\r\n\r\n"
              "ERROR   20:LABELS(NOWHERE ) IS NOT DECLARED.\r\n");
}

TEST(Listing, ErrorFreeRunEndsWithItsClosingLine) {
    CtrlOutput out = AssembleText(Lines({".TITLE PROG", "*", ".END"}));
    EXPECT_EQ(out.listing, ".TITLE PROG\r\n*\r\n.END\r\n\r\nTHERE WAS NO ERROR IN ASSEMBLE.\r\n");
    EXPECT_EQ(out.console, "\nNORMAL TERMINATION!\n\n");
    CtrlOutput noListing = AssembleText(Lines({".TITLE PROG", "*", ".END"}), {.listing = false});
    EXPECT_EQ(noListing.listing, "");
    EXPECT_EQ(noListing.console, "\nNORMAL TERMINATION!\n\n");
}

TEST(Title, AcceptedTitleWritesTheFirstLines) {
    CtrlOutput out = AssembleText(Lines({"", "; leading comment", ".TITLE ADDER ; FIRST TEST", "*", ".END"}));
    EXPECT_FALSE(out.failed);
    EXPECT_EQ(out.object.substr(0, 15), "CM   ADDER   \r\n");
    EXPECT_EQ(out.map.substr(0, 75),
              ".TITLE     ADDER   \r\nLABEL   ADRS  LB  RB  AL  SH  SB  MM  SQ  TS  EX  LT\r\n");
    EXPECT_FALSE(AssembleText(Lines({".TITLE FACE", "*", ".END"})).failed);
    EXPECT_EQ(AssembleText(Lines({".title longtitlename", "*", ".END"})).object.substr(0, 15),
              "CM   LONGTITL\r\n");
}

TEST(Title, RefusedTitlesLeaveObjectAndMapEmpty) {
    for (const char* title : {".TITLE GOTO", ".TITLE", ".TITLE 12", "* X", "R1 := R2"}) {
        CtrlOutput out = AssembleText(Lines({title, "*", ".END"}));
        EXPECT_TRUE(out.failed) << title;
        EXPECT_NE(out.listing.find("ERROR    2:ILLEGAL FORMAT OF PROGRAM TITLE."), std::string::npos) << title;
        EXPECT_EQ(out.object, "") << title;
        EXPECT_EQ(out.map, "") << title;
    }
    CtrlOutput extra = AssembleText(Lines({".TITLE X Y", "*", ".END"}));
    EXPECT_EQ(extra.listing,
              ".TITLE X Y\r\n\r\nERROR    3:END OF MICRO_INSTRUCTION MUST BE \";\" OR END OF LINE.\r\n"
              "*\r\n.END\r\n\r\n");
    EXPECT_EQ(extra.object, "");
}

TEST(Outputs, ParseErrorsLeaveOnlyHeadingLines) {
    CtrlOutput out = AssembleText(Lines({".TITLE PROG", "*", "R1 := R9", ".END"}));
    EXPECT_TRUE(out.failed);
    EXPECT_EQ(out.object, "CM   PROG    \r\n");
    EXPECT_EQ(out.map, ".TITLE     PROG    \r\nLABEL   ADRS  LB  RB  AL  SH  SB  MM  SQ  TS  EX  LT\r\n");
}

TEST(Outputs, WorkedWord) {
    CtrlOutput out = AssembleText(Lines({".TITLE W", "* START: 10", "GOTO LOOP", "R1 := R1 + R2", "* 104",
                                         "* LOOP:", ".END"}));
    ASSERT_FALSE(out.failed) << out.listing;
    EXPECT_EQ(out.object, "CM   W       \r\n010  121C701F05\r\n104  FFFFFFFE00\r\n105  FFFFFFFE00\r\n");
    EXPECT_EQ(out.map.substr(75),
              "START    010 R1L R2R ADD NSH R1S NMM   B 000 NEX 105 LOOP    \r\n"
              "         104 NLB NRB NAL NSH NSB NMM NSQ NTS NEX 000         \r\n"
              "LOOP     105 NLB NRB NAL NSH NSB NMM NSQ NTS NEX 000         \r\n");
}

TEST(Outputs, ReshapedLiteralsAppearInTheMapEvenWithoutObject) {
    CtrlOutput out = AssembleText(Lines({".TITLE R", "* 22F", "IOP DISP", "* DISP:", "* 3FF", "IRA TAB",
                                         "* TAB:", "*", "R1 := BEEF", ".END"}),
                                  {.listing = false, .object = false});
    ASSERT_FALSE(out.failed) << out.listing;
    EXPECT_EQ(out.object, "");
    EXPECT_EQ(out.map,
              ".TITLE     R       \r\n"
              "LABEL   ADRS  LB  RB  AL  SH  SB  MM  SQ  TS  EX  LT\r\n"
              "         22F NLB NRB NAL NSH NSB NMM IOP NTS NEX 024 DISP    \r\n"
              "DISP     240 NLB NRB NAL NSH NSB NMM NSQ NTS NEX 000         \r\n"
              "         3FF NLB NRB NAL NSH NSB NMM IRA 000 NEX 104 TAB     \r\n"
              "TAB      410 NLB NRB NAL NSH NSB NMM NSQ NTS NEX 000         \r\n"
              "         411 NLB LLT NAL NSH R1S NMM NSQ 005 00F 0EF         \r\n");
}

}  // namespace
}  // namespace ctrlforge
