#pragma once
#include <cstdint>
#include <string_view>
#include <vector>

#include "ctrlforge/run_state.hpp"
#include "ctrlforge/vocabulary.hpp"

namespace ctrlforge {

// Word readers for words beginning with G to Z and with A to F; the first
// letter is in CurChar and has been copied to the listing.
void ReadWordGZ(CtrlRun& run);
void ReadWordAF(CtrlRun& run);

// Keyword code of an 8-character name in the G-to-Z or A-to-F table, or
// TokIdent when the name is no keyword.
std::uint8_t LookupKeywordGZ(const Name& name);
std::uint8_t LookupKeywordAF(const Name& name);


// Register recodings: rewrite TokenCode in place into a field code.
void RecodeLeftBus(CtrlRun& run);
void RecodeRightBus(CtrlRun& run);
void RecodeSBus(CtrlRun& run);

}  // namespace ctrlforge
