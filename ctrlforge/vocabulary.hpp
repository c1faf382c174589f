#pragma once
// The words of the microprogram language, for the tools around the
// assembler: the editors' highlighters are checked against them, and the
// language server completes them and refuses them as label names.
#include <string_view>
#include <vector>

namespace ctrlforge {

// Every keyword of the two word tables, G to Z first, each table in its own
// order.
std::vector<std::string_view> KeywordWords();

// The counter C: a one-letter word of hexadecimal digits that is the
// keyword C only as the first token of a line, and a number or a label
// elsewhere; so it is in neither table.
inline constexpr char kCounterLetter = 'C';

}  // namespace ctrlforge
