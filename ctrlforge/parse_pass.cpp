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
    run.reading = Reading::Heading;
    ReadToken(run);
    if (run.TokenCode == TokIdent) {
        const std::size_t label = run.tokenStart;
        DefineLabel(run);  // defined before the colon is tested; reports error 1 itself
        if (run.StatementError) return true;
        ReadToken(run);
        if (run.TokenCode != TokColon) {
            run.detail.first = label;
            return ReportError(run, CtrlError::IllegalStatement, Cause::HeadingColon);
        }
        ReadToken(run);
    }
    std::int16_t address;
    if (run.TokenCode == TokNumber) {
        // An address that overflowed is out of limit; reported while the
        // number is still current, so the rest of its line is skipped.
        if (run.TokenOverflow) return ReportError(run, CtrlError::AddressOutOfLimit, Cause::AddressTooLong);
        address = run.TokenValue;
        word.addressGiven = true;
        run.detail.first = run.tokenStart;  // the address as written, for errors 17 and 18
        // The statements after it count on from here, whether it is accepted
        // or not.
        run.countedFrom = word.heading;
        run.countedFromAddress = address;
        ReadToken(run);
    } else {
        address = static_cast<std::int16_t>(static_cast<std::uint16_t>(run.PreviousAddress + 1));
    }
    word.address = address;
    const bool overlapped = address <= run.PreviousAddress;
    run.detail.value = run.PreviousAddress;
    run.PreviousAddress = address;  // later headings are checked against it even after error 17
    if (overlapped) return ReportError(run, CtrlError::AddressOverlapped, Cause::AddressOrder);
    if (address > kLastAddress) return ReportError(run, CtrlError::AddressOutOfLimit, Cause::AddressPastStore);
    return EndClause(run, Cause::HeadingEnd);
}

// statement = heading [ sequencing ] [ memory ]
//             [ ( transfer | "SET" "BY" transfer ) [ exception ] | "SET" exception ]
//             [ exception ]
// One clause per line, in this order; a line that begins no clause allowed
// at its place ends the statement.
[[nodiscard]] bool ParseStatement(CtrlRun& run) {
    run.clauses = StatementClauses{};
    if (ParseHeading(run)) return true;
    if (IsSequencingStart(run.TokenCode)) {
        run.clauses.sequencing = run.tokenStart;
        if (ParseSequencingClause(run)) return true;
    }
    if (IsMemoryStart(run.TokenCode)) {
        run.clauses.memory = run.tokenStart;
        if (ParseMemoryClause(run)) return true;
    }
    if (IsDestination(run.TokenCode)) {
        run.clauses.transfer = run.tokenStart;
        if (ParseTransfer(run)) return true;
        if (IsExceptionStarter(run.TokenCode) && ParseExceptionClause(run)) return true;
    } else if (run.TokenCode == KwSET) {
        const std::size_t set = run.tokenStart;
        ReadToken(run);
        if (run.TokenCode == KwBY) {
            run.clauses.transfer = set;
            if (ParseTransfer(run)) return true;
            if (IsExceptionStarter(run.TokenCode) && ParseExceptionClause(run)) return true;
        } else {
            run.clauses.setPrefix = set;
            if (ParseExceptionClause(run)) return true;  // the SET prefix is consumed
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
    if (run.TokenCode != TokStar) ReportError(run, CtrlError::IllegalStatement, Cause::BeforeFirstHeading);
    for (;;) {
        SkipTerminators(run);
        while (run.TokenCode == TokStar) {
            run.StatementError = false;
            run.illegalAt = kNowhere;
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
            run.reading = Reading::Ending;
            ReadToken(run);
            if (run.TokenCode == TokEof) return;
            SkipTerminators(run);
            if (run.TokenCode == TokEof) return;
            ReportError(run, CtrlError::IllegalProgramEnding, Cause::AfterEnd);
            while (run.TokenCode != TokEof) ReadToken(run);
            return;
        }
        if (run.TokenCode == TokEof) {
            ReportError(run, CtrlError::EndExpected, Cause::NoEnd);
            return;
        }
        ReportError(run, CtrlError::IllegalStatement, Cause::LineBeginsNoClause);
    }
}

}  // namespace

// title = { terminator } ".TITLE" identifier terminator
void ReadProgramHeading(CtrlRun& run) {
    run.reading = Reading::Title;
    NextChar(run);
    do {
        ReadToken(run);
    } while (IsTerminator(run.TokenCode));
    if (run.TokenCode != TokTitle) {
        ReportError(run, CtrlError::IllegalProgramTitle, Cause::TitleMissing);
        return;
    }
    ReadToken(run);
    if (run.TokenCode != TokIdent) {
        ReportError(run, CtrlError::IllegalProgramTitle, Cause::TitleName);
        return;
    }
    Name title = run.TokenName;
    run.title = title;
    if (run.model != nullptr) ModelTitleRead(run);
    run.detail.first = run.tokenStart;
    ReadToken(run);
    if (!IsTerminator(run.TokenCode)) {
        ReportError(run, CtrlError::MissingTerminator, Cause::TitleEnd);
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
    run.illegalAt = kNowhere;  // nothing that follows has to do with it
    ReportUndefinedLabels(run);
}

}  // namespace ctrlforge
