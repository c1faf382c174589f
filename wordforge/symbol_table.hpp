#pragma once
// The label table: labels in the order of their first definition, for the
// listing, and their values found by the packed name in a flat name table;
// the first definition of a name wins.
#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "wordforge/source_reader.hpp"
#include "common/flat_name_table.hpp"
#include "common/text_file.hpp"

namespace wordforge {

// A label as the listing shows it: 16 bytes, so that a quarter of a million
// labels take 4 MB.
struct SymbolEntry {
    std::array<char, 8> text{};  // the name's characters
    std::int32_t value = 0;
    std::uint8_t length = 0;
};

inline std::string_view View(const SymbolEntry& entry) { return {entry.text.data(), entry.length}; }

struct SymbolTable {
    std::vector<SymbolEntry> entries;  // in order of definition
    common::FlatNameTable values;      // name key to value
};

// The table key of a word: common::NameKey of its characters, taken from the
// word's own packing (first character in the high byte, zeros after the last).
inline std::uint64_t LabelKey(const Word& name) {
    return name.length == 0 ? 0 : name.key >> (64 - 8 * name.length);
}

// The value of the label with exactly this name, or nullptr.
inline const std::int32_t* FindLabel(const SymbolTable& table, const Word& name) {
    return common::FindName(table.values, LabelKey(name));
}

// Adds the label unless the name is already there; returns false for a
// repeated definition (the first definition stays).
bool DefineLabel(SymbolTable& table, const Word& name, std::int32_t value);

// Makes room for about `count` labels at once, instead of growing step by
// step while they are defined.
void ReserveLabels(SymbolTable& table, std::size_t count);

// Appends the label table to the listing: an empty line, "LABEL(S)", the
// entries four to a line, and a closing line end.
void WriteLabelListing(const SymbolTable& table, common::OutputSink& listing);

}  // namespace wordforge
