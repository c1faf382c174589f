#include "lsp/symbols.hpp"

#include <algorithm>
#include <string>
#include <vector>

#include "lsp/text.hpp"
#include "lsp/word_text.hpp"

namespace lsp {

namespace {

// The protocol's symbol kinds.
enum Kind : int { kModule = 2, kFunction = 12, kVariable = 13 };

struct Symbol {
    std::string name;
    std::string detail;
    int kind;
    Json range;
    Json selection;
};

Json WholeDocument(const DocumentView& view) {
    return RangeJson({0, 0}, PositionAt(view.document, static_cast<std::uint32_t>(view.document.text.size()),
                                        view.encoding));
}

std::string_view ClassDetail(std::uint8_t placementClass) {
    switch (placementClass) {
        case 2: return "branch target";
        case 3: return "IRA target";
        case 4: return "IOP target";
        case 5: return "IAB target";
        default: return "";
    }
}

void MicroSymbols(const DocumentView& view, std::string& title, Json& titleSelection, std::vector<Symbol>& labels) {
    const ctrlforge::SourceModel& model = view.run.microprogram;
    title = model.title;
    if (!title.empty()) titleSelection = SpanRange(view, model.titleSpan);
    for (const ctrlforge::ModelLabel& label : model.labels) {
        if (!label.defined) continue;
        std::string detail;
        if (label.address >= 0) detail = Joined({"@", HexDigits(static_cast<std::uint64_t>(label.address), 3)});
        const std::string_view placement = ClassDetail(label.placementClass);
        if (!placement.empty()) {
            if (!detail.empty()) detail += ' ';
            detail += placement;
        }
        // The label stands for its statement, heading to last clause.
        common::SourceSpan range = label.definition;
        if (label.statement >= 0 && static_cast<std::size_t>(label.statement) < model.statements.size()) {
            range = model.statements[static_cast<std::size_t>(label.statement)].span;
        }
        labels.push_back({label.name, detail, kFunction, SpanRange(view, range), SpanRange(view, label.definition)});
    }
}

void AssemblySymbols(const DocumentView& view, std::string& title, Json& titleSelection,
                     std::vector<Symbol>& labels) {
    const wordforge::SourceModel& model = view.run.assembly;
    title = model.title;
    if (!title.empty()) {
        for (const common::ModelToken& token : model.tokens) {
            if (token.kind == common::TokenKind::Title) {
                titleSelection = SpanRange(view, token.span);
                break;
            }
        }
    }
    for (const wordforge::ModelLabel& label : model.labels) {
        if (!label.defined) continue;
        // Its line, and what kind of line it labels: data or code.
        int kind = kFunction;
        common::SourceSpan range = label.definition;
        const auto after = std::upper_bound(model.lines.begin(), model.lines.end(), label.definition.begin.offset,
                                            [](std::uint32_t offset, const wordforge::ModelLine& line) {
                                                return offset < line.span.begin.offset;
                                            });
        if (after != model.lines.begin() && label.definition.end.offset <= (after - 1)->span.end.offset) {
            const wordforge::ModelLine& line = *(after - 1);
            range = line.span;
            if (wordforge::MnemonicOf(line) == "DC" || wordforge::MnemonicOf(line) == "DS") kind = kVariable;
        }
        labels.push_back({label.name, Joined({"@", HexDigits(static_cast<std::uint32_t>(label.value) & 0xFFFFu, 4)}), kind,
                          SpanRange(view, range), SpanRange(view, label.definition)});
    }
}

Json SymbolJson(const Symbol& symbol) {
    Json json{{"name", symbol.name}, {"kind", symbol.kind}, {"range", symbol.range},
              {"selectionRange", symbol.selection}};
    if (!symbol.detail.empty()) json["detail"] = symbol.detail;
    return json;
}

}  // namespace

Json DocumentSymbols(const DocumentView& view, bool hierarchical) {
    std::string title;
    Json titleSelection = RangeJson({0, 0}, {0, 0});
    std::vector<Symbol> labels;
    if (view.run.language == Language::Microprogram) {
        MicroSymbols(view, title, titleSelection, labels);
    } else {
        AssemblySymbols(view, title, titleSelection, labels);
    }
    Json list = Json::array();
    if (!hierarchical) {
        for (const Symbol& label : labels) {
            Json item{{"name", label.name},
                      {"kind", label.kind},
                      {"location", {{"uri", view.document.uri}, {"range", label.selection}}}};
            if (!title.empty()) item["containerName"] = title;
            list.push_back(std::move(item));
        }
        return list;
    }
    Json children = Json::array();
    for (const Symbol& label : labels) children.push_back(SymbolJson(label));
    if (title.empty()) return children;
    Symbol root{title, "title", kModule, WholeDocument(view), titleSelection};
    Json rootJson = SymbolJson(root);
    rootJson["children"] = std::move(children);
    list.push_back(std::move(rootJson));
    return list;
}

}  // namespace lsp
