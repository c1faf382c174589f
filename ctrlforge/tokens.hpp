#pragma once
// Token codes of the microprogram language. Token codes and field codes share
// one byte space: a keyword that names a field value carries that value's
// field code as its token code.
#include <cstdint>

namespace ctrlforge {

enum : std::uint8_t {
    TokPlus = 36,
    TokMinus = 37,
    TokDollar = 41,
    TokAt = 43,
    TokSkip = 128,
    TokIdent = 129,
    TokNumber = 130,
    TokEnd = 132,
    TokTitle = 133,
    TokC = 144,
    TokStar = 151,
    TokColon = 152,
    TokSemicolon = 153,
    TokAssign = 155,
    TokEqual = 156,
    TokEol = 157,
    TokEof = 158,
};

// Keyword codes (words beginning with G to Z, then A to F).
enum : std::uint8_t {
    KwRB = 9, KwRBP = 10, KwPC = 11, KwIO = 12, KwMM = 13, KwIR = 14, KwFSR = 15, KwZERO = 17,
    KwRA = 27, KwRAP = 28,
    KwAND = 38, KwOR = 39, KwXOR = 40,
    KwSLL = 45, KwSRL = 46, KwSLA = 47, KwSRA = 48, KwSNX = 49, KwSWP = 50, KwNSH = 52,
    KwIOP = 81, KwIRA = 82, KwIAB = 83, KwNSQ = 91,
    KwZER = 93, KwNEG = 94, KwCRY = 95, KwOV = 96, KwT = 97, KwCZ = 98,
    KwFLAG = 103, KwHLT = 115, KwNEX = 117,
    KwR0 = 118, KwR1 = 119, KwR2 = 120, KwR3 = 121, KwR4 = 122, KwR5 = 123, KwR6 = 124, KwR7 = 125,
    KwLBUS = 126, KwRBUS = 127,
    KwIF = 134, KwGOTO = 135, KwCALL = 136, KwRETURN = 137, KwELSE = 138, KwTHEN = 139,
    KwFETCH = 140, KwREAD = 141, KwWRITE = 142, KwBY = 143, KwSET = 145, KwEXECUTE = 146,
    KwWITH = 147, KwIRB = 148, KwSAVE = 149, KwONE = 159,
};

// Field codes: each field's base (the field not named, a fresh word's value)
// and the codes that recodings and clauses store as constants. A register's
// code in a bus field is the code of R0 in that field plus its number.
enum : std::uint8_t {
    LbBase = 0, LbR0L = 1, LbNLB = 16,
    RbBase = 18, RbR0R = 19, RbSLT = 29, RbLLT = 30, RbNRB = 34,
    AlBase = 35, AlADD = 36, AlOR = 39, AlNAL = 43,
    ShBase = 44, ShNSH = 52,
    SbBase = 53, SbR0S = 54, SbSA = 62, SbSAP = 63, SbSB = 64, SbSBP = 65, SbPCS = 66, SbNSB = 69,
    MmBase = 70, MmRM = 71, MmWM = 72,
    SqBase = 75, SqB = 76, SqBP = 77, SqRTN = 78, SqBT = 79, SqBF = 80, SqIOP = 81, SqIRA = 82,
    SqIAB = 83, SqEI = 84, SqNSQ = 91,
    TsBase = 92, TsNTS = 100,
    ExBase = 101, ExCM1 = 102, ExFLS = 103, ExASC = 104, ExAS1 = 105, ExLIR = 106, ExLIO = 107,
    ExSC = 108, ExEIO = 109, ExST = 110, ExRT = 111, ExINA = 112, ExINB = 113, ExDCB = 114,
    ExHLT = 115, ExOV = 116, ExNEX = 117,
};

}  // namespace ctrlforge
