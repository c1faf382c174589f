// The command line in hostile surroundings: files it may not read, outputs
// that cannot be written, outputs that are no regular files. Each ends with a
// clear message, exit status 2, and no partial file.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/unprivileged_run.hpp"
#include "tests/support/scratch_folder.hpp"
#include "tests/support/skip.hpp"

namespace {

namespace fs = std::filesystem;

struct Folder {
    explicit Folder(const std::string& name) : scratch("cli-hostile-" + name), dir(scratch.Path()) {
        // The unprivileged runs work in here too.
        fs::permissions(dir, fs::perms::all);
    }
    void Write(const std::string& name, const std::string& bytes) const {
        std::ofstream(dir / name, std::ios::binary) << bytes;
    }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    test_support::ScratchFolder scratch;
    fs::path dir;
};

const std::string kProgram = " NOP\r\n END\r\n";

TEST(CommandLineSurroundings, UnreadableSourceIsRefusedWithTheReason) {
    Folder f("unreadable");
    f.Write("P.ASM", kProgram);
    fs::permissions(f.dir / "P.ASM", fs::perms::none);
    const std::string source = (f.dir / "P.ASM").string();
    auto run = test_support::RunUnprivileged(WORDFORGE_PROGRAM, "", f.dir, {source});
    if (!run.started) ZORVELT_SKIP(run.skipReason);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.errors, "wordforge: cannot read '" + source + "': Permission denied\n");
    EXPECT_EQ(run.output, "");
    // Nothing but the source and the run's own capture files.
    EXPECT_EQ(f.Names(), (std::vector<std::string>{"P.ASM", "answers.txt", "console.txt", "errors.txt"}));
}

TEST(CommandLineSurroundings, OutputFolderThatMayNotBeWrittenLeavesNothing) {
    Folder f("readonly");
    fs::create_directories(f.dir / "out");
    fs::permissions(f.dir / "out", fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                       fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
    f.Write("P.MIC", ".TITLE T\r\n*\r\nR1 := R2\r\n.END\r\n");
    const std::string source = (f.dir / "P.MIC").string();
    auto run = test_support::RunUnprivileged(CTRLFORGE_PROGRAM, "", f.dir, {"--output-dir=" + (f.dir / "out").string(), source});
    if (!run.started) ZORVELT_SKIP(run.skipReason);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.errors, "ctrlforge: cannot create '" + (f.dir / "out" / "P.MIC.s").string() + "': Permission denied\n");
    EXPECT_TRUE(fs::is_empty(f.dir / "out"));
}

// A write that fails part-way (a full disk) removes every file of that
// source; a device named as an output is never removed.
TEST(CommandLineSurroundings, FailedWriteRemovesTheSourcesFilesButNoDevice) {
    if (!fs::exists("/dev/full")) ZORVELT_SKIP("no /dev/full on this machine");
    Folder f("full");
    f.Write("P.ASM", kProgram);
    const std::string command = "cd '" + f.dir.string() + "' && '" + WORDFORGE_PROGRAM +
                                "' --listing=/dev/full P.ASM 2>errors.txt";
    int raw = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(raw));
    EXPECT_EQ(WEXITSTATUS(raw), 2);
    std::ifstream errors(f.dir / "errors.txt");
    std::string text((std::istreambuf_iterator<char>(errors)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text, "wordforge: cannot write '/dev/full': No space left on device\n");
    EXPECT_TRUE(fs::exists("/dev/full"));
    EXPECT_EQ(f.Names(), (std::vector<std::string>{"P.ASM", "errors.txt"}));  // no P.ASM.b left
}

// A failed source keeps an output that is no regular file: the object file
// sent to /dev/null is not removed.
TEST(CommandLineSurroundings, FailedSourceLeavesADeviceOutputAlone) {
    Folder f("null");
    f.Write("P.ASM", " FOO\r\n END\r\n");
    const std::string command = "cd '" + f.dir.string() + "' && '" + WORDFORGE_PROGRAM +
                                "' -o /dev/null P.ASM 2>/dev/null";
    int raw = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(raw));
    EXPECT_EQ(WEXITSTATUS(raw), 1);
    EXPECT_TRUE(fs::exists("/dev/null"));
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
    EXPECT_EQ(f.Names(), (std::vector<std::string>{"P.ASM", "P.ASM.a"}));
}

}  // namespace
