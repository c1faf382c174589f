#include "cli/diagnostic_printer.hpp"

#include <algorithm>
#include <charconv>
#include <cstdint>

namespace cli {

namespace {

// The escape sequences, as compilers colour their diagnostics; each ends
// with "erase to the end of the line" so that a background colour never
// spills over.
constexpr std::string_view kReset = "\33[m\33[K";
constexpr std::string_view kBold = "\33[01m\33[K";
constexpr std::string_view kRed = "\33[01;31m\33[K";
constexpr std::string_view kMagenta = "\33[01;35m\33[K";
constexpr std::string_view kCyan = "\33[01;36m\33[K";
constexpr std::string_view kCaretGreen = "\33[01;32m\33[K";
constexpr std::string_view kFixGreen = "\33[32m\33[K";

constexpr int kTabStop = 8;

std::string_view SeverityColor(common::Severity severity) {
    switch (severity) {
        case common::Severity::Error: return kRed;
        case common::Severity::Warning: return kMagenta;
        case common::Severity::Note: return kCyan;
    }
    return kRed;
}

void PutNumber(std::string& out, long long value) {
    char digits[24];
    out.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
}

// ---------------------------------------------------------------- caret

// A character of the source line: how many bytes it takes, how many columns
// it fills on a terminal, and whether it can be shown as it is.
struct Glyph {
    std::size_t bytes = 1;
    int columns = 1;
    bool shown = true;
};

// Wide characters fill two columns: the ranges of East Asian wide and full
// width characters and of the emoji.
bool IsWide(std::uint32_t c) {
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0x303E) || (c >= 0x3041 && c <= 0x33FF) ||
           (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xA000 && c <= 0xA4CF) ||
           (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) ||
           (c >= 0xFF00 && c <= 0xFF60) || (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x1F300 && c <= 0x1F64F) ||
           (c >= 0x1F900 && c <= 0x1F9FF) || (c >= 0x20000 && c <= 0x3FFFD);
}

// Combining marks stand on the character before them.
bool IsCombining(std::uint32_t c) {
    return (c >= 0x0300 && c <= 0x036F) || (c >= 0x1AB0 && c <= 0x1AFF) || (c >= 0x1DC0 && c <= 0x1DFF) ||
           (c >= 0x20D0 && c <= 0x20FF) || (c >= 0xFE20 && c <= 0xFE2F);
}

Glyph GlyphAt(std::string_view line, std::size_t at, int column) {
    const unsigned char c = static_cast<unsigned char>(line[at]);
    Glyph glyph;
    if (c == '\t') {
        glyph.columns = kTabStop - column % kTabStop;
        return glyph;
    }
    if (c < 0x80) {
        glyph.shown = c >= 32 && c != 127;
        return glyph;
    }
    const std::size_t n = c >= 0xF0 && c <= 0xF4 ? 4 : c >= 0xE0 && c <= 0xEF ? 3 : c >= 0xC2 && c <= 0xDF ? 2 : 0;
    if (n == 0 || at + n > line.size()) {
        glyph.shown = false;
        return glyph;
    }
    std::uint32_t code = c & (n == 2 ? 0x1Fu : n == 3 ? 0x0Fu : 0x07u);
    for (std::size_t i = 1; i < n; ++i) {
        const unsigned char next = static_cast<unsigned char>(line[at + i]);
        if ((next & 0xC0) != 0x80) {
            glyph.shown = false;
            return glyph;
        }
        code = (code << 6) | (next & 0x3Fu);
    }
    glyph.bytes = n;
    glyph.columns = IsCombining(code) ? 0 : IsWide(code) ? 2 : 1;
    return glyph;
}

// The source line a diagnostic stands on, without its line end.
std::string_view SourceLine(std::string_view source, const common::Diagnostic& diagnostic) {
    const std::size_t back = static_cast<std::size_t>(diagnostic.column > 0 ? diagnostic.column - 1 : 0);
    std::size_t start = diagnostic.offset >= back ? diagnostic.offset - back : 0;
    if (start > source.size()) start = source.size();
    std::size_t end = start;
    while (end < source.size() && source[end] != '\r' && source[end] != '\n' && source[end] != 26) ++end;
    return source.substr(start, end - start);
}

void PutMargin(std::string& out, int width, long long line) {
    char digits[24];
    const char* end = std::to_chars(digits, digits + sizeof digits, line).ptr;
    const int n = static_cast<int>(end - digits);
    out += ' ';
    if (line > 0) {
        out.append(static_cast<std::size_t>(width > n ? width - n : 0), ' ');
        out.append(digits, static_cast<std::size_t>(n));
    } else {
        out.append(static_cast<std::size_t>(width), ' ');
    }
    out += " | ";
}

// ---------------------------------------------------------------- JSON

void PutJsonString(std::string& out, std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    out += '"';
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
            ++i;
        } else if (c < 0x20 || c == 0x7F) {
            out += "\\u00";
            out += kHex[c >> 4];
            out += kHex[c & 15u];
            ++i;
        } else if (c < 0x80) {
            out += static_cast<char>(c);
            ++i;
        } else {
            // Well-formed UTF-8 as it is; any other byte as the replacement
            // character, since JSON holds text only.
            const Glyph glyph = GlyphAt(text, i, 0);
            if (glyph.shown) {
                out.append(text.substr(i, glyph.bytes));
                i += glyph.bytes;
            } else {
                out += "\\ufffd";
                ++i;
            }
        }
    }
    out += '"';
}

void PutJsonOrNull(std::string& out, std::string_view text) {
    if (text.empty()) {
        out += "null";
    } else {
        PutJsonString(out, text);
    }
}

void PutJsonObject(DiagnosticPrinter& printer, std::string& out, std::string_view file, long long line,
                   long long column, long long endColumn, std::string_view severity, std::string_view code,
                   std::string_view message, std::string_view fix) {
    out += printer.printed++ == 0 ? "\n" : ",\n";
    out += "{\"file\":";
    PutJsonString(out, file);
    out += ",\"line\":";
    PutNumber(out, line);
    out += ",\"column\":";
    PutNumber(out, column);
    out += ",\"endColumn\":";
    PutNumber(out, endColumn);
    out += ",\"severity\":";
    PutJsonString(out, severity);
    out += ",\"code\":";
    PutJsonOrNull(out, code);
    out += ",\"message\":";
    PutJsonString(out, message);
    out += ",\"fix\":";
    PutJsonOrNull(out, fix);
    out += '}';
}

}  // namespace

PrintStyle SettleStyle(const DiagnosticChoice& choice, bool terminal, const char* noColor, const char* term) {
    PrintStyle style;
    style.json = choice.json;
    if (style.json) return style;  // JSON is for programs: neither carets nor colour
    style.caret = choice.caret == When::Always || (choice.caret == When::Auto && terminal);
    const bool colorOff = (noColor != nullptr && *noColor != '\0') || (term != nullptr && std::string_view(term) == "dumb");
    style.color = choice.color == When::Always || (choice.color == When::Auto && terminal && !colorOff);
    return style;
}

bool SettleDiagnosticOption(std::string_view option, DiagnosticChoice& choice) {
    constexpr std::string_view kColor = "diagnostics-color=";
    constexpr std::string_view kFormat = "diagnostics-format=";
    if (option == "diagnostics-color") {
        choice.color = When::Always;
    } else if (option == "no-diagnostics-color") {
        choice.color = When::Never;
    } else if (option.substr(0, kColor.size()) == kColor) {
        const std::string_view value = option.substr(kColor.size());
        if (value == "auto") {
            choice.color = When::Auto;
        } else if (value == "always") {
            choice.color = When::Always;
        } else if (value == "never") {
            choice.color = When::Never;
        } else {
            return false;
        }
    } else if (option == "diagnostics-show-caret") {
        choice.caret = When::Always;
    } else if (option == "no-diagnostics-show-caret") {
        choice.caret = When::Never;
    } else if (option.substr(0, kFormat.size()) == kFormat) {
        const std::string_view value = option.substr(kFormat.size());
        if (value == "json") {
            choice.json = true;
        } else if (value == "text") {
            choice.json = false;
        } else {
            return false;
        }
    } else {
        return false;
    }
    return true;
}

void BeginDiagnostics(DiagnosticPrinter& printer, std::string& out) {
    if (printer.style.json) out += '[';
}

void EndDiagnostics(DiagnosticPrinter& printer, std::string& out) {
    if (printer.style.json) out += printer.printed == 0 ? "]\n" : "\n]\n";
}

void AppendCaret(std::string& out, std::string_view source, const common::Diagnostic& diagnostic, bool color) {
    const std::string_view line = SourceLine(source, diagnostic);
    char digits[24];
    const int width = std::max(4, static_cast<int>(std::to_chars(digits, digits + sizeof digits, diagnostic.line).ptr - digits));
    PutMargin(out, width, diagnostic.line);
    // The source line as shown, and the columns where the token begins and
    // ends: bytes `from` up to, not including, `to`.
    const std::size_t from = static_cast<std::size_t>(diagnostic.column > 0 ? diagnostic.column - 1 : 0);
    const std::size_t to = diagnostic.endColumn > diagnostic.column ? static_cast<std::size_t>(diagnostic.endColumn - 1) : from;
    int column = 0, caretStart = -1, caretEnd = -1;
    for (std::size_t at = 0; at < line.size();) {
        const Glyph glyph = GlyphAt(line, at, column);
        if (caretStart < 0 && from < at + glyph.bytes) caretStart = column;
        if (line[at] == '\t') {
            out.append(static_cast<std::size_t>(glyph.columns), ' ');
        } else if (!glyph.shown) {
            out += '?';
        } else {
            out.append(line.substr(at, glyph.bytes));
        }
        column += glyph.columns;
        if (to > from && caretEnd < 0 && to <= at + glyph.bytes) caretEnd = column;
        at += glyph.bytes;
    }
    if (caretStart < 0) caretStart = column;  // at the line end
    if (caretEnd <= caretStart) caretEnd = caretStart + 1;
    out += '\n';
    PutMargin(out, width, 0);
    out.append(static_cast<std::size_t>(caretStart), ' ');
    if (color) out += kCaretGreen;
    out += '^';
    for (int c = caretStart + 1; c < caretEnd; ++c) out += '~';
    if (color) out += kReset;
    out += '\n';
    if (!diagnostic.fix.empty()) {
        PutMargin(out, width, 0);
        out.append(static_cast<std::size_t>(caretStart), ' ');
        if (color) out += kFixGreen;
        out += diagnostic.fix;
        if (color) out += kReset;
        out += '\n';
    }
}

void AppendDiagnostic(DiagnosticPrinter& printer, std::string& out, std::string_view file, std::string_view source,
                      const common::Diagnostic& diagnostic) {
    const PrintStyle& style = printer.style;
    if (style.json) {
        PutJsonObject(printer, out, file, diagnostic.line, diagnostic.column, diagnostic.endColumn,
                      common::SeverityName(diagnostic.severity), diagnostic.tag, diagnostic.message, diagnostic.fix);
        return;
    }
    if (!style.color) {
        common::AppendDiagnosticLine(out, file, diagnostic);
    } else {
        const std::string_view kind = SeverityColor(diagnostic.severity);
        out += kBold;
        out += file;
        out += ':';
        PutNumber(out, diagnostic.line);
        out += ':';
        PutNumber(out, diagnostic.column);
        out += ':';
        out += kReset;
        out += ' ';
        out += kind;
        out += common::SeverityName(diagnostic.severity);
        out += ':';
        out += kReset;
        out += ' ';
        out += diagnostic.message;
        if (!diagnostic.tag.empty()) {
            out += " [";
            out += kind;
            out += diagnostic.tag;
            out += kReset;
            out += ']';
        }
        out += '\n';
    }
    if (style.caret && diagnostic.line > 0) AppendCaret(out, source, diagnostic, style.color);
}

void AppendFailure(DiagnosticPrinter& printer, std::string& out, std::string_view program, std::string_view file,
                   std::string_view message) {
    if (printer.style.json) {
        PutJsonObject(printer, out, file, 0, 0, 0, "error", {}, message, {});
        return;
    }
    out += program;
    out += ": ";
    out += message;
    out += '\n';
}

}  // namespace cli
