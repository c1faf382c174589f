#include "web/shown_diagnostics.hpp"

#include "cli/warnings.hpp"

namespace web {

common::DiagnosticSink ShownDiagnostics(const cli::ProgramInfo& program, std::string_view source,
                                        std::vector<common::Diagnostic>& list) {
    common::DiagnosticSink sink;
    sink.locator.text = source;
    sink.wantsWarning = [settings = cli::DefaultWarnings(program)](std::string_view name) {
        return cli::WarningEnabled(settings, name);
    };
    sink.emit = [settings = cli::DefaultWarnings(program), &list](const common::Diagnostic& diagnostic) {
        if (cli::Shown(settings, diagnostic)) list.push_back(diagnostic);
    };
    return sink;
}

bool HasErrors(const std::vector<common::Diagnostic>& list) {
    for (const common::Diagnostic& diagnostic : list) {
        if (diagnostic.severity == common::Severity::Error) return true;
    }
    return false;
}

}  // namespace web
