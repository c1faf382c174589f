#include "lsp/capabilities.hpp"

#include "lsp/outbox.hpp"
#include "lsp/semantic_tokens.hpp"

#ifndef ZORVELT_VERSION
#define ZORVELT_VERSION "0"
#endif

namespace lsp {

namespace {

// The client's list under capabilities.PATH..., or null.
const Json* Capability(const Json& params, std::initializer_list<std::string_view> path) {
    const Json* at = ObjectMember(params, "capabilities");
    for (std::string_view step : path) {
        if (at == nullptr) return nullptr;
        at = Member(*at, step);
    }
    return at;
}

bool ListHolds(const Json* list, std::string_view value) {
    if (list == nullptr || !list->is_array()) return false;
    for (const Json& item : *list) {
        if (item.is_string() && item.get_ref<const std::string&>() == value) return true;
    }
    return false;
}

bool Flag(const Json* value) { return value != nullptr && value->is_boolean() && value->get<bool>(); }

}  // namespace

Json Initialize(Server& server, const Json& params) {
    // The assemblers count bytes: UTF-8 costs no conversion, so it is taken
    // whenever offered; else UTF-16, which every client speaks.
    const Json* encodings = Capability(params, {"general", "positionEncodings"});
    if (ListHolds(encodings, "utf-8")) {
        server.encoding = PositionEncoding::Utf8;
    } else if (ListHolds(encodings, "utf-16") || !ListHolds(encodings, "utf-32")) {
        server.encoding = PositionEncoding::Utf16;
    } else {
        server.encoding = PositionEncoding::Utf32;
    }
    server.client.markdownHover = ListHolds(Capability(params, {"textDocument", "hover", "contentFormat"}), "markdown");
    server.client.hierarchicalSymbols =
        Flag(Capability(params, {"textDocument", "documentSymbol", "hierarchicalDocumentSymbolSupport"}));
    server.client.inlayHintRefresh = Flag(Capability(params, {"workspace", "inlayHint", "refreshSupport"}));

    if (const Json* options = Member(params, "initializationOptions"); options != nullptr && options->is_object()) {
        std::vector<std::string> problems;
        server.settings = SettingsFrom(*options, problems);
        for (const std::string& problem : problems) ShowWarning(server, problem);
    }

    Json capabilities{
        {"positionEncoding", EncodingName(server.encoding)},
        {"textDocumentSync", {{"openClose", true}, {"change", 2}, {"save", {{"includeText", false}}}}},
        {"hoverProvider", true},
        {"definitionProvider", true},
        {"referencesProvider", true},
        {"documentHighlightProvider", true},
        {"renameProvider", {{"prepareProvider", true}}},
        {"documentSymbolProvider", true},
        {"completionProvider", {{"resolveProvider", false}}},
        {"inlayHintProvider", true},
        {"semanticTokensProvider", {{"legend", SemanticTokensLegend()}, {"full", true}, {"range", false}}},
    };
    return Json{{"capabilities", std::move(capabilities)},
                {"serverInfo", {{"name", "zorvelt-lsp"}, {"version", ZORVELT_VERSION}}}};
}

}  // namespace lsp
