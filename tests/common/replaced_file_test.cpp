#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "common/replaced_file.hpp"
#include "common/temporary_files.hpp"
#include "tests/support/scratch_folder.hpp"

namespace {

namespace fs = std::filesystem;
using common::ReplacedFile;
using common::Replacing;

std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void Write(const fs::path& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

std::set<std::string> Names(const fs::path& dir) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) names.insert(entry.path().filename().string());
    return names;
}

std::vector<std::string> Noted() {
    static std::vector<std::string>* seen = nullptr;
    std::vector<std::string> names;
    seen = &names;
    common::VisitTemporaries([](const char* name) { seen->push_back(name); });
    return names;
}

TEST(ReplacedFile, OldBytesStayUntilTheNewOnesAreCompleteAndInPlace) {
    test_support::ScratchFolder scratch("replaced-commit");
    const fs::path out = scratch / "out.s";
    Write(out, "old\r\n");
    ReplacedFile file;
    int err = 0;
    ASSERT_TRUE(file.Create(out.string(), Replacing::OnCommit, err));
    file.Sink().Write("new");
    file.Sink().LineEnd();
    ASSERT_TRUE(file.Sink().Flush());
    // Beside the final name, by the documented pattern, and known to the
    // signal handler.
    EXPECT_EQ(Read(out), "old\r\n");
    const fs::path temporary(file.temporary);
    EXPECT_EQ(temporary.parent_path(), scratch.Path());
    const std::string name = temporary.filename().string();
    EXPECT_EQ(name.substr(0, 11), ".out.s.tmp-");
    EXPECT_EQ(name.size(), 17u);
    EXPECT_EQ(Noted(), std::vector<std::string>{file.temporary});
    EXPECT_EQ(Names(scratch.Path()), (std::set<std::string>{"out.s", name}));

    ASSERT_TRUE(file.Commit(err));
    EXPECT_EQ(Read(out), "new\r\n");
    EXPECT_EQ(Names(scratch.Path()), std::set<std::string>{"out.s"});
    EXPECT_TRUE(Noted().empty());
}

TEST(ReplacedFile, AFileNotCommittedLeavesTheOldOneUnderOnCommit) {
    test_support::ScratchFolder scratch("replaced-discard");
    const fs::path out = scratch / "out.o";
    Write(out, "old\r\n");
    int err = 0;
    {
        ReplacedFile file;
        ASSERT_TRUE(file.Create(out.string(), Replacing::OnCommit, err));
        file.Sink().Write("partial");
    }
    {
        ReplacedFile file;
        ASSERT_TRUE(file.Create((scratch / "new.o").string(), Replacing::OnCommit, err));
        file.Sink().Write("partial");
        file.Discard();
    }
    EXPECT_EQ(Read(out), "old\r\n");
    EXPECT_EQ(Names(scratch.Path()), std::set<std::string>{"out.o"});
    EXPECT_TRUE(Noted().empty());
}

// The dialogues' files end as a direct write leaves them, on every path.
TEST(ReplacedFile, AsWrittenInPlaceKeepsWhatWasWrittenAndWritesThroughHardLinks) {
    test_support::ScratchFolder scratch("replaced-in-place");
    const fs::path out = scratch / "P.a";
    Write(out, "old\r\n");
    int err = 0;
    {
        ReplacedFile file;
        ASSERT_TRUE(file.Create(out.string(), Replacing::AsWrittenInPlace, err));
        EXPECT_FALSE(file.temporary.empty());
        file.Sink().Write("written so far");
    }
    EXPECT_EQ(Read(out), "written so far");
    EXPECT_EQ(Names(scratch.Path()), std::set<std::string>{"P.a"});

    // A file with another name as well: that name sees the new bytes, as
    // with a direct write; under OnCommit it keeps the old file.
    fs::create_hard_link(out, scratch / "other");
    {
        ReplacedFile file;
        ASSERT_TRUE(file.Create(out.string(), Replacing::AsWrittenInPlace, err));
        EXPECT_TRUE(file.temporary.empty());
        file.Sink().Write("through the link");
        ASSERT_TRUE(file.Commit(err));
    }
    EXPECT_EQ(Read(scratch / "other"), "through the link");
    {
        ReplacedFile file;
        ASSERT_TRUE(file.Create(out.string(), Replacing::OnCommit, err));
        file.Sink().Write("replaced");
        ASSERT_TRUE(file.Commit(err));
    }
    EXPECT_EQ(Read(out), "replaced");
    EXPECT_EQ(Read(scratch / "other"), "through the link");
}

TEST(ReplacedFile, ThroughASymbolicLinkTheFileItLeadsToIsReplaced) {
    test_support::ScratchFolder scratch("replaced-link");
    fs::create_directory(scratch / "t");
    Write(scratch / "t" / "real.o", "old\r\n");
    fs::create_symlink("t/real.o", scratch / "p.o");
    fs::create_symlink("t/later.o", scratch / "q.o");  // leads to no file yet
    fs::create_symlink("q.o", scratch / "r.o");        // a chain of links
    EXPECT_EQ(common::LinkedFile((scratch / "r.o").string()), (scratch / "t" / "later.o").string());
    int err = 0;
    for (const char* name : {"p.o", "r.o"}) {
        ReplacedFile file;
        ASSERT_TRUE(file.Create((scratch / name).string(), Replacing::OnCommit, err));
        EXPECT_EQ(fs::path(file.temporary).parent_path(), scratch / "t");
        file.Sink().Write("new");
        ASSERT_TRUE(file.Commit(err));
    }
    EXPECT_TRUE(fs::is_symlink(scratch / "p.o"));
    EXPECT_TRUE(fs::is_symlink(scratch / "q.o"));
    EXPECT_EQ(Read(scratch / "t" / "real.o"), "new");
    EXPECT_EQ(Read(scratch / "t" / "later.o"), "new");
    EXPECT_EQ(Names(scratch / "t"), (std::set<std::string>{"real.o", "later.o"}));
}

TEST(ReplacedFile, DevicesAreWrittenDirectly) {
    ReplacedFile file;
    int err = 0;
    ASSERT_TRUE(file.Create("/dev/null", Replacing::OnCommit, err));
    EXPECT_TRUE(file.temporary.empty());
    file.Sink().Write("gone");
    EXPECT_TRUE(file.Commit(err));
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
}

// Refused where creating the name directly is refused, with the same reason,
// and nothing is left.
TEST(ReplacedFile, CreateFailsAsADirectCreateWould) {
    test_support::ScratchFolder scratch("replaced-fail");
    fs::create_directory(scratch / "folder");
    ReplacedFile file;
    int err = 0;
    EXPECT_FALSE(file.Create((scratch / "missing" / "out").string(), Replacing::OnCommit, err));
    EXPECT_EQ(err, ENOENT);
    EXPECT_FALSE(file.Create((scratch / "folder").string(), Replacing::OnCommit, err));
    EXPECT_EQ(err, EISDIR);
    EXPECT_FALSE(file.Create((scratch / "out").string() + std::string("\0x", 2), Replacing::OnCommit, err));
    EXPECT_EQ(err, EINVAL);
    EXPECT_EQ(Names(scratch.Path()), std::set<std::string>{"folder"});
    EXPECT_TRUE(fs::is_empty(scratch / "folder"));
}

// A final name near the longest a folder takes still gets a temporary name
// that fits: the name's part of it is shortened.
TEST(ReplacedFile, AVeryLongNameStillGetsATemporaryFile) {
    test_support::ScratchFolder scratch("replaced-long");
    const std::string longName(250, 'L');
    ReplacedFile file;
    int err = 0;
    ASSERT_TRUE(file.Create((scratch / longName).string(), Replacing::OnCommit, err));
    EXPECT_FALSE(file.temporary.empty());
    EXPECT_LE(fs::path(file.temporary).filename().string().size(), 255u);
    file.Sink().Write("x");
    ASSERT_TRUE(file.Commit(err));
    EXPECT_EQ(Read(scratch / longName), "x");
    EXPECT_EQ(Names(scratch.Path()), std::set<std::string>{longName});
}

TEST(ReplacedFile, AReplacedFileKeepsItsPermissions) {
    test_support::ScratchFolder scratch("replaced-mode");
    const fs::path out = scratch / "out";
    Write(out, "old");
    fs::permissions(out, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ReplacedFile file;
    int err = 0;
    ASSERT_TRUE(file.Create(out.string(), Replacing::OnCommit, err));
    ASSERT_TRUE(file.Commit(err));
    EXPECT_EQ(fs::status(out).permissions(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(Read(out), "");
}

TEST(TemporaryFiles, NotedNamesAreVisitedUntilDropped) {
    const std::string a = "a", b = "b";
    ASSERT_TRUE(common::NoteTemporary(a.c_str()));
    ASSERT_TRUE(common::NoteTemporary(b.c_str()));
    EXPECT_EQ(Noted(), (std::vector<std::string>{"a", "b"}));
    common::DropTemporary(a.c_str());
    EXPECT_EQ(Noted(), std::vector<std::string>{"b"});
    common::DropTemporary(b.c_str());
    EXPECT_TRUE(Noted().empty());
    // The table is full after kTemporarySlots names.
    std::vector<std::string> many(common::kTemporarySlots + 1, "n");
    std::size_t taken = 0;
    for (const std::string& name : many) {
        if (common::NoteTemporary(name.c_str())) ++taken;
    }
    EXPECT_EQ(taken, common::kTemporarySlots);
    for (const std::string& name : many) common::DropTemporary(name.c_str());
    EXPECT_TRUE(Noted().empty());
}

}  // namespace
