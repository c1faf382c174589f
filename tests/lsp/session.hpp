#pragma once
// A language-server session held in memory: messages in, the framed answers
// read back as JSON.
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "lsp/framing.hpp"
#include "lsp/json.hpp"
#include "lsp/server.hpp"

namespace lsp_test {

using lsp::Json;

struct Session {
    lsp::Server server;

    // Handles the messages as one burst (the loop publishes after it) and
    // returns what the server sent, in order.
    std::vector<Json> Send(const std::vector<Json>& messages) {
        for (const Json& message : messages) lsp::HandleMessage(server, lsp::Serialized(message));
        lsp::PublishPending(server);
        return Sent();
    }
    std::vector<Json> SendBody(std::string_view body) {
        lsp::HandleMessage(server, body);
        lsp::PublishPending(server);
        return Sent();
    }

    // The messages in `outgoing`, each framed exactly once.
    std::vector<Json> Sent() {
        lsp::FrameReader reader;
        lsp::Feed(reader, server.outgoing);
        server.outgoing.clear();
        std::vector<Json> messages;
        std::string body, problem;
        while (lsp::NextFrame(reader, body, problem) == lsp::FrameResult::Message) {
            messages.push_back(Json::parse(body));
        }
        return messages;
    }
};

inline Json Request(int id, std::string_view method, Json params = Json::object()) {
    return Json{{"jsonrpc", "2.0"}, {"id", id}, {"method", method}, {"params", std::move(params)}};
}

inline Json Notification(std::string_view method, Json params = Json::object()) {
    return Json{{"jsonrpc", "2.0"}, {"method", method}, {"params", std::move(params)}};
}

inline Json Initialize(int id, Json capabilities = Json::object(), Json options = nullptr) {
    Json params{{"capabilities", std::move(capabilities)}};
    if (!options.is_null()) params["initializationOptions"] = std::move(options);
    return Request(id, "initialize", std::move(params));
}

inline Json Open(std::string_view uri, std::string_view languageId, std::string_view text, int version = 1) {
    return Notification("textDocument/didOpen", {{"textDocument",
                                                  {{"uri", uri}, {"languageId", languageId}, {"version", version},
                                                   {"text", text}}}});
}

inline Json At(std::string_view uri, unsigned line, unsigned character) {
    return Json{{"textDocument", {{"uri", uri}}}, {"position", {{"line", line}, {"character", character}}}};
}

inline std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// The answer to request `id` among the messages; null when there is none.
inline const Json* AnswerTo(const std::vector<Json>& messages, int id) {
    for (const Json& message : messages) {
        if (message.contains("id") && message["id"] == id && !message.contains("method")) return &message;
    }
    return nullptr;
}

inline std::vector<Json> Notifications(const std::vector<Json>& messages, std::string_view method) {
    std::vector<Json> found;
    for (const Json& message : messages) {
        if (message.value("method", "") == method && !message.contains("id")) found.push_back(message);
    }
    return found;
}

}  // namespace lsp_test
