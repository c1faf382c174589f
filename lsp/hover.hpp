#pragma once
// textDocument/hover: what stands under the cursor, in sections:
// - a diagnostic there: its message and how to fix it;
// - a label: its address (and placement class), and how many uses it has;
// - a keyword or mnemonic: one line from the guides;
// - the ctrlforge statement around it: its address, its 40-bit word, the
//   ten fields with their bits, codes and mnemonics, and a branch's target;
// - the wordforge line: its address, its words and the instruction's fields.
#include <cstdint>

#include "lsp/document_view.hpp"
#include "lsp/json.hpp"

namespace lsp {

// Null when nothing is known of the place.
Json Hover(const DocumentView& view, std::uint32_t offset, bool markdown);

}  // namespace lsp
