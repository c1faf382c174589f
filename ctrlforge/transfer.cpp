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

using State = ExpressionState;

// What the expression turned out to be, for the message of a line that goes
// on after it.
struct Shape {
    std::size_t last = kNowhere;     // the expression's last token
    std::size_t op = kNowhere;       // its operator
    bool rightFirst = false;         // a right-bus operand (RA, RAP, a literal) came first
    bool shiftFirst = false;         // it began with a shift
};

// expression = [ shift ] left | [ shift ] right | left op [ ":" shift ] right
// Entered with := or BY current; leaves the first token after the
// expression current. Each step below runs once, in order, and leaves token
// and state alone when its condition does not hold.
[[nodiscard]] bool ParseExpression(CtrlRun& run, Shape& shape) {
    MicroWord& word = run.CurrentWord();
    std::size_t previous = run.tokenStart;  // the := or BY
    ReadToken(run);
    State state = State::Start;
    if (IsShift(run.TokenCode)) {
        word.SH = run.TokenCode;
        shape.shiftFirst = true;
        previous = run.tokenStart;
        ReadToken(run);
        state = State::AfterShift;
    }
    if (IsLeftOperand(run.TokenCode)) {
        RecodeLeftBus(run);
        word.LB = run.TokenCode;
        run.leftOperandAt = run.tokenStart;
        state = state == State::Start ? State::AfterLeft : State::Complete;
        previous = run.tokenStart;
        ReadToken(run);
    }
    if (IsOperator(run.TokenCode) && state == State::AfterLeft) {
        word.AL = run.TokenCode;
        state = State::AfterOp;
        shape.op = previous = run.tokenStart;
        ReadToken(run);
    }
    std::uint8_t bad = 0;  // why the state is Bad: 1 no shift after ":", 2 an operand without operator
    if (run.TokenCode == TokColon && state == State::AfterOp) {
        previous = run.tokenStart;
        ReadToken(run);
        if (IsShift(run.TokenCode)) {
            word.SH = run.TokenCode;
            state = State::AfterColonShift;
            previous = run.tokenStart;
            ReadToken(run);
        } else {
            state = State::Bad;
            bad = 1;
        }
    }
    if (IsRightOperand(run.TokenCode)) {
        if (state == State::Start || state == State::AfterShift || state == State::AfterOp ||
            state == State::AfterColonShift) {
            shape.rightFirst = state == State::Start;
            if (StoreRightOperand(run)) return true;
            state = State::Complete;
            previous = run.tokenStart;
            ReadToken(run);
        } else {
            if (state != State::Bad) bad = 2;
            state = State::Bad;
        }
    }
    shape.last = previous;
    if (state != State::AfterLeft && state != State::Complete) {
        run.detail.state = static_cast<std::uint8_t>(state);
        run.detail.code = bad;
        run.detail.first = previous;
        run.detail.second = shape.op;
        return ReportError(run, CtrlError::IllegalExpression, Cause::Expression);
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
        run.rightOperandAt = run.tokenStart;
        return false;
    }
    const std::int16_t value = run.TokenValue;
    if (value != 0 && BranchOccupiesLiteral(word.SQ)) {
        return ReportError(run, CtrlError::LtFieldDefined, Cause::LiteralUnderBranch);
    }
    word.LT = static_cast<std::uint16_t>(value);
    if (run.TokenOverflow) return ReportError(run, CtrlError::LiteralOutOfRange, Cause::LiteralOverflow);
    run.rightOperandAt = run.tokenStart;
    if (value == 0) {
        word.RB = RbNRB;
    } else if (value >= 1 && value <= 511) {
        word.RB = RbSLT;
    } else if (longLiteralAllowed) {
        word.RB = RbLLT;
        run.longLiteralAt = run.tokenStart;
    } else {
        return ReportError(run, CtrlError::ExFieldDefined, Cause::CounterLiteral);
    }
    return false;
}

bool ParseTransfer(CtrlRun& run) {
    run.reading = Reading::Transfer;
    MicroWord& word = run.CurrentWord();
    if (run.TokenCode == KwBY) {
        word.SB = SbNSB;
    } else {
        const std::size_t destination = run.tokenStart;
        RecodeSBus(run);
        word.SB = run.TokenCode;
        ReadToken(run);
        if (run.TokenCode != TokAssign) {
            run.detail.first = destination;
            return ReportError(run, CtrlError::IllegalExpression, Cause::TransferAssign);
        }
    }
    Shape shape;
    if (ParseExpression(run, shape)) return true;
    if (!IsTerminator(run.TokenCode)) {
        // The line goes on after a complete expression.
        run.detail.first = shape.last;
        run.detail.second = shape.op;
        run.detail.code = static_cast<std::uint8_t>((shape.rightFirst ? 1 : 0) | (shape.shiftFirst ? 2 : 0));
    }
    return EndClause(run, Cause::TransferEnd);
}

}  // namespace ctrlforge
