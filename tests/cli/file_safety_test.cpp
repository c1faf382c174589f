// The command line never loses a file: empty option values, links to the
// source, outputs that cannot be created or written, failed sources behind
// links and a standard output that fails. Each case builds its situation in a
// scratch folder and checks the exit status, the message and every file left
// there afterwards, byte for byte.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/cli/program_folder.hpp"

namespace {

using cli_test::Contents;
using cli_test::ProgramFolder;
namespace fs = std::filesystem;

// A microprogram and its three files (the dialogue's, worked out from the
// formats), and a second, different one.
const std::string kMicro = ".TITLE PROG\r\n*\r\n.END\r\n";
const std::string kMicroListing = ".TITLE PROG\r\n*\r\n.END\r\n\r\nTHERE WAS NO ERROR IN ASSEMBLE.\r\n";
const std::string kMicroObject = "CM   PROG    \r\n000  FFFFFFFE00\r\n";
const std::string kMicroMap = ".TITLE     PROG    \r\nLABEL   ADRS  LB  RB  AL  SH  SB  MM  SQ  TS  EX  LT\r\n"
                              "         000 NLB NRB NAL NSH NSB NMM NSQ NTS NEX 000         \r\n";
const std::string kOtherMicro = ".TITLE OTHER\r\n*\r\n.END\r\n";
// The guide's example of errors 6 and 20.
const std::string kFailingMicro = ".TITLE DEMO\r\n*\r\n    CALL\r\n    R1 := R2\r\n*\r\n    GOTO AWAY\r\n.END\r\n";
const std::string kFailingMicroErrors = "p.mic:3:9: error: 'CALL' needs the label to branch to [E6]\n"
                                        "p.mic:6:10: error: label 'AWAY' is used but no heading defines it [E20]\n";

const std::string kProgram = "  NOP\r\n  END\r\n";
const std::string kProgramListing =
    "  0000 E 32 00         NOP   \r\n                       END   \r\n\r\nTHERE WERE NO ERRORS.\r\n\r\nLABEL(S)\r\n\r\n";
const std::string kProgramObject = "MM\r\n0000  EE00\r\n";
const std::string kFailingProgram = " FOO\r\n END\r\n";

// Bytes that no run writes, standing for the good outputs of an earlier run.
const std::string kOldListing = "old listing\r\n";
const std::string kOldObject = "old object\r\n";
const std::string kOldMap = "old map\r\n";

std::string Usage(const std::string& program, const std::string& what) {
    return program + ": " + what + "\nTry '" + program + " --help' for more information.\n";
}

// A call refused as a usage error, and the complaint it gets.
struct Refusal {
    std::string program;
    std::vector<std::string> args;
    std::string complaint;
};

// Each call gets its two-line complaint, exit status 2 and nothing on
// standard output, and leaves every file in the folder as it was.
void CheckRefusals(const ProgramFolder& f, const std::vector<Refusal>& refusals) {
    const Contents before = f.Snapshot();
    for (const Refusal& r : refusals) {
        const std::string name = fs::path(r.program).filename().string();
        SCOPED_TRACE(name + " " + ::testing::PrintToString(r.args));
        const auto run = f.Start(r.program, r.args);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.errors, Usage(name, r.complaint));
        EXPECT_EQ(run.output, "");
        EXPECT_EQ(f.Snapshot(), before);
    }
}

TEST(OutputSafety, AnEmptyOptionValueIsAUsageErrorAndNeverTakesTheNextArgument) {
    ProgramFolder f("empty-value");
    f.Write("p.mic", kMicro);
    f.Write("q.mic", kOtherMicro);
    f.Write("p.asm", kProgram);
    f.Write("q.asm", kProgram);
    CheckRefusals(f, {
        {CTRLFORGE_PROGRAM, {"--listing=", "p.mic", "q.mic"}, "--listing needs a FILE name"},
        {CTRLFORGE_PROGRAM, {"--object=", "p.mic", "q.mic"}, "--object needs a FILE name"},
        {CTRLFORGE_PROGRAM, {"--map=", "p.mic", "q.mic"}, "--map needs a FILE name"},
        {CTRLFORGE_PROGRAM, {"--listing", "", "p.mic"}, "--listing needs a FILE name"},
        {CTRLFORGE_PROGRAM, {"-o", "", "p.mic"}, "--object needs a FILE name"},
        {CTRLFORGE_PROGRAM, {"p.mic", "--map="}, "--map needs a FILE name"},
        {CTRLFORGE_PROGRAM, {"--output-dir=", "p.mic"}, "--output-dir needs a DIR name"},
        {CTRLFORGE_PROGRAM, {"--output-dir", "", "p.mic"}, "--output-dir needs a DIR name"},
        {CTRLFORGE_PROGRAM, {"--image=", "p.mic"}, "--image needs a value"},
        {WORDFORGE_PROGRAM, {"--listing=", "p.asm", "q.asm"}, "--listing needs a FILE name"},
        {WORDFORGE_PROGRAM, {"--object=", "p.asm", "q.asm"}, "--object needs a FILE name"},
        {WORDFORGE_PROGRAM, {"--listing", "", "p.asm"}, "--listing needs a FILE name"},
        {WORDFORGE_PROGRAM, {"-o", "", "p.asm"}, "--object needs a FILE name"},
        {WORDFORGE_PROGRAM, {"--output-dir=", "p.asm"}, "--output-dir needs a DIR name"},
    });
}

TEST(OutputSafety, AHardOrSymbolicLinkToTheSourceIsTheSource) {
    ProgramFolder f("link-to-source");
    f.Write("p.mic", kMicro);
    f.Write("p.asm", kProgram);
    fs::create_hard_link(f.dir / "p.mic", f.dir / "h.o");
    fs::create_symlink("p.mic", f.dir / "l.s");
    fs::create_hard_link(f.dir / "p.asm", f.dir / "h.a");
    // A link to a source that does not exist yet is that source as well.
    fs::create_symlink("later.mic", f.dir / "d.o");
    CheckRefusals(f, {
        {CTRLFORGE_PROGRAM, {"-o", "h.o", "p.mic"}, "output 'h.o' would overwrite the source 'p.mic'"},
        {CTRLFORGE_PROGRAM, {"--listing=l.s", "p.mic"}, "output 'l.s' would overwrite the source 'p.mic'"},
        {CTRLFORGE_PROGRAM, {"-o", "d.o", "later.mic"}, "output 'd.o' would overwrite the source 'later.mic'"},
        {WORDFORGE_PROGRAM, {"--listing", "h.a", "p.asm"}, "output 'h.a' would overwrite the source 'p.asm'"},
    });
}

TEST(OutputSafety, TwoOutputsLinkedToEachOtherAreOneFile) {
    ProgramFolder f("linked-outputs");
    f.Write("p.mic", kMicro);
    f.Write("a.s", kOldListing);
    fs::create_hard_link(f.dir / "a.s", f.dir / "b.m");
    fs::create_symlink("a.s", f.dir / "c.o");
    CheckRefusals(f, {
        {CTRLFORGE_PROGRAM, {"--listing=a.s", "--map=b.m", "p.mic"}, "two outputs would be written to 'b.m'"},
        {CTRLFORGE_PROGRAM, {"--listing=a.s", "-o", "c.o", "p.mic"}, "two outputs would be written to 'c.o'"},
        {WORDFORGE_PROGRAM, {"--listing=a.s", "-o", "b.m", "p.mic"}, "two outputs would be written to 'b.m'"},
    });
}

// The earlier outputs of a source stay whole when a later one cannot be
// created or written; nothing of the failed run is left.
TEST(OutputSafety, AFileThatCannotBeCreatedOrWrittenKeepsThePreviousOutputs) {
    ProgramFolder f("later-output");
    f.Write("p.mic", kMicro);
    f.Write("p.mic.s", kOldListing);
    f.Write("p.mic.o", kOldObject);
    fs::create_directory(f.dir / "DIR");
    const Contents before = f.Snapshot();
    auto run = f.Start(CTRLFORGE_PROGRAM, {"-S", "-O", "--map=DIR", "p.mic"});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.errors, "ctrlforge: cannot create 'DIR': Is a directory\n");
    EXPECT_EQ(f.Snapshot(), before);
    run = f.Start(CTRLFORGE_PROGRAM, {"-S", "-O", "--map=missing/p.m", "p.mic"});
    EXPECT_EQ(run.errors, "ctrlforge: cannot create 'missing/p.m': No such file or directory\n");
    EXPECT_EQ(f.Snapshot(), before);
    if (fs::exists("/dev/full")) {
        run = f.Start(CTRLFORGE_PROGRAM, {"-S", "-O", "--map=/dev/full", "p.mic"});
        EXPECT_EQ(run.errors, "ctrlforge: cannot write '/dev/full': No space left on device\n");
        EXPECT_EQ(f.Snapshot(), before);
    }
}

// A file-size limit makes writes fail part-way, as a full disk does.
TEST(OutputSafety, AFullDiskKeepsThePreviousOutputs) {
    std::string large;
    for (int i = 0; i < 3000; ++i) large += "  NOP\r\n";
    large += "  END\r\n";
    test_support::ChildOptions limited;
    limited.fileSizeLimit = 4096;

    ProgramFolder f("full-disk");
    f.Write("p.asm", large);
    f.Write("p.asm.a", kOldListing);
    f.Write("p.asm.b", kOldObject);
    const Contents before = f.Snapshot();
    auto run = f.Start(WORDFORGE_PROGRAM, {"p.asm"}, limited);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.errors, "wordforge: cannot write 'p.asm.a': File too large\n");
    EXPECT_EQ(f.Snapshot(), before);

    // Without earlier outputs, none appear.
    ProgramFolder fresh("full-disk-fresh");
    fresh.Write("p.asm", large);
    run = fresh.Start(WORDFORGE_PROGRAM, {"p.asm"}, limited);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(fresh.Snapshot(), (Contents{{"p.asm", large}}));
}

// Through a symbolic link, the file it leads to is replaced and the link
// stays; a failed source leaves no object file or map there either.
TEST(OutputSafety, OutputsBehindSymbolicLinks) {
    ProgramFolder f("symlinked");
    fs::create_directory(f.dir / "t");
    f.Write("t/real.o", kOldObject);
    f.Write("t/real.m", kOldMap);
    fs::create_symlink("t/real.o", f.dir / "p.mic.o");
    fs::create_symlink("t/real.m", f.dir / "p.mic.m");
    f.Write("p.mic", kMicro);
    auto run = f.Start(CTRLFORGE_PROGRAM, {"p.mic"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.errors, "");
    EXPECT_EQ(f.Snapshot(), (Contents{{"p.mic", kMicro},
                                      {"p.mic.s", kMicroListing},
                                      {"p.mic.o", "-> t/real.o"},
                                      {"p.mic.m", "-> t/real.m"},
                                      {"t/", ""},
                                      {"t/real.o", kMicroObject},
                                      {"t/real.m", kMicroMap}}));

    f.Write("p.mic", kFailingMicro);
    run = f.Start(CTRLFORGE_PROGRAM, {"p.mic"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.errors, kFailingMicroErrors);
    Contents after = f.Snapshot();
    EXPECT_NE(after["p.mic.s"].find(":LABEL IS EXPECTED IN THIS CLAUSE."), std::string::npos);
    after.erase("p.mic.s");
    EXPECT_EQ(after, (Contents{{"p.mic", kFailingMicro}, {"p.mic.o", "-> t/real.o"}, {"p.mic.m", "-> t/real.m"}, {"t/", ""}}));

    ProgramFolder w("symlinked-word");
    fs::create_directory(w.dir / "t");
    w.Write("t/real.b", kOldObject);
    fs::create_symlink("t/real.b", w.dir / "p.asm.b");
    w.Write("p.asm", kFailingProgram);
    run = w.Start(WORDFORGE_PROGRAM, {"p.asm"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.errors, "p.asm:1:2: error: unknown mnemonic FOO [F]\n");
    after = w.Snapshot();
    EXPECT_EQ(after.count("p.asm.a"), 1u);
    after.erase("p.asm.a");
    EXPECT_EQ(after, (Contents{{"p.asm", kFailingProgram}, {"p.asm.b", "-> t/real.b"}, {"t/", ""}}));
}

// A failed write of standard output is a failure like any other: status 2,
// the reason on standard error, and the files of the run not put in place.
TEST(OutputSafety, AStandardOutputThatCannotBeWrittenIsReported) {
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full on this machine";
    const std::vector<std::pair<std::string, std::vector<std::string>>> calls{
        {CTRLFORGE_PROGRAM, {"--help"}},
        {CTRLFORGE_PROGRAM, {"--version"}},
        {CTRLFORGE_PROGRAM, {"--word-layout=c"}},
        {CTRLFORGE_PROGRAM, {"--word-layout=verilog"}},
        {CTRLFORGE_PROGRAM, {"--listing=-", "p.mic"}},
        {CTRLFORGE_PROGRAM, {"-S", "-O", "--map=-", "p.mic"}},
        {WORDFORGE_PROGRAM, {"--help"}},
        {WORDFORGE_PROGRAM, {"--version"}},
        {WORDFORGE_PROGRAM, {"--listing=-", "p.asm"}},
    };
    for (const auto& [program, args] : calls) {
        const std::string name = fs::path(program).filename().string();
        SCOPED_TRACE(name + " " + ::testing::PrintToString(args));
        ProgramFolder f("stdout-full");
        f.Write("p.mic", kMicro);
        f.Write("p.asm", kProgram);
        const Contents before = f.Snapshot();
        test_support::ChildOptions full;
        full.output = "/dev/full";
        const auto run = f.Start(program, args, full);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.errors, name + ": cannot write 'standard output': No space left on device\n");
        EXPECT_EQ(f.Snapshot(), before);
    }
}

// Devices and pipes are written directly, as before: no temporary file
// beside them, and a pipe's reader gets the bytes.
TEST(OutputSafety, SpecialFilesAreWrittenDirectly) {
    ProgramFolder f("special");
    f.Write("p.mic", kMicro);
    auto run = f.Start(CTRLFORGE_PROGRAM, {"-S", "-M", "-o", "/dev/null", "p.mic"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(f.Snapshot(), (Contents{{"p.mic", kMicro}, {"p.mic.s", kMicroListing}, {"p.mic.m", kMicroMap}}));

    ASSERT_EQ(mkfifo((f.dir / "pipe.o").c_str(), 0600), 0);
    std::string received;
    std::thread reader([&] { received = cli_test::ReadFile(f.dir / "pipe.o"); });
    run = f.Start(CTRLFORGE_PROGRAM, {"-O", "-o", "pipe.o", "p.mic"});
    reader.join();
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(received, kMicroObject);
    EXPECT_EQ(f.Snapshot(), (Contents{{"p.mic", kMicro},
                                      {"p.mic.s", kMicroListing},
                                      {"p.mic.m", kMicroMap},
                                      {"pipe.o", "(special)"}}));
}

mode_t Mode(const fs::path& path) {
    struct stat info {};
    stat(path.c_str(), &info);
    return info.st_mode & 0777;
}

// A new file gets the mode of any new file; a replaced one keeps its own.
TEST(OutputSafety, ModesOfNewAndReplacedFiles) {
    ProgramFolder f("modes");
    f.Write("p.asm", kProgram);
    test_support::ChildOptions masked;
    masked.umask = 027;
    auto run = f.Start(WORDFORGE_PROGRAM, {"p.asm"}, masked);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(Mode(f.dir / "p.asm.a"), 0640u);
    EXPECT_EQ(Mode(f.dir / "p.asm.b"), 0640u);
    f.Write("p.asm.b", kOldObject);
    fs::permissions(f.dir / "p.asm.b", fs::perms::owner_read | fs::perms::owner_write);
    run = f.Start(WORDFORGE_PROGRAM, {"p.asm"}, masked);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(Mode(f.dir / "p.asm.b"), 0600u);
    EXPECT_EQ(f.Snapshot(), (Contents{{"p.asm", kProgram}, {"p.asm.a", kProgramListing}, {"p.asm.b", kProgramObject}}));
}

}  // namespace
