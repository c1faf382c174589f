// Routing of each message to its handler, and the session's lifecycle:
// nothing but initialize before initialize, nothing but exit after
// shutdown, MethodNotFound for a request no handler takes, and an answer
// (never a crash) for a message of any shape.
#include <array>
#include <exception>
#include <new>
#include <utility>

#include "lsp/capabilities.hpp"
#include "lsp/completion.hpp"
#include "lsp/document_view.hpp"
#include "lsp/hover.hpp"
#include "lsp/inlay_hints.hpp"
#include "lsp/navigation.hpp"
#include "lsp/outbox.hpp"
#include "lsp/semantic_tokens.hpp"
#include "lsp/server.hpp"
#include "lsp/symbols.hpp"
#include "lsp/text_sync.hpp"

namespace lsp {

namespace {

// What a request on a place in a document has: the document's view, and the
// byte offset of params.position.
struct Place {
    DocumentView view;
    std::uint32_t offset;
};

// A request that reads a document's model. Answers null for a document that
// is not open; InvalidParams for params of the wrong shape.
template <typename Answer>
void OnDocument(Server& server, const Json& id, const Json& params, Answer answer) {
    if (ObjectMember(params, "textDocument") == nullptr) {
        SendError(server, id, kInvalidParams, "textDocument missing");
        return;
    }
    const Document* document = FindDocument(server, params);
    if (document == nullptr || document->language == Language::None) {
        SendResult(server, id, nullptr);
        return;
    }
    const DocumentRun& run = ModelOf(server, *document);
    answer(DocumentView{*document, run, server.encoding});
}

template <typename Answer>
void OnPlace(Server& server, const Json& id, const Json& params, Answer answer) {
    const std::optional<Position> position = PositionMember(params, "position");
    if (!position) {
        SendError(server, id, kInvalidParams, "position missing or not a position");
        return;
    }
    OnDocument(server, id, params, [&](const DocumentView& view) {
        answer(Place{view, OffsetOfPosition(view, *position)});
    });
}

void Shutdown(Server& server, const Json& id, const Json&) {
    // Changes that came just before are still reported.
    PublishPending(server);
    server.phase = Phase::ShutDown;
    SendResult(server, id, nullptr);
}

void HoverRequest(Server& server, const Json& id, const Json& params) {
    OnPlace(server, id, params, [&](const Place& place) {
        SendResult(server, id, Hover(place.view, place.offset, server.client.markdownHover));
    });
}

void DefinitionRequest(Server& server, const Json& id, const Json& params) {
    OnPlace(server, id, params,
            [&](const Place& place) { SendResult(server, id, Definition(place.view, place.offset)); });
}

void ReferencesRequest(Server& server, const Json& id, const Json& params) {
    bool declaration = false;
    if (const Json* context = ObjectMember(params, "context")) {
        declaration = BoolMember(*context, "includeDeclaration").value_or(false);
    }
    OnPlace(server, id, params,
            [&](const Place& place) { SendResult(server, id, References(place.view, place.offset, declaration)); });
}

void HighlightRequest(Server& server, const Json& id, const Json& params) {
    OnPlace(server, id, params,
            [&](const Place& place) { SendResult(server, id, Highlights(place.view, place.offset)); });
}

void PrepareRenameRequest(Server& server, const Json& id, const Json& params) {
    OnPlace(server, id, params,
            [&](const Place& place) { SendResult(server, id, PrepareRename(place.view, place.offset)); });
}

void RenameRequest(Server& server, const Json& id, const Json& params) {
    const std::string* newName = StringMember(params, "newName");
    if (newName == nullptr) {
        SendError(server, id, kInvalidParams, "newName missing");
        return;
    }
    OnPlace(server, id, params, [&](const Place& place) {
        Json edit;
        std::string refusal;
        if (Rename(place.view, place.offset, *newName, edit, refusal)) {
            SendResult(server, id, std::move(edit));
        } else {
            SendError(server, id, kRequestFailed, refusal);
        }
    });
}

void SymbolsRequest(Server& server, const Json& id, const Json& params) {
    OnDocument(server, id, params, [&](const DocumentView& view) {
        SendResult(server, id, DocumentSymbols(view, server.client.hierarchicalSymbols));
    });
}

void CompletionRequest(Server& server, const Json& id, const Json& params) {
    OnPlace(server, id, params,
            [&](const Place& place) { SendResult(server, id, Completion(place.view, place.offset)); });
}

void InlayHintRequest(Server& server, const Json& id, const Json& params) {
    const Json* range = ObjectMember(params, "range");
    const std::optional<Position> start = range != nullptr ? PositionMember(*range, "start") : std::nullopt;
    const std::optional<Position> end = range != nullptr ? PositionMember(*range, "end") : std::nullopt;
    if (!start || !end) {
        SendError(server, id, kInvalidParams, "range missing or not a range");
        return;
    }
    if (!server.settings.inlayHints) {
        SendResult(server, id, Json::array());
        return;
    }
    OnDocument(server, id, params, [&](const DocumentView& view) {
        SendResult(server, id, InlayHints(view, OffsetOfPosition(view, *start), OffsetOfPosition(view, *end)));
    });
}

void SemanticTokensRequest(Server& server, const Json& id, const Json& params) {
    OnDocument(server, id, params, [&](const DocumentView& view) { SendResult(server, id, SemanticTokens(view)); });
}

using RequestHandler = void (*)(Server&, const Json& id, const Json& params);

constexpr std::array<std::pair<std::string_view, RequestHandler>, 12> kRequests{{
    {"shutdown", Shutdown},
    {"textDocument/hover", HoverRequest},
    {"textDocument/definition", DefinitionRequest},
    {"textDocument/references", ReferencesRequest},
    {"textDocument/documentHighlight", HighlightRequest},
    {"textDocument/prepareRename", PrepareRenameRequest},
    {"textDocument/rename", RenameRequest},
    {"textDocument/documentSymbol", SymbolsRequest},
    {"textDocument/completion", CompletionRequest},
    {"textDocument/inlayHint", InlayHintRequest},
    {"textDocument/semanticTokens/full", SemanticTokensRequest},
    {"initialize", nullptr},  // answered before the table is looked at
}};

void ChangeConfiguration(Server& server, const Json& params) {
    const Json* settings = Member(params, "settings");
    if (settings == nullptr || !settings->is_object()) return;
    std::vector<std::string> problems;
    const bool hintsBefore = server.settings.inlayHints;
    server.settings = SettingsFrom(*settings, problems);
    for (const std::string& problem : problems) ShowWarning(server, problem);
    RepublishAll(server);
    if (server.settings.inlayHints != hintsBefore && server.client.inlayHintRefresh) {
        SendRequest(server, "workspace/inlayHint/refresh", nullptr);
    }
}

using NotificationHandler = void (*)(Server&, const Json& params);

constexpr std::array<std::pair<std::string_view, NotificationHandler>, 5> kNotifications{{
    {"textDocument/didOpen", OpenDocument},
    {"textDocument/didChange", ChangeDocument},
    {"textDocument/didClose", CloseDocument},
    {"textDocument/didSave", SaveDocument},
    {"workspace/didChangeConfiguration", ChangeConfiguration},
}};

void Request(Server& server, const Json& id, std::string_view method, const Json& params) {
    if (method == "initialize") {
        if (server.phase != Phase::Waiting) {
            SendError(server, id, kInvalidRequest, "initialize was received before");
            return;
        }
        SendResult(server, id, Initialize(server, params));
        server.phase = Phase::Running;
        return;
    }
    if (server.phase == Phase::Waiting) {
        SendError(server, id, kServerNotInitialized, "the server has not been initialized");
        return;
    }
    if (server.phase == Phase::ShutDown) {
        SendError(server, id, kInvalidRequest, "the server has been shut down");
        return;
    }
    for (const auto& [name, handler] : kRequests) {
        if (name == method && handler != nullptr) {
            handler(server, id, params);
            return;
        }
    }
    SendError(server, id, kMethodNotFound, "no method " + std::string(method));
}

void Notification(Server& server, std::string_view method, const Json& params) {
    if (method == "exit") {
        server.exitStatus = server.phase == Phase::ShutDown ? 0 : 1;
        server.phase = Phase::Exited;
        return;
    }
    // Before initialize notifications are dropped; after shutdown only exit
    // is taken.
    if (server.phase != Phase::Running) return;
    for (const auto& [name, handler] : kNotifications) {
        if (name == method) {
            handler(server, params);
            return;
        }
    }
    // Others ("initialized", "$/cancelRequest", "$/setTrace", ...) need
    // nothing: every request is answered at once.
}

bool IsId(const Json& id) { return id.is_string() || id.is_number_integer() || id.is_number_unsigned(); }

void Dispatch(Server& server, const Json& message) {
    if (!message.is_object()) {
        SendError(server, nullptr, kInvalidRequest, message.is_array() ? "batches are not taken" : "not a message");
        return;
    }
    const Json* id = Member(message, "id");
    const Json* method = Member(message, "method");
    if (method == nullptr) {
        // A response to a request of the server (inlay hint refresh): nothing
        // waits for it. Anything else without a method is refused.
        if (id != nullptr && (Member(message, "result") != nullptr || Member(message, "error") != nullptr)) return;
        SendError(server, id != nullptr && IsId(*id) ? *id : Json(nullptr), kInvalidRequest, "no method");
        return;
    }
    if (id != nullptr && !IsId(*id)) {
        SendError(server, nullptr, kInvalidRequest, "an id must be a number or a string");
        return;
    }
    if (!method->is_string()) {
        if (id != nullptr) SendError(server, *id, kInvalidRequest, "method is not a string");
        return;
    }
    static const Json kNoParams = Json::object();
    const Json* params = Member(message, "params");
    if (params == nullptr || params->is_null()) params = &kNoParams;
    const std::string& name = method->get_ref<const std::string&>();
    if (id == nullptr) {
        Notification(server, name, *params);
    } else {
        Request(server, *id, name, *params);
    }
}

}  // namespace

void HandleMessage(Server& server, std::string_view body) {
    if (server.phase == Phase::Exited) return;
    const Json message = Json::parse(body.begin(), body.end(), nullptr, false);
    if (message.is_discarded()) {
        SendError(server, nullptr, kParseError, "the message is not JSON");
        return;
    }
    const Json* id = Member(message, "id");
    const Json answerId = id != nullptr && IsId(*id) && Member(message, "method") != nullptr ? *id : Json(nullptr);
    try {
        Dispatch(server, message);
    } catch (const std::bad_alloc&) {
        // Too large to answer in full (a document beyond memory): the
        // request fails, the session goes on.
        if (!answerId.is_null()) SendError(server, answerId, kInternalError, "out of memory");
    } catch (const std::exception& failure) {
        if (!answerId.is_null()) SendError(server, answerId, kInternalError, failure.what());
    }
}

void HandleRefusedFrame(Server& server, std::string_view problem) {
    server.log += "zorvelt-lsp: message dropped: ";
    server.log += problem;
    server.log += '\n';
}

void HandleFrames(Server& server, FrameReader& reader) {
    std::string body, problem;
    while (server.phase != Phase::Exited) {
        const FrameResult result = NextFrame(reader, body, problem);
        if (result == FrameResult::NeedMore) return;
        if (result == FrameResult::Refused) {
            HandleRefusedFrame(server, problem);
        } else {
            HandleMessage(server, body);
        }
    }
}

void InputEnded(Server& server) {
    if (server.phase != Phase::Exited) {
        server.exitStatus = server.phase == Phase::ShutDown ? 0 : 1;
        server.phase = Phase::Exited;
    }
}

}  // namespace lsp
