#pragma once
#include <cstdint>
#include <string_view>

#include "ctrlforge/ctrlforge.hpp"
#include "ctrlforge/run_state.hpp"

namespace ctrlforge {

enum class Field { LB, RB, AL, SH, SB, MM, SQ, TS, EX };

// Bit value of a field code: code - (base + 1); the base (field not named)
// encodes as all ones, like the explicit no-operation code.
unsigned FieldValue(Field field, std::uint8_t code);

// Four-character mnemonic cell of a field code.
std::string_view FieldCell(Field field, std::uint8_t code);

// Width of a field in bits, and the mnemonic of one of its bit values
// without blanks ("B", "NLB"); empty for the values that have none.
unsigned FieldWidth(Field field);
std::string_view FieldMnemonic(Field field, unsigned value);

struct PackedWord {
    std::uint8_t high;   // bits 39-32: LB RB
    std::uint16_t mid;   // bits 31-16: AL SH SB MM SQ
    std::uint16_t low;   // bits 15-0: TS EX LT
};

// The 40-bit control word of the three groups, bit 39 first.
inline std::uint64_t ControlWordBits(const PackedWord& packed) {
    return (std::uint64_t{packed.high} << 32) | (std::uint64_t{packed.mid} << 16) | packed.low;
}

// Packs a word whose branch target is resolved. Rewrites LT in the record for
// IOP, IRA and IAB, as the map printed after it shows.
PackedWord PackWord(MicroWord& word);

}  // namespace ctrlforge
