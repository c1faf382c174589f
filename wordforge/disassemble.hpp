#pragma once
// Reading instruction words back: what a 16-bit word encodes, and assembly
// source that assembles back to the same words at the same addresses.
//
// Every word is either the encoding of exactly one instruction form or a
// word no instruction encodes, which the source writes as DC X"hhhh:
// operation 5 with modifier 3, operation D with modifier 3 and a register
// other than 0 (BDIS holds register 0), and EB, EE, EF with an operand byte
// other than 00 (RET, NOP and HLT ignore their operand and encode 00).
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "common/diagnostics.hpp"
#include "common/text_file.hpp"
#include "image/compare.hpp"
#include "image/placed_word.hpp"

namespace wordforge {

// The operand an instruction word's form takes.
enum class OperandForm : std::uint8_t {
    Indexed,    // r,n(x) with n unsigned: ADD ... EX; the index is optional
    Immediate,  // r,n with n unsigned: LC PUSH POP
    Signed,     // r,n with n signed: SL SA SC BIX
    Based,      // r,n(x) with n signed and the index required: LEA LX STX
    Relative,   // r,a: L ST LA; the operand byte is a displacement
    Branch,     // a: BDIS and the E branches; the operand byte is a displacement
    Device,     // CR, LPT or a device number: RIO WIO
    None,       // RET NOP HLT
    Data,       // no instruction encodes the word: DC
};

struct DecodedInstruction {
    std::uint16_t word = 0;
    std::string_view mnemonic;  // "ADD" ... "HLT", or "DC"
    OperandForm form = OperandForm::Data;
    unsigned operation = 0;     // bits 15..12
    unsigned modifier = 0;      // bits 11..10: index register or sub-operation
    unsigned reg = 0;           // bits 9..8
    unsigned subCode = 0;       // bits 11..8, the sub-code of operation E
    unsigned operand = 0;       // bits 7..0
    std::int32_t displacement = 0;  // Relative, Branch: the operand byte as -128..127
    std::string_view why;       // Data: why no instruction encodes the word
};

DecodedInstruction DecodeInstruction(std::uint16_t word);

// The statement that gives the word ("ADD   1,5(2)", "BNZ   *-16",
// "DC    X\"EB05"), its target relative to its own address.
std::string StatementOf(std::uint16_t word);

// The text of `wordforge --explain WORD`: the word and the statement that
// gives it, its fields, and for L, ST, LA and the branches the target as
// an offset from the instruction's own address. Lines end with a line feed.
std::string ExplainInstruction(std::uint16_t word);

// Assembly source for the words in the order given (an object file's
// order): ORG where an address does not follow the one before, a label
// L<address> ("L001A") on every target of a branch and of L, ST and LA that
// holds a word (the first word at that address), "*", "*+n" or "*-n" for a
// target that holds none, DC X"hhhh for a word no instruction encodes.
// With `annotate`, each line that gives a word ends in a comment with its
// address and word as the object file prints them. A title (letters and
// digits, at most 8) makes the first line TITLE; without one the object
// file's first line is "MM". Lines end with CR LF.
struct DisassemblyOptions {
    std::optional<std::string> title;
    bool annotate = false;
};

std::string Disassemble(std::span<const image::PlacedWord> words, const DisassemblyOptions& options);
// The same, written to `out` line by line (a sink bound to a file writes it
// out in pieces).
void Disassemble(std::span<const image::PlacedWord> words, const DisassemblyOptions& options, common::OutputSink& out);

// A memory read back against the words a source assembles to
// (image/compare.hpp): each difference with the line that places the
// source's word.
struct ImageComparison {
    bool assembled = false;  // false: the source has errors, and nothing was compared
    image::WordComparison words;
};

ImageComparison CompareImage(std::string_view source, std::span<const image::PlacedWord> image, std::uint64_t fill,
                             common::DiagnosticSink* diagnostics);

}  // namespace wordforge
