#pragma once
// The parts of a source model both programs share: places and spans in the
// source, and the list of tokens with their kinds that editors colour.
//
// A place is a byte offset into the source as handed to the assembler, with
// its line and column counted as the diagnostics count them: lines from 1,
// ended by CR LF, a lone CR or a lone LF; columns are bytes within the line,
// from 1. A span runs from `begin` up to, not including, `end`.
#include <cstdint>

namespace common {

struct SourcePlace {
    std::uint32_t offset = 0;
    std::int32_t line = 1;
    std::int32_t column = 1;
};

struct SourceSpan {
    SourcePlace begin;
    SourcePlace end;
};

// What a token of either language is, for colouring and for finding what
// stands under a cursor.
enum class TokenKind : std::uint8_t {
    Keyword,    // a word of the language: GOTO, READ, THEN, CALL, SET ...; wordforge: DC, DS, ORG, TITLE, END, CR, LPT
    Mnemonic,   // wordforge: an instruction mnemonic (ADD, BSR)
    Register,   // ctrlforge: R0..R7, RA, PC, IO, MM ...; wordforge: the register digit after a mnemonic
    Condition,  // ctrlforge: ZER, NEG, CRY, OV, T, CZ after IF
    Operator,   // ctrlforge: + - $ @ AND OR XOR, the shifts, := = :
    Number,     // a number or a constant
    Label,      // a label, where defined or used
    Comment,    // from ";" to the end of the line
    Directive,  // ctrlforge: .TITLE and .END
    Title,      // the program's title word
    Star,       // ctrlforge: the "*" that begins a statement
};

struct ModelToken {
    SourceSpan span;
    TokenKind kind;
};

}  // namespace common
