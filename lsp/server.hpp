#pragma once
// The language server's state for one session, and the handling of one
// message. The server reads nothing and writes nothing itself: the loop
// around it (main.cpp, the fuzz target, the tests) feeds it message bodies
// and sends on what it leaves in `outgoing`, so that every exchange can be
// driven in memory.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "lsp/document_run.hpp"
#include "lsp/framing.hpp"
#include "lsp/documents.hpp"
#include "lsp/positions.hpp"
#include "lsp/settings.hpp"

namespace lsp {

enum class Phase : std::uint8_t { Waiting, Running, ShutDown, Exited };

// What the client said it can take (initialize's capabilities).
struct ClientSupport {
    bool markdownHover = false;
    bool hierarchicalSymbols = false;
    bool inlayHintRefresh = false;
    bool showMessage = true;
};

// A document's latest run with its model, kept for the requests that read
// the model until the document changes.
struct ModelRun {
    std::string uri;
    DocumentRun run;
};

// The models kept: the documents last asked about, so that an editor showing
// two side by side asks for neither twice, while ten open documents do not
// keep ten models.
inline constexpr std::size_t kModelsKept = 2;

struct Server {
    Phase phase = Phase::Waiting;
    int exitStatus = 1;  // 0 once exit follows shutdown
    PositionEncoding encoding = PositionEncoding::Utf16;
    ClientSupport client;
    ServerSettings settings = DefaultSettings();
    DocumentStore documents;
    std::uint64_t revisions = 0;
    std::vector<std::string> pending;  // documents whose diagnostics are due, in the order they changed
    std::vector<std::unique_ptr<ModelRun>> models;  // most recently asked for first
    std::int64_t nextRequest = 1;      // the id of the next request to the client
    std::string outgoing;              // framed messages for the client
    std::string log;                   // lines for standard error
};

// Handles one message body: a request (answered in `outgoing`), a
// notification, or a response to a request of the server.
void HandleMessage(Server& server, std::string_view body);

// A message whose header could not be read was dropped; says so in the log.
void HandleRefusedFrame(Server& server, std::string_view problem);

// Hands the server every whole message the reader holds, in order, until
// none is left or the session has ended.
void HandleFrames(Server& server, FrameReader& reader);

// Assembles the documents that changed and publishes their diagnostics.
// Called when no further message is waiting, so that a burst of changes is
// assembled once.
void PublishPending(Server& server);

// The input ended without an exit notification.
void InputEnded(Server& server);

}  // namespace lsp
