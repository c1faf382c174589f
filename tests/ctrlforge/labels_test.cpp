// Label definitions and references in the parse pass: which definition a
// reference gets, the order of the undefined-label reports and of the
// waiting chains, when definitions and uses interleave.
#include <gtest/gtest.h>

#include <string>

#include "parse_helpers.hpp"

namespace ctrlforge {
namespace {

using testing::Errors;
using testing::Lines;
using testing::Parse;

// The names of the labels reported as undefined, in listing order.
std::vector<std::string> Undeclared(const std::string& listing) {
    std::vector<std::string> names;
    const std::string head = "ERROR   20:LABELS(";
    for (std::size_t at = listing.find(head); at != std::string::npos; at = listing.find(head, at + 1)) {
        names.push_back(listing.substr(at + head.size(), 8));
    }
    return names;
}

TEST(Labels, ALabelDefinedRightAfterItsFirstUseKeepsTheOthersInFirstUseOrder) {
    auto p = Parse(Lines({".TITLE PROG",
                          "*", "GOTO A",   // word 0: A waits
                          "*", "GOTO B",   // word 1: B waits, the newest
                          "* B:",          // word 2: B defined at once
                          "*", "GOTO C",   // word 3: C waits
                          "*", "GOTO A",   // word 4: joins A's chain
                          ".END"}));
    EXPECT_EQ(Errors(p->listing.buffer), (std::vector<int>{20, 20}));
    EXPECT_EQ(Undeclared(p->listing.buffer), (std::vector<std::string>{"A       ", "C       "}));
    const auto& w = p->run.words;
    EXPECT_EQ(w[1].refState, Resolved);
    EXPECT_EQ(w[1].target, w[2].label);
    // A's waiting chain runs in reference order: word 0, then word 4.
    EXPECT_EQ(w[0].refState, Pending);
    EXPECT_EQ(w[0].target, 4);
    EXPECT_EQ(w[4].target, kNone);
}

TEST(Labels, ALabelDefinedAfterLaterUsesOfOthersResolvesOnlyItsOwnChain) {
    auto p = Parse(Lines({".TITLE PROG",
                          "*", "GOTO X",   // word 0
                          "*", "CALL Y",   // word 1
                          "*", "IOP X",    // word 2
                          "* X:",          // word 3: X is not the newest waiting label
                          "*", "GOTO Z",   // word 4
                          "*", "GOTO Y",   // word 5
                          ".END"}));
    EXPECT_EQ(Undeclared(p->listing.buffer), (std::vector<std::string>{"Y       ", "Z       "}));
    const auto& w = p->run.words;
    EXPECT_EQ(w[0].target, w[3].label);
    EXPECT_EQ(w[2].target, w[3].label);
    EXPECT_EQ(w[3].labelClass, IopTarget);
    EXPECT_EQ(w[1].refState, Pending);
    EXPECT_EQ(w[1].target, 5);
    EXPECT_EQ(w[5].target, kNone);
}

TEST(Labels, TheFirstDefinitionStaysForReferencesOnBothSides) {
    auto p = Parse(Lines({".TITLE PROG",
                          "*", "GOTO DUP",  // word 0, before both definitions
                          "* DUP:",         // word 1
                          "* DUP:",         // word 2: error 1, no label
                          "*", "GOTO DUP",  // word 3, after both
                          ".END"}));
    EXPECT_EQ(Errors(p->listing.buffer), (std::vector<int>{1}));
    const auto& w = p->run.words;
    EXPECT_EQ(w[2].label, kNone);
    EXPECT_EQ(w[0].target, w[1].label);
    EXPECT_EQ(w[3].target, w[1].label);
    EXPECT_EQ(w[1].labelClass, BranchTarget);
}

TEST(Labels, NamesAgreeingInTheirFirstEightCharactersAreOneLabel) {
    auto p = Parse(Lines({".TITLE PROG",
                          "*", "GOTO LONGNAME1",  // word 0
                          "* LONGNAME2:",         // word 1 defines LONGNAME
                          "* LONGNAMEX:",         // word 2: error 1
                          ".END"}));
    EXPECT_EQ(Errors(p->listing.buffer), (std::vector<int>{1}));
    EXPECT_EQ(p->run.words[0].target, p->run.words[1].label);
}

}  // namespace
}  // namespace ctrlforge
