// "Did you mean": the distance between words and when one candidate is
// clearly the one meant.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string_view>

#include "common/suggestion.hpp"

namespace {

std::string_view SuggestionFor(std::string_view word, std::initializer_list<std::string_view> candidates) {
    common::Nearest nearest = common::NearestTo(word);
    for (std::string_view candidate : candidates) common::Consider(nearest, candidate);
    return common::Suggestion(nearest);
}

TEST(EditDistance, CountsInsertionsDeletionsSubstitutionsAndSwaps) {
    EXPECT_EQ(common::EditDistance("GOTP", "GOTO", 2), 1);     // a letter changed
    EXPECT_EQ(common::EditDistance("ADDX", "ADD", 2), 1);      // one too many
    EXPECT_EQ(common::EditDistance("HALT", "HLT", 2), 1);      // one too many, inside
    EXPECT_EQ(common::EditDistance("BRS", "BSR", 2), 1);       // two neighbours swapped
    EXPECT_EQ(common::EditDistance("FECTH", "FETCH", 2), 1);
    EXPECT_EQ(common::EditDistance("goto", "GOTO", 2), 0);     // letter case does not count
    EXPECT_EQ(common::EditDistance("CX", "CRY", 2), 2);
    EXPECT_EQ(common::EditDistance("", "NSQ", 3), 3);
}

TEST(EditDistance, StopsAboveTheLimit) {
    EXPECT_EQ(common::EditDistance("KITTEN", "SITTING", 2), 3);  // 3 edits, reported as limit + 1
    EXPECT_EQ(common::EditDistance("R1", "EXECUTE", 2), 3);       // lengths alone tell
    EXPECT_EQ(common::EditDistance("ABCDEFGHIJKLMNOPQ", "ABCDEFGHIJKLMNOPQ", 2), 3);  // longer than 16
}

TEST(Suggestion, OnlyTheClearlyNearestCandidate) {
    EXPECT_EQ(SuggestionFor("GOTP", {"IF", "GOTO", "CALL", "RETURN"}), "GOTO");
    EXPECT_EQ(SuggestionFor("BRS", {"B", "BP", "BSR", "BZ"}), "BSR");   // B is two away
    EXPECT_EQ(SuggestionFor("RX", {"RA", "RB", "R0"}), "");             // three at one edit: none
    EXPECT_EQ(SuggestionFor("AWAIT", {"AWAITS", "AWAIX"}), "");         // two at one edit
    EXPECT_EQ(SuggestionFor("IRA", {"IRA", "IRB", "IRA"}), "IRB");      // the word itself is no suggestion
    EXPECT_EQ(SuggestionFor("GOTO", {"IRA", "READ"}), "");              // nothing within two edits
}

TEST(Suggestion, NoMoreEditsThanHalfTheWord) {
    EXPECT_EQ(SuggestionFor("X", {"T"}), "");           // one letter is no evidence
    EXPECT_EQ(SuggestionFor("R8", {"R0"}), "R0");        // one edit in two letters
    EXPECT_EQ(SuggestionFor("CAT", {"CALL"}), "");       // two edits in three letters
    EXPECT_EQ(SuggestionFor("CAL", {"CALL"}), "CALL");
    EXPECT_EQ(SuggestionFor("STRAT", {"START"}), "START");
}

}  // namespace
