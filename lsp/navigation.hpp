#pragma once
// Following labels: definition, references, document highlight and rename.
// A cursor on a label's definition or on any of its uses stands for the
// label; anywhere else these answer null.
#include <cstdint>
#include <string>
#include <string_view>

#include "lsp/document_view.hpp"
#include "lsp/json.hpp"

namespace lsp {

Json Definition(const DocumentView& view, std::uint32_t offset);
Json References(const DocumentView& view, std::uint32_t offset, bool includeDeclaration);
Json Highlights(const DocumentView& view, std::uint32_t offset);
Json PrepareRename(const DocumentView& view, std::uint32_t offset);

// Renames the label under the cursor: every use and its definition. Refuses
// (false, with the reason in `refusal`) a cursor on no label, a name that is
// no label word, a name longer than the eight characters that count, a
// keyword, and a name another label already has.
bool Rename(const DocumentView& view, std::uint32_t offset, std::string_view newName, Json& edit,
            std::string& refusal);

// The checks of a new label name in the document's language, without the
// document: empty when the name is fine, else why it is not.
std::string NameProblem(Language language, std::string_view name);

// A label's name as it counts: its first eight characters, upper case.
std::string SignificantName(std::string_view name);

}  // namespace lsp
