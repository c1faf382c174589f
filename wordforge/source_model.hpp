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
#include <cstdint>
#include <string>
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
    std::int32_t address = -1;       // the location counter at the line; -1 for lines that take none
    std::vector<ModelWord> words;    // the words it produced: one for an instruction or DC, n for DS n
    std::string mnemonic;            // as written, up to 8 characters; empty when the line has none
    std::int32_t label = -1;         // the label it defines: an index into SourceModel::labels, or -1
    // Instructions only:
    InstructionFields fields;
    std::int32_t operandLabel = -1;  // the label its operand names, or -1
    std::int32_t operandValue = 0;   // the operand's value: an address, a number, a displacement
};

struct ModelLabelUse {
    common::SourceSpan span;
    std::int32_t line;  // the index into SourceModel::lines of the line that names it
};

struct ModelLabel {
    std::string name;               // as significant: at most 8 characters
    bool defined = false;           // false: used and never defined
    common::SourceSpan definition;  // the first definition
    std::int32_t value = 0;         // its address, from pass 1
    std::vector<ModelLabelUse> uses;
};

struct SourceModel {
    std::string title;  // the TITLE word of a source that begins with one
    std::vector<ModelLine> lines;
    std::vector<ModelLabel> labels;  // in the order each name first appears
    std::vector<common::ModelToken> tokens;
};

}  // namespace wordforge
