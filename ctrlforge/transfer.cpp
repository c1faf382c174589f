#include "ctrlforge/transfer.hpp"

#include "ctrlforge/error_report.hpp"
#include "ctrlforge/keywords.hpp"
#include "ctrlforge/terminators.hpp"
#include "ctrlforge/token_classes.hpp"
#include "ctrlforge/token_reader.hpp"

namespace ctrlforge {

namespace {

// The branch address of these sequencing codes occupies LT.
bool BranchOccupiesLiteral(std::uint8_t sq) {
    switch (sq) {
        case SqB: case SqBP: case SqBT: case SqBF: case SqIOP: case SqIRA: case SqIAB: case SqEI:
            return true;
        default:
            return false;
    }
}

enum class State { Start, AfterShift, AfterLeft, AfterOp, AfterColonShift, Complete, Bad };

// expression = [ shift ] left | [ shift ] right | left op [ ":" shift ] right
// Entered with := or BY current; leaves the first token after the
// expression current. Each step below runs once, in order, and leaves token
// and state alone when its condition does not hold.
[[nodiscard]] bool ParseExpression(CtrlRun& run) {
    MicroWord& word = run.CurrentWord();
    ReadToken(run);
    State state = State::Start;
    if (IsShift(run.TokenCode)) {
        word.SH = run.TokenCode;
        ReadToken(run);
        state = State::AfterShift;
    }
    if (IsLeftOperand(run.TokenCode)) {
        RecodeLeftBus(run);
        word.LB = run.TokenCode;
        state = state == State::Start ? State::AfterLeft : State::Complete;
        ReadToken(run);
    }
    if (IsOperator(run.TokenCode) && state == State::AfterLeft) {
        word.AL = run.TokenCode;
        state = State::AfterOp;
        ReadToken(run);
    }
    if (run.TokenCode == TokColon && state == State::AfterOp) {
        ReadToken(run);
        if (IsShift(run.TokenCode)) {
            word.SH = run.TokenCode;
            state = State::AfterColonShift;
            ReadToken(run);
        } else {
            state = State::Bad;
        }
    }
    if (IsRightOperand(run.TokenCode)) {
        if (state == State::Start || state == State::AfterShift || state == State::AfterOp ||
            state == State::AfterColonShift) {
            if (StoreRightOperand(run)) return true;
            state = State::Complete;
            ReadToken(run);
        } else {
            state = State::Bad;
        }
    }
    if (state != State::AfterLeft && state != State::Complete) {
        return ReportError(run, CtrlError::IllegalExpression);
    }
    if (word.SB == SbNSB && word.AL == AlBase) word.AL = AlOR;
    return false;
}

}  // namespace

// A register goes into RB; a literal into LT, with RB telling its size.
bool StoreRightOperand(CtrlRun& run, bool longLiteralAllowed) {
    MicroWord& word = run.CurrentWord();
    if (run.TokenCode != TokNumber) {
        RecodeRightBus(run);
        word.RB = run.TokenCode;
        return false;
    }
    const std::int16_t value = run.TokenValue;
    if (value != 0 && BranchOccupiesLiteral(word.SQ)) {
        return ReportError(run, CtrlError::LtFieldDefined);
    }
    word.LT = static_cast<std::uint16_t>(value);
    if (run.TokenOverflow) return ReportError(run, CtrlError::LiteralOutOfRange);
    if (value == 0) {
        word.RB = RbNRB;
    } else if (value >= 1 && value <= 511) {
        word.RB = RbSLT;
    } else if (longLiteralAllowed) {
        word.RB = RbLLT;
    } else {
        return ReportError(run, CtrlError::ExFieldDefined);
    }
    return false;
}

bool ParseTransfer(CtrlRun& run) {
    MicroWord& word = run.CurrentWord();
    if (run.TokenCode == KwBY) {
        word.SB = SbNSB;
    } else {
        RecodeSBus(run);
        word.SB = run.TokenCode;
        ReadToken(run);
        if (run.TokenCode != TokAssign) return ReportError(run, CtrlError::IllegalExpression);
    }
    if (ParseExpression(run)) return true;
    return EndClause(run);
}

}  // namespace ctrlforge
