#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "common/text_file.hpp"
#include "tests/support/scratch_folder.hpp"
#include "tests/support/skip.hpp"

namespace {

namespace fs = std::filesystem;

TEST(FailureText, IsThePlatformTextInUpperCase) {
    EXPECT_EQ(common::FailureText(ENOENT), "NO SUCH FILE OR DIRECTORY");
    EXPECT_EQ(common::FailureText(EINVAL), "INVALID ARGUMENT");
}

TEST(ReadWholeFile, ReadsEveryByte) {
    test_support::ScratchFolder scratch("common-read");
    const fs::path& dir = scratch.Path();
    std::string bytes("a\r\nb\0\x1a\xff", 7);
    std::ofstream(dir / "f", std::ios::binary) << bytes;
    std::string got;
    int err = 0;
    ASSERT_TRUE(common::ReadWholeFile((dir / "f").string(), got, err));
    EXPECT_EQ(got, bytes);
}

TEST(ReadWholeFile, ReportsMissingFilesDirectoriesAndNulNames) {
    test_support::ScratchFolder scratch("common-fail");
    const fs::path& dir = scratch.Path();
    std::string got;
    int err = 0;
    EXPECT_FALSE(common::ReadWholeFile((dir / "missing").string(), got, err));
    EXPECT_EQ(err, ENOENT);
    EXPECT_FALSE(common::ReadWholeFile(dir.string(), got, err));
    EXPECT_EQ(err, EISDIR);
    std::string nul_name = (dir / "f").string() + std::string("\0x", 2);
    EXPECT_FALSE(common::ReadWholeFile(nul_name, got, err));
    EXPECT_EQ(err, EINVAL);
}

TEST(OutputFile, WritesLargeOutputCompletely) {
    test_support::ScratchFolder scratch("common-write");
    const fs::path& dir = scratch.Path();
    std::string name = (dir / "out").string();
    std::string expected;
    {
        common::OutputFile file;
        int err = 0;
        ASSERT_TRUE(file.Create(name, err));
        for (int i = 0; i < 100000; ++i) {
            file.sink.Write("line");
            file.sink.LineEnd();
            expected += "line\r\n";
        }
        ASSERT_TRUE(file.Close());
    }
    std::string got;
    int err = 0;
    ASSERT_TRUE(common::ReadWholeFile(name, got, err));
    EXPECT_EQ(got, expected);
}

TEST(OutputFile, CreateFailsInAMissingFolder) {
    test_support::ScratchFolder scratch("common-create");
    const fs::path& dir = scratch.Path();
    common::OutputFile file;
    int err = 0;
    EXPECT_FALSE(file.Create((dir / "no" / "out").string(), err));
    EXPECT_EQ(err, ENOENT);
}

TEST(OutputFile, ReportsAWriteFailure) {
    common::OutputFile file;
    int err = 0;
    if (!file.Create("/dev/full", err)) ZORVELT_SKIP("no /dev/full");
    file.sink.Write("x");
    EXPECT_FALSE(file.Close());
    EXPECT_EQ(file.sink.errnum, ENOSPC);
}

TEST(OutputSink, KeepsBytesInMemoryWithoutAFile) {
    common::OutputSink sink;
    for (int i = 0; i < 100000; ++i) sink.Put('x');
    EXPECT_EQ(sink.buffer.size(), 100000u);
    EXPECT_TRUE(sink.Flush());
    EXPECT_EQ(sink.buffer.size(), 100000u);
}

}  // namespace
