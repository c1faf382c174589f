// The words both assemblers hand over are those of their object files, in
// the same order, and asking for them changes no output byte.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ctrlforge/ctrlforge.hpp"
#include "tests/image/consumers.hpp"
#include "wordforge/wordforge.hpp"

namespace {

using namespace image_test;

// The object lines after the first, as "address  word" with the digits of
// the placed word.
std::string AsObjectLines(const std::vector<image::PlacedWord>& placed, int addressDigits, int wordDigits) {
    std::string text;
    for (const image::PlacedWord& w : placed) {
        char line[40];
        std::snprintf(line, sizeof line, "%0*X  %0*llX\r\n", addressDigits, w.address, wordDigits,
                      static_cast<unsigned long long>(w.word));
        text += line;
    }
    return text;
}

std::string WithoutFirstLine(const std::string& text) { return text.substr(text.find("\r\n") + 2); }

TEST(PlacedWords, CtrlforgeHandsOverThePackedWordsOfItsObjectFile) {
    for (const char* name : {"fetch.mic", "gaps.mic"}) {
        SCOPED_TRACE(name);
        const std::string source = std::string(name) == "fetch.mic" ? Example(name) : TestProgram(name);
        std::vector<image::PlacedWord> placed;
        ctrlforge::CtrlOutput with = ctrlforge::AssembleText(source, {}, {.placed = &placed});
        ctrlforge::CtrlOutput without = ctrlforge::AssembleText(source, {});
        ASSERT_FALSE(with.failed);
        // The IOP, IRA and IAB words carry their reshaped literals, as the
        // object file does.
        EXPECT_EQ(AsObjectLines(placed, 3, 10), WithoutFirstLine(with.object));
        EXPECT_EQ(with.listing, without.listing);
        EXPECT_EQ(with.object, without.object);
        EXPECT_EQ(with.map, without.map);
        EXPECT_EQ(with.console, without.console);
    }
}

TEST(PlacedWords, CtrlforgePacksForTheImageEvenWithoutAnObjectFile) {
    std::vector<image::PlacedWord> objectOnly, mapOnly;
    ctrlforge::AssembleText(Example("fetch.mic"), {.listing = false, .map = false}, {.placed = &objectOnly});
    ctrlforge::AssembleText(Example("fetch.mic"), {.listing = false, .object = false}, {.placed = &mapOnly});
    ASSERT_FALSE(objectOnly.empty());
    ASSERT_EQ(mapOnly.size(), objectOnly.size());
    for (std::size_t i = 0; i < objectOnly.size(); ++i) {
        EXPECT_EQ(mapOnly[i].address, objectOnly[i].address);
        EXPECT_EQ(mapOnly[i].word, objectOnly[i].word);
    }
}

TEST(PlacedWords, WordforgeHandsOverItsObjectLinesInOrderOverlapIncluded) {
    for (const char* name : {"table.zasm", "high.asm"}) {
        SCOPED_TRACE(name);
        const std::string source = std::string(name) == "table.zasm" ? Example(name) : TestProgram(name);
        std::vector<image::PlacedWord> placed;
        wordforge::WordResult with = wordforge::AssembleText(source, {.placed = &placed});
        wordforge::WordResult without = wordforge::AssembleText(source);
        ASSERT_EQ(with.errorCount, 0);
        EXPECT_EQ(AsObjectLines(placed, 4, 4), WithoutFirstLine(with.object));
        EXPECT_EQ(with.listing, without.listing);
        EXPECT_EQ(with.object, without.object);
    }
}

TEST(PlacedWords, UnusedControlStoreWordsHoldTheWordOfAnEmptyStatement) {
    // A statement that names no field packs to FF FFFF FE00.
    EXPECT_EQ(ctrlforge::EmptyControlWord(), 0xFFFFFFFE00u);
    std::vector<image::PlacedWord> placed;
    ctrlforge::AssembleText(".TITLE EMPTY\n*\n.END\n", {.listing = false, .map = false}, {.placed = &placed});
    ASSERT_EQ(placed.size(), 1u);
    EXPECT_EQ(placed[0].word, ctrlforge::EmptyControlWord());
}

TEST(PlacedWords, AFailedRunAddsNoWords) {
    const image::PlacedWord earlier{7, 0x1234};
    std::vector<image::PlacedWord> micro{earlier};
    // Error 9: a branch and a literal both want LT.
    ctrlforge::CtrlOutput failedMicro =
        ctrlforge::AssembleText(".TITLE BAD\n* 0\n    GOTO X\n    R0 := R0 + 1FF\n* X:\n    NSQ\n.END\n", {}, {.placed = &micro});
    ASSERT_TRUE(failedMicro.failed);
    ASSERT_EQ(micro.size(), 1u);
    EXPECT_EQ(micro[0].address, earlier.address);

    std::vector<image::PlacedWord> machine{earlier};
    // The first two statements produce object lines before the error line.
    wordforge::WordResult failedMachine = wordforge::AssembleText("        HLT\n        DC    5\n        FOO   1\n        END\n", {.placed = &machine});
    ASSERT_GT(failedMachine.errorCount, 0);
    ASSERT_EQ(machine.size(), 1u);
    EXPECT_EQ(machine[0].word, earlier.word);
}

}  // namespace
