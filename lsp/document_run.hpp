#pragma once
// One assembly of a document in memory, through the core's one entry: the
// diagnostics its command line would print under the server's settings, and,
// when asked for, the source model. No file is written and no program is
// started.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/diagnostics.hpp"
#include "ctrlforge/source_model.hpp"
#include "lsp/documents.hpp"
#include "lsp/settings.hpp"
#include "wordforge/source_model.hpp"

namespace lsp {

// The most diagnostics published for one document, the first in listing
// order: what an editor can still list (the browser page shows as many).
inline constexpr std::size_t kDiagnosticLimit = 2000;

// Where a label stands in the source: its definition or one of its uses.
struct LabelSite {
    common::SourceSpan span;
    std::int32_t label = -1;  // the index into the model's labels
    bool definition = false;
};

struct DocumentRun {
    Language language = Language::None;
    std::uint64_t revision = 0;  // the document's revision it was made from
    std::vector<common::Diagnostic> diagnostics;  // as the command line reports them, at most the limit
    std::size_t diagnosticCount = 0;              // all of them
    bool withModel = false;
    ctrlforge::SourceModel microprogram;
    wordforge::SourceModel assembly;
    std::vector<LabelSite> labelSites;  // every definition and use of a label, in source order
};

// The label site that holds `offset` (its end included), or null.
const LabelSite* LabelSiteAt(const DocumentRun& run, std::uint32_t offset);

// Assembles the document. Warnings the settings turn off are not built at
// all, as on the command line. With `known` diagnostics (those published for
// the document's revision) the run collects none itself: a wordforge run
// that fills the model costs a third more when it records diagnostics too.
void RunDocument(const Document& document, const ServerSettings& settings, bool withModel, DocumentRun& run,
                 bool diagnosticsKnown = false);

}  // namespace lsp
