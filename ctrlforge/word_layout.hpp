#pragma once
// The layout of the 40-bit control word, for the headers a hardware designer
// decodes the control store with.
#include <string>
#include <string_view>
#include <vector>

namespace ctrlforge {

// One field of the control word, most significant first; LT last.
struct FieldLayout {
    std::string_view name;         // "LB"
    std::string_view description;  // "left bus source"
    unsigned high;                 // bit range high..low
    unsigned low;
    int field;                     // the Field enumerator, or -1 for LT
};

std::vector<FieldLayout> ControlWordFields();

// Header texts of the control word: each field's name, bit range and width,
// a constant for every field value that has a mnemonic, how TS, EX and LT
// read in words that carry a long literal or a branch address, and a table
// of the map's names of every field's values. Lines end with a line feed:
// the texts go to standard output.
std::string ControlWordVerilog();
std::string ControlWordC();

}  // namespace ctrlforge
