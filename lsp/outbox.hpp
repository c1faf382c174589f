#pragma once
// The messages the server sends, framed into Server::outgoing.
#include <string_view>

#include "lsp/json.hpp"
#include "lsp/server.hpp"

namespace lsp {

// The protocol's error codes.
enum ErrorCode : int {
    kParseError = -32700,
    kInvalidRequest = -32600,
    kMethodNotFound = -32601,
    kInvalidParams = -32602,
    kInternalError = -32603,
    kServerNotInitialized = -32002,
    kRequestFailed = -32803,
};

void SendResult(Server& server, const Json& id, Json result);
void SendError(Server& server, const Json& id, int code, std::string_view message);
void SendNotification(Server& server, std::string_view method, Json params);
void SendRequest(Server& server, std::string_view method, Json params);

// window/showMessage of a warning.
void ShowWarning(Server& server, std::string_view text);

}  // namespace lsp
