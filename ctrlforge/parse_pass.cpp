#include "ctrlforge/parser.hpp"

#include "ctrlforge/error_report.hpp"
#include "ctrlforge/labels.hpp"
#include "ctrlforge/token_reader.hpp"

namespace ctrlforge {

void SkipTerminators(CtrlRun& run) {
    while (IsTerminator(run.TokenCode)) ReadToken(run);
}

void EndClause(CtrlRun& run) {
    if (!IsTerminator(run.TokenCode)) {
        ReportError(run, 3);
        return;
    }
    SkipTerminators(run);
}

bool IsExceptionStarter(std::uint8_t code) {
    switch (code) {
        case KwIO: case KwIR: case KwIRA: case KwT: case KwFLAG: case KwNEX: case TokC:
        case KwSET: case KwEXECUTE: case KwWITH: case KwIRB:
            return true;
        default:
            return false;
    }
}

bool IsDestination(std::uint8_t code) {
    return (code >= KwR0 && code <= KwR7) || code == KwRA || code == KwRAP || code == KwRB ||
           code == KwRBP || code == KwPC;
}

namespace {

bool IsSequencingStart(std::uint8_t code) {
    switch (code) {
        case KwIF: case KwGOTO: case KwCALL: case KwRETURN: case KwIOP: case KwIRA: case KwIAB: case KwNSQ:
            return true;
        default:
            return false;
    }
}

// The heading line: "*" [label ":"] [address], then a terminator.
// Returns false when the statement was abandoned.
bool ParseHeading(CtrlRun& run) {
    MicroWord& word = run.CurrentWord();
    ReadToken(run);
    if (run.TokenCode == TokIdent) {
        DefineLabel(run);  // defined before the colon is tested
        if (run.StatementError) return false;
        ReadToken(run);
        if (run.TokenCode != TokColon) {
            ReportError(run, 16);
            return false;
        }
        ReadToken(run);
    }
    std::int16_t address;
    if (run.TokenCode == TokNumber) {
        if (run.StatementError) {
            // An address that overflowed is out of limit; reported while the
            // number is still current, so the rest of its line is skipped.
            ReportError(run, 18);
            return false;
        }
        address = run.TokenValue;
        word.addressGiven = true;
        ReadToken(run);
    } else {
        address = static_cast<std::int16_t>(static_cast<std::uint16_t>(run.PreviousAddress + 1));
    }
    word.address = address;
    const bool overlapped = address <= run.PreviousAddress;
    run.PreviousAddress = address;
    if (overlapped) {
        ReportError(run, 17);
        return false;
    }
    if (address > 4095) {
        ReportError(run, 18);
        return false;
    }
    if (!IsTerminator(run.TokenCode)) {
        ReportError(run, 3);
        return false;
    }
    SkipTerminators(run);
    return true;
}

}  // namespace

void ParseStatement(CtrlRun& run) {
    if (!ParseHeading(run)) return;
    if (!run.StatementError && IsSequencingStart(run.TokenCode)) ParseSequencingClause(run);
    if (!run.StatementError && (run.TokenCode == KwREAD || run.TokenCode == KwWRITE)) ParseMemoryClause(run);
    if (run.StatementError) return;
    if (IsDestination(run.TokenCode)) {
        ParseTransfer(run);
        if (!run.StatementError && IsExceptionStarter(run.TokenCode)) ParseExceptionClause(run);
    } else if (run.TokenCode == KwSET) {
        ReadToken(run);
        if (run.TokenCode == KwBY) {
            ParseTransfer(run);
            if (!run.StatementError && IsExceptionStarter(run.TokenCode)) ParseExceptionClause(run);
        } else {
            ParseExceptionClause(run);  // the SET prefix is consumed
        }
    }
    if (!run.StatementError && IsExceptionStarter(run.TokenCode)) ParseExceptionClause(run);
}

namespace {

void StatementLoop(CtrlRun& run) {
    SkipTerminators(run);
    if (run.TokenCode != TokStar) ReportError(run, 16);
    for (;;) {
        SkipTerminators(run);
        while (run.TokenCode == TokStar) {
            run.StatementError = false;
            ParseStatement(run);
            run.words.emplace_back();
        }
        if (run.TokenCode == TokEnd) {
            ReadToken(run);
            if (run.TokenCode == TokEof) return;
            SkipTerminators(run);
            if (run.TokenCode == TokEof) return;
            ReportError(run, 21);
            while (run.TokenCode != TokEof) ReadToken(run);
            return;
        }
        if (run.TokenCode == TokEof) {
            ReportError(run, 19);
            return;
        }
        ReportError(run, 16);
    }
}

}  // namespace

void ParsePass(CtrlRun& run) {
    ReadProgramHeading(run);
    run.PreviousAddress = -1;
    run.labels.clear();
    common::ClearNames(run.labelIndex);
    run.pending.clear();
    run.words.clear();
    run.words.reserve(4096 + 1);  // a full control store and the blank tail, without regrowth
    run.words.emplace_back();
    StatementLoop(run);
    ReportUndefinedLabels(run);
}

}  // namespace ctrlforge
