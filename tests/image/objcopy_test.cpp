// objcopy turns the Intel HEX image into raw bytes, which must equal the bin
// image over the range used: a check of the checksums, the addresses and the
// type 04 records. The fill is a byte repeated, so that objcopy's gap fill
// can match it.
#include <gtest/gtest.h>

#include <string>

#include "image/bin.hpp"
#include "image/intel_hex.hpp"
#include "image/lanes.hpp"
#include "tests/image/consumers.hpp"

namespace {

using namespace image_test;

constexpr std::uint64_t kFillByte = 0xA5;

void ExpectObjcopyGivesTheBinImage(const std::string& objcopy, const image::Store& store,
                                   const std::vector<image::PlacedWord>& words, const std::filesystem::path& folder,
                                   const std::string& name) {
    SCOPED_TRACE(name);
    image::Store filled = store;
    filled.fill = 0;
    for (unsigned byte = 0; byte < image::BytesPerWord(store.wordBits); ++byte) filled.fill |= kFillByte << (8 * byte);

    const std::filesystem::path hex = folder / (name + ".hex");
    const std::filesystem::path converted = folder / (name + ".objcopy.bin");
    const std::filesystem::path log = folder / (name + ".log");
    WriteFile(hex, image::WriteIntelHex(filled, words));
    ASSERT_EQ(Run(Quote(objcopy) + " -I ihex -O binary --gap-fill 0xA5 " + Quote(hex) + " " + Quote(converted), log), 0)
        << ReadFile(log);

    // objcopy's output begins at the lowest address used.
    std::uint32_t lowest = store.depth;
    for (const image::PlacedWord& w : words) lowest = std::min(lowest, w.address);
    const std::string bin = image::WriteBin(filled, words);
    const std::size_t offset = std::size_t{lowest} * image::BytesPerWord(store.wordBits);
    ASSERT_LT(offset, bin.size());
    const std::string fromObjcopy = ReadFile(converted);
    ASSERT_EQ(fromObjcopy.size(), bin.size() - offset);
    EXPECT_TRUE(fromObjcopy == bin.substr(offset)) << "the bytes differ";
}

void ExpectObjcopyAgrees(const Program& program, const std::string& folderName) {
    const auto objcopy = FindTool("objcopy");
    if (!objcopy) GTEST_SKIP() << "objcopy not found on PATH: Intel HEX test skipped";
    const std::filesystem::path folder = FreshFolder(folderName);
    ExpectObjcopyGivesTheBinImage(*objcopy, program.store, program.placed, folder, program.name);
    for (unsigned lane = 0; lane < image::LaneCount(program.store.wordBits); ++lane) {
        image::Lane split = image::SplitLane(program.store, program.placed, lane);
        ExpectObjcopyGivesTheBinImage(*objcopy, split.store, split.words, folder,
                                      program.name + ".lane" + std::to_string(lane));
    }
}

TEST(Objcopy, ReadsTheMicroprogramExample) {
    ExpectObjcopyAgrees(AssembleMicro("fetch.mic", Example("fetch.mic")), "objcopy-fetch");
}

TEST(Objcopy, ReadsAMicroprogramWithPlacementGaps) {
    ExpectObjcopyAgrees(AssembleMicro("gaps.mic", TestProgram("gaps.mic")), "objcopy-gaps");
}

TEST(Objcopy, ReadsTheAssemblyExample) {
    ExpectObjcopyAgrees(AssembleMachine("table.asm", Example("table.asm")), "objcopy-table");
}

TEST(Objcopy, ReadsWordsAbove7FFFWhereByteAddressesPassFFFF) {
    Program program = AssembleMachine("high.asm", TestProgram("high.asm"));
    // The image must need type 04 records for this to check them.
    ASSERT_NE(image::WriteIntelHex(program.store, program.placed).find(":020000040001F9"), std::string::npos);
    ExpectObjcopyAgrees(program, "objcopy-high");
}

}  // namespace
