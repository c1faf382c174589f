// One instruction word read back: the form that encodes it (the encoding
// rules run backwards: the operation digit, then the modifier or the
// sub-code, picks the mnemonic) and its operand as the source writes it.
#include "wordforge/disassemble.hpp"
#include "wordforge/disassemble_text.hpp"
#include "wordforge/encoders.hpp"
#include "wordforge/mnemonic_table.hpp"

namespace wordforge {

namespace {

std::string_view Name(int index) { return kMnemonicTable[static_cast<std::size_t>(index)]; }

}  // namespace

DecodedInstruction DecodeInstruction(std::uint16_t word) {
    DecodedInstruction d;
    d.word = word;
    d.operation = word >> 12;
    d.modifier = (word >> 10) & 3u;
    d.reg = (word >> 8) & 3u;
    d.subCode = (word >> 8) & 15u;
    d.operand = word & 0xFFu;
    auto is = [&](int index, OperandForm form) {
        d.mnemonic = Name(index);
        d.form = form;
    };
    auto data = [&](std::string_view why) {
        d.mnemonic = Name(kDc);
        d.form = OperandForm::Data;
        d.why = why;
    };
    switch (d.operation) {
        case 0x0: case 0x1: case 0x2: case 0x3: case 0x4:
            is(static_cast<int>(d.operation), OperandForm::Indexed);
            break;
        case 0x6: case 0x7: case 0x8:
            is(static_cast<int>(d.operation) - 1, OperandForm::Indexed);
            break;
        case 0xF: is(kEx, OperandForm::Indexed); break;
        case 0x5:
            if (d.modifier == 3) {
                data("operation 5 holds SL, SA and SC, with modifiers 0 to 2, and no instruction with modifier 3");
            } else {
                is(kSl + static_cast<int>(d.modifier), OperandForm::Signed);
            }
            break;
        case 0x9:
            if (d.modifier == 3) {
                is(kLc, OperandForm::Immediate);
            } else {
                is(kL + static_cast<int>(d.modifier), OperandForm::Relative);
            }
            break;
        case 0xA: case 0xB: case 0xC:
            is(kLea + static_cast<int>(d.operation - 0xA), OperandForm::Based);
            break;
        case 0xD:
            if (d.modifier == 0) {
                is(kPush, OperandForm::Immediate);
            } else if (d.modifier == 1) {
                is(kPop, OperandForm::Immediate);
            } else if (d.modifier == 2) {
                is(kBix, OperandForm::Signed);
            } else if (d.reg == 0) {
                is(kBdis, OperandForm::Branch);
            } else {
                data("BDIS holds register 0, and no other instruction has operation D with modifier 3");
            }
            break;
        default:  // 0xE: the second digit is one sub-code
            if (d.subCode <= 0xA) {
                is(kBp + static_cast<int>(d.subCode), OperandForm::Branch);
            } else if (d.subCode == 0xC || d.subCode == 0xD) {
                is(d.subCode == 0xC ? kRio : kWio, OperandForm::Device);
            } else if (d.operand != 0) {
                data(d.subCode == 0xB   ? "RET is EB00 only: RET ignores its operand"
                     : d.subCode == 0xE ? "NOP is EE00 only: NOP ignores its operand"
                                        : "HLT is EF00 only: HLT ignores its operand");
            } else {
                is(d.subCode == 0xB ? kRet : d.subCode == 0xE ? kNop : kHlt, OperandForm::None);
            }
            break;
    }
    if (d.form == OperandForm::Relative || d.form == OperandForm::Branch) d.displacement = SignedByte(d.operand);
    return d;
}

namespace {

void Row(std::string& out, std::string_view name, std::string_view value, std::string_view meaning) {
    out += "  ";
    out += name;
    out.append(11 - name.size(), ' ');
    out += value;
    if (!meaning.empty()) {
        out.append(value.size() < 11 ? 11 - value.size() : 1, ' ');
        out += meaning;
    }
    out.push_back('\n');
}

std::string Digit(unsigned value) {
    std::string text;
    AppendHex(text, value, 1);
    return text;
}

}  // namespace

std::string StatementOf(std::uint16_t word) {
    const DecodedInstruction d = DecodeInstruction(word);
    std::string out(d.mnemonic);
    std::string operand;
    std::string address;
    AppendRelativeAddress(address, d.displacement);
    AppendOperand(operand, d, address);
    if (!operand.empty()) {
        out.append(6 - d.mnemonic.size(), ' ');
        out += operand;
    }
    return out;
}

std::string ExplainInstruction(std::uint16_t word) {
    const DecodedInstruction d = DecodeInstruction(word);
    std::string out;
    AppendHex(out, word, 4);
    out += "  ";
    out += StatementOf(word);
    out.push_back('\n');

    const bool named = d.form != OperandForm::Data;
    const std::string mnemonic(d.mnemonic);
    const bool byOperation = d.operation <= 4 || (d.operation >= 6 && d.operation <= 8) ||
                             (d.operation >= 0xA && d.operation <= 0xC) || d.operation == 0xF;
    Row(out, "operation", Digit(d.operation), byOperation ? std::string_view(mnemonic) : std::string_view());
    if (d.operation == 0xE) {
        std::string meaning = named ? mnemonic : std::string(Name(d.subCode == 0xB ? kRet : d.subCode == 0xE ? kNop : kHlt));
        Row(out, "sub-code", Digit(d.subCode), meaning);
    } else {
        std::string meaning;
        if (d.form == OperandForm::Indexed || d.form == OperandForm::Based) {
            meaning = "index register " + std::to_string(d.modifier);
            if (d.form == OperandForm::Indexed && d.modifier == 0) meaning = "no index register (or register 0)";
        } else if (named && !byOperation) {
            meaning = mnemonic;
        }
        Row(out, "modifier", std::to_string(d.modifier), meaning);
        Row(out, "register", std::to_string(d.reg), "");
    }
    std::string byte;
    AppendHex(byte, d.operand, 2);
    std::string meaning;
    switch (d.form) {
        case OperandForm::Indexed:
        case OperandForm::Immediate: meaning = "the number " + std::to_string(d.operand); break;
        case OperandForm::Signed:
        case OperandForm::Based:
            meaning = "the number ";
            AppendSigned(meaning, SignedByte(d.operand));
            break;
        case OperandForm::Relative:
        case OperandForm::Branch:
            meaning = "displacement ";
            AppendSigned(meaning, d.displacement);
            if (d.displacement == 0) {
                meaning += ": the target is the instruction itself";
            } else {
                const std::int32_t distance = d.displacement < 0 ? -d.displacement : d.displacement;
                meaning += ": the target is " + std::to_string(distance) + (distance == 1 ? " word " : " words ") +
                           (d.displacement < 0 ? "before" : "after") + " the instruction";
            }
            break;
        case OperandForm::Device:
            meaning = "device " + std::to_string(d.operand);
            if (d.operand < kDeviceNames.size()) meaning += " (" + std::string(kDeviceNames[d.operand]) + ")";
            break;
        default: break;
    }
    Row(out, "operand", byte, meaning);
    if (!named) {
        std::string why = "DC: no instruction encodes ";
        AppendHex(why, word, 4);
        why += "; ";
        why += d.why;
        Row(out, "source", why, "");
    }
    return out;
}

}  // namespace wordforge
