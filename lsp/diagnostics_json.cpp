#include "lsp/diagnostics_json.hpp"

#include <algorithm>

namespace lsp {

std::string_view ProgramName(Language language) {
    switch (language) {
        case Language::Microprogram: return "ctrlforge";
        case Language::Assembly: return "wordforge";
        case Language::None: break;
    }
    return "";
}

// The protocol's severities: 1 error, 2 warning, 3 information; a note
// explains, so it is information.
int SeverityNumber(common::Severity severity) {
    switch (severity) {
        case common::Severity::Error: return 1;
        case common::Severity::Warning: return 2;
        case common::Severity::Note: return 3;
    }
    return 1;
}

Json DiagnosticRange(const Document& document, const common::Diagnostic& diagnostic, PositionEncoding encoding) {
    const Position begin =
        PositionOfColumn(document.text, document.lineStarts, diagnostic.line, diagnostic.column, encoding);
    const std::int32_t endColumn = std::max(diagnostic.endColumn, diagnostic.column);
    const Position end =
        PositionOfColumn(document.text, document.lineStarts, diagnostic.line, endColumn, encoding, true);
    return RangeJson(begin, end);
}

Json DiagnosticsParams(const Document& document, const DocumentRun& run, PositionEncoding encoding) {
    Json list = Json::array();
    const std::string_view source = ProgramName(document.language);
    for (const common::Diagnostic& diagnostic : run.diagnostics) {
        Json item{{"range", DiagnosticRange(document, diagnostic, encoding)},
                  {"severity", SeverityNumber(diagnostic.severity)},
                  {"source", source},
                  {"message", diagnostic.message}};
        if (!diagnostic.tag.empty()) item["code"] = diagnostic.tag;
        list.push_back(std::move(item));
    }
    return Json{{"uri", document.uri}, {"version", document.version}, {"diagnostics", std::move(list)}};
}

}  // namespace lsp
