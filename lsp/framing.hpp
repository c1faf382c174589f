#pragma once
// The base protocol's framing: each message is a header block of
// "Name: value" lines, ended by an empty line, then a body of exactly the
// Content-Length the header names. The reader takes bytes as they arrive and
// hands out whole bodies; it never blocks and never throws, and it recovers
// from a header it cannot read by dropping that header block (and the body
// it announced, when its length was readable but too large).
#include <cstddef>
#include <string>
#include <string_view>

namespace lsp {

// The largest body taken: a 10 MB document with every byte escaped as
// \u00XX is about 60 MB of JSON.
inline constexpr std::size_t kMaxBodyBytes = 128u << 20;
// The largest header block looked at before it is given up on.
inline constexpr std::size_t kMaxHeaderBytes = 64u << 10;

struct FrameReader {
    std::string buffer;           // bytes received and not yet handed out
    std::size_t consumed = 0;     // the front of `buffer` already handed out
    std::size_t dropping = 0;     // bytes of a refused body still to drop as they arrive
};

enum class FrameResult {
    Message,   // `body` holds the next message's body
    NeedMore,  // no whole message is buffered
    Refused,   // a header block could not be read and was dropped; `problem` says why
};

void Feed(FrameReader& reader, std::string_view bytes);

// The next whole message, if one is buffered.
FrameResult NextFrame(FrameReader& reader, std::string& body, std::string& problem);

// True when bytes of an unfinished message are buffered.
bool HasPartialFrame(const FrameReader& reader);

// One message as it goes out: its header, then the body.
void AppendFrame(std::string& out, std::string_view body);

}  // namespace lsp
