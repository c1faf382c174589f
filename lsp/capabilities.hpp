#pragma once
// initialize: what the client offers, and what the server answers with.
#include "lsp/json.hpp"
#include "lsp/server.hpp"

namespace lsp {

// Reads the client's capabilities and initializationOptions into the
// server (position encoding, formats, settings) and returns the result.
Json Initialize(Server& server, const Json& params);

}  // namespace lsp
