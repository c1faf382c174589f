#include "lsp/text_sync.hpp"

#include <algorithm>

#include "lsp/diagnostics_json.hpp"
#include "lsp/outbox.hpp"

namespace lsp {

namespace {

const std::string* UriOf(const Json& params) {
    const Json* textDocument = ObjectMember(params, "textDocument");
    return textDocument == nullptr ? nullptr : StringMember(*textDocument, "uri");
}

// The entry of the open document that params.textDocument.uri names, or the
// store's end.
DocumentStore::iterator Opened(Server& server, const Json& params) {
    const std::string* uri = UriOf(params);
    return uri == nullptr ? server.documents.end() : server.documents.find(*uri);
}

void MarkPending(Server& server, const std::string& uri) {
    if (std::find(server.pending.begin(), server.pending.end(), uri) == server.pending.end()) {
        server.pending.push_back(uri);
    }
}

void ForgetModel(Server& server, const std::string& uri) {
    std::erase_if(server.models, [&](const std::unique_ptr<ModelRun>& kept) { return kept->uri == uri; });
}

void Changed(Server& server, Document& document) {
    document.revision = ++server.revisions;
    MarkPending(server, document.uri);
}

}  // namespace

void OpenDocument(Server& server, const Json& params) {
    const Json* item = ObjectMember(params, "textDocument");
    if (item == nullptr) return;
    const std::string* uri = StringMember(*item, "uri");
    const std::string* text = StringMember(*item, "text");
    if (uri == nullptr || text == nullptr) return;
    const std::string* languageId = StringMember(*item, "languageId");
    Document& document = server.documents[*uri];
    document.uri = *uri;
    document.language = LanguageOf(languageId != nullptr ? std::string_view(*languageId) : std::string_view(), *uri);
    document.version = IntegerMember(*item, "version").value_or(0);
    SetText(document, *text);
    ForgetModel(server, *uri);
    Changed(server, document);
}

void ChangeDocument(Server& server, const Json& params) {
    const auto found = Opened(server, params);
    if (found == server.documents.end()) return;
    Document& document = found->second;
    const Json* changes = Member(params, "contentChanges");
    if (changes == nullptr || !changes->is_array()) return;
    for (const Json& change : *changes) ApplyChange(document, change, server.encoding);
    if (const std::optional<std::int64_t> version = IntegerMember(*ObjectMember(params, "textDocument"), "version")) {
        document.version = *version;
    }
    Changed(server, document);
}

void CloseDocument(Server& server, const Json& params) {
    const auto found = Opened(server, params);
    if (found == server.documents.end()) return;
    const bool published = found->second.language != Language::None;
    const std::string closed = found->first;
    server.documents.erase(found);
    ForgetModel(server, closed);
    std::erase(server.pending, closed);
    // The editor drops a closed document's problems only when told to.
    if (published && server.phase == Phase::Running) {
        SendNotification(server, "textDocument/publishDiagnostics", {{"uri", closed}, {"diagnostics", Json::array()}});
    }
}

void SaveDocument(Server& server, const Json& params) {
    const auto found = Opened(server, params);
    if (found == server.documents.end()) return;
    // A save that carries the text is the editor's word on what it holds.
    if (const std::string* text = StringMember(params, "text"); text != nullptr && *text != found->second.text) {
        SetText(found->second, *text);
        ForgetModel(server, found->first);
    }
    Changed(server, found->second);
}

const Document* FindDocument(const Server& server, const Json& params) {
    const std::string* uri = UriOf(params);
    if (uri == nullptr) return nullptr;
    const auto found = server.documents.find(*uri);
    return found == server.documents.end() ? nullptr : &found->second;
}

const DocumentRun& ModelOf(Server& server, const Document& document) {
    const auto kept = std::find_if(server.models.begin(), server.models.end(),
                                   [&](const std::unique_ptr<ModelRun>& model) { return model->uri == document.uri; });
    std::unique_ptr<ModelRun> model;
    if (kept != server.models.end()) {
        model = std::move(*kept);
        server.models.erase(kept);
    }
    if (model == nullptr || model->run.revision != document.revision || !model->run.withModel) {
        // The oldest kept model goes before the new one is made, so that no
        // more than kModelsKept are ever held at once.
        if (model == nullptr && server.models.size() >= kModelsKept) {
            model = std::move(server.models.back());
            server.models.pop_back();
        }
        if (model == nullptr) model = std::make_unique<ModelRun>();
        model->run = {};
        model->uri = document.uri;
        RunDocument(document, server.settings, true, model->run, document.publishedRevision == document.revision);
    }
    server.models.insert(server.models.begin(), std::move(model));
    if (server.models.size() > kModelsKept) server.models.resize(kModelsKept);
    return server.models.front()->run;
}

void RepublishAll(Server& server) {
    server.models.clear();
    for (auto& [uri, document] : server.documents) {
        document.publishedRevision = 0;  // made under the settings before
        MarkPending(server, uri);
    }
}

void PublishPending(Server& server) {
    if (server.phase != Phase::Running) return;
    DocumentRun run;
    for (const std::string& uri : server.pending) {
        const auto found = server.documents.find(uri);
        if (found == server.documents.end() || found->second.language == Language::None) continue;
        Document& document = found->second;
        RunDocument(document, server.settings, false, run);
        SendNotification(server, "textDocument/publishDiagnostics", DiagnosticsParams(document, run, server.encoding));
        document.published = std::move(run.diagnostics);
        document.publishedCount = run.diagnosticCount;
        document.publishedRevision = document.revision;
    }
    server.pending.clear();
}

}  // namespace lsp
