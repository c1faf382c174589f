#include "ctrlforge/clauses.hpp"

#include "ctrlforge/error_report.hpp"
#include "ctrlforge/keywords.hpp"
#include "ctrlforge/labels.hpp"
#include "ctrlforge/terminators.hpp"
#include "ctrlforge/token_classes.hpp"
#include "ctrlforge/token_reader.hpp"
#include "ctrlforge/transfer.hpp"

namespace ctrlforge {

namespace {

// A number token counts as 0 or 1 only when its reading did not overflow.
bool IsNumberValue(const CtrlRun& run, int value) {
    return run.TokenCode == TokNumber && !run.StatementError && run.TokenValue == value;
}

// IF cond = 0|1 THEN label [ELSE FETCH]
void ParseIf(CtrlRun& run) {
    MicroWord& word = run.CurrentWord();
    ReadToken(run);
    if (!IsCondition(run.TokenCode)) return ReportError(run, CtrlError::IllegalTestCondition);
    word.TS = run.TokenCode;
    ReadToken(run);
    if (run.TokenCode != TokEqual) return ReportError(run, CtrlError::IllegalTestCondition);
    ReadToken(run);
    if (IsNumberValue(run, 1)) {
        word.SQ = SqBT;
    } else if (IsNumberValue(run, 0)) {
        word.SQ = SqBF;
    } else {
        return ReportError(run, CtrlError::IllegalTestCondition);
    }
    ReadToken(run);
    if (run.TokenCode != KwTHEN) return ReportError(run, CtrlError::NoThenClause);
    ReadToken(run);
    if (run.TokenCode != TokIdent) return ReportError(run, CtrlError::LabelExpected);
    ReferenceLabel(run, BranchTarget);
    ReadToken(run);
    if (run.TokenCode == KwELSE) {
        if (word.SQ != SqBF) return ReportError(run, CtrlError::IllegalIf);
        word.SQ = SqEI;
        ReadToken(run);
        if (run.TokenCode != KwFETCH) return ReportError(run, CtrlError::ElseNotFetch);
        ReadToken(run);
    }
}

// GOTO, CALL, IOP, IRA, IAB followed by a label (GOTO also by FETCH).
void ParseBranch(CtrlRun& run, std::uint8_t sq, std::uint8_t placementClass) {
    MicroWord& word = run.CurrentWord();
    const bool isGoto = run.TokenCode == KwGOTO;
    ReadToken(run);
    if (isGoto && run.TokenCode == KwFETCH) {
        word.SQ = SqEI;
        word.TS = TsNTS;
    } else if (run.TokenCode == TokIdent) {
        ReferenceLabel(run, placementClass);
        word.SQ = sq;
    } else {
        return ReportError(run, CtrlError::LabelExpected);
    }
    ReadToken(run);
}

// C - 1, C := RBUS, C := right operand
void ParseCounter(CtrlRun& run) {
    MicroWord& word = run.CurrentWord();
    ReadToken(run);
    if (run.TokenCode == TokMinus) {
        ReadToken(run);
        if (!IsNumberValue(run, 1)) return ReportError(run, CtrlError::IllegalException);
        word.EX = ExCM1;
        return;
    }
    if (run.TokenCode != TokAssign) return ReportError(run, CtrlError::IllegalException);
    ReadToken(run);
    if (run.TokenCode == KwRBUS) {
        word.EX = ExSC;
        return;
    }
    if (!IsRightOperand(run.TokenCode)) return ReportError(run, CtrlError::IllegalException);
    if (word.RB != RbBase) return ReportError(run, CtrlError::RbFieldDefined);
    StoreRightOperand(run, false);
    if (run.StatementError) return;
    word.EX = ExSC;
}

// IR := LBUS | left source, IO := LBUS | left source
void ParseLoad(CtrlRun& run, std::uint8_t self, std::uint8_t ex) {
    MicroWord& word = run.CurrentWord();
    ReadToken(run);
    if (run.TokenCode != TokAssign) return ReportError(run, CtrlError::IllegalExpression);
    ReadToken(run);
    if (run.TokenCode == KwLBUS) {
        word.EX = ex;
        return;
    }
    if (!IsLeftOperand(run.TokenCode) || run.TokenCode == self) return ReportError(run, CtrlError::IllegalExpression);
    if (word.LB != LbBase) return ReportError(run, CtrlError::LbFieldDefined);
    RecodeLeftBus(run);
    word.LB = run.TokenCode;
    word.EX = ex;
}

// Reads one token that must be `expected`, then stores `ex`.
void ParseKeywordPair(CtrlRun& run, std::uint8_t expected, std::uint8_t ex) {
    ReadToken(run);
    if (run.TokenCode != expected) return ReportError(run, CtrlError::IllegalException);
    run.CurrentWord().EX = ex;
}

}  // namespace

void ParseSequencingClause(CtrlRun& run) {
    switch (run.TokenCode) {
        case KwIF: ParseIf(run); break;
        case KwGOTO: ParseBranch(run, SqB, BranchTarget); break;
        case KwCALL: ParseBranch(run, SqBP, BranchTarget); break;
        case KwIOP: ParseBranch(run, SqIOP, IopTarget); break;
        case KwIRA: ParseBranch(run, SqIRA, IraTarget); break;
        case KwIAB: ParseBranch(run, SqIAB, IabTarget); break;
        case KwRETURN:
            run.CurrentWord().SQ = SqRTN;
            ReadToken(run);
            break;
        default:  // NSQ
            run.CurrentWord().SQ = SqNSQ;
            ReadToken(run);
            break;
    }
    if (run.StatementError) return;
    EndClause(run);
}

void ParseMemoryClause(CtrlRun& run) {
    run.CurrentWord().MM = run.TokenCode == KwREAD ? MmRM : MmWM;
    ReadToken(run);
    EndClause(run);
}

void ParseExceptionClause(CtrlRun& run) {
    MicroWord& word = run.CurrentWord();
    if (word.RB == RbLLT) return ReportError(run, CtrlError::ExFieldDefined);  // the long literal fills EX
    switch (run.TokenCode) {
        case TokC: ParseCounter(run); break;
        case KwFLAG: ParseKeywordPair(run, KwSAVE, ExFLS); break;
        case KwWITH:
            ReadToken(run);
            if (run.TokenCode == KwCRY) {
                word.EX = ExASC;
            } else if (run.TokenCode == KwONE) {
                word.EX = ExAS1;
            } else {
                ReportError(run, CtrlError::IllegalException);
            }
            break;
        case KwIR: ParseLoad(run, KwIR, ExLIR); break;
        case KwIO: ParseLoad(run, KwIO, ExLIO); break;
        case KwEXECUTE: ParseKeywordPair(run, KwIO, ExEIO); break;
        case KwT:
            ReadToken(run);
            if (run.TokenCode != TokAssign) return ReportError(run, CtrlError::IllegalExpression);
            ReadToken(run);
            if (run.TokenCode != TokNumber) return ReportError(run, CtrlError::IllegalExpression);
            if (IsNumberValue(run, 1)) {
                word.EX = ExST;
            } else if (IsNumberValue(run, 0)) {
                word.EX = ExRT;
            } else {
                ReportError(run, CtrlError::IllegalException);
            }
            break;
        case KwIRA:
            ReadToken(run);
            if (run.TokenCode != TokPlus) return ReportError(run, CtrlError::IllegalException);
            ReadToken(run);
            if (!IsNumberValue(run, 1)) return ReportError(run, CtrlError::IllegalException);
            word.EX = ExINA;
            break;
        case KwIRB: {
            ReadToken(run);
            std::uint8_t ex;
            if (run.TokenCode == TokPlus) {
                ex = ExINB;
            } else if (run.TokenCode == TokMinus) {
                ex = ExDCB;
            } else {
                return ReportError(run, CtrlError::IllegalException);
            }
            ReadToken(run);
            if (!IsNumberValue(run, 1)) return ReportError(run, CtrlError::IllegalException);
            word.EX = ex;
            break;
        }
        case KwSET:
            ReadToken(run);
            if (run.TokenCode == KwHLT) {
                word.EX = ExHLT;
            } else if (run.TokenCode == KwOV) {
                word.EX = ExOV;
            } else {
                ReportError(run, CtrlError::IllegalException);
            }
            break;
        case KwHLT: word.EX = ExHLT; break;
        case KwOV: word.EX = ExOV; break;
        case KwNEX: word.EX = ExNEX; break;
        default:
            return ReportError(run, CtrlError::IllegalException);
    }
    if (run.StatementError) return;
    ReadToken(run);
    EndClause(run);
}

}  // namespace ctrlforge
