#pragma once
// What wordforge knows about an assembly source, handed to editors (the
// language server, the browser page) when a caller asks for it: every line
// with its place, kind, address and the words it produced; the fields of
// each instruction; every label with its definition, value and uses; and
// the tokens.
//
// Plain data in source order, built by pass 2, which reads every line; a
// source with errors gets a model of all of it, its error lines marked.
// Words are those pass 2 produced, also on a run with errors (whose object
// file is then deleted): a line in error produced none.
//
// One ModelLine stands for each source line pass 2 reads, up to END or the
// end of the source, in the listing's order: the leading comment lines and
// the TITLE line of a source that begins with TITLE, then every line of the
// statement loop (a DS line once, though the listing gives it a line a
// word). A source that ends in a line end, or with its TITLE line, or that
// is empty, has one more line, empty, at its end: the listing's error line
// for it (after a TITLE line without a line end it shares that line).
//
// Tokens, in source order and never overlapping: label (where defined or
// used), mnemonic (Mnemonic for an instruction, Keyword for DC, DS, ORG,
// TITLE and END; an unknown word gets none), register digits (also inside
// parentheses), numbers (a decimal, based or hexadecimal number, a DS count,
// an ORG address, a device number, a character literal with its quote; a
// sign before a number is not part of it), the device words CR and LPT
// (Keyword), the title word (Title), and comments from ";" to the line end.
// "*" and the signs, commas and parentheses are no tokens.
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/source_model.hpp"

namespace wordforge {

enum class LineKind : std::uint8_t {
    Instruction,  // a machine instruction that assembled
    Pseudo,       // DC, DS, ORG, TITLE, END
    Comment,      // a line that holds only a comment
    Error,        // a line flagged F or L: an error line, or a statement that failed
};

struct ModelWord {
    std::uint16_t address;
    std::uint16_t value;
};

// The fields of an instruction word: operation 4 bits, modifier 2, register
// 2, operand byte 8. Operation E words hold one sub-code in modifier and
// register together.
struct InstructionFields {
    std::uint8_t operation = 0;
    std::uint8_t modifier = 0;
    std::uint8_t reg = 0;
    std::uint8_t operand = 0;
};

struct ModelLine {
    common::SourceSpan span;         // the whole line, without its line end
    std::int32_t line = 0;           // its number, counted from 1
    LineKind kind = LineKind::Comment;
    char flags[2] = {' ', ' '};      // the listing's columns 1 and 2: ' ', 'F', 'L', 'D'
                                     // (of a DS line's first listing line)
    std::int32_t address = -1;       // the location counter at the line; -1 for lines that take none
                                     // (where the listing's columns 3-6 are blank: comment lines,
                                     // the title prologue, ORG and END)
    // The words it produced, one for an instruction or DC, n for DS n: the
    // `wordCount` words of SourceModel::words from `firstWord` (WordsOf).
    // One list for all lines, not one per line: a full memory has 65,536.
    std::uint32_t firstWord = 0;
    std::uint32_t wordCount = 0;
    // As written, up to 8 characters (upper-cased as the reader reads it),
    // the rest NUL; all NUL when the line has none (MnemonicOf).
    std::array<char, 8> mnemonic{};
    std::int32_t label = -1;         // the label it defines: an index into SourceModel::labels, or -1
    // Instructions only:
    InstructionFields fields;
    // Instructions, and also DC (its operand), DS (the count) and ORG (the
    // address). The label is set on a line in error too, undefined or not.
    std::int32_t operandLabel = -1;  // the label its operand names, or -1
    std::int32_t operandValue = 0;   // the operand's value as read, before it is cut to the operand
                                     // byte: the address for L, ST, LA and the branches (the operand
                                     // byte holds the displacement), the number for the others, the
                                     // device number for RIO and WIO; 0 on a line in error and
                                     // for RET, NOP and HLT
};

struct ModelLabelUse {
    common::SourceSpan span;  // the name as written, all of it
    std::int32_t line;  // the index into SourceModel::lines of the line that names it
};

struct ModelLabel {
    std::string name;               // as significant: at most 8 characters
    bool defined = false;           // false: used and never defined
    common::SourceSpan definition;  // the first definition: the name as written, without its colon
    std::int32_t value = 0;         // its address, from pass 1; 0 when undefined
    std::vector<ModelLabelUse> uses;
};

struct SourceModel {
    std::string title;  // the TITLE word of a source that begins with one
    std::vector<ModelLine> lines;
    std::vector<ModelWord> words;    // every line's words, in the order they were produced
    std::vector<ModelLabel> labels;  // in the order each name first appears
    std::vector<common::ModelToken> tokens;
};

inline std::span<const ModelWord> WordsOf(const SourceModel& model, const ModelLine& line) {
    return std::span<const ModelWord>(model.words).subspan(line.firstWord, line.wordCount);
}

inline std::string_view MnemonicOf(const ModelLine& line) {
    std::size_t length = 0;
    while (length < line.mnemonic.size() && line.mnemonic[length] != '\0') ++length;
    return {line.mnemonic.data(), length};
}

}  // namespace wordforge
