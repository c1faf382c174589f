// objcopy turns the Intel HEX image that a real program writes on its
// command line into raw bytes, which must equal the bin image of the same
// run over the range used: a check of the checksums, the addresses and the
// type 04 records, of whole words and of each 8-bit lane. The fill is a
// byte repeated, so that objcopy's gap fill can match it.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "tests/image/consumers.hpp"
#include "tests/support/skip.hpp"

namespace {

using namespace image_test;

struct Machine {
    Assembler assembler;
    unsigned wordBits;
    std::uint32_t depth;
    const char* objectExtension;
    const char* objectOption;  // what makes the program write its object file
};

constexpr Machine kControlStore{Assembler::Ctrlforge, 40, 4096, ".o", "-O"};
constexpr Machine kMainMemory{Assembler::Wordforge, 16, 65536, ".b", ""};

void ExpectObjcopyGivesTheBinImage(const std::string& objcopy, const std::filesystem::path& folder,
                                   const std::string& image, std::uint32_t lowest, unsigned bytesPerWord) {
    SCOPED_TRACE(image);
    const std::filesystem::path converted = folder / (image + ".objcopy");
    const std::filesystem::path log = folder / "objcopy.log";
    ASSERT_EQ(Run(Quote(objcopy) + " -I ihex -O binary --gap-fill 0xA5 " + Quote(folder / (image + ".hex")) + " " +
                      Quote(converted),
                  log),
              0)
        << ReadFile(log);
    // objcopy's output begins at the lowest address used.
    const std::string bin = ReadFile(folder / (image + ".bin"));
    const std::size_t offset = std::size_t{lowest} * bytesPerWord;
    ASSERT_LT(offset, bin.size());
    const std::string fromObjcopy = ReadFile(converted);
    ASSERT_EQ(fromObjcopy.size(), bin.size() - offset);
    EXPECT_TRUE(fromObjcopy == bin.substr(offset)) << "the bytes differ";
}

void ExpectObjcopyAgrees(const Machine& machine, const std::string& name, const std::string& source,
                         const std::string& folderName) {
    const auto objcopy = FindTool("objcopy");
    if (!objcopy) ZORVELT_SKIP("objcopy not found on PATH: Intel HEX test skipped");
    const std::filesystem::path folder = FreshFolder(folderName);
    std::string fillDigits;
    for (unsigned byte = 0; byte < (machine.wordBits + 7) / 8; ++byte) fillDigits += "A5";
    const std::string options = std::string(machine.objectOption) + " --image=intelhex --image=bin --fill=" + fillDigits;

    ASSERT_EQ(RunCommandLine(machine.assembler, folder, name, source, options), 0) << ReadFile(folder / "log");
    std::uint32_t lowest = ~std::uint32_t{0};
    for (const auto& entry : ObjectFileWords(ReadFile(folder / (name + machine.objectExtension)), machine.wordBits, machine.depth)) {
        lowest = std::min(lowest, entry.first);
    }
    ExpectObjcopyGivesTheBinImage(*objcopy, folder, name, lowest, (machine.wordBits + 7) / 8);

    ASSERT_EQ(RunCommandLine(machine.assembler, folder, name, source, options + " --lanes=8"), 0)
        << ReadFile(folder / "log");
    for (unsigned lane = 0; lane < (machine.wordBits + 7) / 8; ++lane) {
        ExpectObjcopyGivesTheBinImage(*objcopy, folder, name + ".lane" + std::to_string(lane), lowest, 1);
    }
}

TEST(Objcopy, ReadsTheMicroprogramExample) {
    ExpectObjcopyAgrees(kControlStore, "fetch.mic", Example("fetch.mic"), "objcopy-fetch");
}

TEST(Objcopy, ReadsAMicroprogramWithPlacementGaps) {
    ExpectObjcopyAgrees(kControlStore, "gaps.mic", TestProgram("gaps.mic"), "objcopy-gaps");
}

TEST(Objcopy, ReadsTheAssemblyExample) {
    ExpectObjcopyAgrees(kMainMemory, "table.zasm", Example("table.zasm"), "objcopy-table");
}

TEST(Objcopy, ReadsWordsAbove7FFFWhereByteAddressesPassFFFF) {
    ExpectObjcopyAgrees(kMainMemory, "high.asm", TestProgram("high.asm"), "objcopy-high");
    if (::testing::Test::IsSkipped() || ::testing::Test::HasFatalFailure()) return;
    // The image must hold a type 04 record for this to check them.
    const std::string hex = ReadFile(std::filesystem::path(IMAGE_WORK_DIR) / "objcopy-high" / "high.asm.hex");
    EXPECT_NE(hex.find(":020000040001F9"), std::string::npos) << hex;
}

}  // namespace
