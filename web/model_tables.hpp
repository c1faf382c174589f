#pragma once
// The source model of a run as the page receives it: a few flat tables of
// numbers instead of tens of thousands of objects (a full control store has
// 4,095 statements and some 50,000 tokens), each a row of named columns.
// Places are offsets in UTF-16 code units of the source read as UTF-8,
// which is how the page's editor counts: the page hands the assemblers its
// text encoded as UTF-8, and the model counts bytes of that.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "ctrlforge/source_model.hpp"
#include "wordforge/source_model.hpp"

namespace web {

// Byte offsets of a source turned into UTF-16 offsets: after each character
// of several bytes, how many fewer units than bytes the text has up to
// there. Empty for a source of ASCII only, whose offsets stay as they are.
struct Utf16Offsets {
    std::vector<std::uint32_t> after;     // the byte offset after such a character
    std::vector<std::uint32_t> fewer;     // bytes minus units up to there
};

Utf16Offsets ScanUtf16(std::string_view source);
std::int32_t ToUtf16(const Utf16Offsets& offsets, std::uint32_t byteOffset);

// The columns of each table, in row order.
inline constexpr std::array<const char*, 12> kStatementColumns{
    "begin", "end", "headingEnd", "flags", "headingAddress", "address",
    "placementClass", "label", "target", "targetAddress", "wordHigh", "wordLow"};
inline constexpr std::array<const char*, 8> kCtrlLabelColumns{
    "defined", "begin", "end", "statement", "address", "placementClass", "firstUse", "uses"};
inline constexpr std::array<const char*, 5> kCtrlUseColumns{"begin", "end", "clause", "statement", "label"};
inline constexpr std::array<const char*, 16> kLineColumns{
    "begin", "end", "line", "kind", "flag1", "flag2", "address", "firstWord", "words",
    "label", "operation", "modifier", "register", "operand", "operandLabel", "operandValue"};
inline constexpr std::array<const char*, 6> kWordLabelColumns{"defined", "begin", "end", "value", "firstUse", "uses"};
inline constexpr std::array<const char*, 4> kWordUseColumns{"begin", "end", "line", "label"};
inline constexpr std::array<const char*, 3> kTokenColumns{"begin", "end", "kind"};

// Statement flags (kStatementColumns "flags").
inline constexpr std::int32_t kInError = 1;
inline constexpr std::int32_t kAddressGiven = 2;
inline constexpr std::int32_t kPacked = 4;

// The names of the enumerations' values, in their order.
inline constexpr std::array<const char*, 11> kTokenKindNames{
    "keyword", "mnemonic", "register", "condition", "operator", "number",
    "label", "comment", "directive", "title", "star"};
inline constexpr std::array<const char*, 6> kLabelUseNames{"GOTO", "CALL", "IF", "IOP", "IRA", "IAB"};
inline constexpr std::array<const char*, 4> kLineKindNames{"instruction", "pseudo", "comment", "error"};

struct ModelTables {
    std::string title;
    // ctrlforge: statements (kStatementColumns); wordforge: lines (kLineColumns).
    std::vector<std::int32_t> units;
    std::vector<std::int32_t> labels;
    std::vector<std::int32_t> uses;    // every label's uses, label after label
    std::vector<std::int32_t> tokens;
    std::string labelNames;            // each followed by a line feed
    // ctrlforge, per statement: the ten fields' codes and bits, LB first,
    // and their map cells, four characters each (blanks where the cell is
    // shorter, all blanks for a word not packed).
    std::vector<std::uint16_t> fieldCodes;
    std::vector<std::uint16_t> fieldBits;
    std::string cells;
    // wordforge: every word as address and value, in the order produced (a
    // line's own from its "firstWord" pair on), and each line's mnemonic as
    // the reader read it (upper case), each followed by a line feed.
    std::vector<std::uint16_t> words;
    std::string mnemonics;
};

ModelTables CtrlforgeTables(const ctrlforge::SourceModel& model, std::string_view source);
ModelTables WordforgeTables(const wordforge::SourceModel& model, std::string_view source);

}  // namespace web
