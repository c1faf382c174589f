#pragma once
// A table from label names to 32-bit values for both assemblers. A name is
// at most 8 significant characters, so it packs into one 64-bit key; the
// slots hold key and value side by side in one array (open addressing with
// linear probing). An entry costs no allocation of its own, a lookup walks
// one probe sequence, and the array doubles whenever it would become more
// than half full. Entries are never removed; a value may be changed in place.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace common {

struct NameSlot {
    std::uint64_t key = 0;
    std::int32_t value = 0;
    std::uint32_t used = 0;  // 1 for a taken slot; fills the padding, so any key is allowed
};

struct FlatNameTable {
    std::vector<NameSlot> slots;  // empty, or a power of two long
    std::size_t count = 0;        // taken slots
    unsigned shift = 64;          // 64 minus the log2 of the slot count
};

// The key of 8 name bytes (blank or zero padded as the caller keeps them).
inline std::uint64_t NameKey(const char* eight) {
    std::uint64_t key;
    std::memcpy(&key, eight, 8);
    return key;
}

// The slot where the probe sequence for `key` starts: the high bits of a
// multiplicative hash, after folding the high half of the key into the low
// one so that names differing only in their last characters spread as well.
// Only meaningful while the table has slots.
inline std::size_t HomeSlot(const FlatNameTable& table, std::uint64_t key) {
    std::uint64_t mixed = (key ^ (key >> 32)) * 0x9E3779B97F4A7C15ull;
    return static_cast<std::size_t>(mixed >> table.shift);
}

// The value stored under `key`, or nullptr. The pointer stays valid until
// the next insertion.
inline const std::int32_t* FindName(const FlatNameTable& table, std::uint64_t key) {
    if (table.slots.empty()) return nullptr;
    const std::size_t mask = table.slots.size() - 1;
    for (std::size_t i = HomeSlot(table, key);; i = (i + 1) & mask) {
        const NameSlot& slot = table.slots[i];
        if (slot.used == 0) return nullptr;
        if (slot.key == key) return &slot.value;
    }
}

inline std::int32_t* FindName(FlatNameTable& table, std::uint64_t key) {
    return const_cast<std::int32_t*>(FindName(static_cast<const FlatNameTable&>(table), key));
}

// Doubles the slot array (or creates it) and puts every entry back.
void GrowNameTable(FlatNameTable& table);

struct NameLookup {
    std::int32_t* value;  // valid until the next insertion
    bool added;           // the key was new and now holds the value given
};

// The value stored under `key`; a new key is added with `value`. The probe
// that misses ends on the free slot the key goes into, so adding costs no
// second search unless the table has to grow first.
inline NameLookup FindOrAddName(FlatNameTable& table, std::uint64_t key, std::int32_t value) {
    if (!table.slots.empty()) {
        const std::size_t mask = table.slots.size() - 1;
        for (std::size_t i = HomeSlot(table, key);; i = (i + 1) & mask) {
            NameSlot& slot = table.slots[i];
            if (slot.used == 0) {
                if (2 * (table.count + 1) > table.slots.size()) break;  // grow first
                slot = NameSlot{key, value, 1};
                ++table.count;
                return {&slot.value, true};
            }
            if (slot.key == key) return {&slot.value, false};
        }
    }
    GrowNameTable(table);
    const std::size_t mask = table.slots.size() - 1;
    std::size_t i = HomeSlot(table, key);
    while (table.slots[i].used != 0) i = (i + 1) & mask;
    table.slots[i] = NameSlot{key, value, 1};
    ++table.count;
    return {&table.slots[i].value, true};
}

// Empties the table; the slot array is kept for the next run.
void ClearNames(FlatNameTable& table);

}  // namespace common
