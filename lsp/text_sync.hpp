#pragma once
// The documents' lifecycle: didOpen, didChange, didClose and didSave; the
// diagnostics published after each change; the models the requests read.
#include "lsp/json.hpp"
#include "lsp/server.hpp"

namespace lsp {

void OpenDocument(Server& server, const Json& params);
void ChangeDocument(Server& server, const Json& params);
void CloseDocument(Server& server, const Json& params);
void SaveDocument(Server& server, const Json& params);

// The open document params.textDocument.uri names, or null.
const Document* FindDocument(const Server& server, const Json& params);

// The document's run with its model: the kept one when the document has not
// changed since, else a new run (which then is kept).
const DocumentRun& ModelOf(Server& server, const Document& document);

// Every open document is assembled and published again (the settings
// changed), and no kept model is used again.
void RepublishAll(Server& server);

}  // namespace lsp
