// Images that real tools wrote, read back: Icarus Verilog loads our
// $readmemh and $readmemb images (whole and in lanes) and writes its
// memories out again with $writememh and $writememb; objcopy turns our bin
// images into Intel HEX. Each must read back to the words that went in.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "image/image.hpp"
#include "image/lanes.hpp"
#include "image/reader.hpp"
#include "tests/image/consumers.hpp"

namespace {

using namespace image_test;
using image::Format;
using image::PlacedWord;
using image::Store;

// A work folder removed when the test ends.
struct Scratch {
    std::filesystem::path path;
    explicit Scratch(const std::string& name) : path(FreshFolder(name)) {}
    ~Scratch() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
};

const Store kStores[] = {
    {40, 4096, 0xFFFFFFFE00, "CONTROL"},
    {16, 65536, 0x0000, "MEMORY"},
};

// Runs of words with gaps between them, one written over, and the top
// address.
std::vector<PlacedWord> Program(const Store& store) {
    std::vector<PlacedWord> words;
    const std::uint64_t mask = (std::uint64_t{1} << store.wordBits) - 1;
    for (std::uint32_t a = 0; a < 20; ++a) words.push_back({a, (0x0123456789ull * (a + 1)) & mask});
    for (std::uint32_t a = 0x100; a < 0x104; ++a) words.push_back({a, (0xF0E1D2C3B4ull + a) & mask});
    words.push_back({3, 0x55 & mask});
    words.push_back({store.depth / 2 + 7, 0xABCDEF0123ull & mask});
    words.push_back({store.depth - 1, mask});
    return words;
}

std::vector<std::pair<std::uint32_t, std::uint64_t>> UsedAscending(const Store& store,
                                                                   const std::vector<PlacedWord>& words) {
    std::vector<std::uint64_t> last(store.depth);
    std::vector<bool> used(store.depth, false);
    for (const PlacedWord& w : words) {
        last[w.address] = w.word;
        used[w.address] = true;
    }
    std::vector<std::pair<std::uint32_t, std::uint64_t>> pairs;
    for (std::uint32_t a = 0; a < store.depth; ++a) {
        if (used[a]) pairs.emplace_back(a, last[a]);
    }
    return pairs;
}

std::vector<std::pair<std::uint32_t, std::uint64_t>> AsPairs(const std::vector<PlacedWord>& words) {
    std::vector<std::pair<std::uint32_t, std::uint64_t>> pairs;
    for (const PlacedWord& w : words) pairs.emplace_back(w.address, w.word);
    return pairs;
}

image::ReadResult ReadFiles(const std::filesystem::path& folder, const std::vector<std::string>& names,
                            const Store& store) {
    std::vector<std::string> bytes;
    for (const std::string& name : names) bytes.push_back(ReadFile(folder / name));
    std::vector<image::ImageFile> files;
    for (std::size_t i = 0; i < names.size(); ++i) files.push_back({names[i], bytes[i]});
    return image::ReadImages(files, {store.wordBits, store.depth, "", image::HexAddressing::Bytes});
}

// A test bench that loads each input into a memory of `bits` and writes
// each memory out with $writememh and $writememb.
std::string Bench(const Store& store, unsigned bits, const std::vector<std::string>& inputs, bool binary,
                  const std::vector<std::string>& outputs) {
    std::string bench = "module copy;\n";
    for (std::size_t k = 0; k < inputs.size(); ++k) {
        bench += "  reg [" + std::to_string(bits - 1) + ":0] m" + std::to_string(k) + " [0:" +
                 std::to_string(store.depth - 1) + "];\n";
    }
    bench += "  initial begin\n";
    for (std::size_t k = 0; k < inputs.size(); ++k) {
        const std::string m = "m" + std::to_string(k);
        bench += "    $readmem" + std::string(binary ? "b" : "h") + "(\"" + inputs[k] + "\", " + m + ");\n";
        bench += "    $writememh(\"" + outputs[k] + ".mem\", " + m + ");\n";
        bench += "    $writememb(\"" + outputs[k] + ".memb\", " + m + ");\n";
    }
    bench += "    $finish;\n  end\nendmodule\n";
    return bench;
}

TEST(ReaderConsumers, WhatIcarusVerilogWritesBackReadsAsTheWordsItLoaded) {
    const auto iverilog = FindTool("iverilog");
    const auto vvp = FindTool("vvp");
    if (!iverilog || !vvp) GTEST_SKIP() << "iverilog or vvp not found on PATH: Icarus Verilog test skipped";
    const Scratch scratch("reader-verilog");
    const std::filesystem::path& folder = scratch.path;
    for (const Store& store : kStores) {
        const std::vector<PlacedWord> words = Program(store);
        const auto expected = UsedAscending(store, words);
        for (bool lanes : {false, true}) {
            for (bool binary : {false, true}) {
                SCOPED_TRACE(std::string(store.name) + (lanes ? " lanes" : "") + (binary ? " readmemb" : " readmemh"));
                const Format format = binary ? Format::Readmemb : Format::Readmemh;
                std::vector<std::string> inputs, outputs;
                const unsigned count = lanes ? image::LaneCount(store.wordBits) : 1;
                for (unsigned lane = 0; lane < count; ++lane) {
                    inputs.push_back(lanes ? image::ImageFileName("in", format, lane) : image::ImageFileName("in", format));
                    outputs.push_back(lanes ? "out.lane" + std::to_string(lane) : "out");
                    if (lanes) {
                        const image::Lane split = image::SplitLane(store, words, lane);
                        WriteFile(folder / inputs.back(), image::WriteImage(format, split.store, split.words));
                    } else {
                        WriteFile(folder / inputs.back(), image::WriteImage(format, store, words));
                    }
                }
                WriteFile(folder / "copy.v", Bench(store, lanes ? 8 : store.wordBits, inputs, binary, outputs));
                const std::filesystem::path log = folder / "log";
                ASSERT_EQ(image_test::Run("cd " + Quote(folder) + " && " + Quote(*iverilog) + " -o copy.vvp copy.v", log), 0)
                    << ReadFile(log);
                ASSERT_EQ(image_test::Run("cd " + Quote(folder) + " && " + Quote(*vvp) + " -n copy.vvp", log), 0) << ReadFile(log);
                for (const char* extension : {".mem", ".memb"}) {
                    SCOPED_TRACE(extension);
                    std::vector<std::string> names;
                    for (const std::string& output : outputs) names.push_back(output + extension);
                    // Icarus writes an address comment before every sixteen
                    // words and x digits for the words never loaded.
                    const std::string first = ReadFile(folder / names[0]);
                    ASSERT_EQ(first.substr(0, 14), "// 0x00000000\n");
                    const image::ReadResult read = ReadFiles(folder, names, store);
                    ASSERT_FALSE(read.error) << image::FormatReadError(*read.error);
                    EXPECT_EQ(AsPairs(read.words), expected);
                }
            }
        }
    }
}

TEST(ReaderConsumers, WhatObjcopyMakesOfABinImageReadsAsItsWords) {
    const auto objcopy = FindTool("objcopy");
    if (!objcopy) GTEST_SKIP() << "objcopy not found on PATH: Intel HEX test skipped";
    const Scratch scratch("reader-objcopy");
    const std::filesystem::path& folder = scratch.path;
    for (const Store& store : kStores) {
        const std::vector<PlacedWord> words = Program(store);
        for (bool lanes : {false, true}) {
            SCOPED_TRACE(std::string(store.name) + (lanes ? " lanes" : ""));
            std::vector<std::string> bins, hexes;
            const unsigned count = lanes ? image::LaneCount(store.wordBits) : 1;
            for (unsigned lane = 0; lane < count; ++lane) {
                const std::optional<unsigned> which = lanes ? std::optional<unsigned>(lane) : std::nullopt;
                bins.push_back(image::ImageFileName("p", Format::Bin, which));
                hexes.push_back(image::ImageFileName("p", Format::IntelHex, which));
                if (lanes) {
                    const image::Lane split = image::SplitLane(store, words, lane);
                    WriteFile(folder / bins.back(), image::WriteImage(Format::Bin, split.store, split.words));
                } else {
                    WriteFile(folder / bins.back(), image::WriteImage(Format::Bin, store, words));
                }
                const std::filesystem::path log = folder / "log";
                ASSERT_EQ(image_test::Run(Quote(*objcopy) + " -I binary -O ihex " + Quote(folder / bins.back()) + " " +
                                  Quote(folder / hexes.back()),
                              log),
                          0)
                    << ReadFile(log);
            }
            const image::ReadResult fromBin = ReadFiles(folder, bins, store);
            const image::ReadResult fromHex = ReadFiles(folder, hexes, store);
            ASSERT_FALSE(fromBin.error) << image::FormatReadError(*fromBin.error);
            ASSERT_FALSE(fromHex.error) << image::FormatReadError(*fromHex.error);
            // The bin image runs from 0 to the top address, gaps filled.
            ASSERT_EQ(fromBin.words.size(), store.depth);
            EXPECT_EQ(fromBin.words[store.depth / 2].word, store.fill);
            EXPECT_EQ(AsPairs(fromHex.words), AsPairs(fromBin.words));
        }
    }
}

}  // namespace
