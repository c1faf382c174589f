#include "wordforge/symbol_table.hpp"

#include "wordforge/operand_readers.hpp"

namespace wordforge {

namespace {

std::size_t SlotOf(std::uint64_t key, std::size_t mask) {
    std::uint64_t mixed = key * 0x9E3779B97F4A7C15ull;
    return static_cast<std::size_t>(mixed ^ (mixed >> 29)) & mask;
}

void Grow(SymbolTable& table) {
    std::size_t size = table.slots.empty() ? 256 : table.slots.size() * 2;
    table.slots.assign(size, 0);
    std::size_t mask = size - 1;
    for (std::size_t i = 0; i < table.entries.size(); ++i) {
        std::size_t slot = SlotOf(table.entries[i].name.key, mask);
        while (table.slots[slot] != 0) slot = (slot + 1) & mask;
        table.slots[slot] = static_cast<std::uint32_t>(i + 1);
    }
}

}  // namespace

int FindLabel(const SymbolTable& table, const Word& name) {
    if (table.slots.empty()) return kNotFound;
    std::size_t mask = table.slots.size() - 1;
    for (std::size_t slot = SlotOf(name.key, mask); table.slots[slot] != 0; slot = (slot + 1) & mask) {
        std::uint32_t index = table.slots[slot] - 1;
        if (table.entries[index].name.key == name.key) return static_cast<int>(index);
    }
    return kNotFound;
}

bool DefineLabel(SymbolTable& table, const Word& name, std::int32_t value) {
    if (FindLabel(table, name) != kNotFound) return false;
    if ((table.entries.size() + 1) * 2 > table.slots.size()) Grow(table);
    table.entries.push_back({name, value});
    std::size_t mask = table.slots.size() - 1;
    std::size_t slot = SlotOf(name.key, mask);
    while (table.slots[slot] != 0) slot = (slot + 1) & mask;
    table.slots[slot] = static_cast<std::uint32_t>(table.entries.size());
    return true;
}

void WriteLabelListing(const SymbolTable& table, common::OutputSink& listing) {
    listing.LineEnd();
    listing.Write("LABEL(S)");
    listing.LineEnd();
    std::size_t count = 0;
    for (const SymbolEntry& entry : table.entries) {
        listing.Write(View(entry.name));
        listing.Put(':');
        listing.Write(Blanks(9 - entry.name.length));
        listing.Write(HexWord(entry.value));
        listing.Write(Blanks(4));
        if (++count % 4 == 0) listing.LineEnd();
    }
    listing.LineEnd();
}

}  // namespace wordforge
