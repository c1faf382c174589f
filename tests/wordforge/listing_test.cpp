// Whole assemblies from source text to listing and object text.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "assembly_helpers.hpp"

namespace {

using wordforge::AssembleText;
using wordforge::WordResult;
using wordforge_test::Blanks;
using wordforge_test::Lines;

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

// The listing's foot: empty line, summary, empty line, "LABEL(S)", the entry
// lines as given (each already with its line ends) and the closing line end.
std::string Foot(const std::string& summary, const std::string& entries) {
    return "\r\n" + summary + "\r\n\r\nLABEL(S)\r\n" + entries + "\r\n";
}

TEST(WholeProgram, DemoWithoutTitle) {
    WordResult r = AssembleText(
        "; demo\r\n"
        "START:  L     1,DATA\r\n"
        "        HLT\r\n"
        "DATA:   DC    X\"41\r\n"
        "        END\r\n");
    EXPECT_EQ(r.errorCount, 0);
    EXPECT_EQ(r.object, "MM\r\n0000  9102\r\n0001  EF00\r\n0002  0041\r\n");
    EXPECT_EQ(r.listing,
              "                       ; demo\r\n"
              "  0000 9 01 02 START:  L     1,DATA\r\n"
              "  0001 E 33 00         HLT   \r\n"
              "  0002 0041    DATA:   DC    X\"41\r\n"
              "                       END   \r\n"
              "\r\n"
              "THERE WERE NO ERRORS.\r\n"
              "\r\n"
              "LABEL(S)\r\n"
              "START:    0000    DATA:     0002    \r\n");
}

TEST(WholeProgram, WorkedLineWithCommentAtColumn42) {
    WordResult r = AssembleText("  ORG 10\r\nLOOP:  ADD 1,5(2)  ; sum\r\n  END\r\n");
    EXPECT_EQ(r.errorCount, 0);
    EXPECT_EQ(r.object, "MM\r\n0010  0905\r\n");
    EXPECT_EQ(r.listing, Joined({Blanks(23) + "ORG   10",
                                 "  0010 0 21 05 LOOP:   ADD   1,5(2)      ; sum",
                                 Blanks(23) + "END   "}) +
                             Foot("THERE WERE NO ERRORS.", "LOOP:     0010    "));
}

TEST(WholeProgram, TitleWithLeadingComments) {
    std::string longComment = ";" + std::string(99, 'c');
    WordResult r = AssembleText("; First Comment\r\n   ;second\r\n" + longComment +
                                "\r\ntitle demo1 ; ignored\r\nSTART: HLT\r\n END\r\n");
    EXPECT_EQ(r.errorCount, 0);
    EXPECT_EQ(r.object, "MM DEMO1\r\n0000  EF00\r\n");
    EXPECT_EQ(r.listing, Joined({Blanks(23) + "; First Comment", Blanks(23) + ";second",
                                 Blanks(23) + longComment,  // written as read, not cut at 80
                                 Blanks(23) + "TITLE DEMO1", "  0000 E 33 00 START:  HLT   ",
                                 Blanks(23) + "END   "}) +
                             Foot("THERE WERE NO ERRORS.", "START:    0000    "));
}

TEST(WholeProgram, WithoutTitleCommentLinesAreCutAt80) {
    std::string longComment = ";" + std::string(99, 'c');
    WordResult r = AssembleText(longComment + "\r\n END\r\n");
    EXPECT_EQ(Lines(r.listing)[0], (Blanks(23) + longComment).substr(0, 80));
}

TEST(WholeProgram, TitleWithoutWordAndLabelNamedTitle) {
    WordResult empty = AssembleText("TITLE\r\nEND\r\n");
    EXPECT_EQ(empty.object, "MM \r\n");
    EXPECT_EQ(Lines(empty.listing)[0], Blanks(23) + "TITLE ");
    EXPECT_EQ(empty.errorCount, 0);

    WordResult label = AssembleText("TITLE: HLT\r\nB TITLE\r\nEND\r\n");
    EXPECT_EQ(label.errorCount, 0);
    EXPECT_EQ(label.object, "MM\r\n0000  EF00\r\n0001  E8FF\r\n");
    EXPECT_EQ(label.listing, Joined({"  0000 E 33 00 TITLE:  HLT   ", "  0001 E 20 FF         B     TITLE",
                                     Blanks(23) + "END   "}) +
                                 Foot("THERE WERE NO ERRORS.", "TITLE:    0000    "));
}

TEST(WholeProgram, TitleAtTheEndOfTheSourceWithoutLineBreak) {
    WordResult r = AssembleText("TITLE X");
    EXPECT_EQ(r.errorCount, 2);
    EXPECT_EQ(r.object, "MM X\r\n");
    EXPECT_EQ(r.listing, Joined({Blanks(23) + "TITLE X", "F 0000" + Blanks(17), "F"}) +
                             Foot("THERE WERE 2 ERRORS.", ""));
}

TEST(WholeProgram, MisplacedTitleTakesAnAddress) {
    WordResult r = AssembleText(" HLT\r\n TITLE LATE ; Why\r\n HLT\r\n END\r\n");
    EXPECT_EQ(r.errorCount, 1);
    std::vector<std::string> lines = Lines(r.listing);
    EXPECT_EQ(lines[1], "F 0001" + Blanks(17) + "TITLE " + Blanks(12) + "; Why");
    EXPECT_EQ(lines[2], "  0002 E 33 00         HLT   ");
    EXPECT_EQ(lines[5], "THERE WAS ONE ERROR.");
}

TEST(WholeProgram, StorageOfThreeWords) {
    WordResult r = AssembleText(
        " NOP\r\n NOP\r\n NOP\r\n NOP\r\n"
        "BUF: DS 3 ; Buffer\r\n"
        " HLT\r\n"
        " END\r\n");
    EXPECT_EQ(r.errorCount, 0);
    EXPECT_EQ(r.object,
              "MM\r\n0000  EE00\r\n0001  EE00\r\n0002  EE00\r\n0003  EE00\r\n"
              "0004  0000\r\n0005  0000\r\n0006  0000\r\n0007  EF00\r\n");
    EXPECT_EQ(r.listing, Joined({"  0000 E 32 00         NOP   ", "  0001 E 32 00         NOP   ",
                                 "  0002 E 32 00         NOP   ", "  0003 E 32 00         NOP   ",
                                 "  0004 0000    BUF:    DS    3" + Blanks(11) + "; Buffer",
                                 "  0005 0000", "  0006 0000", "  0007 E 33 00         HLT   ",
                                 Blanks(23) + "END   "}) +
                             Foot("THERE WERE NO ERRORS.", "BUF:      0004    "));
}

TEST(WholeProgram, StorageOfNothingAndOutOfRangeCounts) {
    WordResult r = AssembleText(
        "A: DS 0 ; Nothing\r\n"
        "B: DS 70000 ; Big\r\n"
        "C: DS X\r\n"
        "D: HLT\r\n"
        " END\r\n");
    EXPECT_EQ(r.errorCount, 2);
    EXPECT_EQ(r.listing,
              Joined({"  0000" + Blanks(9) + "A:      DS    0" + Blanks(11) + "; Nothing",
                      "F 0000" + Blanks(9) + "B:      DS    70000 ; BIG",
                      "F 0000" + Blanks(9) + "C:      DS    X", "  0000 E 33 00 D:      HLT   ",
                      Blanks(23) + "END   "}) +
                  Foot("THERE WERE 2 ERRORS.",
                       "A:        0000    B:        0000    C:        0000    D:        0000    \r\n"));
}

TEST(WholeProgram, LargestStorageCountIsReserved) {
    WordResult r = AssembleText(" DS 65536\r\nX: HLT\r\n END\r\n");
    EXPECT_EQ(r.errorCount, 0);
    std::vector<std::string> lines = Lines(r.listing);
    ASSERT_GT(lines.size(), 65537u);
    EXPECT_EQ(lines[65535], "  FFFF 0000");
    EXPECT_EQ(lines[65536], "  0000 E 33 00 X:      HLT   ");  // location 10000 shows its low 16 bits
}

TEST(WholeProgram, DuplicateLabelsAreMarkedD) {
    WordResult r = AssembleText("A: HLT\r\nA: NOP\r\nABCDEFGH1: HLT\r\nABCDEFGH2: HLT\r\nA: ADD 5,1\r\n END\r\n");
    EXPECT_EQ(r.errorCount, 4);  // three repeated definitions and one bad register
    EXPECT_EQ(r.listing, Joined({"  0000 E 33 00 A:      HLT   ", "D 0001 E 32 00 A:      NOP   ",
                                 "  0002 E 33 00 ABCDEFGHHLT   ", "D 0003 E 33 00 ABCDEFGHHLT   ",
                                 "DF0004" + Blanks(9) + "A:      ADD   5,1", Blanks(23) + "END   "}) +
                             Foot("THERE WERE 4 ERRORS.", "A:        0000    ABCDEFGH: 0002    "));
}

TEST(WholeProgram, ErrorSummaries) {
    WordResult one = AssembleText("HLT\r\nFOO\r\nEND\r\n");
    EXPECT_EQ(one.errorCount, 1);
    EXPECT_EQ(Lines(one.listing)[1], "F 0001" + Blanks(17) + "FOO   ");
    EXPECT_EQ(Lines(one.listing)[4], "THERE WAS ONE ERROR.");

    WordResult two = AssembleText("FOO\r\nBAR: \r\nEND\r\n");
    EXPECT_EQ(two.errorCount, 2);
    EXPECT_EQ(Lines(two.listing)[1], "F 0001" + Blanks(9) + "BAR:    " + Blanks(6));
    EXPECT_EQ(Lines(two.listing)[4], "THERE WERE 2 ERRORS.");
}

TEST(WholeProgram, EmptyAndBlankLinesAreErrorLinesWithAnAddress) {
    WordResult r = AssembleText("A: HLT\r\n\r\n \t \r\nB: L 0,A\r\nEND\r\n");
    EXPECT_EQ(r.errorCount, 2);
    EXPECT_EQ(r.listing, Joined({"  0000 E 33 00 A:      HLT   ", "F 0001" + Blanks(17), "F 0002" + Blanks(17),
                                 "  0003 9 00 FD B:      L     0,A", Blanks(23) + "END   "}) +
                             Foot("THERE WERE 2 ERRORS.", "A:        0000    B:        0003    "));
}

TEST(WholeProgram, StrayWordsAreDroppedAndCommentsAligned) {
    WordResult r = AssembleText("ADD 1,2 stray ; Note here\r\nNOP more words\r\nEND ; Done\r\nafter end\r\n");
    EXPECT_EQ(r.errorCount, 0);
    EXPECT_EQ(r.object, "MM\r\n0000  0102\r\n0001  EE00\r\n");
    EXPECT_EQ(r.listing, Joined({"  0000 0 01 02         ADD   1,2" + Blanks(9) + "; Note here",
                                 "  0001 E 32 00         NOP   ", Blanks(23) + "END   " + Blanks(12) + "; Done"}) +
                             Foot("THERE WERE NO ERRORS.", ""));
}

TEST(WholeProgram, LongOperandIsCutAt41BeforeTheComment) {
    WordResult r = AssembleText("ADD 1,0000000000000005(2) ; c\r\nHLT ; " + std::string(60, 'x') + "\r\nEND\r\n");
    EXPECT_EQ(r.errorCount, 0);
    std::vector<std::string> lines = Lines(r.listing);
    EXPECT_EQ(lines[0], "  0000 0 21 05         ADD   1,0000000000; c");
    EXPECT_EQ(lines[1], ("  0001 E 33 00         HLT   " + Blanks(12) + "; " + std::string(60, 'x')).substr(0, 80));
    EXPECT_EQ(lines[1].size(), 80u);
}

TEST(WholeProgram, EightCharacterLabelLosesItsColon) {
    WordResult r = AssembleText("LONGNAME: HLT\r\nLONGNAMES: HLT\r\nB LONGNAME\r\nEND\r\n");
    EXPECT_EQ(r.errorCount, 1);
    EXPECT_EQ(r.listing, Joined({"  0000 E 33 00 LONGNAMEHLT   ", "D 0001 E 33 00 LONGNAMEHLT   ",
                                 "  0002 E 20 FE         B     LONGNAME", Blanks(23) + "END   "}) +
                             Foot("THERE WAS ONE ERROR.", "LONGNAME: 0000    "));
}

TEST(WholeProgram, SourceWithoutEnd) {
    WordResult withBreak = AssembleText("HLT\r\n");
    EXPECT_EQ(withBreak.errorCount, 2);
    EXPECT_EQ(withBreak.listing, Joined({"  0000 E 33 00         HLT   ", "F 0001" + Blanks(17), "F"}) +
                                     Foot("THERE WERE 2 ERRORS.", ""));

    WordResult withoutBreak = AssembleText("HLT");
    EXPECT_EQ(withoutBreak.errorCount, 1);
    EXPECT_EQ(withoutBreak.listing,
              Joined({"  0000 E 33 00         HLT   ", "F"}) + Foot("THERE WAS ONE ERROR.", ""));

    WordResult empty = AssembleText("");
    EXPECT_EQ(empty.errorCount, 2);
    EXPECT_EQ(empty.listing, Joined({"F 0000" + Blanks(17), "F"}) + Foot("THERE WERE 2 ERRORS.", ""));
    EXPECT_EQ(empty.object, "MM\r\n");
}

TEST(WholeProgram, LabelTablesOfFourAndFiveEntries) {
    WordResult four = AssembleText("A: HLT\r\nB: HLT\r\nC: HLT\r\nD: HLT\r\nEND\r\n");
    EXPECT_TRUE(four.listing.ends_with(
        "LABEL(S)\r\nA:        0000    B:        0001    C:        0002    D:        0003    \r\n\r\n"));
    WordResult five = AssembleText("A: HLT\r\nB: HLT\r\nC: HLT\r\nD: HLT\r\nE: HLT\r\nEND\r\n");
    EXPECT_TRUE(five.listing.ends_with(
        "LABEL(S)\r\nA:        0000    B:        0001    C:        0002    D:        0003    \r\n"
        "E:        0004    \r\n"));
    WordResult none = AssembleText("END\r\n");
    EXPECT_TRUE(none.listing.ends_with("THERE WERE NO ERRORS.\r\n\r\nLABEL(S)\r\n\r\n"));
}

TEST(WholeProgram, ErrorLinesKeepTheirTextInFixedColumns) {
    WordResult r = AssembleText(
        "5 ADD 1,2 ; hi\r\n"
        "1LOOP: ADD 1,2\r\n"
        "+x;Comment\r\n"
        "   ,foo bar\r\n"
        "9\tA B\r\n"
        "*Note: see ; Later\r\n"
        " END\r\n");
    EXPECT_EQ(r.errorCount, 6);
    std::vector<std::string> lines = Lines(r.listing);
    EXPECT_EQ(lines[0], "F 0000" + Blanks(17) + "5" + Blanks(5) + "ADD 1,2 ; HI");
    EXPECT_EQ(lines[1], "F 0001" + Blanks(9) + "1LOOP:  ADD" + Blanks(3) + " 1,2");
    EXPECT_EQ(lines[2], "F 0002" + Blanks(17) + "+X" + Blanks(16) + ";Comment");
    EXPECT_EQ(lines[3], "F 0003" + Blanks(17) + ",FOO" + Blanks(2) + "BAR");
    EXPECT_EQ(lines[4], "F 0004" + Blanks(17) + "9\tA" + Blanks(3) + "B");
    EXPECT_EQ(lines[5], "F 0005" + Blanks(9) + "*NOTE:  SEE" + Blanks(3) + " ; LATER");
}

// An error line whose text ends in a colon shows it as a label: the text
// after that colon runs to a blank, ";" or the line end (further colons
// included) from column 24, the line is padded or cut to 29 columns, and the
// rest follows from the character that ended the text.
TEST(WholeProgram, ErrorLineTextAfterALabelColonRunsOverColons) {
    WordResult r = AssembleText(
        " ORG 100\r\n"
        "1AB:CD: HLT\r\n"
        "1AB::X Y\r\n"
        "1AB:ABCDEF: HLT\r\n"
        "1AB:A:B:C:D:E:F G\r\n"
        "1AB :CD:EF GH\r\n"
        "1AB:CD:E;note\r\n"
        " END\r\n");
    EXPECT_EQ(r.errorCount, 6);
    std::vector<std::string> lines = Lines(r.listing);
    ASSERT_GE(lines.size(), 7u);
    const std::string label = Blanks(9) + "1AB:" + Blanks(4);  // columns 7-23
    EXPECT_EQ(lines[1], "F 0100         1AB:    CD:    HLT");
    // A colon right after the first one starts the text.
    EXPECT_EQ(lines[2], "F 0101" + label + ":X" + Blanks(4) + " Y");
    // Text up to column 30 loses its last character, the trailing colon.
    EXPECT_EQ(lines[3], "F 0102" + label + "ABCDEF" + " HLT");
    // Text past column 29 is cut there, in the middle of its colons.
    EXPECT_EQ(lines[4], "F 0103" + label + "A:B:C:" + " G");
    // A blank before the first colon changes nothing.
    EXPECT_EQ(lines[5], "F 0104" + label + "CD:EF" + Blanks(1) + " GH");
    // A ";" ends the text; the comment follows at column 30, upper-cased.
    EXPECT_EQ(lines[6], "F 0105" + label + "CD:E" + Blanks(2) + ";NOTE");
}

TEST(WholeProgram, OriginBlanksTheLocation) {
    WordResult r = AssembleText("L0: ORG 1f ; Here\r\nX: HLT\r\nEND\r\n");
    EXPECT_EQ(r.errorCount, 0);
    EXPECT_EQ(r.object, "MM\r\n001F  EF00\r\n");
    EXPECT_EQ(r.listing, Joined({Blanks(15) + "L0:     ORG   1F" + Blanks(10) + "; Here", "  001F E 33 00 X:      HLT   ",
                                 Blanks(23) + "END   "}) +
                             Foot("THERE WERE NO ERRORS.", "L0:       0000    X:        001F    "));
}

TEST(WholeProgram, ConstantsOfEveryForm) {
    WordResult r = AssembleText(
        " DC 'ab\r\n"
        " DC 'A;B\r\n"
        " DC -X\"1\r\n"
        " DC B\"1111\r\n"
        " DC o\"17\r\n"
        " DC VAL\r\n"
        " DC -VAL\r\n"
        "VAL: DC 300\r\n"
        " DC UNDEF ; Gone\r\n"
        " END\r\n");
    EXPECT_EQ(r.errorCount, 1);
    EXPECT_EQ(r.listing, Joined({"  0000 6162            DC    'ab",
                                 "  0001 413B            DC    'A;" + Blanks(9) + ";B",
                                 "  0002 FFFF            DC    -X\"1",
                                 "  0003 000F            DC    B\"1111",
                                 "  0004 000F            DC    O\"17",
                                 "  0005 0007            DC    VAL",
                                 "  0006 FFF9            DC    -VAL",
                                 "  0007 012C    VAL:    DC    300",
                                 "F 0008                 DC    UNDEF ; GONE",
                                 Blanks(23) + "END   "}) +
                             Foot("THERE WAS ONE ERROR.", "VAL:      0007    "));
}

TEST(WholeProgram, LowerCaseSourceMatchesUpperCase) {
    WordResult lower = AssembleText(
        "; Demo Lower\r\nstart:  l 1,data ; Load It\r\n hlt\r\ndata: dc x\"41\r\n end\r\n");
    WordResult upper = AssembleText(
        "; Demo Lower\r\nSTART:  L 1,DATA ; Load It\r\n HLT\r\nDATA: DC X\"41\r\n END\r\n");
    EXPECT_EQ(lower.errorCount, 0);
    EXPECT_EQ(lower.listing, upper.listing);
    EXPECT_EQ(lower.object, upper.object);
    EXPECT_EQ(Lines(lower.listing)[1], "  0000 9 01 02 START:  L     1,DATA" + Blanks(6) + "; Load It");
}

TEST(WholeProgram, LineEndsOfEveryKindAndAByte26) {
    WordResult r = AssembleText("A: HLT\nB: HLT\rC: HLT\r\n END\x1a garbage\r\n");
    EXPECT_EQ(r.errorCount, 0);
    EXPECT_EQ(r.object, "MM\r\n0000  EF00\r\n0001  EF00\r\n0002  EF00\r\n");
    WordResult cut = AssembleText("HLT\r\n\x1a END\r\n");
    EXPECT_EQ(cut.errorCount, 2);  // the source ends before END
}

TEST(WholeProgram, LabelAddressesAfterLinesOfEveryShapeAndEnd) {
    // Blank- and tab-led statements, a label after blanks with blanks before
    // its colon, lower case, line ends of every kind, a colon in a comment,
    // storage, and labels at column 1.
    WordResult r = AssembleText(
        " ADD 1,2\r\n"                // 0000
        "\tSUB 1,2\t\r\n"            // 0001
        "   FOO  : NOP\r"             // 0002 FOO
        " nop\n"                      // 0003
        " dc 5\r\n"                   // 0004
        " ds 3\r\n"                   // 0005 to 0007
        "bar: nop\r\n"                // 0008 BAR
        " B  BAR ; see: here\r\n"     // 0009
        "ZED: END\r\n");              // 000A ZED
    EXPECT_EQ(r.errorCount, 0);
    EXPECT_TRUE(r.listing.ends_with(
        Foot("THERE WERE NO ERRORS.", "FOO:      0002    BAR:      0008    ZED:      000A    ")))
        << r.listing;
}

TEST(WholeProgram, LabelsOnStorageAndOriginLines) {
    WordResult r = AssembleText("A: DS 2\r\nB: ORG 40\r\nC: HLT\r\nL 0,B\r\nEND\r\n");
    EXPECT_EQ(r.errorCount, 0);
    EXPECT_TRUE(r.listing.ends_with("A:        0000    B:        0002    C:        0040    \r\n"));
    EXPECT_TRUE(r.object.ends_with("0041  90C1\r\n"));  // 0002 - 0041 = -63
}

}  // namespace

namespace {

// Random programs from a soup of statements, labels and broken lines: both
// passes must agree on every label's address, and no listing line of the
// statement loop may exceed 80 characters.
TEST(WholeProgram, PassesAgreeOnRandomPrograms) {
    const char* pieces[] = {"ADD 1,5(2)", "SUB 1,X\"1F", "LC 2,255", "SL 0,-1", "LEA 1,-2(3)", "L 1,*+3",
                            "B L3", "BSR L7+2", "RIO LPT", "WIO 300", "HLT", "NOP x y", "DC 'ab", "DC L2",
                            "DS 3", "DS 0", "DS 99999999", "DS", "ORG 40", "TITLE X", "ADDX 1", "", "  \t",
                            "5 ADD", "1X: NOP", ";note", "+", "L 4,*", "BZ NOPE", "DC -'A;b"};
    std::uint32_t seed = 12345;
    auto next = [&seed](std::uint32_t range) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) % range;
    };
    int checked = 0;
    for (int program = 0; program < 200; ++program) {
        std::string source;
        int lines = 1 + static_cast<int>(next(40));
        for (int i = 0; i < lines; ++i) {
            if (next(3) == 0) source += "L" + std::to_string(next(10)) + ": ";
            source += pieces[next(sizeof pieces / sizeof pieces[0])];
            source += next(4) == 0 ? "\n" : "\r\n";
        }
        if (next(2) == 0) source += " END\r\n";
        WordResult r = AssembleText(source);
        std::vector<std::string> listing = Lines(r.listing);
        std::size_t labelTable = 0;
        for (std::size_t i = 0; i < listing.size(); ++i) {
            if (listing[i] == "LABEL(S)") labelTable = i;
        }
        ASSERT_GT(labelTable, 0u) << source;
        for (std::size_t i = 0; i < labelTable; ++i) EXPECT_LE(listing[i].size(), 80u) << source;
        for (std::size_t t = labelTable + 1; t < listing.size(); ++t) {
            for (std::size_t at = 0; at + 18 <= listing[t].size(); at += 18) {
                std::string name = listing[t].substr(at, listing[t].find(':', at) - at);
                std::string value = listing[t].substr(at + 10, 4);
                std::string field = (name + ":" + Blanks(8)).substr(0, 8);
                for (std::size_t i = 0; i < labelTable; ++i) {
                    const std::string& line = listing[i];
                    if (line.size() >= 23 && line.substr(15, 8) == field) {
                        if (line.substr(2, 4) != "    ") {
                            EXPECT_EQ(line.substr(2, 4), value) << source;
                            ++checked;
                        }
                        break;
                    }
                }
            }
        }
    }
    EXPECT_GT(checked, 500);
}

}  // namespace
