// Every writer's image of several stores, whole and in 8-bit lanes, read
// back: the sparse formats give exactly the used words, the dense ones the
// whole range they cover, fill words included. The same images are read
// again with the format told by their content alone.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "image/image.hpp"
#include "image/lanes.hpp"
#include "image/reader.hpp"
#include "tests/image/scattered_words.hpp"

namespace {

using image::Format;
using image::PlacedWord;
using image::Store;

struct Loaded {
    std::vector<std::uint64_t> words;  // every address: the last word placed, else the fill
    std::vector<bool> used;
    std::uint32_t end = 0;             // past the highest used address
};

Loaded LoadByHand(const Store& store, const std::vector<PlacedWord>& words) {
    const std::uint64_t mask = store.wordBits == 64 ? ~0ull : (1ull << store.wordBits) - 1;
    Loaded loaded{std::vector<std::uint64_t>(store.depth, store.fill & mask), std::vector<bool>(store.depth, false), 0};
    for (const PlacedWord& w : words) {
        loaded.words[w.address] = w.word & mask;
        loaded.used[w.address] = true;
        loaded.end = std::max(loaded.end, w.address + 1);
    }
    return loaded;
}

// What the image of the format holds, ascending: the used words (readmem,
// Intel HEX), every address of the store (Logisim, MIF), or every address
// up to the highest used (bin).
std::vector<std::pair<std::uint32_t, std::uint64_t>> Held(Format format, const Store& store, const Loaded& loaded) {
    std::vector<std::pair<std::uint32_t, std::uint64_t>> held;
    const std::uint32_t end = format == Format::Logisim || format == Format::Mif ? store.depth : loaded.end;
    const bool dense = format == Format::Logisim || format == Format::Mif || format == Format::Bin;
    for (std::uint32_t a = 0; a < end; ++a) {
        if (dense || loaded.used[a]) held.emplace_back(a, loaded.words[a]);
    }
    return held;
}

std::vector<std::pair<std::uint32_t, std::uint64_t>> AsPairs(const std::vector<PlacedWord>& words) {
    std::vector<std::pair<std::uint32_t, std::uint64_t>> pairs;
    for (const PlacedWord& w : words) pairs.emplace_back(w.address, w.word);
    return pairs;
}

const Store kStores[] = {
    {40, 4096, 0xFFFFFFFE00, "CONTROL"},
    {16, 65536, 0x0000, "MEMORY"},
    {16, 65536, 0xE5E5, "FILLED"},
};

struct Reading {
    Format format;
    image::HexAddressing addressing;
};

const Reading kReadings[] = {
    {Format::Readmemh, image::HexAddressing::Bytes}, {Format::Readmemb, image::HexAddressing::Bytes},
    {Format::IntelHex, image::HexAddressing::Bytes}, {Format::IntelHex, image::HexAddressing::Words},
    {Format::Logisim, image::HexAddressing::Bytes},  {Format::Mif, image::HexAddressing::Bytes},
    {Format::Bin, image::HexAddressing::Bytes},
};

image::ReadRequest RequestFor(const Store& store, image::HexAddressing addressing) {
    return {store.wordBits, store.depth, "", addressing};
}

TEST(ReaderRoundTrip, WholeImagesGiveTheWordsTheyHold) {
    for (const Store& store : kStores) {
        const std::vector<PlacedWord> words = image_test::Scattered(store, store.depth + store.fill, 300);
        const Loaded loaded = LoadByHand(store, words);
        for (const Reading& reading : kReadings) {
            const std::string name = image::ImageFileName("prog", reading.format);
            SCOPED_TRACE(std::string(store.name) + " " + name +
                         (reading.addressing == image::HexAddressing::Words ? " word addresses" : ""));
            const std::string bytes = image::WriteImage(reading.format, store, words, reading.addressing);
            const image::ReadResult read = image::ReadImage({name, bytes}, RequestFor(store, reading.addressing));
            ASSERT_FALSE(read.error) << image::FormatReadError(*read.error);
            EXPECT_EQ(read.format, image::FindReadFormat(image::InfoOf(reading.format).name));
            EXPECT_EQ(read.formatSource, image::FormatSource::Extension);
            EXPECT_EQ(AsPairs(read.words), Held(reading.format, store, loaded));
            if (reading.format == Format::Mif) {
                EXPECT_EQ(read.fileWordBits, store.wordBits);
            }
            // Bin bytes may look like anything; every other image tells its
            // format by its content.
            if (reading.format == Format::Bin) continue;
            const image::ReadResult sniffed = image::ReadImage({"prog", bytes}, RequestFor(store, reading.addressing));
            ASSERT_FALSE(sniffed.error) << image::FormatReadError(*sniffed.error);
            EXPECT_EQ(sniffed.format, read.format);
            EXPECT_EQ(sniffed.formatSource, image::FormatSource::Content);
            EXPECT_EQ(sniffed.words.size(), read.words.size());
        }
    }
}

TEST(ReaderRoundTrip, LaneFilesPutTogetherGiveTheWholeWords) {
    for (const Store& store : kStores) {
        const std::vector<PlacedWord> words = image_test::Scattered(store, store.depth * 7 + store.fill, 300);
        const Loaded loaded = LoadByHand(store, words);
        for (const Reading& reading : kReadings) {
            SCOPED_TRACE(std::string(store.name) + " " + std::string(image::InfoOf(reading.format).name));
            std::vector<std::string> names, contents;
            for (unsigned lane = 0; lane < image::LaneCount(store.wordBits); ++lane) {
                const image::Lane split = image::SplitLane(store, words, lane);
                names.push_back(image::ImageFileName("prog.mic", reading.format, lane));
                contents.push_back(image::WriteImage(reading.format, split.store, split.words, reading.addressing));
            }
            std::vector<image::ImageFile> files;
            // Handed over from the highest lane down.
            for (std::size_t k = names.size(); k-- > 0;) files.push_back({names[k], contents[k]});
            const image::ReadResult read = image::ReadImages(files, RequestFor(store, reading.addressing));
            ASSERT_FALSE(read.error) << image::FormatReadError(*read.error);
            EXPECT_TRUE(read.lanes);
            EXPECT_EQ(AsPairs(read.words), Held(reading.format, store, loaded));
            if (reading.format == Format::Mif) {
                EXPECT_EQ(read.fileWordBits, store.wordBits);
            }
        }
    }
}

TEST(ReaderRoundTrip, NoWordsGiveNoWords) {
    const Store store{16, 65536, 0x1234, "EMPTY"};
    for (Format format : {Format::Readmemh, Format::Readmemb, Format::IntelHex, Format::Bin}) {
        const std::string bytes = image::WriteImage(format, store, {});
        const image::ReadResult read = image::ReadImage({image::ImageFileName("e", format), bytes}, RequestFor(store, {}));
        ASSERT_FALSE(read.error) << image::FormatReadError(*read.error);
        EXPECT_TRUE(read.words.empty()) << image::InfoOf(format).name;
    }
}

}  // namespace
