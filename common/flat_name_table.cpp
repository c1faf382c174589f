#include "common/flat_name_table.hpp"

#include <algorithm>

namespace common {

namespace {

// Small programs stay within one kilobyte of slots.
constexpr std::size_t kFirstSlotCount = 64;

unsigned Log2(std::size_t powerOfTwo) {
    unsigned bits = 0;
    while ((std::size_t{1} << bits) < powerOfTwo) ++bits;
    return bits;
}

// Replaces the slot array by one of `size` slots (a power of two) and puts
// every entry back.
void ResizeSlots(FlatNameTable& table, std::size_t size) {
    std::vector<NameSlot> old(size);
    old.swap(table.slots);
    table.shift = 64 - Log2(size);
    table.mask = size - 1;
    const std::size_t mask = table.mask;
    for (const NameSlot& slot : old) {
        const std::uint64_t key = SlotKey(slot);
        if (key == 0) continue;
        std::size_t i = HomeSlot(table, key);
        for (std::size_t step = 1; SlotKey(table.slots[i]) != 0; ++step) i = (i + step) & mask;
        table.slots[i] = slot;
    }
}

}  // namespace

void GrowNameTable(FlatNameTable& table) {
    ResizeSlots(table, table.slots.empty() ? kFirstSlotCount : 2 * table.slots.size());
}

void ReserveNames(FlatNameTable& table, std::size_t count) {
    // The same fill limit as FindOrAddName: at most two thirds of the slots.
    std::size_t size = std::max(table.slots.size(), kFirstSlotCount);
    while (3 * count > 2 * size) size *= 2;
    if (size > table.slots.size()) ResizeSlots(table, size);
}

void ClearNames(FlatNameTable& table) {
    std::fill(table.slots.begin(), table.slots.end(), NameSlot{});
    table.count = 0;
}

}  // namespace common
