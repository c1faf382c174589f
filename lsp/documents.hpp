#pragma once
// The documents the client has opened: their text as the editor holds it,
// kept in step with every change, and the index of their lines.
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "common/diagnostics.hpp"
#include "lsp/json.hpp"
#include "lsp/positions.hpp"

namespace lsp {

// Which assembler reads a document.
enum class Language : std::uint8_t { None, Microprogram, Assembly };

// By the language id the client gives ("zorvelt-micro", "zorvelt-asm"), or
// else by the name's extension (.mic; .zasm, .asm).
Language LanguageOf(std::string_view languageId, std::string_view uri);

struct Document {
    std::string uri;
    Language language = Language::None;
    std::int64_t version = 0;
    std::string text;
    std::vector<std::uint32_t> lineStarts;
    std::uint64_t revision = 0;  // counts the changes this server applied, across all documents
    // The diagnostics last published, and the revision they were made of.
    std::vector<common::Diagnostic> published;
    std::size_t publishedCount = 0;
    std::uint64_t publishedRevision = 0;
};

using DocumentStore = std::unordered_map<std::string, Document>;

// Sets the text and indexes its lines.
void SetText(Document& document, std::string text);

// Applies one entry of didChange's contentChanges: a whole new text, or a
// range and the text that replaces it. A range outside the document is
// clamped to it, a reversed one taken from its end to its start. Returns
// false for a change of no known shape, which is left out.
bool ApplyChange(Document& document, const Json& change, PositionEncoding encoding);

// The position of a byte offset, of a 1-based line and byte column.
Position PositionAt(const Document& document, std::uint32_t offset, PositionEncoding encoding);
std::uint32_t OffsetAt(const Document& document, Position position, PositionEncoding encoding);

}  // namespace lsp
