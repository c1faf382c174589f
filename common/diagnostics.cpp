#include "common/diagnostics.hpp"

#include <algorithm>
#include <utility>

namespace common {

namespace {

// Extends the known line starts until they cover the offset (or the text ends).
void ScanTo(LineLocator& locator, std::size_t offset) {
    const std::string_view text = locator.text;
    std::size_t at = locator.scanned;
    const std::size_t end = std::min(offset + 1, text.size());
    while (at < end) {
        char c = text[at++];
        if (c == '\r') {
            if (at < text.size() && text[at] == '\n') ++at;
            locator.lineStarts.push_back(at);
        } else if (c == '\n') {
            locator.lineStarts.push_back(at);
        }
    }
    locator.scanned = std::max(locator.scanned, at);
}

}  // namespace

Place Locate(LineLocator& locator, std::size_t offset) {
    if (offset > locator.text.size()) offset = locator.text.size();
    ScanTo(locator, offset);
    // The last line start at or before the offset.
    auto next = std::upper_bound(locator.lineStarts.begin(), locator.lineStarts.end(), offset);
    std::size_t index = static_cast<std::size_t>(next - locator.lineStarts.begin()) - 1;
    Place place;
    place.line = static_cast<std::int32_t>(index + 1);
    place.column = static_cast<std::int32_t>(offset - locator.lineStarts[index] + 1);
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
    std::string text(file);
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
    return text;
}

DiagnosticSink ListSink(std::string_view source, std::vector<Diagnostic>& list) {
    DiagnosticSink sink;
    sink.locator.text = source;
    sink.emit = [&list](const Diagnostic& diagnostic) { list.push_back(diagnostic); };
    return sink;
}

}  // namespace common
