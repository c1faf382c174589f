#pragma once
// What the disassembler's parts share: the operand of a decoded word as the
// source writes it, with any text for its address (a label, "*+n"), and the
// numbers in it. Each writes to any text that takes push_back(char) and
// += string_view: a std::string, or a line in a fixed buffer.
#include <cstdint>
#include <string>
#include <string_view>

#include "wordforge/disassemble.hpp"
#include "wordforge/encoders.hpp"

namespace wordforge {

// `digits` upper-case hexadecimal digits of the value, leading zeros kept.
template <typename Out>
void AppendHex(Out& out, unsigned value, int digits) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) out.push_back(kHex[(value >> shift) & 15u]);
}

// A decimal number; with its sign when negative.
template <typename Out>
void AppendDecimal(Out& out, unsigned value) {
    char digits[10];
    std::size_t n = 0;
    do {
        digits[n++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    while (n != 0) out.push_back(digits[--n]);
}

template <typename Out>
void AppendSigned(Out& out, std::int32_t value) {
    if (value < 0) out.push_back('-');
    AppendDecimal(out, static_cast<unsigned>(value < 0 ? -value : value));
}

// Whether the word is L, ST, LA, BDIS or a branch, whose operand byte is a
// displacement: what DecodeInstruction tells by its form, from the bits
// alone.
inline bool HoldsDisplacement(std::uint16_t word) {
    const unsigned operation = word >> 12, modifier = (word >> 10) & 3u, subCode = (word >> 8) & 15u;
    return (operation == 0x9 && modifier != 3) || (operation == 0xD && subCode == 0xC) ||
           (operation == 0xE && subCode <= 0xA);
}

// An operand byte as -128..127.
inline std::int32_t SignedByte(unsigned byte) {
    return byte >= 128 ? static_cast<std::int32_t>(byte) - 256 : static_cast<std::int32_t>(byte);
}

// "*", "*+n" or "*-n": the address `displacement` words from the instruction.
template <typename Out>
void AppendRelativeAddress(Out& out, std::int32_t displacement) {
    out.push_back('*');
    if (displacement == 0) return;
    out.push_back(displacement < 0 ? '-' : '+');
    AppendDecimal(out, static_cast<unsigned>(displacement < 0 ? -displacement : displacement));
}

template <typename Out>
void AppendOperand(Out& out, const DecodedInstruction& d, std::string_view address) {
    auto registerComma = [&] {
        out.push_back(static_cast<char>('0' + d.reg));
        out.push_back(',');
    };
    auto index = [&] {
        out.push_back('(');
        out.push_back(static_cast<char>('0' + d.modifier));
        out.push_back(')');
    };
    switch (d.form) {
        case OperandForm::Indexed:
            registerComma();
            if (d.modifier == 0) {
                AppendDecimal(out, d.operand);
            } else {
                if (d.operand != 0) AppendDecimal(out, d.operand);
                index();
            }
            break;
        case OperandForm::Immediate:
            registerComma();
            AppendDecimal(out, d.operand);
            break;
        case OperandForm::Signed:
            registerComma();
            AppendSigned(out, SignedByte(d.operand));
            break;
        case OperandForm::Based:
            registerComma();
            if (d.operand != 0) AppendSigned(out, SignedByte(d.operand));
            index();
            break;
        case OperandForm::Relative:
            registerComma();
            out += address;
            break;
        case OperandForm::Branch: out += address; break;
        case OperandForm::Device:
            if (d.operand < kDeviceNames.size()) {
                out += kDeviceNames[d.operand];
            } else {
                AppendDecimal(out, d.operand);
            }
            break;
        case OperandForm::None: break;
        case OperandForm::Data:
            out += std::string_view("X\"");  // no closing quote: the digits end the constant
            AppendHex(out, d.word, 4);
            break;
    }
}

}  // namespace wordforge
