#include "common/diagnostics.hpp"

#include <algorithm>
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

// Whether every carriage return of the text stands before a line feed, so
// that line feeds alone end the lines.
bool LineFeedsOnly(std::string_view text) {
    const char* p = text.data();
    const char* end = p + text.size();
    while ((p = static_cast<const char*>(std::memchr(p, '\r', static_cast<std::size_t>(end - p)))) != nullptr) {
        if (p + 1 >= end || p[1] != '\n') return false;
        p += 2;
    }
    return true;
}

// Counts on from the locator's line to the line holding `offset`, which
// lies at or after that line's start.
void CountOn(LineLocator& locator, std::size_t offset) {
    const std::string_view text = locator.text;
    std::size_t at = locator.lineStart;
    std::int32_t line = locator.line;
    if (locator.lineFeedsOnly < 0) locator.lineFeedsOnly = LineFeedsOnly(text) ? 1 : 0;
    if (locator.lineFeedsOnly == 1) {
        // The usual text: jump from line feed to line feed.
        const char* base = text.data();
        while (at < offset) {
            const void* feed = std::memchr(base + at, '\n', offset - at);
            if (feed == nullptr) break;
            at = static_cast<std::size_t>(static_cast<const char*>(feed) - base) + 1;
            ++line;
            Mark(locator, line, at);
        }
        locator.lineStart = at;
        locator.line = line;
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

void Record(DiagnosticSink& sink, std::size_t offset, Severity severity, std::string tag, std::string message) {
    Place place = Locate(sink.locator, offset);
    Diagnostic diagnostic;
    diagnostic.line = place.line;
    diagnostic.column = place.column;
    diagnostic.severity = severity;
    diagnostic.tag = std::move(tag);
    diagnostic.message = std::move(message);
    if (sink.emit) sink.emit(diagnostic);
}

std::string FormatDiagnostic(std::string_view file, const Diagnostic& diagnostic) {
    std::string text;
    AppendDiagnosticLine(text, file, diagnostic);
    text.pop_back();
    return text;
}

void AppendDiagnosticLine(std::string& text, std::string_view file, const Diagnostic& diagnostic) {
    text += file;
    text += ':';
    text += std::to_string(diagnostic.line);
    text += ':';
    text += std::to_string(diagnostic.column);
    text += diagnostic.severity == Severity::Error ? ": error: " : ": warning: ";
    text += diagnostic.message;
    if (!diagnostic.tag.empty()) {
        text += " [";
        text += diagnostic.tag;
        text += ']';
    }
    text += '\n';
}

DiagnosticSink ListSink(std::string_view source, std::vector<Diagnostic>& list) {
    DiagnosticSink sink;
    sink.locator.text = source;
    sink.emit = [&list](const Diagnostic& diagnostic) { list.push_back(diagnostic); };
    return sink;
}

}  // namespace common
