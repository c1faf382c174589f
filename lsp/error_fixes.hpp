#pragma once
// How to fix each diagnostic, in a line, from the guides' error references
// and warning sections: what hover shows under a diagnostic's message.
#include <string_view>

#include "common/diagnostics.hpp"
#include "lsp/documents.hpp"

namespace lsp {

// The fix for the diagnostic of that language; empty when none is known.
std::string_view FixFor(Language language, const common::Diagnostic& diagnostic);

}  // namespace lsp
