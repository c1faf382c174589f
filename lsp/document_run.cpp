#include "lsp/document_run.hpp"

#include <algorithm>

#include "cli/warnings.hpp"
#include "ctrlforge/ctrlforge.hpp"
#include "wordforge/wordforge.hpp"

namespace lsp {

namespace {

template <typename Model>
void CollectSites(const Model& model, std::vector<LabelSite>& sites) {
    for (std::size_t i = 0; i < model.labels.size(); ++i) {
        const auto& label = model.labels[i];
        const std::int32_t index = static_cast<std::int32_t>(i);
        if (label.defined) sites.push_back({label.definition, index, true});
        for (const auto& use : label.uses) sites.push_back({use.span, index, false});
    }
    std::sort(sites.begin(), sites.end(),
              [](const LabelSite& a, const LabelSite& b) { return a.span.begin.offset < b.span.begin.offset; });
}

}  // namespace

void RunDocument(const Document& document, const ServerSettings& settings, bool withModel, DocumentRun& run,
                 bool diagnosticsKnown) {
    run.language = document.language;
    run.revision = document.revision;
    run.diagnostics.clear();
    run.diagnosticCount = 0;
    run.withModel = withModel;
    run.microprogram = {};
    run.assembly = {};
    run.labelSites.clear();
    if (document.language == Language::None) return;

    const cli::WarningSettings& warnings =
        document.language == Language::Microprogram ? settings.microprogramWarnings : settings.assemblyWarnings;
    common::DiagnosticSink sink;
    sink.locator.text = document.text;
    sink.wantsWarning = [&warnings](std::string_view name) { return cli::WarningEnabled(warnings, name); };
    sink.emit = [&warnings, &run](const common::Diagnostic& diagnostic) {
        if (!cli::Shown(warnings, diagnostic)) return;
        ++run.diagnosticCount;
        if (run.diagnostics.size() < kDiagnosticLimit) run.diagnostics.push_back(cli::AsReported(warnings, diagnostic));
    };
    common::DiagnosticSink* diagnostics = &sink;
    if (diagnosticsKnown) {
        run.diagnostics = document.published;
        run.diagnosticCount = document.publishedCount;
        diagnostics = nullptr;
    }
    if (document.language == Language::Microprogram) {
        ctrlforge::AssembleSource(document.text, {},
                                  {.diagnostics = diagnostics, .model = withModel ? &run.microprogram : nullptr});
    } else {
        wordforge::AssembleSource(document.text, {},
                                  {.diagnostics = diagnostics, .model = withModel ? &run.assembly : nullptr});
    }
    if (!withModel) return;
    if (document.language == Language::Microprogram) {
        CollectSites(run.microprogram, run.labelSites);
    } else {
        CollectSites(run.assembly, run.labelSites);
    }
}

const LabelSite* LabelSiteAt(const DocumentRun& run, std::uint32_t offset) {
    // The last site that begins at or before the offset; sites never overlap.
    const auto after = std::upper_bound(run.labelSites.begin(), run.labelSites.end(), offset,
                                        [](std::uint32_t at, const LabelSite& site) { return at < site.span.begin.offset; });
    if (after == run.labelSites.begin()) return nullptr;
    const LabelSite& site = *(after - 1);
    return offset <= site.span.end.offset ? &site : nullptr;
}

}  // namespace lsp
