// Interrupted runs: a large source is assembled over the outputs of an
// earlier run, and SIGINT, SIGTERM, SIGHUP or SIGKILL arrives at several
// points of the run. Afterwards every output name holds either its previous
// bytes or the complete new ones, never a part; the catchable signals leave
// no temporary file and end the program as the signal does.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "tests/cli/program_folder.hpp"

namespace {

using cli_test::Contents;
using cli_test::ProgramFolder;
namespace fs = std::filesystem;

// About a quarter of a second of work for a debug build: large enough to be
// caught in the middle, small enough for a test of many runs.
constexpr int kLines = 200000;

std::string LargeProgram() {
    std::string text;
    char line[64];
    for (int i = 0; i < kLines; ++i) {
        // Back to 0 now and then, so that the addresses never run out.
        if (i % 50000 == 0) text += "  ORG 0\r\n";
        std::snprintf(line, sizeof line, i % 4 == 0 ? "L%d: ADD 1,2 ; note\r\n" : "  ADD 1,2\r\n", i);
        text += line;
    }
    return text + "  END\r\n";
}

std::string LargeMicroprogram() {
    std::string text = ".TITLE BIG\r\n*\r\nR1 := R2\r\n";
    for (int i = 0; i < kLines; ++i) text += "; a comment line, which the listing copies\r\n";
    return text + ".END\r\n";
}

struct Scenario {
    std::string name;
    std::string program;
    std::vector<std::string> args;  // the source last
    std::string source;             // its name
    std::string earlier;            // the source of the earlier run
    std::string (*large)();
    std::vector<std::string> outputs;
};

const Scenario kScenarios[] = {
    {"wordforge", WORDFORGE_PROGRAM, {"-w", "p.asm"}, "p.asm", "  NOP\r\n  END\r\n", LargeProgram,
     {"p.asm.a", "p.asm.b"}},
    {"ctrlforge", CTRLFORGE_PROGRAM, {"p.mic"}, "p.mic", ".TITLE PROG\r\n*\r\n.END\r\n", LargeMicroprogram,
     {"p.mic.s", "p.mic.o", "p.mic.m"}},
};

// The moments of a run at which the signal is sent.
enum class Point { AtOnce, FirstTemporaryFile, MegabyteWritten, HalfTheRun };

std::vector<fs::path> TemporaryFiles(const fs::path& dir) {
    std::vector<fs::path> found;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(dir, ec)) {
        if (cli_test::IsTemporaryName(entry.path().filename().string())) found.push_back(entry.path());
    }
    return found;
}

bool Reached(Point point, const fs::path& dir, std::chrono::steady_clock::time_point started,
             std::chrono::steady_clock::duration whole) {
    switch (point) {
        case Point::AtOnce: return true;
        case Point::FirstTemporaryFile: return !TemporaryFiles(dir).empty();
        case Point::MegabyteWritten:
            for (const fs::path& file : TemporaryFiles(dir)) {
                std::error_code ec;
                if (fs::file_size(file, ec) >= (1u << 20) && !ec) return true;
            }
            return false;
        case Point::HalfTheRun: return std::chrono::steady_clock::now() - started >= whole / 2;
    }
    return true;
}

// Waits until `reached` holds, then sends the signals; returns the raw wait
// status of the program, which may have ended before.
template <typename Condition>
int SignalWhen(pid_t pid, Condition reached, const std::vector<int>& signals) {
    int raw = 0;
    while (!reached()) {
        if (waitpid(pid, &raw, WNOHANG) == pid) return raw;
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    for (int signal_number : signals) kill(pid, signal_number);
    return test_support::WaitChild(pid);
}

struct Interruption : ::testing::TestWithParam<std::tuple<int, int>> {};

TEST_P(Interruption, LeavesEachOutputOldOrCompleteAndNoTemporaryFile) {
    const Scenario& s = kScenarios[std::get<0>(GetParam())];
    const int signal_number = std::get<1>(GetParam());
    const std::string large = s.large();

    // The new outputs, from a run left alone, and how long it takes.
    ProgramFolder reference("interrupt-reference");
    reference.Write(s.source, large);
    const auto started = std::chrono::steady_clock::now();
    ASSERT_EQ(reference.Start(s.program, s.args).status, 0);
    const auto whole = std::chrono::steady_clock::now() - started;
    Contents fresh = reference.Snapshot();

    int interrupted = 0;
    for (Point point : {Point::AtOnce, Point::FirstTemporaryFile, Point::MegabyteWritten, Point::HalfTheRun}) {
        SCOPED_TRACE("point " + std::to_string(static_cast<int>(point)));
        ProgramFolder f("interrupt");
        f.Write(s.source, s.earlier);
        ASSERT_EQ(f.Start(s.program, s.args).status, 0);
        const Contents earlier = f.Snapshot();
        f.Write(s.source, large);

        test_support::ChildOptions options;
        options.folder = f.dir;
        const pid_t pid = test_support::StartChild(s.program, s.args, options);
        ASSERT_GT(pid, 0);
        const auto begun = std::chrono::steady_clock::now();
        const int raw = SignalWhen(pid, [&] { return Reached(point, f.dir, begun, whole); }, {signal_number});

        if (WIFSIGNALED(raw)) {
            ++interrupted;
            EXPECT_EQ(WTERMSIG(raw), signal_number);
            EXPECT_EQ(test_support::ShellStatus(raw), 128 + signal_number);
        } else {
            // The run was over before the signal came: it is complete.
            EXPECT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 0) << raw;
        }
        const std::vector<fs::path> left = TemporaryFiles(f.dir);
        if (signal_number != SIGKILL) {
            EXPECT_TRUE(left.empty()) << left.size() << " temporary files left, " << left.front();
        }
        for (const fs::path& file : left) fs::remove(file);  // what SIGKILL may leave, by its name
        Contents after = f.Snapshot();
        EXPECT_EQ(after.size(), earlier.size()) << "no file other than the source and its outputs";
        for (const std::string& output : s.outputs) {
            const std::string& bytes = after[output];
            EXPECT_TRUE(bytes == earlier.at(output) || bytes == fresh.at(output))
                << output << " holds " << bytes.size() << " bytes, neither the old " << earlier.at(output).size()
                << " nor the new " << fresh.at(output).size();
        }
    }
    // Most points fall in the middle of the run; if none did, the source is
    // too small for this machine and the test proves nothing.
    EXPECT_GE(interrupted, 2);
}

// A signal ignored when the program starts (nohup, a background job of a
// shell) stays ignored: the run goes on to its end.
TEST(InterruptionIgnored, ASignalIgnoredAtTheStartStaysIgnored) {
    const Scenario& s = kScenarios[0];
    ProgramFolder f("interrupt-ignored");
    f.Write(s.source, s.large());
    test_support::ChildOptions options;
    options.folder = f.dir;
    options.ignored = {SIGINT, SIGHUP};
    const pid_t pid = test_support::StartChild(s.program, s.args, options);
    ASSERT_GT(pid, 0);
    const int raw = SignalWhen(pid, [&] { return !TemporaryFiles(f.dir).empty(); }, {SIGINT, SIGHUP});
    EXPECT_EQ(test_support::ShellStatus(raw), 0);
    EXPECT_TRUE(TemporaryFiles(f.dir).empty());
    for (const std::string& output : s.outputs) EXPECT_TRUE(fs::exists(f.dir / output)) << output;
}

std::string Name(const ::testing::TestParamInfo<Interruption::ParamType>& info) {
    const char* signal = "KILL";
    switch (std::get<1>(info.param)) {
        case SIGINT: signal = "INT"; break;
        case SIGTERM: signal = "TERM"; break;
        case SIGHUP: signal = "HUP"; break;
        default: break;
    }
    return kScenarios[std::get<0>(info.param)].name + "_SIG" + signal;
}

INSTANTIATE_TEST_SUITE_P(BothPrograms, Interruption,
                         ::testing::Combine(::testing::Values(0, 1),
                                            ::testing::Values(SIGINT, SIGTERM, SIGHUP, SIGKILL)),
                         Name);

}  // namespace
