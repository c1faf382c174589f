#pragma once
#include "run_state.hpp"
#include "tokens.hpp"

namespace ctrlforge {

constexpr unsigned char kEndOfFile = 26;

void NextChar(CtrlRun& run);
void SkipRestOfLine(CtrlRun& run);
void ReadToken(CtrlRun& run);
void ReadNumber(CtrlRun& run, int base);
void ReadDirective(CtrlRun& run);

bool IsDigitOf(unsigned char c, int base);
int DigitValue(unsigned char c);
bool IsLetter(unsigned char c);

}  // namespace ctrlforge
