#include "lsp/outbox.hpp"

#include "lsp/framing.hpp"

namespace lsp {

namespace {

void Send(Server& server, const Json& message) { AppendFrame(server.outgoing, Serialized(message)); }

}  // namespace

void SendResult(Server& server, const Json& id, Json result) {
    Send(server, Json{{"jsonrpc", "2.0"}, {"id", id}, {"result", std::move(result)}});
}

void SendError(Server& server, const Json& id, int code, std::string_view message) {
    Send(server, Json{{"jsonrpc", "2.0"}, {"id", id}, {"error", {{"code", code}, {"message", message}}}});
}

void SendNotification(Server& server, std::string_view method, Json params) {
    Send(server, Json{{"jsonrpc", "2.0"}, {"method", method}, {"params", std::move(params)}});
}

void SendRequest(Server& server, std::string_view method, Json params) {
    Json message{{"jsonrpc", "2.0"}, {"id", "zorvelt-" + std::to_string(server.nextRequest++)}, {"method", method}};
    if (!params.is_null()) message["params"] = std::move(params);
    Send(server, message);
}

void ShowWarning(Server& server, std::string_view text) {
    server.log += "zorvelt-lsp: ";
    server.log += text;
    server.log += '\n';
    if (server.client.showMessage) SendNotification(server, "window/showMessage", {{"type", 2}, {"message", text}});
}

}  // namespace lsp
