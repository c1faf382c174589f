#include "wordforge/disassemble_text.hpp"

#include "wordforge/encoders.hpp"

namespace wordforge {

void AppendHex(std::string& out, unsigned value, int digits) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) out.push_back(kHex[(value >> shift) & 15u]);
}

void AppendDecimal(std::string& out, unsigned value) {
    char digits[10];
    std::size_t n = 0;
    do {
        digits[n++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    while (n != 0) out.push_back(digits[--n]);
}

void AppendSigned(std::string& out, std::int32_t value) {
    if (value < 0) out.push_back('-');
    AppendDecimal(out, static_cast<unsigned>(value < 0 ? -value : value));
}

void AppendOperand(std::string& out, const DecodedInstruction& d, std::string_view address) {
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
            out += "X\"";  // no closing quote: the digits end the constant
            AppendHex(out, d.word, 4);
            break;
    }
}

void AppendRelativeAddress(std::string& out, std::int32_t displacement) {
    out.push_back('*');
    if (displacement == 0) return;
    out.push_back(displacement < 0 ? '-' : '+');
    AppendDecimal(out, static_cast<unsigned>(displacement < 0 ? -displacement : displacement));
}

}  // namespace wordforge
