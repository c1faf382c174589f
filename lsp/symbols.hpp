#pragma once
// textDocument/documentSymbol: the labels as an outline under the program's
// title; as a flat list for a client without hierarchical symbols.
#include "lsp/document_view.hpp"
#include "lsp/json.hpp"

namespace lsp {

Json DocumentSymbols(const DocumentView& view, bool hierarchical);

}  // namespace lsp
