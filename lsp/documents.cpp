#include "lsp/documents.hpp"

#include <algorithm>
#include <utility>

namespace lsp {

namespace {

bool EndsWith(std::string_view text, std::string_view end) {
    if (text.size() < end.size()) return false;
    for (std::size_t i = 0; i < end.size(); ++i) {
        char c = text[text.size() - end.size() + i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != end[i]) return false;
    }
    return true;
}

}  // namespace

Language LanguageOf(std::string_view languageId, std::string_view uri) {
    if (languageId == "zorvelt-micro") return Language::Microprogram;
    if (languageId == "zorvelt-asm") return Language::Assembly;
    // A query or fragment is no part of the name.
    const std::size_t cut = uri.find_first_of("?#");
    if (cut != std::string_view::npos) uri = uri.substr(0, cut);
    if (EndsWith(uri, ".mic")) return Language::Microprogram;
    if (EndsWith(uri, ".zasm") || EndsWith(uri, ".asm")) return Language::Assembly;
    return Language::None;
}

void SetText(Document& document, std::string text) {
    document.text = std::move(text);
    IndexLines(document.text, document.lineStarts);
}

bool ApplyChange(Document& document, const Json& change, PositionEncoding encoding) {
    const std::string* text = StringMember(change, "text");
    if (text == nullptr) return false;
    const Json* range = ObjectMember(change, "range");
    if (range == nullptr) {
        SetText(document, *text);
        return true;
    }
    const std::optional<Position> start = PositionMember(*range, "start");
    const std::optional<Position> end = PositionMember(*range, "end");
    if (!start || !end) return false;
    std::uint32_t from = OffsetAt(document, *start, encoding);
    std::uint32_t to = OffsetAt(document, *end, encoding);
    if (to < from) std::swap(from, to);
    document.text.replace(from, to - from, *text);
    ReindexAfterReplace(document.text, document.lineStarts, from, to - from, static_cast<std::uint32_t>(text->size()));
    return true;
}

Position PositionAt(const Document& document, std::uint32_t offset, PositionEncoding encoding) {
    return PositionOf(document.text, document.lineStarts, offset, encoding);
}

std::uint32_t OffsetAt(const Document& document, Position position, PositionEncoding encoding) {
    return OffsetOf(document.text, document.lineStarts, position, encoding);
}

}  // namespace lsp
