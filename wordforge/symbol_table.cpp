#include "wordforge/symbol_table.hpp"

#include <cstring>

#include "wordforge/hex_digits.hpp"

namespace wordforge {

bool DefineLabel(SymbolTable& table, const Word& name, std::int32_t value) {
    if (!common::FindOrAddName(table.values, LabelKey(name), value).added) return false;
    table.entries.push_back({name.text, value, name.length});
    return true;
}

void ReserveLabels(SymbolTable& table, std::size_t count) {
    table.entries.reserve(count);
    common::ReserveNames(table.values, count);
}

void WriteLabelListing(const SymbolTable& table, common::OutputSink& listing) {
    listing.LineEnd();
    listing.Write("LABEL(S)");
    listing.LineEnd();
    // Four entries of 18 characters and the line end, built in place and
    // written as one piece.
    constexpr std::size_t kEntryWidth = 18;
    char line[4 * kEntryWidth + 2];
    std::size_t used = 0;
    for (const SymbolEntry& entry : table.entries) {
        char* at = line + used;
        std::memset(at, ' ', kEntryWidth);
        std::memcpy(at, entry.text.data(), entry.length);
        at[entry.length] = ':';
        HexDigits(at + 10, entry.value);
        used += kEntryWidth;
        if (used == 4 * kEntryWidth) {
            line[used++] = '\r';
            line[used++] = '\n';
            listing.Write(std::string_view(line, used));
            used = 0;
        }
    }
    listing.Write(std::string_view(line, used));
    listing.LineEnd();
}

}  // namespace wordforge
