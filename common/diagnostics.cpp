#include "common/diagnostics.hpp"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstring>
#include <utility>

namespace common {

namespace {

constexpr std::int32_t kMarkEvery = 4096;

void Mark(LineLocator& locator, std::int32_t line, std::size_t start) {
    if ((line - 1) % kMarkEvery == 0 && static_cast<std::size_t>((line - 1) / kMarkEvery) > locator.marks.size()) {
        locator.marks.push_back(start);
    }
}

// The high bit of each byte of `block` that equals `c`, and of no other byte.
std::uint64_t BytesExactlyEqual(std::uint64_t block, char c) {
    constexpr std::uint64_t kOnes = 0x0101010101010101u;
    constexpr std::uint64_t kLows = 0x7F7F7F7F7F7F7F7Fu;
    const std::uint64_t x = block ^ (kOnes * static_cast<unsigned char>(c));
    return ~(((x & kLows) + kLows) | x | kLows);
}

// Line feeds between two places, counted eight bytes at a time.
struct FeedCount {
    std::size_t feeds = 0;
    std::size_t lastFeed = 0;  // where the last of them stands, when there is one
    bool loneReturn = false;   // a carriage return not followed by a line feed ends a line too
};

// Counts the line feeds in [from, to) and looks for a carriage return there
// whose next byte (the one at `to` included) is no line feed. Each step
// reads nine bytes: eight to look at, and the one after each; the last step
// looks only at the bytes before `to`.
FeedCount CountFeeds(std::string_view text, std::size_t from, std::size_t to) {
    constexpr std::uint64_t kOnes = 0x0101010101010101u;
    const char* p = text.data();
    FeedCount count;
    std::uint64_t lone = 0;
    std::size_t i = from;
    while (i < to && i + 9 <= text.size()) {
        std::uint64_t block, next;
        std::memcpy(&block, p + i, 8);
        std::memcpy(&next, p + i + 1, 8);
        std::uint64_t feeds = BytesExactlyEqual(block, '\n');
        std::uint64_t returns = BytesExactlyEqual(block, '\r') & ~BytesExactlyEqual(next, '\n');
        if (to - i < 8) {
            const std::uint64_t inside = (std::uint64_t{1} << (8 * (to - i))) - 1;
            feeds &= inside;
            returns &= inside;
        }
        if (feeds != 0) {
            count.feeds += static_cast<std::size_t>(((feeds >> 7) * kOnes) >> 56);  // adds up the marks
            count.lastFeed = i + static_cast<std::size_t>((63 - std::countl_zero(feeds)) >> 3);
        }
        lone |= returns;
        i += 8;
    }
    for (; i < to; ++i) {  // the last few bytes of the text
        if (p[i] == '\n') {
            ++count.feeds;
            count.lastFeed = i;
        }
        if (p[i] == '\r' && (i + 1 >= text.size() || p[i + 1] != '\n')) lone = 1;
    }
    count.loneReturn = lone != 0;
    return count;
}

// Counts on from the locator's line to the line holding `offset`, which
// lies at or after that line's start.
void CountOn(LineLocator& locator, std::size_t offset) {
    const std::string_view text = locator.text;
    std::size_t at = locator.lineStart;
    std::int32_t line = locator.line;
    // The usual text, and the usual gap between two diagnostics: where only
    // line feeds end lines, count them at once and step back to the last.
    // Where the count passes a kept line start, the loop below goes line by
    // line and keeps it.
    const FeedCount count = CountFeeds(text, at, offset);
    if (count.feeds == 0 && !count.loneReturn) return;
    const std::int32_t reached = line + static_cast<std::int32_t>(count.feeds);
    if (!count.loneReturn && (line - 1) / kMarkEvery == (reached - 1) / kMarkEvery) {
        locator.lineStart = count.lastFeed + 1;
        locator.line = reached;
        return;
    }
    for (;;) {
        // The next line end at or after `at`, if it comes before the offset.
        std::size_t end = at;
        while (end < offset && text[end] != '\r' && text[end] != '\n') ++end;
        if (end >= offset) break;
        std::size_t next = end + 1;
        if (text[end] == '\r' && next < text.size() && text[next] == '\n') ++next;
        if (next > offset) break;  // the offset is the line feed of this line's pair
        at = next;
        ++line;
        Mark(locator, line, at);
    }
    locator.lineStart = at;
    locator.line = line;
}

char* Put(char* out, std::string_view piece) {
    if (!piece.empty()) std::memcpy(out, piece.data(), piece.size());
    return out + piece.size();
}

}  // namespace

Place Locate(LineLocator& locator, std::size_t offset) {
    if (offset > locator.text.size()) offset = locator.text.size();
    if (offset < locator.lineStart) {
        // Back to the last mark at or before the offset.
        std::size_t k = locator.marks.size();
        while (k > 0 && locator.marks[k - 1] > offset) --k;
        locator.lineStart = k == 0 ? 0 : locator.marks[k - 1];
        locator.line = static_cast<std::int32_t>(k) * kMarkEvery + 1;
    }
    CountOn(locator, offset);
    Place place;
    place.line = locator.line;
    place.column = static_cast<std::int32_t>(offset - locator.lineStart + 1);
    return place;
}

std::size_t TokenLengthAt(std::string_view text, std::size_t offset) {
    if (offset >= text.size()) return 0;
    auto isWordByte = [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
    };
    const char first = text[offset];
    if (first == '\r' || first == '\n') return 0;
    if (first == ':' && offset + 1 < text.size() && text[offset + 1] == '=') return 2;
    if (static_cast<unsigned char>(first) >= 0xC0) {
        // The first byte of a character of several: the token is the whole
        // character, so that no mark ends inside it.
        std::size_t end = offset + 1;
        while (end < text.size() && end < offset + 4 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) ++end;
        return end - offset;
    }
    if (!isWordByte(first)) return 1;
    std::size_t end = offset + 1;
    while (end < text.size() && isWordByte(text[end])) ++end;
    return end - offset;
}

void Record(DiagnosticSink& sink, std::size_t offset, Severity severity, std::string_view tag,
            std::string_view message, std::size_t length, std::string_view fix) {
    Place place = Locate(sink.locator, offset);
    Diagnostic& diagnostic = sink.current;
    diagnostic.line = place.line;
    diagnostic.column = place.column;
    const std::size_t at = std::min(offset, sink.locator.text.size());
    if (length == kTokenRule) length = TokenLengthAt(sink.locator.text, at);
    diagnostic.endColumn = place.column + static_cast<std::int32_t>(std::min(length, sink.locator.text.size() - at));
    diagnostic.severity = severity;
    diagnostic.tag.assign(tag);
    diagnostic.message.assign(message);
    if (!fix.empty() || !diagnostic.fix.empty()) diagnostic.fix.assign(fix);
    diagnostic.offset = at;
    if (sink.emit) sink.emit(diagnostic);
}

std::string_view SeverityName(Severity severity) {
    switch (severity) {
        case Severity::Error: return "error";
        case Severity::Warning: return "warning";
        case Severity::Note: return "note";
    }
    return "error";
}

std::string FormatDiagnostic(std::string_view file, const Diagnostic& diagnostic) {
    std::string text;
    AppendDiagnosticLine(text, file, diagnostic);
    text.pop_back();
    return text;
}

std::size_t DiagnosticLineBound(std::string_view file, const Diagnostic& diagnostic) {
    // Two numbers of at most 11 characters, the separators, the severity,
    // the brackets and the line feed.
    return file.size() + diagnostic.message.size() + diagnostic.tag.size() + 40;
}

char* PutDiagnosticLine(char* out, std::string_view file, const Diagnostic& diagnostic) {
    const std::string_view kind = diagnostic.severity == Severity::Error     ? ": error: "
                                  : diagnostic.severity == Severity::Warning ? ": warning: "
                                                                             : ": note: ";
    out = Put(out, file);
    *out++ = ':';
    out = std::to_chars(out, out + 11, diagnostic.line).ptr;
    *out++ = ':';
    out = std::to_chars(out, out + 11, diagnostic.column).ptr;
    out = Put(out, kind);
    out = Put(out, diagnostic.message);
    if (!diagnostic.tag.empty()) {
        out = Put(out, " [");
        out = Put(out, diagnostic.tag);
        *out++ = ']';
    }
    *out++ = '\n';
    return out;
}

void AppendDiagnosticLine(std::string& text, std::string_view file, const Diagnostic& diagnostic) {
    const std::size_t start = text.size();
    text.resize(start + DiagnosticLineBound(file, diagnostic));
    char* out = PutDiagnosticLine(text.data() + start, file, diagnostic);
    text.resize(static_cast<std::size_t>(out - text.data()));
}

DiagnosticSink ListSink(std::string_view source, std::vector<Diagnostic>& list) {
    DiagnosticSink sink;
    sink.locator.text = source;
    sink.emit = [&list](const Diagnostic& diagnostic) { list.push_back(diagnostic); };
    return sink;
}

}  // namespace common
