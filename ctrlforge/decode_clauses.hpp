#pragma once
// What the decoders share inside the core: the sequencing clause of a
// decoded word with any text for its target (an address, a label).
#include <string_view>

#include "ctrlforge/decode.hpp"

namespace ctrlforge {

void AddSequencingClause(ShortText& out, const DecodedWord& decoded, std::string_view target);

}  // namespace ctrlforge
