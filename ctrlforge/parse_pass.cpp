#include "ctrlforge/parse_pass.hpp"

#include <string_view>

#include "ctrlforge/clauses.hpp"
#include "ctrlforge/error_report.hpp"
#include "ctrlforge/labels.hpp"
#include "ctrlforge/model_builder.hpp"
#include "ctrlforge/source_reader.hpp"
#include "ctrlforge/terminators.hpp"
#include "ctrlforge/token_classes.hpp"
#include "ctrlforge/token_reader.hpp"
#include "ctrlforge/transfer.hpp"

namespace ctrlforge {

// The error protocol of the parse routines. Each routine that parses a part
// of a statement returns true when it reported an error, and its caller then
// returns at once: the error reporter has skipped to the next statement, so
// nothing more of this one is read or checked. A number that overflowed
// reports nothing by itself; its token's own mark makes a literal error 10, a
// heading address error 18, and keeps it from counting as 0 or 1. Anywhere
// else it is a token like any other: after a complete clause it is error 3.

namespace {

// heading = "*" [ label ":" ] [ address ] terminator
[[nodiscard]] bool ParseHeading(CtrlRun& run) {
    MicroWord& word = run.CurrentWord();
    ReadToken(run);
    if (run.TokenCode == TokIdent) {
        DefineLabel(run);  // defined before the colon is tested; reports error 1 itself
        if (run.StatementError) return true;
        ReadToken(run);
        if (run.TokenCode != TokColon) return ReportError(run, CtrlError::IllegalStatement);
        ReadToken(run);
    }
    std::int16_t address;
    if (run.TokenCode == TokNumber) {
        // An address that overflowed is out of limit; reported while the
        // number is still current, so the rest of its line is skipped.
        if (run.TokenOverflow) return ReportError(run, CtrlError::AddressOutOfLimit);
        address = run.TokenValue;
        word.addressGiven = true;
        ReadToken(run);
    } else {
        address = static_cast<std::int16_t>(static_cast<std::uint16_t>(run.PreviousAddress + 1));
    }
    word.address = address;
    const bool overlapped = address <= run.PreviousAddress;
    run.PreviousAddress = address;  // later headings are checked against it even after error 17
    if (overlapped) return ReportError(run, CtrlError::AddressOverlapped);
    if (address > kLastAddress) return ReportError(run, CtrlError::AddressOutOfLimit);
    return EndClause(run);
}

// statement = heading [ sequencing ] [ memory ]
//             [ ( transfer | "SET" "BY" transfer ) [ exception ] | "SET" exception ]
//             [ exception ]
// One clause per line, in this order; a line that begins no clause allowed
// at its place ends the statement.
[[nodiscard]] bool ParseStatement(CtrlRun& run) {
    if (ParseHeading(run)) return true;
    if (IsSequencingStart(run.TokenCode) && ParseSequencingClause(run)) return true;
    if (IsMemoryStart(run.TokenCode) && ParseMemoryClause(run)) return true;
    if (IsDestination(run.TokenCode)) {
        if (ParseTransfer(run)) return true;
        if (IsExceptionStarter(run.TokenCode) && ParseExceptionClause(run)) return true;
    } else if (run.TokenCode == KwSET) {
        ReadToken(run);
        if (run.TokenCode == KwBY) {
            if (ParseTransfer(run)) return true;
            if (IsExceptionStarter(run.TokenCode) && ParseExceptionClause(run)) return true;
        } else if (ParseExceptionClause(run)) {  // the SET prefix is consumed
            return true;
        }
    }
    return IsExceptionStarter(run.TokenCode) && ParseExceptionClause(run);
}

void WriteTitled(common::OutputSink& sink, std::string_view head, const Name& title) {
    sink.Write(head);
    sink.Write(std::string_view(title.data(), title.size()));
    sink.LineEnd();
}

// program body = { terminator } statement { statement } ".END" { terminator } end of file
// (statements consume the terminators behind their lines)
void StatementLoop(CtrlRun& run) {
    SkipTerminators(run);
    if (run.TokenCode != TokStar) ReportError(run, CtrlError::IllegalStatement);
    for (;;) {
        SkipTerminators(run);
        while (run.TokenCode == TokStar) {
            run.StatementError = false;
            run.CurrentWord().heading = static_cast<std::uint32_t>(run.tokenStart);
            if (run.model != nullptr) ModelStatementBegins(run);
            // An abandoned statement ends like any other: its word stays, and
            // the error reporter has stopped at "*", ".END" or end of file.
            (void)ParseStatement(run);
            if (run.model != nullptr) ModelStatementEnds(run);
            run.words.emplace_back();
            // The blank word that may end the list stands where the parse
            // stopped: the next "*", ".END" or the end of the file.
            run.CurrentWord().heading = static_cast<std::uint32_t>(run.tokenStart);
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

// title = { terminator } ".TITLE" identifier terminator
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
    run.title = title;
    if (run.model != nullptr) ModelTitleRead(run);
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
    common::ClearNames(run.labelIndex);
    run.pending.clear();
    run.words.clear();
    run.words.reserve(kLastAddress + 2);  // a full control store and the blank tail, without regrowth
    run.words.emplace_back();
    StatementLoop(run);
    ReportUndefinedLabels(run);
}

}  // namespace ctrlforge
