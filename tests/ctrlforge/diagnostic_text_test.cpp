// The messages of ctrlforge's diagnostics, one case for every place that
// reports an error: what the message names (the token as written), where it
// stands, and the fix it suggests. The listing's error lines are the
// listing tests' concern and do not change with these.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/diagnostics.hpp"
#include "ctrlforge/ctrlforge.hpp"

namespace {

struct Expected {
    int line;
    int column;
    std::string tag;
    std::string message;
    std::string fix = "";
};

std::vector<common::Diagnostic> DiagnosticsOf(const std::string& source) {
    std::vector<common::Diagnostic> list;
    common::DiagnosticSink sink = common::ListSink(source, list);
    ctrlforge::AssembleText(source, {}, {.diagnostics = &sink});
    return list;
}

// A program of one statement: ".TITLE P", "*", the clause lines (from line
// 3 on), a comment line and ".END"; lines end with CR LF.
std::string Statement(std::initializer_list<const char*> clauses) {
    std::string text = ".TITLE P\r\n*\r\n";
    for (const char* line : clauses) {
        text += line;
        text += "\r\n";
    }
    return text + ";\r\n.END\r\n";
}

std::string Program(std::initializer_list<const char*> lines) {
    std::string text;
    for (const char* line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

void ExpectFirst(const std::string& source, const Expected& expected) {
    SCOPED_TRACE(source);
    const std::vector<common::Diagnostic> list = DiagnosticsOf(source);
    ASSERT_FALSE(list.empty());
    const common::Diagnostic& d = list.front();
    EXPECT_EQ(d.line, expected.line);
    EXPECT_EQ(d.column, expected.column);
    EXPECT_EQ(d.tag, expected.tag);
    EXPECT_EQ(d.message, expected.message);
    EXPECT_EQ(d.fix, expected.fix);
}

TEST(CtrlforgeMessages, TitleLine) {
    ExpectFirst(Program({"TITLE P", "*", ".END"}),
                {1, 1, "E2", "the title line begins with '.TITLE'; found 'TITLE' without its '.'", ".TITLE"});
    ExpectFirst(Program({".TITLE GOTO", "*", ".END"}),
                {1, 8, "E2", "'GOTO' is a keyword and cannot be the title; choose another name"});
    ExpectFirst(Program({".TITLE 123", "*", ".END"}),
                {1, 8, "E2", "a title is a name that begins with a letter; found the number '123'"});
    ExpectFirst(Program({".TITLE X Y", "*", ".END"}),
                {1, 10, "E3", "the title is a single name, so the line ends after 'X'; found 'Y' after it (a comment "
                              "begins with ';')"});
}

TEST(CtrlforgeMessages, Headings) {
    ExpectFirst(Program({".TITLE P", "* FETCH:", "    NSQ", ".END"}),
                {2, 3, "E3", "'FETCH' is a keyword and cannot be a label; choose another name"});
    ExpectFirst(Program({".TITLE P", "* 10 L2:", "    NSQ", ".END"}),
                {2, 6, "E3", "in a heading the label comes before the address: write '* L2: 10'"});
    ExpectFirst(Program({".TITLE P", "* L1: 20 R1 := R2", ".END"}),
                {2, 10, "E3", "a heading line holds only '*', a label with its ':' and an address; 'R1' begins another "
                              "clause, which goes on a line of its own"});
    ExpectFirst(Program({".TITLE P", "* MDONE", "    NSQ", ".END"}),
                {2, 8, "E16", "a label in a heading ends with ':'; write '* MDONE:'"});
    ExpectFirst(Program({".TITLE P", "* A:", "    NSQ", "* A:", "    NSQ", ".END"}),
                {4, 3, "E1", "label 'A' is already defined on line 2; rename one of them"});
    ExpectFirst(Program({".TITLE P", "* LONGNAME1:", "    NSQ", "* LONGNAME2:", "    NSQ", ".END"}),
                {4, 3, "E1", "label 'LONGNAME2' is already defined on line 2 as 'LONGNAME1': only the first eight "
                             "characters of a label count; rename one of them"});
}

TEST(CtrlforgeMessages, Addresses) {
    ExpectFirst(Program({".TITLE P", "* 10", "    NSQ", "* 10", "    NSQ", ".END"}),
                {4, 5, "E17", "address 10 does not lie above 10, the address of the statement on line 2; addresses "
                              "must increase from statement to statement, or be left out"});
    ExpectFirst(Program({".TITLE P", "* BEEF", "    NSQ", ".END"}),
                {2, 7, "E17", "address BEEF is 8000 or more, which counts as negative; the control store runs from "
                              "000 to FFF"});
    ExpectFirst(Program({".TITLE P", "* 80001", "    NSQ", ".END"}),
                {2, 3, "E18", "address '80001' is too long: a control-store address has at most three hexadecimal "
                              "digits (000..FFF)"});
    // FFE and FFF fit; the third statement counts on to 1000.
    ExpectFirst(Program({".TITLE P", "* FFE", "    NSQ", "*", "    NSQ", "*", "    NSQ", ".END"}),
                {6, 2, "E18", "address 1000 is past the control store (000..FFF); it follows the statement on line 2 "
                              "at FFE, counting on from it"});
}

TEST(CtrlforgeMessages, StatementLines) {
    ExpectFirst(Program({".TITLE P", "    NSQ", "*", ".END"}),
                {2, 5, "E16", "a statement begins with its heading line '*'; found 'NSQ' before the first heading"});
    ExpectFirst(Program({".TITLE P", ".END"}),
                {2, 1, "E16", "the program has no statement: at least one statement ('*' and its clauses) must "
                              "come before '.END'"});
    ExpectFirst(Statement({"    GOTP L"}), {3, 5, "E16", "'GOTP' begins no clause; did you mean 'GOTO'?", "GOTO"});
    ExpectFirst(Statement({"    HLT"}), {3, 5, "E16", "'HLT' begins no clause by itself; write 'SET HLT'", "SET HLT"});
    ExpectFirst(Statement({"    HALT"}), {3, 5, "E16", "'HALT' begins no clause; did you mean 'SET HLT'?", "SET HLT"});
    ExpectFirst(Statement({"    LOOP: R1 := R2"}), {3, 5, "E16", "a label is defined in a heading line: write '* LOOP:'"});
    ExpectFirst(Statement({"    MM := R1"}),
                {3, 5, "E16", "'MM' cannot be assigned to; a transfer's destination is R0..R7, RA, RAP, RB, RBP or PC"});
    ExpectFirst(Statement({"    READ", "    GOTO L"}),
                {4, 5, "E16", "clauses come in the order sequencing, memory, transfer, exception; 'GOTO' must come "
                              "before 'READ' (line 3)"});
    ExpectFirst(Statement({"    R1 := R2", "    R3 := R4"}),
                {4, 5, "E16", "a statement has one transfer, and this one has 'R1' on line 3 already; start a new "
                              "statement with '*' for 'R3'"});
    ExpectFirst(Statement({"    C - 1", "    FLAG SAVE"}),
                {4, 5, "E16", "without a transfer or SET a statement has one exception clause, and this one has 'C' "
                              "on line 3 already; start a new statement with '*' for 'FLAG'"});
    ExpectFirst(Program({".TITLE P", "*", "    NSQ", ".END", "*"}),
                {5, 1, "E21", "only empty lines and comments may follow '.END'; found '*': move '.END' after the last "
                              "statement"});
    ExpectFirst(Program({".TITLE P", "*", "    NSQ"}),
                {3, 8, "E19", "the source ends without '.END'; end the program with a line '.END'"});
}

TEST(CtrlforgeMessages, SequencingClauses) {
    ExpectFirst(Statement({"    IF C = 1 THEN L"}),
                {3, 8, "E4", "'C' is no condition (the carry condition is CRY); the conditions are ZER, NEG, CRY, OV, "
                             "T, CZ", "CRY"});
    ExpectFirst(Statement({"    IF CX = 1 THEN L"}),
                {3, 8, "E4", "'CX' is no condition; the conditions are ZER, NEG, CRY, OV, T, CZ; did you mean 'CZ'?",
                 "CZ"});
    ExpectFirst(Statement({"    IF ZER := 1 THEN L"}), {3, 12, "E4", "a test is written with '=', not ':='", "="});
    ExpectFirst(Statement({"    IF ZER 1 THEN L"}), {3, 12, "E4", "'=' is missing between 'ZER' and '1'"});
    ExpectFirst(Statement({"    IF ZER = 2 THEN L"}), {3, 14, "E4", "a condition is tested for 0 or 1; found '2'"});
    ExpectFirst(Statement({"    IF ZER = 1 THN L"}),
                {3, 16, "E5", "'THEN' must follow the test; found 'THN'; did you mean 'THEN'?", "THEN"});
    ExpectFirst(Statement({"    IF ZER = 1 LOOP"}), {3, 16, "E5", "'THEN' is missing before the label 'LOOP'"});
    ExpectFirst(Statement({"    IF ZER = 1 THEN READ"}),
                {3, 21, "E6", "'THEN' needs a label; 'READ' is a keyword and cannot be a label"});
    ExpectFirst(Statement({"    CALL FETCH"}), {3, 10, "E6", "'CALL' needs a label: only GOTO goes to FETCH"});
    ExpectFirst(Statement({"    GOTO 1A"}), {3, 10, "E6", "'GOTO' needs a label; '1A' begins with a digit and cannot be a label"});
    ExpectFirst(Statement({"    IRA + 1"}),
                {3, 9, "E6", "as the first clause line 'IRA' is the branch 'IRA label'; the exception clause 'IRA + 1' "
                             "must follow another clause line"});
    ExpectFirst(Statement({"    IF ZER = 1 THEN L ELSE FETCH"}),
                {3, 23, "E7", "'ELSE FETCH' may follow only a test for 0 ('IF ZER = 0 THEN ...'); after '= 1' drop it"});
    ExpectFirst(Statement({"    IF ZER = 0 THEN L ELSE FECTH"}),
                {3, 28, "E8", "'ELSE' must be followed by 'FETCH'; found 'FECTH'; did you mean 'FETCH'?", "FETCH"});
    ExpectFirst(Statement({"    IF ZER = 0 THEN L ELS FETCH"}),
                {3, 23, "E3", "the IF clause ends after its label or 'ELSE FETCH'; found 'ELS'; did you mean 'ELSE'?",
                 "ELSE"});
    ExpectFirst(Statement({"    GOTO FETCH NSQ"}),
                {3, 16, "E3", "the 'GOTO' clause is complete; 'NSQ' begins another clause, which goes on a line of its own"});
    ExpectFirst(Statement({"    READ X"}),
                {3, 10, "E3", "'READ' stands alone on its line; found 'X' after it (a comment begins with ';')"});
}

TEST(CtrlforgeMessages, Transfers) {
    ExpectFirst(Statement({"    R3 = R3 + R1"}), {3, 8, "E11", "a transfer assigns with ':=', not '='", ":="});
    ExpectFirst(Statement({"    R1 : = R2"}), {3, 8, "E11", "write ':=' without a blank between ':' and '='"});
    ExpectFirst(Statement({"    RA := RA + R4"}),
                {3, 14, "E3", "'RA' can drive only the right bus, so it cannot be the left operand of '+'; the left "
                              "operand must be R0..R7, RB, RBP, PC, IO, MM, IR, FSR or ZERO"});
    ExpectFirst(Statement({"    R1 := 5 + R2"}),
                {3, 13, "E3", "the literal '5' travels on the right bus, so it cannot be the left operand of '+'; the "
                              "left operand must be R0..R7, RB, RBP, PC, IO, MM, IR, FSR or ZERO"});
    ExpectFirst(Statement({"    R1 := SLL R2 + R3"}),
                {3, 18, "E3", "a leading shift takes a single operand, so the expression is complete after 'R2'; to "
                              "shift the result of an operation, put the shift after the operator and a ':', as in "
                              "'R1 := R2 + : SLL R3'"});
    ExpectFirst(Statement({"    R1 := R2 + R3 + R4"}),
                {3, 19, "E3", "an expression has one operator, so the transfer is complete after 'R3'; found '+'; split "
                              "the work over two statements"});
    ExpectFirst(Statement({"    R1 := R2 R3"}),
                {3, 14, "E11", "an operator (+, -, AND, OR, XOR, $ or @) must stand between 'R2' and 'R3'"});
    ExpectFirst(Statement({"    R1 := R2 + ZERO"}),
                {3, 16, "E11", "'ZERO' can drive only the left bus, so it cannot be the right operand after '+'; the "
                               "right operand must be R0..R7, RA, RAP or a literal"});
    ExpectFirst(Statement({"    R1 := R2 + : R3"}),
                {3, 18, "E11", "after ':' a shift must follow (SLL, SRL, SLA, SRA, SNX, SWP or NSH); found 'R3'"});
    ExpectFirst(Statement({"    R1 := SLL R2 R3"}), {3, 18, "E11", "'R2' completes the shifted expression; 'R3' cannot follow it"});
    ExpectFirst(Statement({"    R1 :="}), {3, 10, "E11", "the expression after ':=' is missing"});
    ExpectFirst(Statement({"    R1 := ABCDE"}),
                {3, 11, "E10", "'ABCDE' has five hexadecimal digits; a literal has at most four (FFFF)"});
    ExpectFirst(Statement({"    R1 := R1 + 80001"}),
                {3, 16, "E10", "'80001' does not fit in 16 bits; a literal is at most FFFF"});
    ExpectFirst(Program({".TITLE P", "* MODES:", "    IRA MODES", "    RA := R2 + 4", ".END"}),
                {4, 16, "E9", "the literal '4' needs the LT field, which the 'IRA' branch on line 3 already uses for "
                              "its target; move the literal to a statement of its own, or use a register"});
    ExpectFirst(Statement({"    GOTO FETCH", "    R1 := 5"}),
                {4, 11, "E9", "the literal '5' needs the LT field, which a statement with 'GOTO FETCH' (line 3) cannot "
                              "give to a literal; move the literal to a statement of its own, or use a register"});
}

TEST(CtrlforgeMessages, ExceptionClauses) {
    ExpectFirst(Statement({"    R1 := R2 + R3", "    C := R4"}),
                {4, 10, "E12", "'C :=' needs the right bus, which 'R3' on line 3 already drives; write 'C := RBUS' to "
                               "take what that bus carries, or move one of them to another statement"});
    ExpectFirst(Statement({"    R1 := R2 + R3", "    IR := R5"}),
                {4, 11, "E14", "'IR :=' needs the left bus, which 'R2' on line 3 already drives; write 'IR := LBUS' "
                               "to take what that bus carries, or move one of them to another statement"});
    ExpectFirst(Statement({"    R1 := 300", "    C - 1"}),
                {4, 5, "E15", "the long literal '300' on line 3 fills the EX field too, so no exception clause can "
                              "follow it; move 'C' to another statement, or keep the literal within 1FF"});
    ExpectFirst(Statement({"    C := 200"}),
                {3, 10, "E15", "'C :=' takes a literal up to 1FF; '200' would be a long literal, which needs the EX "
                               "field that 'C :=' fills"});
    ExpectFirst(Statement({"    SET HALT"}),
                {3, 9, "E13", "'SET' must be followed by BY, HLT, OV or an exception clause; found 'HALT'; did you mean "
                              "'HLT'?", "HLT"});
    ExpectFirst(Statement({"    R1 := R2", "    SET HALTT"}),
                {4, 9, "E13", "an exception line that begins with 'SET' is 'SET HLT' or 'SET OV'; found 'HALTT'; did "
                              "you mean 'HLT'?", "HLT"});
    ExpectFirst(Statement({"    C + 1"}), {3, 7, "E13", "the counter only counts down: 'C - 1'"});
    ExpectFirst(Statement({"    C = R1"}), {3, 7, "E13", "the counter is loaded with ':=', not '='", ":="});
    ExpectFirst(Statement({"    C - 2"}), {3, 9, "E13", "the counter counts down by 1: write 'C - 1'; found '2'"});
    ExpectFirst(Statement({"    C := MM"}),
                {3, 10, "E13", "'MM' can drive only the left bus; 'C :=' takes RBUS, R0..R7, RA, RAP or a literal"});
    ExpectFirst(Statement({"    FLAG SAV"}),
                {3, 10, "E13", "'FLAG' is followed by 'SAVE'; found 'SAV'; did you mean 'SAVE'?", "SAVE"});
    ExpectFirst(Statement({"    EXECUTE IOO"}),
                {3, 13, "E13", "'EXECUTE' is followed by 'IO'; found 'IOO'; did you mean 'IO'?", "IO"});
    ExpectFirst(Statement({"    WITH CRX"}),
                {3, 10, "E13", "'WITH' is followed by 'CRY' or 'ONE'; found 'CRX'; did you mean 'CRY'?", "CRY"});
    ExpectFirst(Statement({"    T = 1"}), {3, 7, "E11", "'T' is set with ':=', not '='", ":="});
    ExpectFirst(Statement({"    T := X"}), {3, 10, "E11", "'T :=' takes 0 or 1; found 'X'"});
    ExpectFirst(Statement({"    T := 2"}), {3, 10, "E13", "'T :=' takes 0 or 1; found '2'"});
    ExpectFirst(Statement({"    R1 := R2", "    IRA LOOP"}),
                {4, 9, "E13", "as an exception clause 'IRA' is 'IRA + 1'; found 'LOOP' (the branch 'IRA label' must be "
                              "the first clause line)"});
    ExpectFirst(Statement({"    R1 := R2", "    IRB + 2"}),
                {4, 11, "E13", "'IRB' steps by 1 only: write 'IRB + 1'; found '2'"});
    ExpectFirst(Statement({"    IR = R1"}), {3, 8, "E11", "'IR' is loaded with ':=', not '='", ":="});
    ExpectFirst(Statement({"    IR := IR"}),
                {3, 11, "E11", "'IR' cannot be loaded from itself; take LBUS or another left operand"});
    ExpectFirst(Statement({"    IO := RA"}),
                {3, 11, "E11", "'RA' can drive only the right bus; 'IO :=' takes LBUS or a left operand (R0..R7, RB, "
                               "RBP, PC, MM, IR, FSR or ZERO)"});
}

TEST(CtrlforgeMessages, LabelsAfterTheSource) {
    const std::vector<common::Diagnostic> list =
        DiagnosticsOf(Program({".TITLE P", "*", "    GOTO strat", "* START:", "    GOTO ELSEWHERE", ".END"}));
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].message, "label 'strat' is used but no heading defines it; did you mean 'START'?");
    EXPECT_EQ(list[0].fix, "START");
    EXPECT_EQ(list[0].column, 10);
    EXPECT_EQ(list[0].endColumn, 15);
    EXPECT_EQ(list[1].message,
              "label 'ELSEWHERE' is used but no heading defines it (only its first eight characters, 'ELSEWHER', "
              "count)");
    EXPECT_EQ(list[1].fix, "");
}

TEST(CtrlforgeMessages, FollowOnErrorsSayWhatTheyFollow) {
    // The comma drops the rest of line 3 with its line end: C on line 4
    // continues the transfer.
    std::vector<common::Diagnostic> list = DiagnosticsOf(Statement({"    R3 := R3, R1", "    C - 1"}));
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].tag, "");
    EXPECT_EQ(list[0].message, "',' cannot stand in a transfer, so the rest of the line is ignored, with its line end "
                               "(operands are not separated by commas)");
    EXPECT_EQ(list[1].message, "an operator (+, -, AND, OR, XOR, $ or @) must stand between 'R3' and 'C'; this follows "
                               "the illegal character on line 3, which dropped the rest of that line with its line "
                               "end");
    // An error found at a line end skips the next line: here the .END.
    list = DiagnosticsOf(Program({".TITLE P", "*", "    R1 := R2 +", ".END"}));
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[1].tag, "E19");
    EXPECT_EQ(list[1].message, "the source ends without a '.END' that was read: the '.END' on line 4 was skipped with "
                               "the error on line 3, which was found at that line's end; correct that error");
    // A heading past the store, and a statement that counts on from it.
    list = DiagnosticsOf(Program({".TITLE P", "* 1000", "    NSQ", "*", "    NSQ", ".END"}));
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].message, "address 1000 is past the control store (000..FFF)");
    EXPECT_EQ(list[1].message, "address 1001 is past the control store (000..FFF); it follows the statement on line 2, "
                               "whose address 1000 is past the store already");
    // An illegal character at the start of a line loses only that line.
    list = DiagnosticsOf(Statement({"    NSQ", "# note"}));
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].message, "'#' cannot begin a line; a comment begins with ';', so the line is ignored");
}

TEST(CtrlforgeMessages, PlacementFailures) {
    ExpectFirst(Program({".TITLE P", "*", "    IRA T1", "* T1: 5", "    NSQ", ".END"}),
                {4, 1, "", "the IRA target 'T1' cannot stand at 5: an IRA target needs an address whose bits 3-2 are "
                           "0; give 10 or leave the address out"});
    ExpectFirst(Program({".TITLE P", "*", "    IOP TB", "* TB:", "    NSQ", "* 10", "    NSQ", ".END"}),
                {6, 1, "", "address 10 is no longer free: the words before it reach up to 10, since the IOP target 'TB' "
                           "on line 4 was moved up to 10 for its alignment; give 11 or more, or leave the address out"});
    ExpectFirst(Program({".TITLE P", "* FFF", "    NSQ", ".END"}),
                {4, 1, "", "the empty word that follows the last statement would land at 1000, past the control store "
                           "(000..FFF): the last statement may stand at FFE at most (ADRS OVER)"});
}

TEST(CtrlforgeMessages, TokensAreCoveredAsTheReaderTakesThem) {
    // A based number, ":=" and a multi-byte character are one token each.
    std::vector<common::Diagnostic> list = DiagnosticsOf(Statement({"    GOTO B\"101"}));
    ASSERT_FALSE(list.empty());
    EXPECT_EQ(list[0].column, 10);
    EXPECT_EQ(list[0].endColumn, 15);
    list = DiagnosticsOf(Statement({"    IF ZER := 1 THEN L"}));
    EXPECT_EQ(list[0].endColumn - list[0].column, 2);
    list = DiagnosticsOf(Statement({"    R1 := R2 \xc3\xa9"}));
    ASSERT_FALSE(list.empty());
    EXPECT_EQ(list[0].message.substr(0, 4), "'\xc3\xa9'");
    EXPECT_EQ(list[0].endColumn - list[0].column, 2);
}

TEST(CtrlforgeMessages, BranchPages) {
    // The IF at 0A3 goes to 301: bits 11-9 are 0 and 1, and the word keeps
    // 101. The unconditional GOTO carries all twelve bits.
    const std::vector<common::Diagnostic> list = DiagnosticsOf(
        Program({".TITLE P", "* 0A3", "    IF ZER = 1 THEN FAR", "* FAR: 301", "    GOTO FAR", ".END"}));
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].severity, common::Severity::Warning);
    EXPECT_EQ(list[0].tag, "-Wbranch-page");
    EXPECT_EQ(list[0].line, 3);
    EXPECT_EQ(list[0].column, 21);
    EXPECT_EQ(list[0].message, "the branch target 'FAR' at 301 lies in another 512-word page than this word at 0A3; a "
                               "conditional branch keeps only the low 9 bits of its target, so the word holds 101");
}

}  // namespace
