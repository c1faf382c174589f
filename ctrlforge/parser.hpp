#pragma once
#include <cstdint>

#include "ctrlforge/run_state.hpp"
#include "ctrlforge/tokens.hpp"

namespace ctrlforge {

void ParsePass(CtrlRun& run);
void ParseStatement(CtrlRun& run);
void ParseTransfer(CtrlRun& run);
void ParseExpression(CtrlRun& run);
// Stores the current token (a register or a literal) into RB and LT. Where
// the exception clause C := uses it, a long literal is refused with error 15,
// since it would need the EX field that clause fills.
void StoreRightOperand(CtrlRun& run, bool longLiteralAllowed = true);
void ParseSequencingClause(CtrlRun& run);
void ParseMemoryClause(CtrlRun& run);
void ParseExceptionClause(CtrlRun& run);

inline bool IsTerminator(std::uint8_t code) { return code == TokSemicolon || code == TokEol; }

// Reads tokens while the current one is ";" or a line end.
void SkipTerminators(CtrlRun& run);

// The common ending of a clause: the current token must be a terminator
// (else error 3); then terminators are skipped.
void EndClause(CtrlRun& run);

bool IsExceptionStarter(std::uint8_t code);
bool IsDestination(std::uint8_t code);
bool IsLeftOperand(std::uint8_t code);
bool IsRightOperand(std::uint8_t code);  // registers and numbers

}  // namespace ctrlforge
