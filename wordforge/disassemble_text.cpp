#include "wordforge/disassemble_text.hpp"

#include "wordforge/encoders.hpp"

namespace wordforge {

void AppendHex(std::string& out, unsigned value, int digits) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) out.push_back(kHex[(value >> shift) & 15u]);
}

void AppendSigned(std::string& out, std::int32_t value) {
    if (value < 0) out.push_back('-');
    out += std::to_string(value < 0 ? -value : value);
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
                out += std::to_string(d.operand);
            } else {
                if (d.operand != 0) out += std::to_string(d.operand);
                index();
            }
            break;
        case OperandForm::Immediate:
            registerComma();
            out += std::to_string(d.operand);
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
                out += std::to_string(d.operand);
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
    out += std::to_string(displacement < 0 ? -displacement : displacement);
}

}  // namespace wordforge
