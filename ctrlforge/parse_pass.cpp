#include "ctrlforge/parse_pass.hpp"

#include "ctrlforge/clauses.hpp"
#include "ctrlforge/error_report.hpp"
#include "ctrlforge/labels.hpp"
#include "ctrlforge/source_reader.hpp"
#include "ctrlforge/terminators.hpp"
#include "ctrlforge/token_classes.hpp"
#include "ctrlforge/token_reader.hpp"
#include "ctrlforge/transfer.hpp"

namespace ctrlforge {

namespace {

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
            ReportError(run, CtrlError::IllegalStatement);
            return false;
        }
        ReadToken(run);
    }
    std::int16_t address;
    if (run.TokenCode == TokNumber) {
        if (run.StatementError) {
            // An address that overflowed is out of limit; reported while the
            // number is still current, so the rest of its line is skipped.
            ReportError(run, CtrlError::AddressOutOfLimit);
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
        ReportError(run, CtrlError::AddressOverlapped);
        return false;
    }
    if (address > kLastAddress) {
        ReportError(run, CtrlError::AddressOutOfLimit);
        return false;
    }
    if (!IsTerminator(run.TokenCode)) {
        ReportError(run, CtrlError::MissingTerminator);
        return false;
    }
    SkipTerminators(run);
    return true;
}

void ParseStatement(CtrlRun& run) {
    if (!ParseHeading(run)) return;
    if (!run.StatementError && IsSequencingStart(run.TokenCode)) ParseSequencingClause(run);
    if (!run.StatementError && IsMemoryStart(run.TokenCode)) ParseMemoryClause(run);
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

void WriteTitled(common::OutputSink& sink, std::string_view head, const Name& title) {
    sink.Write(head);
    sink.Write(std::string_view(title.data(), title.size()));
    sink.LineEnd();
}

void StatementLoop(CtrlRun& run) {
    SkipTerminators(run);
    if (run.TokenCode != TokStar) ReportError(run, CtrlError::IllegalStatement);
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
            ReportError(run, CtrlError::IllegalProgramEnding);
            while (run.TokenCode != TokEof) ReadToken(run);
            return;
        }
        if (run.TokenCode == TokEof) {
            ReportError(run, CtrlError::EndExpected);
            return;
        }
        ReportError(run, CtrlError::IllegalStatement);
    }
}

}  // namespace

void ReadProgramHeading(CtrlRun& run) {
    NextChar(run);
    do {
        ReadToken(run);
    } while (IsTerminator(run.TokenCode));
    if (run.TokenCode != TokTitle) {
        ReportError(run, CtrlError::IllegalProgramTitle);
        return;
    }
    ReadToken(run);
    if (run.TokenCode != TokIdent) {
        ReportError(run, CtrlError::IllegalProgramTitle);
        return;
    }
    Name title = run.TokenName;
    ReadToken(run);
    if (!IsTerminator(run.TokenCode)) {
        ReportError(run, CtrlError::MissingTerminator);
        return;
    }
    if (!run.AssemblyFailed) {
        if (run.options.O) WriteTitled(*run.object, "CM   ", title);
        if (run.options.M) {
            WriteTitled(*run.map, ".TITLE     ", title);
            run.map->Write("LABEL   ADRS  LB  RB  AL  SH  SB  MM  SQ  TS  EX  LT");
            run.map->LineEnd();
        }
        ReadToken(run);
    }
}

void ParsePass(CtrlRun& run) {
    ReadProgramHeading(run);
    run.PreviousAddress = -1;
    run.labels.clear();
    run.labelIndex.clear();
    run.pending.clear();
    run.pendingIndex.clear();
    run.words.clear();
    run.words.reserve(kLastAddress + 2);  // a full control store and the blank tail, without regrowth
    run.words.emplace_back();
    StatementLoop(run);
    ReportUndefinedLabels(run);
}

}  // namespace ctrlforge
