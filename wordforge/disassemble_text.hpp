#pragma once
// What the disassembler's parts share: the operand of a decoded word as the
// source writes it, with any text for its address (a label, "*+n").
#include <cstdint>
#include <string>
#include <string_view>

#include "wordforge/disassemble.hpp"

namespace wordforge {

void AppendOperand(std::string& out, const DecodedInstruction& decoded, std::string_view address);

// `digits` upper-case hexadecimal digits of the value, leading zeros kept.
void AppendHex(std::string& out, unsigned value, int digits);

// A decimal number; with its sign when negative.
void AppendDecimal(std::string& out, unsigned value);
void AppendSigned(std::string& out, std::int32_t value);

// An operand byte as -128..127.
inline std::int32_t SignedByte(unsigned byte) {
    return byte >= 128 ? static_cast<std::int32_t>(byte) - 256 : static_cast<std::int32_t>(byte);
}

// "*", "*+n" or "*-n": the address `displacement` words from the instruction.
void AppendRelativeAddress(std::string& out, std::int32_t displacement);

}  // namespace wordforge
