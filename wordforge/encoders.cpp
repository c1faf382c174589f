#include "wordforge/encoders.hpp"

#include "wordforge/diagnostic_text.hpp"
#include "wordforge/model_builder.hpp"
#include "wordforge/operand_readers.hpp"

namespace wordforge {

namespace {

std::uint16_t Pack(unsigned operation, unsigned modifier, unsigned reg, std::int32_t operand) {
    return static_cast<std::uint16_t>((operation << 12) | (modifier << 10) | (reg << 8) |
                                      (static_cast<std::uint32_t>(operand) & 0xFFu));
}

// An operation E word: the whole second digit is one sub-code.
std::uint16_t PackSubCode(unsigned operation, unsigned subCode, std::int32_t operand) {
    return static_cast<std::uint16_t>((operation << 12) | (subCode << 8) |
                                      (static_cast<std::uint32_t>(operand) & 0xFFu));
}

// Blanks, the comma, blanks.
bool ReadComma(WordRun& run) {
    SkipBlanks(run.reader);
    if (run.reader.current != ',') {
        NoteFault(run, Fault::Comma, CurrentOffset(run.reader));
        return false;
    }
    Echo(run, ',');
    NextChar(run.reader);
    SkipBlanks(run.reader);
    return true;
}

// "(", blanks, the index register, blanks, ")"; the current character is "(".
bool ReadIndex(WordRun& run, int& index) {
    Echo(run, '(');
    NextChar(run.reader);
    SkipBlanks(run.reader);
    if (!ReadRegister(run, index)) return false;
    SkipBlanks(run.reader);
    if (run.reader.current != ')') {
        NoteFault(run, Fault::IndexClose, CurrentOffset(run.reader));
        return false;
    }
    Echo(run, ')');
    NextChar(run.reader);
    return true;
}

// The displacement of an address from this instruction's own location; one
// out of range is noted with where its address operand began.
bool Displacement(WordRun& run, std::int32_t address, std::size_t start, std::int32_t& displacement) {
    displacement = WrapSub(address, run.location);
    if (displacement >= -128 && displacement <= 127) return true;
    run.fault.offset = start;
    run.fault.value = displacement;
    return false;
}

// ADD SUB AND OR XOR MULT DIV CMP EX: r,n  r,(x)  r,n(x) with n unsigned.
EncodeOutcome EncodeArithmetic(WordRun& run, int mnemonic, std::uint16_t& word) {
    int reg = 0;
    int index = 0;
    std::int32_t operand = 0;
    if (!ReadRegister(run, reg) || !ReadComma(run)) return EncodeOutcome::FormatError;
    if (run.reader.current == '(') {
        if (!ReadIndex(run, index)) return EncodeOutcome::FormatError;
    } else if (BeginsUnsigned(run.reader.current)) {
        std::size_t start = CurrentOffset(run.reader);
        if (!ReadUnsigned(run, operand)) return EncodeOutcome::FormatError;
        if (run.warn.truncation) WarnTruncation(run, operand, 8, start);
        SkipBlanks(run.reader);
        if (run.reader.current == '(' && !ReadIndex(run, index)) return EncodeOutcome::FormatError;
    } else {
        NoteFault(run, Fault::OperandStart, CurrentOffset(run.reader));
        return EncodeOutcome::FormatError;
    }
    unsigned operation = mnemonic == kEx ? 0xF : static_cast<unsigned>(mnemonic > kXor ? mnemonic + 1 : mnemonic);
    word = Pack(operation, static_cast<unsigned>(index), static_cast<unsigned>(reg), operand);
    ModelOperandValue(run, operand);
    return EncodeOutcome::Encoded;
}

// LC PUSH POP: r,n with n unsigned.
EncodeOutcome EncodeImmediate(WordRun& run, int mnemonic, std::uint16_t& word) {
    int reg = 0;
    std::int32_t operand = 0;
    if (!ReadRegister(run, reg) || !ReadComma(run)) return EncodeOutcome::FormatError;
    std::size_t start = CurrentOffset(run.reader);
    if (!ReadUnsigned(run, operand)) return EncodeOutcome::FormatError;
    if (run.warn.truncation) WarnTruncation(run, operand, 8, start);
    unsigned operation = mnemonic == kLc ? 0x9 : 0xD;
    unsigned modifier = mnemonic == kLc ? 3 : (mnemonic == kPush ? 0 : 1);
    word = Pack(operation, modifier, static_cast<unsigned>(reg), operand);
    ModelOperandValue(run, operand);
    return EncodeOutcome::Encoded;
}

// SL SA SC BIX: r,n with n signed.
EncodeOutcome EncodeShift(WordRun& run, int mnemonic, std::uint16_t& word) {
    int reg = 0;
    std::int32_t operand = 0;
    if (!ReadRegister(run, reg) || !ReadComma(run)) return EncodeOutcome::FormatError;
    std::size_t start = CurrentOffset(run.reader);
    if (!ReadSigned(run, operand)) return EncodeOutcome::FormatError;
    if (run.warn.truncation) WarnTruncation(run, operand, 8, start);
    if (mnemonic == kBix) {
        word = Pack(0xD, 2, static_cast<unsigned>(reg), operand);
    } else {
        word = Pack(0x5, static_cast<unsigned>(mnemonic - kSl), static_cast<unsigned>(reg), operand);
    }
    ModelOperandValue(run, operand);
    return EncodeOutcome::Encoded;
}

// LEA LX STX: r,(x) or r,n(x) with n signed; the index is mandatory.
EncodeOutcome EncodeIndexed(WordRun& run, int mnemonic, std::uint16_t& word) {
    int reg = 0;
    int index = 0;
    std::int32_t operand = 0;
    if (!ReadRegister(run, reg) || !ReadComma(run)) return EncodeOutcome::FormatError;
    if (run.reader.current != '(') {
        std::size_t start = CurrentOffset(run.reader);
        if (!ReadSigned(run, operand)) return EncodeOutcome::FormatError;
        if (run.warn.truncation) WarnTruncation(run, operand, 8, start);
        SkipBlanks(run.reader);
        if (run.reader.current != '(') {
            NoteFault(run, Fault::IndexOpen, CurrentOffset(run.reader));
            return EncodeOutcome::FormatError;
        }
    }
    if (!ReadIndex(run, index)) return EncodeOutcome::FormatError;
    word = Pack(static_cast<unsigned>(0xA + (mnemonic - kLea)), static_cast<unsigned>(index),
                static_cast<unsigned>(reg), operand);
    ModelOperandValue(run, operand);
    return EncodeOutcome::Encoded;
}

// L ST LA: r,a with a displacement in -128..127.
EncodeOutcome EncodeLoadStore(WordRun& run, int mnemonic, std::uint16_t& word) {
    int reg = 0;
    std::int32_t address = 0;
    std::int32_t displacement = 0;
    if (!ReadRegister(run, reg) || !ReadComma(run)) return EncodeOutcome::FormatError;
    std::size_t start = CurrentOffset(run.reader);
    if (!ReadAddress(run, address)) return EncodeOutcome::FormatError;
    if (!Displacement(run, address, start, displacement)) return EncodeOutcome::RangeError;
    word = Pack(0x9, static_cast<unsigned>(mnemonic - kL), static_cast<unsigned>(reg), displacement);
    ModelOperandValue(run, address);
    return EncodeOutcome::Encoded;
}

// BDIS and the E branches: a with a displacement in -128..127.
EncodeOutcome EncodeBranch(WordRun& run, int mnemonic, std::uint16_t& word) {
    std::int32_t address = 0;
    std::int32_t displacement = 0;
    std::size_t start = CurrentOffset(run.reader);
    if (!ReadAddress(run, address)) return EncodeOutcome::FormatError;
    if (!Displacement(run, address, start, displacement)) return EncodeOutcome::RangeError;
    if (mnemonic == kBdis) {
        word = Pack(0xD, 3, 0, displacement);
    } else {
        word = PackSubCode(0xE, static_cast<unsigned>(mnemonic - kBp), displacement);
    }
    ModelOperandValue(run, address);
    return EncodeOutcome::Encoded;
}

// RIO WIO: CR, LPT or a decimal device number 0..255; nothing (or a
// character that begins neither a word nor a number) is device 0.
EncodeOutcome EncodeDevice(WordRun& run, int mnemonic, std::uint16_t& word) {
    SourceReader& reader = run.reader;
    std::int32_t device = 0;
    std::size_t start = CurrentOffset(reader);
    if (IsLetter(reader.current)) {
        Word name;
        ReadWord(reader, name);
        AppendEight(run.line, name.text.data(), name.length);
        device = -1;
        for (std::size_t number = 0; number < kDeviceNames.size(); ++number) {
            if (name.key == PackName(kDeviceNames[number])) device = static_cast<std::int32_t>(number);
        }
        if (device >= 0) ModelWordToken(run, start, common::TokenKind::Keyword);
        if (device < 0) {
            NoteFault(run, Fault::Device, start);
            run.fault.name = name;
            return EncodeOutcome::DeviceError;
        }
    } else if (IsDigit(reader.current)) {
        device = ReadDecimal(run, true);
        ModelTokenToHere(run, start, common::TokenKind::Number);
        if (device < 0 || device > 255) {
            NoteFault(run, Fault::Device, start);
            run.fault.name = Word{};
            run.fault.value = device;
            return EncodeOutcome::DeviceError;
        }
    }
    word = PackSubCode(0xE, mnemonic == kRio ? 0xC : 0xD, device);
    ModelOperandValue(run, device);
    return EncodeOutcome::Encoded;
}

}  // namespace

EncodeOutcome EncodeInstruction(WordRun& run, int mnemonic, std::uint16_t& word) {
    if (mnemonic <= kEx) return EncodeArithmetic(run, mnemonic, word);
    if (mnemonic <= kPop) return EncodeImmediate(run, mnemonic, word);
    if (mnemonic <= kBix) return EncodeShift(run, mnemonic, word);
    if (mnemonic <= kStx) return EncodeIndexed(run, mnemonic, word);
    if (mnemonic <= kLa) return EncodeLoadStore(run, mnemonic, word);
    if (mnemonic <= kBsr) return EncodeBranch(run, mnemonic, word);
    if (mnemonic <= kWio) return EncodeDevice(run, mnemonic, word);
    switch (mnemonic) {
        case kRet: word = 0xEB00; break;
        case kNop: word = 0xEE00; break;
        default: word = 0xEF00; break;
    }
    return EncodeOutcome::Encoded;
}

void ShowWordFields(ListingLine& line, std::uint16_t word) {
    char fields[7] = {kHexPairs[word >> 12][1],
                      ' ',
                      static_cast<char>('0' + ((word >> 10) & 3)),
                      static_cast<char>('0' + ((word >> 8) & 3)),
                      ' ',
                      kHexPairs[word & 0xFF][0],
                      kHexPairs[word & 0xFF][1]};
    SetColumns(line, 8, std::string_view(fields, 7));
}

}  // namespace wordforge
