#include <gtest/gtest.h>

#include <sstream>

#include "common/console.hpp"

namespace {

struct Dialogue {
    std::istringstream in;
    std::ostringstream out;
    common::Console console{in, out};
    explicit Dialogue(const std::string& input) : in(input) {}
};

TEST(AskYesNo, FirstLetterDecidesAfterUpperCasing) {
    for (const char* yes : {"y\n", "Yes\n", "YEAH\n", "yn\n"}) {
        Dialogue d(yes);
        EXPECT_EQ(common::AskYesNo(d.console), common::YesNo::Yes) << yes;
        EXPECT_EQ(d.out.str(), "(Y/N):");
    }
    for (const char* no : {"n\n", "NO\n", "nY\n"}) {
        Dialogue d(no);
        EXPECT_EQ(common::AskYesNo(d.console), common::YesNo::No) << no;
    }
}

TEST(AskYesNo, RepeatsOnlyThePromptForOtherAnswers) {
    Dialogue d("\n Y\nmaybe\nyes\n");
    EXPECT_EQ(common::AskYesNo(d.console), common::YesNo::Yes);
    EXPECT_EQ(d.out.str(), "(Y/N):(Y/N):(Y/N):(Y/N):");
}

TEST(AskYesNo, ReportsTheEndOfInputInsteadOfLooping) {
    Dialogue d("x\n");
    EXPECT_EQ(common::AskYesNo(d.console), common::YesNo::InputEnded);
    EXPECT_EQ(d.out.str(), "(Y/N):(Y/N):");
}

TEST(ReadAnswer, StripsLineEndsAndTakesALastLineWithoutOne) {
    Dialogue d("first\r\nsecond\nthird");
    std::string answer;
    ASSERT_TRUE(common::ReadAnswer(d.console, answer));
    EXPECT_EQ(answer, "first");
    ASSERT_TRUE(common::ReadAnswer(d.console, answer));
    EXPECT_EQ(answer, "second");
    ASSERT_TRUE(common::ReadAnswer(d.console, answer));
    EXPECT_EQ(answer, "third");
    EXPECT_FALSE(common::ReadAnswer(d.console, answer));
}

TEST(ReadAnswer, KeepsBlanksAndCaseOfTheAnswer) {
    Dialogue d(" My File.txt \n");
    std::string answer;
    ASSERT_TRUE(common::ReadAnswer(d.console, answer));
    EXPECT_EQ(answer, " My File.txt ");
}

TEST(UpperCase, ChangesOnlyLettersAToZ) {
    EXPECT_EQ(common::UpperCase("abz AZ 09_\xe4{"), "ABZ AZ 09_\xe4{");
}

}  // namespace
