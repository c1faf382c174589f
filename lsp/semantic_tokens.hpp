#pragma once
// textDocument/semanticTokens/full: the model's token list, each token typed
// by its kind (keywords, mnemonics, registers, conditions, operators,
// numbers, labels, comments, directives, the title), a label's definition
// marked as a declaration.
#include "lsp/document_view.hpp"
#include "lsp/json.hpp"

namespace lsp {

Json SemanticTokensLegend();

Json SemanticTokens(const DocumentView& view);

}  // namespace lsp
