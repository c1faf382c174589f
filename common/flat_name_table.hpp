#pragma once
// A table from label names to 32-bit values for both assemblers. A name is
// at most 8 significant characters, so it packs into one 64-bit key; the
// slots hold key and value side by side in one array (open addressing). An
// entry costs no allocation of its own, a lookup walks one probe sequence,
// and the array doubles whenever it would become more than two thirds full
// (the probe sequence below stays short up to there).
// Entries are never removed; a value may be changed in place.
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

namespace common {

// Key 0 (the empty name, which no label has) marks a free slot. The key is
// kept as bytes so that a slot takes 12 bytes rather than 16.
struct NameSlot {
    char key[8] = {};
    std::int32_t value = 0;
};

static_assert(sizeof(NameSlot) == 12);

inline std::uint64_t SlotKey(const NameSlot& slot) {
    std::uint64_t key;
    std::memcpy(&key, slot.key, 8);
    return key;
}

struct FlatNameTable {
    std::vector<NameSlot> slots;  // empty, or a power of two long
    std::size_t count = 0;        // taken slots
    std::size_t mask = 0;         // the slot count minus one, kept apart from the vector's size
    unsigned shift = 64;          // 64 minus the log2 of the slot count
};

// The key of a name of 1 to 8 characters, none of them NUL: the characters
// right-aligned, the last one in the low byte, zeros before the first. Only
// the keys of names of at least one character go into a table.
constexpr std::uint64_t NameKey(std::string_view name) {
    std::uint64_t key = 0;
    for (char c : name.substr(0, 8)) key = key << 8 | static_cast<unsigned char>(c);
    return key;
}

// The key of a name kept in 8 bytes and padded at its end with `pad`, a
// character no name holds.
inline std::uint64_t PaddedNameKey(const char* eight, char pad) {
    std::uint64_t all;  // the 8 bytes, the first in the high byte
    std::memcpy(&all, eight, 8);
    if constexpr (std::endian::native == std::endian::little) {
        all = (all & 0x00FF00FF00FF00FFull) << 8 | (all >> 8 & 0x00FF00FF00FF00FFull);
        all = (all & 0x0000FFFF0000FFFFull) << 16 | (all >> 16 & 0x0000FFFF0000FFFFull);
        all = all << 32 | all >> 32;
    }
    // Zero bytes where the padding stands; the trailing ones are shifted out.
    const std::uint64_t marks = all ^ (0x0101010101010101ull * static_cast<unsigned char>(pad));
    if (marks == 0) return 0;
    return all >> (std::countr_zero(marks) & ~7);
}

// The slot where the probe sequence for `key` starts: a multiplicative hash
// of all characters but the last two picks a place, and ten times the
// second-last character plus the last is added to it. Labels are often
// numbered (L1, L2, ...) and used near where they are defined, so names
// differing only in their last two digits (L100 to L199) take a hundred
// neighbouring slots and share cache lines and pages instead of each ten of
// them costing misses of their own; every other difference scatters. Only
// meaningful while the table has slots.
//
// From there the probe sequence steps 1, 2, 3, ... slots further (wrapping),
// which visits every slot of a power-of-two array. The first steps stay
// within a few cache lines, and a key whose home lies inside a run of
// neighbouring names leaves it sooner than stepping one slot at a time.
inline std::size_t HomeSlot(const FlatNameTable& table, std::uint64_t key) {
    const std::uint64_t rest = key >> 16;
    const std::uint64_t mixed = (rest ^ (rest >> 29)) * 0x9E3779B97F4A7C15ull;
    const std::uint64_t lastTwo = 10 * ((key >> 8) & 0xFF) + (key & 0xFF);
    return static_cast<std::size_t>((mixed >> table.shift) + lastTwo) & table.mask;
}

// The value stored under `key`, or nullptr. The pointer stays valid until
// the next insertion.
inline const std::int32_t* FindName(const FlatNameTable& table, std::uint64_t key) {
    if (table.slots.empty()) return nullptr;
    const std::size_t mask = table.mask;
    for (std::size_t i = HomeSlot(table, key), step = 1;; i = (i + step++) & mask) {
        const NameSlot& slot = table.slots[i];
        const std::uint64_t found = SlotKey(slot);
        if (found == 0) return nullptr;
        if (found == key) return &slot.value;
    }
}

inline std::int32_t* FindName(FlatNameTable& table, std::uint64_t key) {
    return const_cast<std::int32_t*>(FindName(static_cast<const FlatNameTable&>(table), key));
}

// Doubles the slot array (or creates it) and puts every entry back.
void GrowNameTable(FlatNameTable& table);

// Makes the slot array large enough for `count` entries in all, so that a
// caller who knows roughly how many names will come spares the table its
// growth steps (each one a fresh array to clear and every entry to move).
void ReserveNames(FlatNameTable& table, std::size_t count);

// Fills a free slot.
inline std::int32_t* TakeSlot(FlatNameTable& table, NameSlot& slot, std::uint64_t key, std::int32_t value) {
    std::memcpy(slot.key, &key, 8);
    slot.value = value;
    ++table.count;
    return &slot.value;
}

struct NameLookup {
    std::int32_t* value;  // valid until the next insertion
    bool added;           // the key was new and now holds the value given
};

// The value stored under `key` (not 0); a new key is added with `value`.
// The probe that misses ends on the free slot the key goes into, so adding
// costs no second search unless the table has to grow first.
inline NameLookup FindOrAddName(FlatNameTable& table, std::uint64_t key, std::int32_t value) {
    if (!table.slots.empty()) {
        const std::size_t mask = table.mask;
        for (std::size_t i = HomeSlot(table, key), step = 1;; i = (i + step++) & mask) {
            NameSlot& slot = table.slots[i];
            const std::uint64_t found = SlotKey(slot);
            if (found == 0) {
                if (3 * (table.count + 1) > 2 * (mask + 1)) break;  // grow first
                return {TakeSlot(table, slot, key, value), true};
            }
            if (found == key) return {&slot.value, false};
        }
    }
    GrowNameTable(table);
    const std::size_t mask = table.mask;
    std::size_t i = HomeSlot(table, key);
    for (std::size_t step = 1; SlotKey(table.slots[i]) != 0; ++step) i = (i + step) & mask;
    return {TakeSlot(table, table.slots[i], key, value), true};
}

// Empties the table; the slot array is kept for the next run.
void ClearNames(FlatNameTable& table);

}  // namespace common
