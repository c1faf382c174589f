// Fuzz target for the language server's message reader and dispatcher. The
// first byte chooses what the rest is:
//   0: the raw byte stream of a client, fed in two pieces (the second byte
//      says where it is cut);
//   1: message bodies separated by NUL bytes, each framed here, after an
//      initialize: for JSON of any shape reaching every handler;
//   2: a document's text (bit 2 of the first byte: microprogram, else
//      assembly), opened and asked about at lines' starts, middles and ends,
//      then changed and asked again.
// Besides the absence of crashes it checks that everything the server sends
// is one well-formed frame after another, each a JSON-RPC message, and that
// no request of the document case (2), whose ids are all different, is
// answered twice.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "lsp/framing.hpp"
#include "lsp/json.hpp"
#include "lsp/server.hpp"

namespace {

using lsp::Json;

void Check(bool ok) {
    if (!ok) std::abort();
}

// Every byte the server sent is part of a frame of a JSON-RPC message. A
// response names a request no other response named, where `answered` is
// given: only where this harness chose the ids, since a fuzzed stream may
// send two requests with one id, and each gets its answer.
void CheckOutgoing(lsp::Server& server, std::set<std::string>* answered) {
    lsp::FrameReader reader;
    lsp::Feed(reader, server.outgoing);
    server.outgoing.clear();
    std::string body, problem;
    for (;;) {
        const lsp::FrameResult result = lsp::NextFrame(reader, body, problem);
        Check(result != lsp::FrameResult::Refused);
        if (result == lsp::FrameResult::NeedMore) break;
        const Json message = Json::parse(body, nullptr, false);
        Check(!message.is_discarded() && message.is_object());
        Check(message.value("jsonrpc", "") == "2.0");
        const bool response = message.contains("result") || message.contains("error");
        Check(response != message.contains("method"));
        if (answered != nullptr && response && !message["id"].is_null()) {
            Check(answered->insert(message["id"].dump()).second);
        }
    }
    Check(!lsp::HasPartialFrame(reader));
}

void Deliver(lsp::Server& server, lsp::FrameReader& reader, std::string_view bytes) {
    lsp::Feed(reader, bytes);
    lsp::HandleFrames(server, reader);
    lsp::PublishPending(server);
}

std::string Framed(const Json& message) {
    std::string out;
    lsp::AppendFrame(out, lsp::Serialized(message));
    return out;
}

Json Request(int id, std::string_view method, Json params) {
    return Json{{"jsonrpc", "2.0"}, {"id", id}, {"method", method}, {"params", std::move(params)}};
}

const Json kInitialize = Request(
    0, "initialize",
    {{"capabilities",
      {{"textDocument", {{"hover", {{"contentFormat", {"markdown"}}}},
                         {"documentSymbol", {{"hierarchicalDocumentSymbolSupport", true}}}}}}},
     {"initializationOptions", {{"inlayHints", true}, {"wordforgeWarnings", {"-Wall"}}}}});

// Every position-taking request at one place.
void AskAt(lsp::Server& server, int& id, std::string_view uri, unsigned line, unsigned character) {
    const Json at{{"textDocument", {{"uri", uri}}}, {"position", {{"line", line}, {"character", character}}}};
    for (const char* method : {"textDocument/hover", "textDocument/definition", "textDocument/documentHighlight",
                               "textDocument/prepareRename", "textDocument/completion"}) {
        lsp::HandleMessage(server, lsp::Serialized(Request(id++, method, at)));
    }
    Json references = at;
    references["context"] = {{"includeDeclaration", true}};
    lsp::HandleMessage(server, lsp::Serialized(Request(id++, "textDocument/references", references)));
    Json rename = at;
    rename["newName"] = character % 2 == 0 ? "RENAMED" : "GOTO";
    lsp::HandleMessage(server, lsp::Serialized(Request(id++, "textDocument/rename", rename)));
}

void AskAboutDocument(lsp::Server& server, int& id, std::string_view uri, const std::string& text) {
    const Json document{{"textDocument", {{"uri", uri}}}};
    lsp::HandleMessage(server, lsp::Serialized(Request(id++, "textDocument/semanticTokens/full", document)));
    lsp::HandleMessage(server, lsp::Serialized(Request(id++, "textDocument/documentSymbol", document)));
    Json hints = document;
    hints["range"] = {{"start", {{"line", 0}, {"character", 0}}}, {"end", {{"line", 1u << 20}, {"character", 0}}}};
    lsp::HandleMessage(server, lsp::Serialized(Request(id++, "textDocument/inlayHint", hints)));
    unsigned line = 0;
    std::size_t lineStart = 0;
    // The first lines, at their start, middle and end, and every eighth
    // line after them at its middle: enough for the places a model can go
    // wrong, few enough to keep the runs quick.
    for (std::size_t i = 0; i <= text.size() && line < 256; ++i) {
        if (i == text.size() || text[i] == '\n') {
            const unsigned length = static_cast<unsigned>(i - lineStart);
            if (line < 6) {
                AskAt(server, id, uri, line, 0);
                AskAt(server, id, uri, line, length);
            }
            if (line < 6 || line % 8 == 0) AskAt(server, id, uri, line, length / 2);
            ++line;
            lineStart = i + 1;
        }
    }
    AskAt(server, id, uri, 1u << 30, 1u << 30);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const std::string_view input(reinterpret_cast<const char*>(data + 1), size - 1);
    lsp::Server server;
    lsp::FrameReader reader;
    std::set<std::string> answered;
    switch (data[0] % 3) {
        case 0: {
            const std::size_t cut = static_cast<unsigned char>(input[0]) % input.size();
            Deliver(server, reader, input.substr(0, cut));
            CheckOutgoing(server, nullptr);
            Deliver(server, reader, input.substr(cut));
            break;
        }
        case 1: {
            std::string stream = Framed(kInitialize);
            std::size_t at = 0;
            while (at <= input.size()) {
                const std::size_t end = std::min(input.find('\0', at), input.size());
                lsp::AppendFrame(stream, input.substr(at, end - at));
                at = end + 1;
            }
            Deliver(server, reader, stream);
            break;
        }
        default: {
            const bool micro = (data[0] & 4) != 0;
            const std::string uri = micro ? "file:///fuzz.mic" : "file:///fuzz.asm";
            const std::string text(input);
            int id = 1;
            lsp::HandleMessage(server, lsp::Serialized(kInitialize));
            lsp::HandleMessage(server, lsp::Serialized(Json{
                {"jsonrpc", "2.0"},
                {"method", "textDocument/didOpen"},
                {"params", {{"textDocument", {{"uri", uri}, {"languageId", ""}, {"version", 1}, {"text", text}}}}}}));
            lsp::PublishPending(server);
            AskAboutDocument(server, id, uri, text);
            CheckOutgoing(server, &answered);
            // An edit in the middle of the text, in UTF-16 units, then the
            // same questions on what it made.
            const Json change{
                {"jsonrpc", "2.0"},
                {"method", "textDocument/didChange"},
                {"params",
                 {{"textDocument", {{"uri", uri}, {"version", 2}}},
                  {"contentChanges",
                   {{{"range",
                      {{"start", {{"line", 1}, {"character", 1}}}, {"end", {{"line", 2}, {"character", 3}}}}},
                     {"text", text.substr(0, std::min<std::size_t>(text.size(), 40))}}}}}}};
            lsp::HandleMessage(server, lsp::Serialized(change));
            lsp::PublishPending(server);
            AskAboutDocument(server, id, uri, text);
            CheckOutgoing(server, &answered);
            return 0;
        }
    }
    CheckOutgoing(server, nullptr);
    return 0;
}
