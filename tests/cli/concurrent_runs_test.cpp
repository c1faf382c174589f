// Runs side by side: twenty runs at once, alternating two sources, all write
// the same output names. Each file left is one whole result, and the files
// left all come from one run.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/cli/program_folder.hpp"

namespace {

using cli_test::Contents;
using cli_test::ProgramFolder;

constexpr int kRuns = 20;
constexpr int kTrials = 3;

// Long enough for the runs to overlap.
std::string Padded(const std::string& head, const std::string& tail) {
    std::string text = head;
    for (int i = 0; i < 20000; ++i) text += "; a comment line, which the listing copies\r\n";
    return text + tail;
}

void CheckConcurrentRuns(const std::string& program, const std::string& a, const std::string& b,
                         const std::vector<std::string>& outputs, const std::vector<std::string>& naming) {
    // What each source gives alone.
    std::vector<Contents> results;
    for (const std::string* source : {&a, &b}) {
        ProgramFolder alone("concurrent-alone");
        alone.Write("src", *source);
        std::vector<std::string> args = naming;
        args.push_back("src");
        ASSERT_EQ(alone.Start(program, args).status, 0);
        Contents result;
        for (const std::string& output : outputs) result[output] = alone.Read(output);
        results.push_back(result);
    }
    ASSERT_NE(results[0], results[1]);
    for (const std::string& output : outputs) ASSERT_NE(results[0][output], results[1][output]) << output;

    for (int trial = 0; trial < kTrials; ++trial) {
        SCOPED_TRACE("trial " + std::to_string(trial));
        ProgramFolder f("concurrent");
        f.Write("a.src", a);
        f.Write("b.src", b);
        std::vector<pid_t> pids;
        for (int run = 0; run < kRuns; ++run) {
            std::vector<std::string> args = naming;
            args.push_back(run % 2 == 0 ? "a.src" : "b.src");
            test_support::ChildOptions options;
            options.folder = f.dir;
            pids.push_back(test_support::StartChild(program, args, options));
        }
        for (pid_t pid : pids) {
            ASSERT_GT(pid, 0);
            EXPECT_EQ(test_support::ShellStatus(test_support::WaitChild(pid)), 0);
        }
        Contents left = f.Snapshot();
        EXPECT_EQ(left.size(), 2 + outputs.size()) << "nothing but the sources and one set of outputs";
        Contents result;
        for (const std::string& output : outputs) result[output] = left[output];
        EXPECT_TRUE(result == results[0] || result == results[1])
            << "the outputs are not all one run's: " << ::testing::PrintToString(outputs);
    }
}

TEST(ConcurrentRuns, MicroprogramsIntoTheSameNames) {
    CheckConcurrentRuns(CTRLFORGE_PROGRAM, Padded(".TITLE FIRST\r\n*\r\nR1 := R2\r\n", ".END\r\n"),
                        Padded(".TITLE SECOND\r\n*\r\nR2 := R3\r\n", ".END\r\n"), {"out.s", "out.o", "out.m"},
                        {"--listing=out.s", "-o", "out.o", "--map=out.m"});
}

TEST(ConcurrentRuns, ProgramsIntoTheSameNames) {
    CheckConcurrentRuns(WORDFORGE_PROGRAM, Padded("  ADD 1,2\r\n", "  END\r\n"), Padded("  ADD 2,3\r\n", "  END\r\n"),
                        {"out.a", "out.b"}, {"--listing=out.a", "-o", "out.b"});
}

}  // namespace
