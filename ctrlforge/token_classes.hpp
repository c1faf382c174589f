#pragma once
// The classes of tokens that the statement grammar names.
#include <cstdint>

#include "ctrlforge/tokens.hpp"

namespace ctrlforge {

// ";" or a line end: what ends every line of a statement.
inline bool IsTerminator(std::uint8_t code) { return code == TokSemicolon || code == TokEol; }

inline bool IsSequencingStart(std::uint8_t code) {
    switch (code) {
        case KwIF: case KwGOTO: case KwCALL: case KwRETURN: case KwIOP: case KwIRA: case KwIAB: case KwNSQ:
            return true;
        default:
            return false;
    }
}

inline bool IsMemoryStart(std::uint8_t code) { return code == KwREAD || code == KwWRITE; }

inline bool IsExceptionStarter(std::uint8_t code) {
    switch (code) {
        case KwIO: case KwIR: case KwIRA: case KwT: case KwFLAG: case KwNEX: case TokC:
        case KwSET: case KwEXECUTE: case KwWITH: case KwIRB:
            return true;
        default:
            return false;
    }
}

inline bool IsRegister(std::uint8_t code) { return code >= KwR0 && code <= KwR7; }

inline bool IsDestination(std::uint8_t code) {
    return IsRegister(code) || code == KwRA || code == KwRAP || code == KwRB || code == KwRBP || code == KwPC;
}

inline bool IsLeftOperand(std::uint8_t code) {
    return IsRegister(code) || code == KwRB || code == KwRBP || code == KwPC || code == KwIO || code == KwMM ||
           code == KwIR || code == KwFSR || code == KwZERO;
}

// Registers and numbers (literals).
inline bool IsRightOperand(std::uint8_t code) {
    return IsRegister(code) || code == KwRA || code == KwRAP || code == TokNumber;
}

// "+", "-", AND, OR, XOR, "$", "@": their token codes are the ALU codes.
inline bool IsOperator(std::uint8_t code) { return code >= TokPlus && code <= TokAt; }

// SLL to NSH: their token codes are the shifter codes.
inline bool IsShift(std::uint8_t code) { return code >= KwSLL && code <= KwNSH; }

inline bool IsCondition(std::uint8_t code) { return code >= KwZER && code <= KwCZ; }

}  // namespace ctrlforge
