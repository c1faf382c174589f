#include "wordforge/symbol_table.hpp"

#include "wordforge/operand_readers.hpp"

namespace wordforge {

bool DefineLabel(SymbolTable& table, const Word& name, std::int32_t value) {
    if (!common::FindOrAddName(table.values, LabelKey(name), value).added) return false;
    table.entries.push_back({name, value});
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
