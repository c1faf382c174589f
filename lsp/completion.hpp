#pragma once
// textDocument/completion, from the text of the line before the cursor:
// - ctrlforge: the clause starters at the start of a clause line; the
//   registers, operators and shifts inside a transfer; the conditions after
//   IF; the labels after GOTO, CALL, THEN, IOP, IRA and IAB;
// - wordforge: the mnemonics at the start of a statement; the defined labels
//   in address operands and DC; CR and LPT after RIO and WIO.
// Every item carries a line of documentation.
#include <cstdint>

#include "lsp/document_view.hpp"
#include "lsp/json.hpp"

namespace lsp {

Json Completion(const DocumentView& view, std::uint32_t offset);

}  // namespace lsp
