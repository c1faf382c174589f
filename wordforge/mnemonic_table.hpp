#pragma once
// The 44 mnemonics in their binding order: several encodings are computed
// from the index, so the order must not change.
#include <array>
#include <string_view>

#include "wordforge/source_reader.hpp"

namespace wordforge {

enum MnemonicIndex : int {
    kAdd, kSub, kAnd, kOr, kXor, kMult, kDiv, kCmp, kEx,
    kLc, kPush, kPop,
    kSl, kSa, kSc, kBix,
    kLea, kLx, kStx,
    kL, kSt, kLa,
    kBdis, kBp, kBz, kBm, kBc, kBnp, kBnz, kBnm, kBnc, kB, kBi, kBsr,
    kRio, kWio,
    kRet, kNop, kHlt,
    kDc, kDs, kOrg, kTitle, kEnd,
    kNoMnemonic  // a word that is no mnemonic, or a line without a word
};

inline constexpr int kMnemonicCount = 44;
inline constexpr int kFirstPseudo = kDc;  // indices below are machine instructions

inline constexpr std::array<std::string_view, kMnemonicCount> kMnemonicTable = {
    "ADD", "SUB", "AND",  "OR",  "XOR", "MULT", "DIV", "CMP", "EX",  "LC",    "PUSH",
    "POP", "SL",  "SA",   "SC",  "BIX", "LEA",  "LX",  "STX", "L",   "ST",    "LA",
    "BDIS", "BP", "BZ",   "BM",  "BC",  "BNP",  "BNZ", "BNM", "BNC", "B",     "BI",
    "BSR", "RIO", "WIO",  "RET", "NOP", "HLT",  "DC",  "DS",  "ORG", "TITLE", "END"};

// The index of the mnemonic equal to the word, or kNoMnemonic.
int LookUpMnemonic(const Word& word);

}  // namespace wordforge
