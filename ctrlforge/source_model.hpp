#pragma once
// What ctrlforge knows about a microprogram source, handed to editors (the
// language server, the browser page) when a caller asks for it: every
// statement with its place, address, word and fields; every label with its
// definition and uses; the title, the comments and the tokens.
//
// It is plain data in source order. A source with errors still gets a model
// of everything that was read: statements before and after an error (those
// in error marked), labels defined so far, and uses that never found their
// label marked unresolved. Addresses and words exist only where the run got
// that far: a run that failed before placement fixes no address, and only a
// run that reached the writers packs words.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/source_model.hpp"

namespace ctrlforge {

// The ten fields of the control word, most significant first.
enum class WordField : std::uint8_t { LB, RB, AL, SH, SB, MM, SQ, TS, EX, LT };
inline constexpr std::size_t kWordFields = 10;

// Where a field stands in the 40-bit word: bits high..low.
struct FieldBits {
    const char* name;  // "LB"
    unsigned high;
    unsigned low;
};
inline constexpr std::array<FieldBits, kWordFields> kFieldBits{{
    {"LB", 39, 36}, {"RB", 35, 32}, {"AL", 31, 29}, {"SH", 28, 26}, {"SB", 25, 22},
    {"MM", 21, 20}, {"SQ", 19, 16}, {"TS", 15, 13}, {"EX", 12, 9},  {"LT", 8, 0},
}};

// One field of a statement's word.
struct ModelField {
    std::uint16_t code = 0;  // the field code the parser stored (LT: the literal or target as packed)
    std::uint16_t bits = 0;  // the bits the word carries in this field
    // What the map prints in its column, without the padding blanks ("R1L",
    // "NLB", "105"); at most four characters, the rest NUL. Kept in place
    // rather than as a string: a full control store has 40,960 of them.
    std::array<char, 4> cell{};
};

inline std::string_view CellText(const ModelField& field) {
    std::size_t length = 0;
    while (length < field.cell.size() && field.cell[length] != '\0') ++length;
    return {field.cell.data(), length};
}

// The clause that names a label.
enum class LabelUse : std::uint8_t { Goto, Call, IfThen, Iop, Ira, Iab };

struct ModelStatement {
    common::SourceSpan span;     // from its "*" to the end of its last clause line
    common::SourceSpan heading;  // the heading line, from its "*" to its end
    bool inError = false;        // an error was reported inside it; the rest of it was not read
    bool addressGiven = false;   // the heading names its address
    std::int32_t headingAddress = -1;  // the address the heading gave it (named, or the one after the
                                       // previous statement's), before placement; -1 when the heading failed first
    std::int32_t address = -1;   // the final address, where placement fixed one; else -1
    std::uint8_t placementClass = 0;  // 0 unlabelled, 1 labelled, 2 branch target, 3 IRA, 4 IOP, 5 IAB target
    std::int32_t label = -1;     // the label it defines: an index into SourceModel::labels, or -1
    std::int32_t target = -1;    // the label its branch names, or -1
    std::int32_t targetAddress = -1;  // that label's final address, where known
    bool packed = false;         // the writers packed its word
    std::uint64_t word = 0;      // the 40-bit word, when packed
    std::array<ModelField, kWordFields> fields{};  // when packed
};

struct ModelLabelUse {
    common::SourceSpan span;
    LabelUse clause;
    std::int32_t statement;  // the statement whose clause names it
};

struct ModelLabel {
    std::string name;                // as significant: at most 8 characters, upper case
    bool defined = false;            // false: used and never defined (error 20)
    common::SourceSpan definition;   // the label in its heading, when defined
    std::int32_t statement = -1;     // the statement it labels, when defined
    std::int32_t address = -1;       // that statement's final address, where placement fixed one
    std::uint8_t placementClass = 1; // the class its uses ask of it
    std::vector<ModelLabelUse> uses; // in source order
};

struct SourceModel {
    std::string title;             // without padding; empty when the title line was refused
    common::SourceSpan titleSpan;  // the title word
    std::vector<ModelStatement> statements;
    std::vector<ModelLabel> labels;         // in the order each name first appears
    std::vector<common::SourceSpan> comments;
    std::vector<common::ModelToken> tokens;  // every token read, in source order
};

}  // namespace ctrlforge
