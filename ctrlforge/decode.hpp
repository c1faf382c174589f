#pragma once
// Reading control words back: the ten fields of a 40-bit word as the map
// names them, what the word does in the language's own terms, and a
// microprogram that assembles back to the same words.
//
// A word is decoded from its bits alone; nothing of the source it came from
// is known. Three things follow from the word's layout:
// - a conditional branch (BT, BF, EI with a test) keeps only bits 8..0 of
//   its target, so only those are told;
// - IOP, IRA and IAB keep the target without the bits its placement makes
//   zero, and the table it heads has an entry for every value of the bits
//   the word does not hold: 16 entries 1 apart for IOP (bits 3..0), 4
//   entries 4 apart for IRA and IAB (bits 3..2). (An IOP label that is an
//   IAB target too is placed by the IAB rule alone, at 1 to 3 past a
//   64-word boundary; the IOP word still keeps only bits 11..4.)
// - some bit patterns no statement gives (a value without a mnemonic, a test
//   without a conditional branch, a literal beside a branch target, ...);
//   such a word is told as it stands, with the reason.
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/diagnostics.hpp"
#include "common/text_file.hpp"
#include "ctrlforge/source_model.hpp"
#include "image/compare.hpp"
#include "image/placed_word.hpp"

namespace ctrlforge {

// A short text in a fixed buffer of N characters: a map cell, a clause
// line, a reason. Text beyond N is dropped; none of the decoders' texts is
// that long.
template <std::size_t N>
struct BasicShortText {
    std::array<char, N> text{};
    std::uint8_t size = 0;

    std::string_view View() const { return {text.data(), size}; }
    bool Empty() const { return size == 0; }
    void Add(std::string_view part) {
        for (char c : part) Add(c);
    }
    void Add(char c) {
        if (size < N) text[size++] = c;
    }
    void AddHex(unsigned value, int digits) {  // upper case, leading zeros kept
        static constexpr char kHex[] = "0123456789ABCDEF";
        for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) Add(kHex[(value >> shift) & 15u]);
    }
};
using ShortText = BasicShortText<48>;   // a clause, a label, an address
using WordCell = BasicShortText<4>;     // a map cell
using ReasonText = BasicShortText<96>;  // why no statement gives a word

// The sequencing of a word, as the language writes it.
enum class Sequencing : std::uint8_t {
    Next,            // no sequencing clause (NSQ)
    Return,          // RETURN (RTN)
    Goto,            // GOTO label (B)
    Call,            // CALL label (BP)
    IfTrue,          // IF cond = 1 THEN label (BT)
    IfFalse,         // IF cond = 0 THEN label (BF)
    IfFalseOrFetch,  // IF cond = 0 THEN label ELSE FETCH (EI with a test)
    GotoFetch,       // GOTO FETCH (EI without a test)
    Iop,             // IOP label
    Ira,             // IRA label
    Iab,             // IAB label
    Unnamed,         // SQ 9 to 14, which no clause gives
};

enum class TargetKind : std::uint8_t {
    None,     // the word branches to no label
    Whole,    // the word holds the whole 12-bit address (B, BP, IOP, IRA, IAB)
    LowBits,  // the word holds only bits 8..0 of it (BT, BF, EI with a test)
};

enum class LiteralKind : std::uint8_t { None, Short, Long };

struct DecodedWord {
    std::uint64_t word = 0;
    std::array<std::uint16_t, kWordFields> bits{};  // each field's bits, LB to LT
    // Each field as the map names it: a mnemonic ("R1L", "NLB"), or, where
    // TS, EX and LT carry a target's or a long literal's bits, three hex
    // digits; a value without a mnemonic shows as "#" and its hex digit.
    std::array<WordCell, kWordFields> cells{};

    Sequencing sequencing = Sequencing::Next;
    TargetKind target = TargetKind::None;
    std::uint16_t targetAddress = 0;  // Whole: the address; LowBits: bits 8..0
    // IOP, IRA, IAB: where the entries of the table the target heads stand.
    std::array<std::uint16_t, 16> table{};
    std::uint8_t tableEntries = 0;

    LiteralKind literal = LiteralKind::None;
    std::uint16_t literalValue = 0;

    // The statement that gives the word, clause by clause; an empty clause
    // is one the statement does not have. The sequencing clause is written
    // with the target's address in place of a label (a conditional branch:
    // "<bits 8..0 = 05A>").
    ShortText sequencingClause, memoryClause, transferClause, exceptionClause;

    // Why no statement gives the word; empty when one does (given a word at
    // the branch target to carry its label).
    ReasonText inexpressible;
};

DecodedWord DecodeWord(std::uint64_t word);

// The text of `ctrlforge --explain WORD`: the map's column heading, the
// word and its fields, then one line for each of transfer, memory,
// sequencing, target (branches), exception and literal, and why no source
// gives it where none does. Lines end with a line feed.
std::string ExplainWord(std::uint64_t word);

// The same for every word of an image, each headed by its address: the
// text of `ctrlforge --decode`.
std::string DecodeWords(std::span<const image::PlacedWord> words);
// The same, written to `out` word by word (a sink bound to a file writes it
// out in pieces).
void DecodeWords(std::span<const image::PlacedWord> words, common::OutputSink& out);

// A microprogram that assembles back to the words, for
// `ctrlforge --decode --as-source`:
// - the words in address order (of two at one address, the later), each
//   one statement whose heading names its address;
// - a label L<address> ("L05A") on every branch target;
// - a conditional branch's target is placed in the branching word's own
//   512-word page when a word stands there at those low bits, else in the
//   nearest page that has one: the word does not tell; an IOP target with
//   no word on its boundary may be an IAB target 1 to 3 words past it;
// - a word no statement gives, or whose target holds no word a statement
//   gives, or that stands at FFF (a program's last word lies at FFE at most),
//   is written as a comment line that says why, and counted.
// The title is used when it is a title the language accepts (a word of at
// most 8 letters, digits and "_" that begins with a letter and is no
// keyword), else DECODED. Lines end with CR LF, as the programs' files do.
struct DecodedSource {
    std::string text;
    std::size_t inexpressible = 0;  // the words written as comments
};

DecodedSource DecodeAsSource(std::span<const image::PlacedWord> words, std::string_view title);
// The same, written to `out` statement by statement; returns the number of
// words written as comments.
std::size_t DecodeAsSource(std::span<const image::PlacedWord> words, std::string_view title, common::OutputSink& out);

// A control store read back against the words a source assembles to
// (image/compare.hpp): each difference with the statement that places the
// source's word, and which of the ten fields differ.
struct ImageComparison {
    bool assembled = false;     // false: the source has errors, and nothing was compared
    image::WordComparison words;
    std::vector<std::uint16_t> fields;  // for each difference with both words: bit f set when field f differs
};

ImageComparison CompareImage(std::string_view source, std::span<const image::PlacedWord> image, std::uint64_t fill,
                             common::DiagnosticSink* diagnostics);

}  // namespace ctrlforge
