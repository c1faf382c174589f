#include <gtest/gtest.h>

#include "parse_helpers.hpp"

namespace ctrlforge {
namespace {

using testing::Errors;
using testing::Lines;
using testing::Parse;
using testing::Statement;
using testing::StatementErrors;

struct Fields {
    int LB = 0, RB = 18, AL = 35, SH = 44, SB = 53, MM = 70, SQ = 75, TS = 92, EX = 101, LT = 0;
};

void ExpectFields(const MicroWord& w, const Fields& f) {
    EXPECT_EQ(w.LB, f.LB);
    EXPECT_EQ(w.RB, f.RB);
    EXPECT_EQ(w.AL, f.AL);
    EXPECT_EQ(w.SH, f.SH);
    EXPECT_EQ(w.SB, f.SB);
    EXPECT_EQ(w.MM, f.MM);
    EXPECT_EQ(w.SQ, f.SQ);
    EXPECT_EQ(w.TS, f.TS);
    EXPECT_EQ(w.EX, f.EX);
    EXPECT_EQ(w.LT, f.LT);
}

// The fields of the single statement, checked to have parsed without error.
#define EXPECT_STATEMENT(clauses, ...)                                         \
    do {                                                                       \
        auto p = Statement clauses;                                            \
        EXPECT_TRUE(StatementErrors(p->listing.buffer).empty()) << p->listing.buffer; \
        ASSERT_EQ(p->run.words.size(), 2u);                                    \
        ExpectFields(p->run.words[0], Fields __VA_ARGS__);                     \
    } while (0)

#define EXPECT_STATEMENT_ERROR(clauses, number)                                \
    do {                                                                       \
        auto p = Statement clauses;                                            \
        EXPECT_EQ(StatementErrors(p->listing.buffer), std::vector<int>{number}) \
            << p->listing.buffer;                                              \
    } while (0)

TEST(Statement, FiveLineStatement) {
    auto p = Parse(Lines({".TITLE PROG", "* LOOP: 10", "IF ZER = 0 THEN LOOP", "READ", "R1 := R1 + R2", "C - 1",
                          ".END"}));
    EXPECT_FALSE(p->run.AssemblyFailed) << p->listing.buffer;
    const MicroWord& w = p->run.words[0];
    ExpectFields(w, {.LB = 2, .RB = 21, .AL = 36, .SH = 44, .SB = 55, .MM = 71, .SQ = 80, .TS = 93, .EX = 102});
    EXPECT_EQ(w.address, 16);
    EXPECT_TRUE(w.addressGiven);
    EXPECT_EQ(w.labelClass, BranchTarget);
    EXPECT_EQ(w.refState, Resolved);
    EXPECT_EQ(w.target, w.label);
}

TEST(Statement, LiteralUnderABranchIsError9) {
    auto p = Parse(Lines({".TITLE PROG", "* LOOP: 10", "IF ZER = 0 THEN LOOP", "R1 := R1 + 1", ".END"}));
    EXPECT_EQ(Errors(p->listing.buffer), std::vector<int>{9});
}

TEST(Statement, AutomaticAndGivenAddresses) {
    auto p = Parse(Lines({".TITLE PROG", "*", "*", "* 10", "*", "* 100", ".END"}));
    EXPECT_FALSE(p->run.AssemblyFailed);
    std::vector<int> addresses;
    for (std::size_t i = 0; i + 1 < p->run.words.size(); ++i) addresses.push_back(p->run.words[i].address);
    EXPECT_EQ(addresses, (std::vector<int>{0, 1, 16, 17, 256}));
}

TEST(Statement, AddressOrderAndLimit) {
    EXPECT_EQ(Errors(Parse(Lines({".TITLE PROG", "* 10", "* 10", ";", ".END"}))->listing.buffer), std::vector<int>{17});
    EXPECT_TRUE(Errors(Parse(Lines({".TITLE PROG", "* 10", "* 11", ".END"}))->listing.buffer).empty());
    EXPECT_EQ(Errors(Parse(Lines({".TITLE PROG", "* FFF", "* 1000", ";", "*", ";", "*", ";", ".END"}))->listing.buffer),
              (std::vector<int>{18, 18, 18}));
    // An address that overflowed while it was read is out of limit.
    EXPECT_EQ(Errors(Parse(Lines({".TITLE PROG", "* 80001", "*", ".END"}))->listing.buffer), std::vector<int>{18});
    EXPECT_EQ(Errors(Parse(Lines({".TITLE PROG", "* L: ABCDE", "*", ".END"}))->listing.buffer),
              std::vector<int>{18});
}

TEST(Statement, HeadingErrors) {
    auto noColon = Parse(Lines({".TITLE PROG", "* LOOP 5", "* LOOP:", ".END"}));
    EXPECT_EQ(Errors(noColon->listing.buffer), (std::vector<int>{16, 1}));
    EXPECT_EQ(Errors(Parse(Lines({".TITLE PROG", "* L1: 20 R1 := R2", ".END"}))->listing.buffer),
              std::vector<int>{3});
    auto longNames = Parse(Lines({".TITLE PROG", "* LONGNAME1:", "* LONGNAME2:", ".END"}));
    EXPECT_EQ(Errors(longNames->listing.buffer), std::vector<int>{1});
}

TEST(Statement, ClauseOrder) {
    EXPECT_EQ(Errors(Statement({"READ", "GOTO FETCH"})->listing.buffer), std::vector<int>{16});
    EXPECT_EQ(Errors(Statement({"R1 := R2", "R2 := R3"})->listing.buffer), std::vector<int>{16});
    EXPECT_EQ(Errors(Statement({"HLT"})->listing.buffer), std::vector<int>{16});
    // IRA as the first clause is the sequencing clause, which needs a label.
    EXPECT_EQ(Errors(Statement({"IRA + 1"})->listing.buffer), std::vector<int>{6});
    EXPECT_STATEMENT(({"NSQ", "IRA + 1"}), {.SQ = 91, .EX = 112});
    // Blank and comment lines may stand between clause lines.
    EXPECT_STATEMENT(({"", "; note", "READ", "", "R1 := R2"}), {.LB = 3, .SB = 55, .MM = 71});
}

TEST(Statement, ProgramEndings) {
    EXPECT_EQ(Errors(Parse(Lines({".TITLE PROG", ".END"}))->listing.buffer), std::vector<int>{16});
    EXPECT_EQ(Errors(Parse(Lines({".TITLE PROG", "*"}))->listing.buffer), std::vector<int>{19});
    EXPECT_EQ(Errors(Parse(Lines({".TITLE PROG", "*", ".END", "R1", "R2"}))->listing.buffer),
              std::vector<int>{21});
    EXPECT_TRUE(Errors(Parse(Lines({".TITLE PROG", "*", ".END", "", "; done"}))->listing.buffer).empty());
    EXPECT_EQ(Errors(Parse(Lines({".TITLE PROG", "READ", "*", ".END"}))->listing.buffer), std::vector<int>{16});
}

TEST(Statement, UndefinedLabelsInFirstUseOrder) {
    auto p = Parse(Lines({".TITLE PROG", "*", "GOTO BETA", "*", "CALL ALPHA", "*", "GOTO BETA", ".END"}));
    EXPECT_EQ(Errors(p->listing.buffer), (std::vector<int>{20, 20}));
    EXPECT_NE(p->listing.buffer.find("ERROR   20:LABELS(BETA    ) IS NOT DECLARED.\r\n\r\n"
                                     "ERROR   20:LABELS(ALPHA   ) IS NOT DECLARED.\r\n"),
              std::string::npos)
        << p->listing.buffer;
}

TEST(Statement, ForwardReferencesRaiseTheTargetClass) {
    auto p = Parse(Lines({".TITLE PROG", "*", "IOP X", "*", "GOTO X", "* X:", "*", "IRA Y", "* Y:", "*", "IAB Y",
                          ".END"}));
    EXPECT_FALSE(p->run.AssemblyFailed) << p->listing.buffer;
    EXPECT_EQ(p->run.words[2].labelClass, IopTarget);
    EXPECT_EQ(p->run.words[4].labelClass, IabTarget);
    EXPECT_EQ(p->run.words[0].refState, Resolved);
    EXPECT_EQ(p->run.words[1].refState, Resolved);
    EXPECT_EQ(p->run.words[0].target, p->run.words[2].label);
}

TEST(Statement, BackwardReferencesRaiseTheTargetClass) {
    auto p = Parse(Lines({".TITLE PROG", "* X:", "*", "GOTO X", "*", "IRA X", "*", "GOTO X", ".END"}));
    EXPECT_FALSE(p->run.AssemblyFailed);
    EXPECT_EQ(p->run.words[0].labelClass, IraTarget);
}

TEST(Transfer, AcceptedForms) {
    EXPECT_STATEMENT(({"R1 := R2"}), {.LB = 3, .SB = 55});
    EXPECT_STATEMENT(({"PC := PC + 1"}), {.LB = 11, .RB = 29, .AL = 36, .SB = 66, .LT = 1});
    EXPECT_STATEMENT(({"R1 := 0"}), {.RB = 34, .SB = 55});
    EXPECT_STATEMENT(({"R1 := 1FF"}), {.RB = 29, .SB = 55, .LT = 511});
    EXPECT_STATEMENT(({"R1 := 200"}), {.RB = 30, .SB = 55, .LT = 512});
    EXPECT_STATEMENT(({"R1 := FFFF"}), {.RB = 30, .SB = 55, .LT = 65535});
    EXPECT_STATEMENT(({"R1 := ZERO"}), {.LB = 16, .SB = 55});
    EXPECT_STATEMENT(({"R1 := RA"}), {.RB = 27, .SB = 55});
    EXPECT_STATEMENT(({"RB := SLL R2"}), {.LB = 3, .SH = 45, .SB = 64});
    EXPECT_STATEMENT(({"RBP := SRA RA"}), {.RB = 27, .SH = 48, .SB = 65});
    EXPECT_STATEMENT(({"R1 := R2 + : SLL R3"}), {.LB = 3, .RB = 22, .AL = 36, .SH = 45, .SB = 55});
    EXPECT_STATEMENT(({"RAP := MM AND RAP"}), {.LB = 13, .RB = 28, .AL = 38, .SB = 63});
    EXPECT_STATEMENT(({"R7 := FSR @ R0"}), {.LB = 15, .RB = 19, .AL = 43, .SB = 61});
    EXPECT_STATEMENT(({"R0 := IR $ B\"101"}), {.LB = 14, .RB = 29, .AL = 41, .SB = 54, .LT = 5});
    EXPECT_STATEMENT(({"SET BY R1"}), {.LB = 2, .AL = 39, .SB = 69});
    EXPECT_STATEMENT(({"SET BY R1 XOR R2"}), {.LB = 2, .RB = 21, .AL = 40, .SB = 69});
    EXPECT_STATEMENT(({"RETURN", "R1 := 5"}), {.RB = 29, .SB = 55, .SQ = 78, .LT = 5});
    EXPECT_STATEMENT(({"GOTO FETCH", "R1 := 0"}), {.RB = 34, .SB = 55, .SQ = 84, .TS = 100});
}

TEST(Transfer, Errors) {
    EXPECT_STATEMENT_ERROR(({"R1 := R2 + ZERO"}), 11);
    EXPECT_STATEMENT_ERROR(({"R1 := RA + R2"}), 3);
    EXPECT_STATEMENT_ERROR(({"R1 := R2 R3"}), 11);
    EXPECT_STATEMENT_ERROR(({"R1 := SLL R2 + R3"}), 3);
    EXPECT_STATEMENT_ERROR(({"R1 := R2 +"}), 11);
    EXPECT_STATEMENT_ERROR(({"R1 := R2 + R3 R4"}), 3);
    EXPECT_STATEMENT_ERROR(({"R1 = R2"}), 11);
    EXPECT_STATEMENT_ERROR(({"R1 := R2 + : R3"}), 11);
    EXPECT_STATEMENT_ERROR(({"R1 := ABCDE"}), 10);
    EXPECT_STATEMENT_ERROR(({"R1 := 80001"}), 10);
    EXPECT_STATEMENT_ERROR(({"GOTO FETCH", "R1 := 5"}), 9);
    EXPECT_STATEMENT_ERROR(({"CALL X", "R1 := 5"}), 9);
}

// A number that overflowed (80001, or a hexadecimal word of five digits
// such as ABCDE) reports nothing by itself. Where a complete heading, clause
// or transfer ends and the line must end too, it is just one more token on
// the line: error 3, and the statement is abandoned at once.
TEST(ErrorProtocol, AnOverflowedNumberAfterACompleteClauseIsError3) {
    const std::string error3 = "ERROR    3:END OF MICRO_INSTRUCTION MUST BE \";\" OR END OF LINE.\r\n";
    auto gotoLine = Parse(Lines({".TITLE DEMO", "* 10", "GOTO L 80001", "* L: 20", "R1 := R2", ".END"}));
    EXPECT_EQ(gotoLine->listing.buffer,
              ".TITLE DEMO\r\n* 10\r\nGOTO L 80001\r\n\r\n" + error3 + "* L: 20\r\nR1 := R2\r\n.END\r\n\r\n");
    // The word after an overflowed literal's line starts the next statement.
    EXPECT_EQ(Statement({"R1 := 5 ABCDE"})->listing.buffer,
              ".TITLE PROG\r\n*\r\nR1 := 5 ABCDE\r\n\r\n" + error3 + ";\r\n.END\r\n\r\n");
    // Sequencing and memory clauses.
    EXPECT_STATEMENT_ERROR(({"IF ZER = 0 THEN L ELSE FETCH 80001"}), 3);
    EXPECT_STATEMENT_ERROR(({"IF CRY = 1 THEN L ABCDE"}), 3);
    EXPECT_STATEMENT_ERROR(({"GOTO FETCH 80001"}), 3);
    EXPECT_STATEMENT_ERROR(({"IAB L 80001"}), 3);
    EXPECT_STATEMENT_ERROR(({"RETURN 80001"}), 3);
    EXPECT_STATEMENT_ERROR(({"NSQ ABCDE"}), 3);
    EXPECT_STATEMENT_ERROR(({"READ 80001"}), 3);
    // Transfers, SET BY included.
    EXPECT_STATEMENT_ERROR(({"SET BY R1 + 1 80001"}), 3);
    EXPECT_STATEMENT_ERROR(({"SET BY 5 ABCDE"}), 3);
    EXPECT_STATEMENT_ERROR(({"R1 := R2 + R3 ABCDE"}), 3);
    // Exception clauses, the first and the second of a statement.
    EXPECT_STATEMENT_ERROR(({"C - 1 80001"}), 3);
    EXPECT_STATEMENT_ERROR(({"C := R2 ABCDE"}), 3);
    EXPECT_STATEMENT_ERROR(({"T := 0 80001"}), 3);
    EXPECT_STATEMENT_ERROR(({"R1 := RA", "IR := R3 80001"}), 3);
    EXPECT_STATEMENT_ERROR(({"SET BY R1", "FLAG SAVE", "IRB - 1 ABCDE"}), 3);
    // The heading line.
    EXPECT_STATEMENT_ERROR(({"* 10 80001"}), 3);
    // Where the overflowed number is the operand itself, its own mark decides.
    EXPECT_STATEMENT_ERROR(({"RETURN", "R1 := R2 + 80001"}), 10);
    EXPECT_STATEMENT_ERROR(({"C := ABCDE"}), 10);
    EXPECT_STATEMENT_ERROR(({"R1 := R2", "IRA + 80001"}), 13);
    EXPECT_STATEMENT_ERROR(({"IF NEG = 80001 THEN L"}), 4);
}

TEST(Sequencing, Clauses) {
    EXPECT_STATEMENT(({"IF ZER = 1 THEN L"}), {.SQ = 79, .TS = 93});
    EXPECT_STATEMENT(({"IF CZ = 0 THEN L ELSE FETCH"}), {.SQ = 84, .TS = 98});
    EXPECT_STATEMENT(({"IF OV = 01 THEN L"}), {.SQ = 79, .TS = 96});
    EXPECT_STATEMENT(({"GOTO FETCH"}), {.SQ = 84, .TS = 100});
    EXPECT_STATEMENT(({"RETURN"}), {.SQ = 78});
    EXPECT_STATEMENT(({"NSQ ; nothing"}), {.SQ = 91});
    auto p = Statement({"GOTO ABC"});
    EXPECT_EQ(p->run.words[0].SQ, 76);
    EXPECT_EQ(p->run.pending.at(0).name, (Name{'A', 'B', 'C', ' ', ' ', ' ', ' ', ' '}));
}

TEST(Sequencing, Errors) {
    EXPECT_STATEMENT_ERROR(({"IF ZER = 1 THEN L ELSE FETCH"}), 7);
    EXPECT_STATEMENT_ERROR(({"IF ZER = 0 THEN L ELSE L"}), 8);
    EXPECT_STATEMENT_ERROR(({"IF C = 1 THEN L"}), 4);
    EXPECT_STATEMENT_ERROR(({"IF T = 2 THEN L"}), 4);
    EXPECT_STATEMENT_ERROR(({"IF T 1 THEN L"}), 4);
    EXPECT_STATEMENT_ERROR(({"IF T = 1 L"}), 5);
    EXPECT_STATEMENT_ERROR(({"IF ZER = 80001 THEN L"}), 4);
    EXPECT_STATEMENT_ERROR(({"IF ZER = 1 THEN"}), 6);
    EXPECT_STATEMENT_ERROR(({"CALL"}), 6);
    EXPECT_STATEMENT_ERROR(({"IOP 5"}), 6);
    EXPECT_STATEMENT_ERROR(({"GOTO L X"}), 3);
    EXPECT_STATEMENT_ERROR(({"RETURN X"}), 3);
    EXPECT_STATEMENT_ERROR(({"READ X"}), 3);
}

TEST(Exception, Clauses) {
    EXPECT_STATEMENT(({"C - 1"}), {.EX = 102});
    EXPECT_STATEMENT(({"C := R2"}), {.RB = 21, .EX = 108});
    EXPECT_STATEMENT(({"C := 0"}), {.RB = 34, .EX = 108});
    EXPECT_STATEMENT(({"C := 1FF"}), {.RB = 29, .EX = 108, .LT = 511});
    EXPECT_STATEMENT(({"C := RBUS"}), {.EX = 108});
    EXPECT_STATEMENT(({"FLAG SAVE"}), {.EX = 103});
    EXPECT_STATEMENT(({"WITH CRY"}), {.EX = 104});
    EXPECT_STATEMENT(({"WITH ONE"}), {.EX = 105});
    EXPECT_STATEMENT(({"IR := LBUS"}), {.EX = 106});
    EXPECT_STATEMENT(({"IR := ZERO"}), {.LB = 16, .EX = 106});
    EXPECT_STATEMENT(({"IO := R3"}), {.LB = 4, .EX = 107});
    EXPECT_STATEMENT(({"EXECUTE IO"}), {.EX = 109});
    EXPECT_STATEMENT(({"T := 1"}), {.EX = 110});
    EXPECT_STATEMENT(({"T := 0"}), {.EX = 111});
    EXPECT_STATEMENT(({"IRB + 1"}), {.EX = 113});
    EXPECT_STATEMENT(({"IRB - 1"}), {.EX = 114});
    EXPECT_STATEMENT(({"SET HLT"}), {.EX = 115});
    EXPECT_STATEMENT(({"SET OV"}), {.EX = 116});
    EXPECT_STATEMENT(({"NEX"}), {.EX = 117});
    EXPECT_STATEMENT(({"SET T := 1"}), {.EX = 110});
    EXPECT_STATEMENT(({"SET IR := R1"}), {.LB = 2, .EX = 106});
    EXPECT_STATEMENT(({"R1 := RA", "IR := R5"}), {.LB = 6, .RB = 27, .SB = 55, .EX = 106});
    EXPECT_STATEMENT(({"R1 := R2", "FLAG SAVE", "WITH ONE"}), {.LB = 3, .SB = 55, .EX = 105});
    EXPECT_STATEMENT(({"SET BY R1", "SET HLT", "NEX"}), {.LB = 2, .AL = 39, .SB = 69, .EX = 117});
    EXPECT_STATEMENT(({"SET SET OV", "C := R1"}), {.RB = 20, .EX = 108});
}

TEST(Exception, Errors) {
    EXPECT_STATEMENT_ERROR(({"C - 2"}), 13);
    EXPECT_STATEMENT_ERROR(({"C - 80001"}), 13);
    EXPECT_STATEMENT_ERROR(({"C R1"}), 13);
    EXPECT_STATEMENT_ERROR(({"C := 200"}), 15);
    EXPECT_STATEMENT_ERROR(({"C := IO"}), 13);
    EXPECT_STATEMENT_ERROR(({"R1 := R2 + R3", "C := R4"}), 12);
    EXPECT_STATEMENT_ERROR(({"R1 := 0", "C := R4"}), 12);
    EXPECT_STATEMENT_ERROR(({"R1 := R2 + R3", "IR := R5"}), 14);
    EXPECT_STATEMENT_ERROR(({"R1 := ZERO", "IO := R5"}), 14);
    EXPECT_STATEMENT_ERROR(({"R1 := 300", "NEX"}), 15);
    EXPECT_STATEMENT_ERROR(({"GOTO L", "C := 5"}), 9);
    EXPECT_STATEMENT_ERROR(({"C := 80001"}), 10);
    EXPECT_STATEMENT_ERROR(({"IR := IR"}), 11);
    EXPECT_STATEMENT_ERROR(({"IO := IO"}), 11);
    EXPECT_STATEMENT_ERROR(({"IR R1"}), 11);
    EXPECT_STATEMENT_ERROR(({"T = 1"}), 11);
    EXPECT_STATEMENT_ERROR(({"T := R1"}), 11);
    EXPECT_STATEMENT_ERROR(({"T := 2"}), 13);
    EXPECT_STATEMENT_ERROR(({"FLAG"}), 13);
    EXPECT_STATEMENT_ERROR(({"WITH ZER"}), 13);
    EXPECT_STATEMENT_ERROR(({"EXECUTE"}), 13);
    EXPECT_STATEMENT_ERROR(({"SET X"}), 13);
    EXPECT_STATEMENT_ERROR(({"SET READ"}), 13);
    EXPECT_STATEMENT_ERROR(({"SET T := 1", "SET NEX"}), 13);
    EXPECT_STATEMENT_ERROR(({"IRB * 1"}), 13);
    EXPECT_STATEMENT_ERROR(({"NEX NEX"}), 3);
    EXPECT_STATEMENT_ERROR(({"R1 := R2", "IRA + 2"}), 13);
}

}  // namespace
}  // namespace ctrlforge
