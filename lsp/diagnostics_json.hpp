#pragma once
// textDocument/publishDiagnostics: a run's diagnostics as the protocol
// carries them. Each keeps the command line's message, its tag as the code
// ("E3", "F", "-Wtruncation", "-Werror=org") and its severity, names the
// program as its source, and covers the token from its column up to its end
// column.
#include "common/diagnostics.hpp"
#include "lsp/document_run.hpp"
#include "lsp/documents.hpp"
#include "lsp/json.hpp"

namespace lsp {

// The name of the program that reads the language: "ctrlforge", "wordforge".
std::string_view ProgramName(Language language);

// The range a diagnostic covers.
Json DiagnosticRange(const Document& document, const common::Diagnostic& diagnostic, PositionEncoding encoding);

Json DiagnosticsParams(const Document& document, const DocumentRun& run, PositionEncoding encoding);

}  // namespace lsp
