#include "lsp/inlay_hints.hpp"

#include <algorithm>

#include "lsp/word_text.hpp"

namespace lsp {

namespace {

template <typename Item, typename Text>
void AddHints(const DocumentView& view, const std::vector<Item>& items, std::uint32_t from, std::uint32_t to,
              Text text, Json& hints) {
    // Items are in source order: start at the first that ends in the range.
    auto at = std::lower_bound(items.begin(), items.end(), from,
                               [](const Item& item, std::uint32_t offset) { return item.span.end.offset < offset; });
    for (; at != items.end() && at->span.end.offset <= to; ++at) {
        const std::string label = text(*at);
        if (label.empty()) continue;
        hints.push_back(
            Json{{"position", PositionJson(PlacePosition(view, at->span.end))}, {"label", label}, {"paddingLeft", true}});
    }
}

}  // namespace

Json InlayHints(const DocumentView& view, std::uint32_t from, std::uint32_t to) {
    Json hints = Json::array();
    if (to < from) std::swap(from, to);
    if (view.run.language == Language::Microprogram) {
        AddHints(view, view.run.microprogram.statements, from, to, StatementWordText, hints);
    } else if (view.run.language == Language::Assembly) {
        const wordforge::SourceModel& model = view.run.assembly;
        AddHints(view, model.lines, from, to,
                 [&model](const wordforge::ModelLine& line) { return LineWordsText(model, line); }, hints);
    }
    return hints;
}

}  // namespace lsp
