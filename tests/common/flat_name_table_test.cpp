// The flat name table: growth by doubling with every entry kept, and probe
// sequences shared by keys chosen to start in the same slot.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "common/flat_name_table.hpp"

namespace {

using common::FindName;
using common::FindOrAddName;
using common::FlatNameTable;
using common::HomeSlot;

std::uint64_t Key(const std::string& name) { return common::NameKey(name); }

// Keys from `from` on (label names "Q0", "Q1", ...) whose probe sequence
// starts at `slot` in the table as it is sized now.
std::vector<std::uint64_t> KeysStartingAt(const FlatNameTable& table, std::size_t slot, std::size_t count,
                                          int& from) {
    std::vector<std::uint64_t> keys;
    while (keys.size() < count) {
        std::uint64_t key = Key("Q" + std::to_string(from++));
        if (HomeSlot(table, key) == slot) keys.push_back(key);
    }
    return keys;
}

// A table holding one entry, so that it has its first slot array.
FlatNameTable TableWithOneEntry(std::uint64_t key, std::int32_t value) {
    FlatNameTable table;
    EXPECT_TRUE(FindOrAddName(table, key, value).added);
    return table;
}

void ExpectFound(const FlatNameTable& table, std::uint64_t key, std::int32_t value) {
    const std::int32_t* found = FindName(table, key);
    ASSERT_NE(found, nullptr) << std::hex << key;
    EXPECT_EQ(*found, value) << std::hex << key;
}

TEST(NameKey, PaddingIsNotPartOfTheName) {
    EXPECT_EQ(common::PaddedNameKey("AB      ", ' '), Key("AB"));
    EXPECT_EQ(common::PaddedNameKey("ABCDEFGH", ' '), Key("ABCDEFGH"));
    EXPECT_EQ(common::PaddedNameKey("L7\0\0\0\0\0\0", '\0'), Key("L7"));
    // Distinct names, distinct keys, whatever their lengths.
    EXPECT_NE(Key("AB"), Key("AB0"));
    EXPECT_NE(Key("B"), Key("AB"));
    EXPECT_EQ(Key("ABCDEFGHIJ"), Key("ABCDEFGH"));  // 8 significant characters
}

TEST(FlatNameTable, NamesDifferingInTheLastCharacterStartSideBySide) {
    FlatNameTable table = TableWithOneEntry(Key("L12"), 0);
    const std::size_t mask = table.slots.size() - 1;
    const std::size_t home = HomeSlot(table, Key("L120"));
    EXPECT_EQ(HomeSlot(table, Key("L121")), (home + 1) & mask);
    EXPECT_EQ(HomeSlot(table, Key("L129")), (home + 9) & mask);
}

TEST(FlatNameTable, NamesDifferingInTheLastTwoDigitsTakeAHundredNeighbouringSlots) {
    FlatNameTable table;
    common::ReserveNames(table, 1000);  // 2048 slots: room for the hundred
    const std::size_t mask = table.slots.size() - 1;
    const std::size_t home = HomeSlot(table, Key("L1200"));
    EXPECT_EQ(HomeSlot(table, Key("L1201")), (home + 1) & mask);
    EXPECT_EQ(HomeSlot(table, Key("L1210")), (home + 10) & mask);
    EXPECT_EQ(HomeSlot(table, Key("L1257")), (home + 57) & mask);
    EXPECT_EQ(HomeSlot(table, Key("L1299")), (home + 99) & mask);
    // A hundred such names fill those slots exactly, each found at home.
    for (int i = 0; i < 100; ++i) FindOrAddName(table, Key("L12" + std::string(i < 10 ? "0" : "") + std::to_string(i)), i);
    for (int i = 0; i < 100; ++i) {
        std::uint64_t stored;
        std::memcpy(&stored, table.slots[(home + static_cast<std::size_t>(i)) & mask].key, 8);
        EXPECT_EQ(stored, Key("L12" + std::string(i < 10 ? "0" : "") + std::to_string(i))) << i;
    }
}

TEST(FlatNameTable, EmptyTableFindsNothing) {
    FlatNameTable table;
    EXPECT_EQ(FindName(table, Key("A")), nullptr);
    EXPECT_EQ(FindName(table, 0), nullptr);
}

TEST(FlatNameTable, GrowsByDoublingAndKeepsEveryEntry) {
    FlatNameTable table;
    constexpr int kCount = 100000;
    std::size_t size = 0;
    int growths = 0;
    for (int i = 0; i < kCount; ++i) {
        common::NameLookup put = FindOrAddName(table, Key("L" + std::to_string(i)), 3 * i);
        ASSERT_TRUE(put.added);
        ASSERT_EQ(*put.value, 3 * i);
        ASSERT_EQ(table.count, static_cast<std::size_t>(i) + 1);
        ASSERT_LE(3 * table.count, 2 * table.slots.size());  // at most two thirds full
        if (table.slots.size() != size) {
            if (size != 0) {
                ASSERT_EQ(table.slots.size(), 2 * size);
            }
            size = table.slots.size();
            ++growths;
            // Everything added before the growth is still there after it.
            for (int j = 0; j <= i; ++j) ExpectFound(table, Key("L" + std::to_string(j)), 3 * j);
        }
    }
    EXPECT_GE(growths, 10);  // 100,000 entries need far more than the first array
    for (int i = 0; i < kCount; i += 97) ExpectFound(table, Key("L" + std::to_string(i)), 3 * i);
    EXPECT_EQ(FindName(table, Key("L" + std::to_string(kCount))), nullptr);
    EXPECT_EQ(FindName(table, Key("M0")), nullptr);
}

TEST(FlatNameTable, KeysWithOneHomeSlotAreAllFoundAndTheFirstValueStays) {
    FlatNameTable table = TableWithOneEntry(Key("FIRST"), 100);
    const std::size_t home = HomeSlot(table, Key("FIRST"));
    int from = 0;
    std::vector<std::uint64_t> keys = KeysStartingAt(table, home, 12, from);
    for (std::size_t i = 0; i < keys.size(); ++i) {
        ASSERT_TRUE(FindOrAddName(table, keys[i], static_cast<std::int32_t>(i)).added);
    }
    ExpectFound(table, Key("FIRST"), 100);
    for (std::size_t i = 0; i < keys.size(); ++i) ExpectFound(table, keys[i], static_cast<std::int32_t>(i));

    // A second definition finds the first and leaves it alone.
    common::NameLookup again = FindOrAddName(table, keys[7], -5);
    EXPECT_FALSE(again.added);
    EXPECT_EQ(*again.value, 7);
    EXPECT_EQ(table.count, 13u);

    // A key of the same home slot that was never added walks the whole run of
    // taken slots and is not found.
    std::uint64_t absent = KeysStartingAt(table, home, 1, from)[0];
    EXPECT_EQ(FindName(table, absent), nullptr);
}

TEST(FlatNameTable, ProbeSequenceWrapsFromTheLastSlotToTheFirst) {
    FlatNameTable table = TableWithOneEntry(Key("SEED"), 0);
    const std::size_t last = table.slots.size() - 1;
    int from = 0;
    std::vector<std::uint64_t> atEnd = KeysStartingAt(table, last, 6, from);
    std::vector<std::uint64_t> atStart = KeysStartingAt(table, 0, 3, from);
    // The keys homed at slot 0 come after the wrapped run and must pass it.
    for (std::size_t i = 0; i < atEnd.size(); ++i) FindOrAddName(table, atEnd[i], static_cast<std::int32_t>(10 + i));
    for (std::size_t i = 0; i < atStart.size(); ++i) {
        FindOrAddName(table, atStart[i], static_cast<std::int32_t>(20 + i));
    }
    for (std::size_t i = 0; i < atEnd.size(); ++i) ExpectFound(table, atEnd[i], static_cast<std::int32_t>(10 + i));
    for (std::size_t i = 0; i < atStart.size(); ++i) {
        ExpectFound(table, atStart[i], static_cast<std::int32_t>(20 + i));
    }
    EXPECT_EQ(FindName(table, KeysStartingAt(table, last, 1, from)[0]), nullptr);
    EXPECT_EQ(FindName(table, KeysStartingAt(table, 0, 1, from)[0]), nullptr);
}

TEST(FlatNameTable, CollidingKeysSurviveGrowth) {
    FlatNameTable table = TableWithOneEntry(Key("SEED"), -1);
    const std::size_t firstSize = table.slots.size();
    int from = 0;
    std::vector<std::uint64_t> keys = KeysStartingAt(table, 5, 20, from);
    for (std::size_t i = 0; i < keys.size(); ++i) FindOrAddName(table, keys[i], static_cast<std::int32_t>(i));
    for (int i = 0; i < 5000; ++i) FindOrAddName(table, Key("G" + std::to_string(i)), 1000 + i);
    ASSERT_GT(table.slots.size(), firstSize);
    ExpectFound(table, Key("SEED"), -1);
    for (std::size_t i = 0; i < keys.size(); ++i) ExpectFound(table, keys[i], static_cast<std::int32_t>(i));
    for (int i = 0; i < 5000; ++i) ExpectFound(table, Key("G" + std::to_string(i)), 1000 + i);
}

TEST(FlatNameTable, ExtremeKeysAndValuesChangedInPlace) {
    FlatNameTable table;
    const std::uint64_t ones = ~std::uint64_t{0};
    EXPECT_TRUE(FindOrAddName(table, ones, 2).added);
    EXPECT_TRUE(FindOrAddName(table, 1, 3).added);
    ExpectFound(table, ones, 2);
    ExpectFound(table, 1, 3);
    // The empty name marks free slots and is never found, free slots around.
    EXPECT_EQ(FindName(table, 0), nullptr);
    *FindName(table, ones) = -7;
    ExpectFound(table, ones, -7);
    EXPECT_FALSE(FindOrAddName(table, ones, 9).added);
    ExpectFound(table, ones, -7);
}

TEST(FlatNameTable, ReservedRoomTakesTheNamesWithoutGrowingAndKeepsEarlierOnes) {
    FlatNameTable table;
    for (int i = 0; i < 10; ++i) FindOrAddName(table, Key("R" + std::to_string(i)), i);
    // 3000 names fill at most two thirds of the slots: 4096 are too few.
    common::ReserveNames(table, 3000);
    ASSERT_EQ(table.slots.size(), 8192u);
    for (int i = 0; i < 10; ++i) ExpectFound(table, Key("R" + std::to_string(i)), i);
    for (int i = 10; i < 3000; ++i) {
        ASSERT_TRUE(FindOrAddName(table, Key("R" + std::to_string(i)), -i).added);
        ASSERT_EQ(table.slots.size(), 8192u);
    }
    for (int i = 10; i < 3000; i += 7) ExpectFound(table, Key("R" + std::to_string(i)), -i);
    // Reserving less than there is room for changes nothing.
    common::ReserveNames(table, 10);
    EXPECT_EQ(table.slots.size(), 8192u);
    ExpectFound(table, Key("R2999"), -2999);
    // The next name past the reserved room grows the table as before.
    for (int i = 3000; i <= 5461; ++i) FindOrAddName(table, Key("R" + std::to_string(i)), i);
    EXPECT_EQ(table.slots.size(), 16384u);
}

TEST(FlatNameTable, ClearEmptiesButKeepsTheSlots) {
    FlatNameTable table;
    for (int i = 0; i < 1000; ++i) FindOrAddName(table, Key("C" + std::to_string(i)), i);
    const std::size_t size = table.slots.size();
    common::ClearNames(table);
    EXPECT_EQ(table.count, 0u);
    EXPECT_EQ(table.slots.size(), size);
    EXPECT_EQ(FindName(table, Key("C0")), nullptr);
    EXPECT_EQ(FindName(table, Key("C999")), nullptr);
    EXPECT_TRUE(FindOrAddName(table, Key("C5"), 55).added);
    ExpectFound(table, Key("C5"), 55);
}

}  // namespace
