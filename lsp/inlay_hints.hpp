#pragma once
// textDocument/inlayHint: "@05A 321CFFE000" after each ctrlforge statement,
// "@0003 0B01" after each wordforge line with words; only when the setting
// zorvelt.inlayHints is on.
#include <cstdint>

#include "lsp/document_view.hpp"
#include "lsp/json.hpp"

namespace lsp {

// The hints of the statements or lines that end within [from, to].
Json InlayHints(const DocumentView& view, std::uint32_t from, std::uint32_t to);

}  // namespace lsp
