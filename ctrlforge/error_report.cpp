#include "ctrlforge/error_report.hpp"

#include <string_view>

#include "ctrlforge/diagnostic_text.hpp"
#include "ctrlforge/source_reader.hpp"
#include "ctrlforge/token_reader.hpp"
#include "ctrlforge/tokens.hpp"

namespace ctrlforge {

namespace {

// The messages are fixed texts, "FEILD" included: listings are compared
// byte for byte, so the spelling stays as it has always been printed.
constexpr std::string_view kMessages[] = {
    "",
    ":THIS LABEL ALREADY DEFINED.",
    ":ILLEGAL FORMAT OF PROGRAM TITLE.",
    ":END OF MICRO_INSTRUCTION MUST BE \";\" OR END OF LINE.",
    ":ILLEGAL FORMAT OF TEST CONDITION.",
    ":NO THEN CLAUSE FOR IF STATEMENT.",
    ":LABEL IS EXPECTED IN THIS CLAUSE.",
    ":ILLEGAL IF STATEMENT.",
    ":ELSE CLAUSE MUST BE \"FETCH\".",
    ":LT FEILD ALREADY DEFINED.",
    ":LITERAL IS OUT OF RANGE.",
    ":ILLEGAL EXPRESSION OR ASSIGNMENT.",
    ":RB FEILD ALREADY DEFINED.",
    ":ILLEGAL EXCEPTION STATEMENT.",
    ":LB FEILD ALREADY DEFINED.",
    ":EX FEILD ALREADY DEFINED.",
    ":ILLEGAL FORMAT OF INSTRUCTION HEADING OR UNKNOWN STATEMENT.",
    ":SPECIFIED ADDRESS OVERLAPPED.",
    ":ADDRESS IS OUT OF LIMIT.",
    ":.END EXPECTED.",
    "",  // 20 is built with the label's name
    ":ILLEGAL TYPE OF PROGRAM ENDING.",
};

}  // namespace

std::string ErrorLine(CtrlError error, const Name* name) {
    const int number = static_cast<int>(error);
    std::string line = "ERROR";
    std::string digits = std::to_string(number);
    line.append(5 - digits.size(), ' ');
    line += digits;
    if (error == CtrlError::LabelNotDeclared) {
        line += ":LABELS(";
        if (name != nullptr) line.append(name->data(), name->size());
        line += ") IS NOT DECLARED.";
    } else {
        line += kMessages[number];
    }
    return line;
}

// Recovery: the rest of the line CurChar stands on goes to the listing, then
// the error line, then tokens are skipped up to the next "*", ".END" or end of
// file. An error found at a line-end token finds CurChar at the start of the
// next line already, so that whole next line is copied before the error line.
bool ReportError(CtrlRun& run, CtrlError error, Cause cause, const Name* name, std::size_t at) {
    if (run.diagnostics != nullptr) RecordError(run, error, cause, name, at);
    if (error != CtrlError::LabelNotDeclared) {
        if (run.TokenCode == TokEol) run.swallowed = CurCharOffset(run);
        SkipRestOfLine(run);
    }
    if (run.options.S) {
        // Ends the listing line unconditionally, so an error line that follows
        // a completed source line is preceded by an empty line.
        run.listing->LineEnd();
        run.listing->Write(ErrorLine(error, name));
        run.listing->LineEnd();
    }
    while (run.TokenCode != TokEnd && run.TokenCode != TokStar && run.TokenCode != TokEof) {
        ReadToken(run);
    }
    run.AssemblyFailed = true;
    run.StatementError = true;
    // What an illegal character dropped has been accounted for, by this error
    // or by the skip behind it.
    run.illegalAt = kNowhere;
    return true;
}

}  // namespace ctrlforge
