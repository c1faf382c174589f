#include "ctrlforge/clauses.hpp"

#include "ctrlforge/error_report.hpp"
#include "ctrlforge/keywords.hpp"
#include "ctrlforge/labels.hpp"
#include "ctrlforge/model_builder.hpp"
#include "ctrlforge/terminators.hpp"
#include "ctrlforge/token_classes.hpp"
#include "ctrlforge/token_reader.hpp"
#include "ctrlforge/transfer.hpp"

namespace ctrlforge {

namespace {

// A number token counts as 0 or 1 only when its reading did not overflow.
bool IsNumberValue(const CtrlRun& run, int value) {
    return run.TokenCode == TokNumber && !run.TokenOverflow && run.TokenValue == value;
}

// "IF" cond "=" ( 0 | 1 ) "THEN" label [ "ELSE" "FETCH" ]; leaves the token
// after the clause current.
[[nodiscard]] bool ParseIf(CtrlRun& run) {
    MicroWord& word = run.CurrentWord();
    ReadToken(run);
    if (!IsCondition(run.TokenCode)) return ReportError(run, CtrlError::IllegalTestCondition, Cause::IfCondition);
    const std::size_t condition = run.tokenStart;
    if (run.model != nullptr) ModelConditionRead(run);
    word.TS = run.TokenCode;
    ReadToken(run);
    run.detail.first = condition;
    if (run.TokenCode != TokEqual) return ReportError(run, CtrlError::IllegalTestCondition, Cause::IfEqual);
    ReadToken(run);
    if (IsNumberValue(run, 1)) {
        word.SQ = SqBT;
    } else if (IsNumberValue(run, 0)) {
        word.SQ = SqBF;
    } else {
        run.detail.first = condition;
        return ReportError(run, CtrlError::IllegalTestCondition, Cause::IfValue);
    }
    ReadToken(run);
    if (run.TokenCode != KwTHEN) {
        run.detail.first = condition;
        return ReportError(run, CtrlError::NoThenClause, Cause::IfThen);
    }
    ReadToken(run);
    if (run.TokenCode != TokIdent) return ReportError(run, CtrlError::LabelExpected, Cause::IfLabel);
    if (run.model != nullptr) ModelLabelUsed(run, LabelUse::IfThen);
    ReferenceLabel(run, BranchTarget);
    ReadToken(run);
    if (run.TokenCode == KwELSE) {
        if (word.SQ != SqBF) {
            run.detail.first = condition;
            return ReportError(run, CtrlError::IllegalIf, Cause::ElseAfterOne);
        }
        word.SQ = SqEI;
        ReadToken(run);
        if (run.TokenCode != KwFETCH) return ReportError(run, CtrlError::ElseNotFetch, Cause::ElseNotFetch);
        ReadToken(run);
    }
    return false;
}

// The clause that names a label, by the sequencing code it stores.
LabelUse UseOf(std::uint8_t sq) {
    switch (sq) {
        case SqBP: return LabelUse::Call;
        case SqIOP: return LabelUse::Iop;
        case SqIRA: return LabelUse::Ira;
        case SqIAB: return LabelUse::Iab;
        default: return LabelUse::Goto;
    }
}

// ( "GOTO" | "CALL" | "IOP" | "IRA" | "IAB" ) label | "GOTO" "FETCH"; leaves
// the token after the clause current.
[[nodiscard]] bool ParseBranch(CtrlRun& run, std::uint8_t sq, std::uint8_t placementClass) {
    MicroWord& word = run.CurrentWord();
    const bool isGoto = run.TokenCode == KwGOTO;
    ReadToken(run);
    if (isGoto && run.TokenCode == KwFETCH) {
        word.SQ = SqEI;
        word.TS = TsNTS;
    } else if (run.TokenCode == TokIdent) {
        if (run.model != nullptr) ModelLabelUsed(run, UseOf(sq));
        ReferenceLabel(run, placementClass);
        word.SQ = sq;
    } else {
        return ReportError(run, CtrlError::LabelExpected, Cause::BranchLabel);
    }
    ReadToken(run);
    return false;
}

// counter = "C" "-" 1 | "C" ":=" "RBUS" | "C" ":=" right operand
[[nodiscard]] bool ParseCounter(CtrlRun& run) {
    MicroWord& word = run.CurrentWord();
    ReadToken(run);
    if (run.TokenCode == TokMinus) {
        ReadToken(run);
        if (!IsNumberValue(run, 1)) return ReportError(run, CtrlError::IllegalException, Cause::CounterStep);
        word.EX = ExCM1;
        return false;
    }
    if (run.TokenCode != TokAssign) return ReportError(run, CtrlError::IllegalException, Cause::CounterForm);
    ReadToken(run);
    if (run.TokenCode == KwRBUS) {
        word.EX = ExSC;
        return false;
    }
    if (!IsRightOperand(run.TokenCode)) return ReportError(run, CtrlError::IllegalException, Cause::CounterSource);
    if (word.RB != RbBase) return ReportError(run, CtrlError::RbFieldDefined, Cause::CounterRightBus);
    if (StoreRightOperand(run, false)) return true;
    word.EX = ExSC;
    return false;
}

// load = ( "IR" | "IO" ) ":=" ( "LBUS" | left operand other than itself )
[[nodiscard]] bool ParseLoad(CtrlRun& run, std::uint8_t self, std::uint8_t ex) {
    MicroWord& word = run.CurrentWord();
    const std::size_t clause = run.tokenStart;
    ReadToken(run);
    run.detail.first = clause;
    run.detail.code = self;
    if (run.TokenCode != TokAssign) return ReportError(run, CtrlError::IllegalExpression, Cause::LoadAssign);
    ReadToken(run);
    if (run.TokenCode == KwLBUS) {
        word.EX = ex;
        return false;
    }
    if (!IsLeftOperand(run.TokenCode) || run.TokenCode == self) {
        run.detail.first = clause;
        run.detail.code = self;
        return ReportError(run, CtrlError::IllegalExpression, Cause::LoadSource);
    }
    if (word.LB != LbBase) {
        run.detail.first = clause;
        return ReportError(run, CtrlError::LbFieldDefined, Cause::LoadLeftBus);
    }
    run.leftOperandAt = run.tokenStart;
    RecodeLeftBus(run);
    word.LB = run.TokenCode;
    word.EX = ex;
    return false;
}

// keyword pair: the next token must be `expected`; then EX := `ex`.
[[nodiscard]] bool ParseKeywordPair(CtrlRun& run, std::uint8_t expected, std::uint8_t ex) {
    const std::size_t clause = run.tokenStart;
    ReadToken(run);
    if (run.TokenCode != expected) {
        run.detail.first = clause;
        run.detail.code = expected;
        return ReportError(run, CtrlError::IllegalException, Cause::KeywordPair);
    }
    run.CurrentWord().EX = ex;
    return false;
}

// "T" ":=" ( 0 | 1 )
[[nodiscard]] bool ParseTestFlag(CtrlRun& run) {
    MicroWord& word = run.CurrentWord();
    ReadToken(run);
    if (run.TokenCode != TokAssign) return ReportError(run, CtrlError::IllegalExpression, Cause::FlagAssign);
    ReadToken(run);
    if (run.TokenCode != TokNumber) return ReportError(run, CtrlError::IllegalExpression, Cause::FlagNotNumber);
    if (IsNumberValue(run, 1)) {
        word.EX = ExST;
    } else if (IsNumberValue(run, 0)) {
        word.EX = ExRT;
    } else {
        return ReportError(run, CtrlError::IllegalException, Cause::FlagValue);
    }
    return false;
}

// ( "IRA" | "IRB" ) "+" 1 | "IRB" "-" 1; `down` is ExBase for IRA, which has
// no "-" form.
[[nodiscard]] bool ParseStep(CtrlRun& run, std::uint8_t up, std::uint8_t down) {
    const std::size_t clause = run.tokenStart;
    ReadToken(run);
    std::uint8_t ex;
    run.detail.first = clause;
    run.detail.code = down == ExBase ? KwIRA : KwIRB;
    if (run.TokenCode == TokPlus) {
        ex = up;
    } else if (run.TokenCode == TokMinus && down != ExBase) {
        ex = down;
    } else {
        return ReportError(run, CtrlError::IllegalException, Cause::StepSign);
    }
    const std::size_t sign = run.tokenStart;
    ReadToken(run);
    if (!IsNumberValue(run, 1)) {
        run.detail.first = clause;
        run.detail.second = sign;
        return ReportError(run, CtrlError::IllegalException, Cause::StepOne);
    }
    run.CurrentWord().EX = ex;
    return false;
}

// "SET" ( "HLT" | "OV" ), as a later exception line.
[[nodiscard]] bool ParseSet(CtrlRun& run) {
    ReadToken(run);
    if (run.TokenCode == KwHLT) {
        run.CurrentWord().EX = ExHLT;
    } else if (run.TokenCode == KwOV) {
        run.CurrentWord().EX = ExOV;
    } else {
        return ReportError(run, CtrlError::IllegalException, Cause::SetLater);
    }
    return false;
}

// The clause proper, by its first token; leaves the clause's last token
// current.
[[nodiscard]] bool ParseExceptionBody(CtrlRun& run) {
    MicroWord& word = run.CurrentWord();
    switch (run.TokenCode) {
        case TokC: return ParseCounter(run);
        case KwFLAG: return ParseKeywordPair(run, KwSAVE, ExFLS);
        case KwWITH:
            ReadToken(run);
            if (run.TokenCode == KwCRY) {
                word.EX = ExASC;
            } else if (run.TokenCode == KwONE) {
                word.EX = ExAS1;
            } else {
                return ReportError(run, CtrlError::IllegalException, Cause::WithWord);
            }
            return false;
        case KwIR: return ParseLoad(run, KwIR, ExLIR);
        case KwIO: return ParseLoad(run, KwIO, ExLIO);
        case KwEXECUTE: return ParseKeywordPair(run, KwIO, ExEIO);
        case KwT: return ParseTestFlag(run);
        case KwIRA: return ParseStep(run, ExINA, ExBase);
        case KwIRB: return ParseStep(run, ExINB, ExDCB);
        case KwSET: return ParseSet(run);
        case KwHLT: word.EX = ExHLT; return false;
        case KwOV: word.EX = ExOV; return false;
        case KwNEX: word.EX = ExNEX; return false;
        default: return ReportError(run, CtrlError::IllegalException, Cause::SetWord);
    }
}

}  // namespace

bool ParseSequencingClause(CtrlRun& run) {
    run.reading = Reading::Sequencing;
    bool reported = false;
    switch (run.TokenCode) {
        case KwIF: reported = ParseIf(run); break;
        case KwGOTO: reported = ParseBranch(run, SqB, BranchTarget); break;
        case KwCALL: reported = ParseBranch(run, SqBP, BranchTarget); break;
        case KwIOP: reported = ParseBranch(run, SqIOP, IopTarget); break;
        case KwIRA: reported = ParseBranch(run, SqIRA, IraTarget); break;
        case KwIAB: reported = ParseBranch(run, SqIAB, IabTarget); break;
        case KwRETURN:
            run.CurrentWord().SQ = SqRTN;
            ReadToken(run);
            break;
        default:  // NSQ
            run.CurrentWord().SQ = SqNSQ;
            ReadToken(run);
            break;
    }
    if (reported) return true;
    return EndClause(run, Cause::SequencingEnd);
}

bool ParseMemoryClause(CtrlRun& run) {
    run.reading = Reading::Memory;
    run.CurrentWord().MM = run.TokenCode == KwREAD ? MmRM : MmWM;
    ReadToken(run);
    return EndClause(run, Cause::MemoryEnd);
}

bool ParseExceptionClause(CtrlRun& run) {
    run.reading = Reading::Exception;
    // The first clause, or the second; a SET prefix counts as the first's
    // beginning.
    if (run.clauses.exception == kNowhere) {
        run.clauses.exception = run.clauses.setPrefix != kNowhere ? run.clauses.setPrefix : run.tokenStart;
    } else {
        run.clauses.second = run.tokenStart;
    }
    if (run.CurrentWord().RB == RbLLT) {
        return ReportError(run, CtrlError::ExFieldDefined, Cause::AfterLongLiteral);  // the long literal fills EX
    }
    const std::uint8_t earlier = run.CurrentWord().EX;  // only exception clauses set EX
    const std::size_t start = run.tokenStart;
    if (ParseExceptionBody(run)) return true;
    if (earlier != ExBase && run.diagnostics != nullptr && common::WantsWarning(*run.diagnostics, "replaced-exception")) {
        common::Record(*run.diagnostics, start, common::Severity::Warning, "-Wreplaced-exception",
                       "this exception clause replaces the statement's earlier one; only one is kept");
    }
    ReadToken(run);
    return EndClause(run, Cause::ExceptionEnd);
}

}  // namespace ctrlforge
