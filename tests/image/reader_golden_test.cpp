// The images the real programs wrote for the golden cases, read back: each
// must hold the words of the object file beside it (the last word at each
// address), and in the dense formats the fill the case's description names.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "image/image.hpp"
#include "image/reader.hpp"
#include "tests/image/consumers.hpp"

namespace {

using image::Format;

struct Case {
    const char* folder;     // under tests/golden
    const char* source;     // the source's name
    const char* object;     // its object file
    unsigned wordBits;
    std::uint32_t depth;
    std::uint64_t fill;
    std::vector<std::uint32_t> addresses;  // of the object lines, as the description lists them
    bool lanes;
};

std::filesystem::path Expected(const Case& c) { return std::filesystem::path(GOLDEN_DIR) / c.folder / "expected"; }

image::ReadRequest RequestOf(const Case& c) { return {c.wordBits, c.depth, "", image::HexAddressing::Bytes}; }

std::map<std::uint32_t, std::uint64_t> ObjectWords(const Case& c) {
    const std::string bytes = image_test::ReadFile(Expected(c) / c.object);
    const image::ReadResult object = image::ReadImage({c.object, bytes}, RequestOf(c));
    EXPECT_FALSE(object.error) << image::FormatReadError(*object.error);
    std::vector<std::uint32_t> addresses;
    std::map<std::uint32_t, std::uint64_t> last;
    for (const image::PlacedWord& w : object.words) {
        addresses.push_back(w.address);
        last[w.address] = w.word;
    }
    EXPECT_EQ(addresses, c.addresses);
    EXPECT_EQ(object.fileWordBits, c.wordBits);
    return last;
}

void ExpectTheImagesHoldTheObjectWords(const Case& c) {
    const std::map<std::uint32_t, std::uint64_t> words = ObjectWords(c);
    ASSERT_FALSE(words.empty());
    const std::uint32_t end = words.rbegin()->first + 1;
    for (const image::FormatInfo& info : image::Formats()) {
        SCOPED_TRACE(std::string(c.folder) + " " + std::string(info.name));
        std::vector<std::string> names, bytes;
        const unsigned lanes = c.lanes ? (c.wordBits + 7) / 8 : 1;
        for (unsigned lane = 0; lane < lanes; ++lane) {
            names.push_back(c.lanes ? image::ImageFileName(c.source, info.format, lane)
                                    : image::ImageFileName(c.source, info.format));
            bytes.push_back(image_test::ReadFile(Expected(c) / names.back()));
        }
        std::vector<image::ImageFile> files;
        for (unsigned lane = 0; lane < lanes; ++lane) files.push_back({names[lane], bytes[lane]});
        const image::ReadResult read = image::ReadImages(files, RequestOf(c));
        ASSERT_FALSE(read.error) << image::FormatReadError(*read.error);
        const bool dense = info.format == Format::Logisim || info.format == Format::Mif || info.format == Format::Bin;
        const std::uint32_t covered = info.format == Format::Bin ? end : c.depth;
        std::map<std::uint32_t, std::uint64_t> held;
        for (const image::PlacedWord& w : read.words) held[w.address] = w.word;
        if (!dense) {
            EXPECT_EQ(held, words);
            continue;
        }
        ASSERT_EQ(held.size(), covered);
        for (std::uint32_t a = 0; a < covered; ++a) {
            const auto placed = words.find(a);
            ASSERT_EQ(held[a], placed == words.end() ? c.fill : placed->second) << "address " << a;
        }
    }
}

TEST(ReaderGolden, TheMicroprogramImagesHoldItsObjectWords) {
    ExpectTheImagesHoldTheObjectWords({"ctrlforge/cli-image-formats", "dispatch.mic", "dispatch.mic.o", 40, 4096,
                                       0xFFFFFFFE00, {0x000, 0x00D, 0x00E, 0x013, 0x020, 0x040, 0x843}, false});
}

TEST(ReaderGolden, TheMicroprogramLaneImagesHoldItsObjectWords) {
    ExpectTheImagesHoldTheObjectWords({"ctrlforge/cli-image-lanes", "dispatch.mic", "dispatch.mic.o", 40, 4096,
                                       0xFFFFFFFE00, {0x000, 0x00D, 0x00E, 0x013, 0x020, 0x040, 0x843}, true});
}

TEST(ReaderGolden, TheAssemblyImagesHoldTheLastWordAtEachAddress) {
    const std::vector<std::uint32_t> high{0x0000, 0x0001, 0x7FFE, 0x7FFF, 0x8000, 0x8001, 0x8010, 0x8011, 0x0001};
    const Case whole{"wordforge/cli-image-formats", "high.asm", "high.asm.b", 16, 65536, 0x0000, high, false};
    ExpectTheImagesHoldTheObjectWords(whole);
    // The word written over the HLT at 0001, as the description says.
    EXPECT_EQ(ObjectWords(whole).at(1), 0x2222u);
    ExpectTheImagesHoldTheObjectWords({"wordforge/cli-image-lanes", "high.asm", "high.asm.b", 16, 65536, 0xBEEF, high, true});
}

TEST(ReaderGolden, WordAddressedIntelHexOfTheOptionsCase) {
    // --hex-word-addresses: the word at 843 has record address 0843.
    const std::filesystem::path out = std::filesystem::path(GOLDEN_DIR) / "ctrlforge/cli-image-options/expected/out";
    const std::string hex = image_test::ReadFile(out / "dispatch.mic.hex");
    const image::ReadResult read =
        image::ReadImage({"dispatch.mic.hex", hex}, {40, 4096, "", image::HexAddressing::Words});
    ASSERT_FALSE(read.error) << image::FormatReadError(*read.error);
    ASSERT_EQ(read.words.size(), 7u);
    EXPECT_EQ(read.words.back().address, 0x843u);
    // Read at byte addresses the same records cut words: the record at
    // 000D (13, no multiple of five) gives word 2 only two of its bytes.
    const image::ReadResult cut = image::ReadImage({"dispatch.mic.hex", hex}, {40, 4096, "", image::HexAddressing::Bytes});
    ASSERT_TRUE(cut.error);
    EXPECT_EQ(cut.error->line, 2u);
    EXPECT_NE(cut.error->text.find("address 0x002 gets 2 of its 5 bytes"), std::string::npos) << cut.error->text;
}

}  // namespace
