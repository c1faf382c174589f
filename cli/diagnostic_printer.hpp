#pragma once
// How the command line prints its diagnostics on standard error: one line
// each (what make, CI logs, vim and the editors' problem matchers read), and
// on a terminal also the source line with a caret under the token and the
// severities in colour, as compilers show them; or one JSON array for
// scripts. Free of the argument parser, so tests print in process.
#include <string>
#include <string_view>

#include "cli/invocation.hpp"
#include "common/diagnostics.hpp"

namespace cli {

// What one run prints: settled from the options and the stream.
struct PrintStyle {
    bool caret = false;  // the source line and a caret line after each diagnostic
    bool color = false;  // escape sequences for the severities, the caret and the location
    bool json = false;   // one JSON array instead of lines
};

// The style for standard error: carets and colour by default only when it is
// a terminal; colour not when NO_COLOR is set (and not empty) or TERM is
// "dumb", unless asked for with -fdiagnostics-color=always. `noColor` and
// `term` are the environment's values, null when unset.
PrintStyle SettleStyle(const DiagnosticChoice& choice, bool terminal, const char* noColor, const char* term);

// Reads one -f option without its "-f" ("diagnostics-color=never"). Returns
// false for an option or value it does not know.
bool SettleDiagnosticOption(std::string_view option, DiagnosticChoice& choice);

// The diagnostics of a whole command line, appended to `out`.
struct DiagnosticPrinter {
    PrintStyle style;
    std::size_t printed = 0;  // JSON objects so far
};

// Before the first and after the last diagnostic: the JSON array's brackets.
void BeginDiagnostics(DiagnosticPrinter& printer, std::string& out);
void EndDiagnostics(DiagnosticPrinter& printer, std::string& out);

// One diagnostic of `file`, whose bytes are `source` (for the caret lines).
void AppendDiagnostic(DiagnosticPrinter& printer, std::string& out, std::string_view file, std::string_view source,
                      const common::Diagnostic& diagnostic);

// A file that could not be read or written: "PROGRAM: MESSAGE" as a line, or
// in JSON an error of `file` at line 0.
void AppendFailure(DiagnosticPrinter& printer, std::string& out, std::string_view program, std::string_view file,
                   std::string_view message);

// The source line and caret line of a diagnostic, as a terminal shows them:
// tabs expanded to the next multiple of eight columns, a multi-byte
// character one column (two for the wide ones), so the caret stands under
// the token whatever precedes it.
void AppendCaret(std::string& out, std::string_view source, const common::Diagnostic& diagnostic, bool color);

}  // namespace cli
