#include "lsp/framing.hpp"

#include <charconv>

#include "common/ascii.hpp"

namespace lsp {

namespace {

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) text.remove_suffix(1);
    return text;
}

// Where the header block that starts at `from` ends (just after its empty
// line), or npos. Lines end with CR LF as the protocol says; a bare LF is
// taken too, as some clients write it.
std::size_t HeaderEnd(std::string_view text, std::size_t from) {
    std::size_t at = from;
    for (;;) {
        const std::size_t lf = text.find('\n', at);
        if (lf == std::string_view::npos) return std::string_view::npos;
        std::string_view line = text.substr(at, lf - at);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty()) return lf + 1;
        at = lf + 1;
    }
}

// Reads the header block; returns false with `problem` set when it names no
// usable Content-Length. `length` is set whenever a length could be read.
bool ReadHeader(std::string_view block, std::size_t& length, bool& lengthRead, std::string& problem) {
    lengthRead = false;
    bool sawLength = false;
    while (!block.empty()) {
        const std::size_t lf = block.find('\n');
        std::string_view line = block.substr(0, lf);
        block.remove_prefix(lf == std::string_view::npos ? block.size() : lf + 1);
        line = Trimmed(line);
        if (line.empty()) continue;
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos) {
            problem = "header line without a colon";
            return false;
        }
        const std::string_view name = Trimmed(line.substr(0, colon));
        const std::string_view value = Trimmed(line.substr(colon + 1));
        if (!common::EqualsIgnoringCase(name, "Content-Length")) continue;  // Content-Type and the like
        std::size_t parsed = 0;
        const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), parsed);
        if (error != std::errc() || end != value.data() + value.size() || value.empty()) {
            problem = "Content-Length is not a number";
            return false;
        }
        if (sawLength && parsed != length) {
            problem = "two different Content-Length fields";
            return false;
        }
        sawLength = true;
        length = parsed;
        lengthRead = true;
    }
    if (!sawLength) {
        problem = "header without Content-Length";
        return false;
    }
    if (length > kMaxBodyBytes) {
        problem = "message of " + std::to_string(length) + " bytes is larger than the " +
                  std::to_string(kMaxBodyBytes) + " bytes taken";
        return false;
    }
    return true;
}

// Where the block's first Content-Length field starts when bytes that are
// no header stand before it: on its own line, or on lines without a colon.
// Else npos: the block is a header, only a bad one.
std::size_t FieldAfterStart(std::string_view block) {
    constexpr std::string_view kField = "content-length";
    std::size_t at = 0;
    while (at + kField.size() <= block.size() && !common::EqualsIgnoringCase(block.substr(at, kField.size()), kField)) ++at;
    if (at == 0 || at + kField.size() > block.size()) return std::string_view::npos;
    if (block[at - 1] != '\n') return at;
    std::string_view before = block.substr(0, at);
    while (!before.empty()) {
        const std::size_t lf = before.find('\n');
        if (before.substr(0, lf).find(':') == std::string_view::npos) return at;
        before.remove_prefix(lf == std::string_view::npos ? before.size() : lf + 1);
    }
    return std::string_view::npos;
}

void Compact(FrameReader& reader) {
    // Drop handed-out bytes once they are the larger part, so a long session
    // neither grows the buffer nor moves it for every message.
    if (reader.consumed > 0 && reader.consumed * 2 >= reader.buffer.size()) {
        reader.buffer.erase(0, reader.consumed);
        reader.consumed = 0;
    }
}

}  // namespace

void Feed(FrameReader& reader, std::string_view bytes) {
    if (reader.dropping > 0) {
        const std::size_t dropped = std::min(reader.dropping, bytes.size());
        reader.dropping -= dropped;
        bytes.remove_prefix(dropped);
    }
    reader.buffer.append(bytes);
}

FrameResult NextFrame(FrameReader& reader, std::string& body, std::string& problem) {
    Compact(reader);
    const std::string_view text = std::string_view(reader.buffer).substr(reader.consumed);
    if (text.empty()) return FrameResult::NeedMore;
    const std::size_t headerEnd = HeaderEnd(text, 0);
    if (headerEnd == std::string_view::npos) {
        if (text.size() <= kMaxHeaderBytes) return FrameResult::NeedMore;
        // No end of header in sight: drop what came, keeping the last line,
        // which may be the start of the next good header.
        const std::size_t lastLine = text.rfind('\n');
        reader.consumed += lastLine == std::string_view::npos ? text.size() : lastLine + 1;
        problem = "header longer than " + std::to_string(kMaxHeaderBytes) + " bytes";
        return FrameResult::Refused;
    }
    std::size_t length = 0;
    bool lengthRead = false;
    if (!ReadHeader(text.substr(0, headerEnd), length, lengthRead, problem)) {
        // Bytes before a header (the rest of a body sent longer than its
        // length said) are dropped up to the Content-Length field that
        // follows them, so that the message it heads is still read.
        const std::size_t next = FieldAfterStart(text.substr(0, headerEnd));
        if (next != std::string_view::npos) {
            reader.consumed += next;
            return FrameResult::Refused;
        }
        reader.consumed += headerEnd;
        if (lengthRead && length > kMaxBodyBytes) {
            // Drop the announced body, as much of it as is here and the rest
            // as it arrives, so that the next header is found again.
            const std::size_t here = std::min(length, text.size() - headerEnd);
            reader.consumed += here;
            reader.dropping = length - here;
        }
        return FrameResult::Refused;
    }
    if (text.size() - headerEnd < length) return FrameResult::NeedMore;
    body.assign(text.substr(headerEnd, length));
    reader.consumed += headerEnd + length;
    return FrameResult::Message;
}

bool HasPartialFrame(const FrameReader& reader) {
    return reader.buffer.size() > reader.consumed || reader.dropping > 0;
}

void AppendFrame(std::string& out, std::string_view body) {
    out += "Content-Length: ";
    out += std::to_string(body.size());
    out += "\r\n\r\n";
    out.append(body);
}

}  // namespace lsp
