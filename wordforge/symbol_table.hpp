#pragma once
// The label table: labels in the order of their first definition, found
// through a hash of the packed name; the first definition of a name wins.
#include <cstdint>
#include <vector>

#include "wordforge/source_reader.hpp"
#include "common/text_file.hpp"

namespace wordforge {

struct SymbolEntry {
    Word name;
    std::int32_t value = 0;
};

struct SymbolTable {
    std::vector<SymbolEntry> entries;  // in order of definition
    std::vector<std::uint32_t> slots;  // open addressing: entry index + 1, 0 = free
};

inline constexpr int kNotFound = -1;

// The index of the entry with exactly this name, or kNotFound.
int FindLabel(const SymbolTable& table, const Word& name);

// Adds the label unless the name is already there; returns false for a
// repeated definition (the first definition stays).
bool DefineLabel(SymbolTable& table, const Word& name, std::int32_t value);

// Appends the label table to the listing: an empty line, "LABEL(S)", the
// entries four to a line, and a closing line end.
void WriteLabelListing(const SymbolTable& table, common::OutputSink& listing);

}  // namespace wordforge
