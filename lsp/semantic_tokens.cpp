#include "lsp/semantic_tokens.hpp"

#include <array>
#include <string_view>
#include <vector>

namespace lsp {

namespace {

// The legend's token types, by their index.
constexpr std::array<std::string_view, 9> kTypes{"keyword", "function", "variable", "enumMember", "operator",
                                                  "number",  "label",    "comment",  "string"};

std::uint32_t TypeOf(common::TokenKind kind) {
    using common::TokenKind;
    switch (kind) {
        case TokenKind::Keyword: return 0;
        case TokenKind::Directive: return 0;
        case TokenKind::Mnemonic: return 1;
        case TokenKind::Register: return 2;
        case TokenKind::Condition: return 3;
        case TokenKind::Operator: return 4;
        case TokenKind::Star: return 4;
        case TokenKind::Number: return 5;
        case TokenKind::Label: return 6;
        case TokenKind::Comment: return 7;
        case TokenKind::Title: return 8;
    }
    return 0;
}

constexpr std::uint32_t kDeclaration = 1;  // the modifier's bit

template <typename Model>
void Encode(const DocumentView& view, const Model& model, std::vector<std::uint32_t>& data) {
    // Definitions in source order, to mark the label tokens that are one.
    std::vector<std::uint32_t> definitions;
    for (const LabelSite& site : view.run.labelSites) {
        if (site.definition) definitions.push_back(site.span.begin.offset);
    }
    std::size_t nextDefinition = 0;
    data.reserve(model.tokens.size() * 5);
    Position previous;
    for (const common::ModelToken& token : model.tokens) {
        if (token.span.end.offset <= token.span.begin.offset) continue;
        const Position begin = PlacePosition(view, token.span.begin);
        if (begin.line < previous.line || (begin.line == previous.line && begin.character < previous.character)) {
            continue;  // out of order: the encoding counts forward only
        }
        const Position end = PlacePosition(view, token.span.end);
        // A token never holds a line end; one that seemed to is cut at it.
        const std::uint32_t length = end.line == begin.line ? end.character - begin.character
                                                            : UnitsBetween(view.document.text,
                                                                           view.document.lineStarts[begin.line],
                                                                           LineContentEnd(view.document.text,
                                                                                          view.document.lineStarts,
                                                                                          begin.line),
                                                                           view.encoding) -
                                                                  begin.character;
        if (length == 0) continue;
        std::uint32_t modifiers = 0;
        while (nextDefinition < definitions.size() && definitions[nextDefinition] < token.span.begin.offset) {
            ++nextDefinition;
        }
        if (token.kind == common::TokenKind::Label && nextDefinition < definitions.size() &&
            definitions[nextDefinition] == token.span.begin.offset) {
            modifiers = kDeclaration;
        }
        data.push_back(begin.line - previous.line);
        data.push_back(begin.line == previous.line ? begin.character - previous.character : begin.character);
        data.push_back(length);
        data.push_back(TypeOf(token.kind));
        data.push_back(modifiers);
        previous = begin;
    }
}

}  // namespace

Json SemanticTokensLegend() {
    Json types = Json::array();
    for (std::string_view type : kTypes) types.push_back(type);
    return Json{{"tokenTypes", std::move(types)}, {"tokenModifiers", Json::array({"declaration"})}};
}

Json SemanticTokens(const DocumentView& view) {
    std::vector<std::uint32_t> data;
    if (view.run.language == Language::Microprogram) {
        Encode(view, view.run.microprogram, data);
    } else if (view.run.language == Language::Assembly) {
        Encode(view, view.run.assembly, data);
    }
    return Json{{"data", std::move(data)}};
}

}  // namespace lsp
