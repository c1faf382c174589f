#pragma once
// Diagnostics of an assembly: one record per error or warning, located by
// line and column in the source. A run records them only when its caller
// hands it a sink; the dialogue never does, so its runs pay nothing.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace common {

// A note adds to the diagnostic before it (what the listing counts, what
// an error follows from); it is printed as "note:" and never fails a run.
enum class Severity : std::uint8_t { Error, Warning, Note };

struct Diagnostic {
    std::int32_t line = 0;    // counted from 1
    std::int32_t column = 0;  // byte within the line, counted from 1
    Severity severity = Severity::Error;
    std::string tag;          // "E3", "F", "-Wtruncation": ends the printed line in brackets
    std::string message;
    // One past the token's last byte, counted like `column`: the token runs
    // from `column` up to, not including, `endColumn`. Equal to `column` at a
    // line end or the end of the source.
    std::int32_t endColumn = 0;
    // The text that most likely belongs in place of the token ("GOTO" for
    // "GOTP"), when one candidate is clearly meant; empty otherwise.
    std::string fix{};
    // Where the diagnostic's column stands in the source, in bytes from its
    // start: the printer finds the source line from it.
    std::size_t offset = 0;
};

// Maps byte offsets of one source to lines and columns. A carriage return
// with a line feed, a carriage return alone and a line feed alone each end a
// line. Diagnostics come mostly in source order, so the locator counts on
// from the line it found last; every 4096th line start is kept as well, so
// that an offset before that line restarts near it, not at the beginning.
// Locating every token of a source costs time linear in its size.
struct LineLocator {
    std::string_view text;
    std::size_t lineStart = 0;   // the line found last: where it starts
    std::int32_t line = 1;       // and its number
    std::vector<std::size_t> marks;  // the start of line 4096 k + 1 at index k, as far as counted
};

struct Place {
    std::int32_t line = 1;
    std::int32_t column = 1;
};

Place Locate(LineLocator& locator, std::size_t offset);

// Where a run hands its diagnostics: the caller decides what happens to each
// (printed at once by the command line, kept in a list by tests).
// `wantsWarning`, when set, says which warnings (by name) the caller keeps:
// a run builds no other, so warnings that are off cost nothing.
// `current` is refilled for each diagnostic and `text` is where a run may
// build a message: both keep their room from one diagnostic to the next, so a
// source with a million of them allocates for the first few only.
struct DiagnosticSink {
    LineLocator locator;
    std::function<void(const Diagnostic&)> emit;
    std::function<bool(std::string_view name)> wantsWarning;
    Diagnostic current;
    std::string text;
};

inline bool WantsWarning(const DiagnosticSink& sink, std::string_view name) {
    return !sink.wantsWarning || sink.wantsWarning(name);
}

// The length of the token that begins at the byte offset: a run of letters,
// digits and "_", ":=", a character of several bytes in UTF-8, or else one
// byte; none at a line end or the end of the text.
std::size_t TokenLengthAt(std::string_view text, std::size_t offset);

// Builds the diagnostic at the byte offset and hands it to the sink. It
// covers `length` bytes, or with kTokenRule the token TokenLengthAt finds
// there; `fix` is the likely replacement of what it covers.
inline constexpr std::size_t kTokenRule = static_cast<std::size_t>(-1);
void Record(DiagnosticSink& sink, std::size_t offset, Severity severity, std::string_view tag,
            std::string_view message, std::size_t length = kTokenRule, std::string_view fix = {});

// What a severity is called in a diagnostic: "error", "warning", "note".
std::string_view SeverityName(Severity severity);

// The GNU one-line form that editors read:
// "prog.mic:3:8: error: MESSAGE [E3]".
std::string FormatDiagnostic(std::string_view file, const Diagnostic& diagnostic);
// The same, appended to `out` with its line feed.
void AppendDiagnosticLine(std::string& out, std::string_view file, const Diagnostic& diagnostic);
// The same written at `out`, which has room for DiagnosticLineBound bytes;
// returns the end of what it wrote. For writers that fill a buffer of their
// own, so that a line costs no zero-filling of room it then overwrites.
std::size_t DiagnosticLineBound(std::string_view file, const Diagnostic& diagnostic);
char* PutDiagnosticLine(char* out, std::string_view file, const Diagnostic& diagnostic);

// A sink that keeps every diagnostic in a list, for tests and in-memory runs.
DiagnosticSink ListSink(std::string_view source, std::vector<Diagnostic>& list);

}  // namespace common
