#include "ctrlforge/micro_word.hpp"

#include "ctrlforge/tokens.hpp"

namespace ctrlforge {

namespace {

struct FieldInfo {
    std::uint8_t base;
    unsigned width;
    std::string_view cells;  // packed four-character cells, no-op cell last
};

const FieldInfo& Info(Field field) {
    static constexpr FieldInfo kFields[] = {
        {LbBase, 4, "R0L R1L R2L R3L R4L R5L R6L R7L  RB RBP  PC  IO  MM  IR FSR NLB "},
        {RbBase, 4, "R0R R1R R2R R3R R4R R5R R6R R7R  RA RAP SLT LLT NRB "},
        {AlBase, 3, "ADD SUB AND  OR XOR IAL NAL "},
        {ShBase, 3, "SLL SRL SLA SRA SNX SWP NSH "},
        {SbBase, 4, "R0S R1S R2S R3S R4S R5S R6S R7S  SA SAP  SB SBP PCS NSB "},
        {MmBase, 2, " RM  WM NMM "},
        {SqBase, 4, "  B  BP RTN  BT  BF IOP IRA IAB  EI NSQ "},
        {TsBase, 3, "ZER NEG CRY  OV   T  CZ NTS "},
        {ExBase, 4, "CM1 FLS ASC AS1 LIR LIO  SC EIO  ST  RT INA INB DCB HLT  OV NEX "},
    };
    return kFields[static_cast<int>(field)];
}

}  // namespace

unsigned FieldValue(Field field, std::uint8_t code) {
    const FieldInfo& info = Info(field);
    unsigned allOnes = (1u << info.width) - 1;
    if (code <= info.base) return allOnes;
    unsigned value = static_cast<unsigned>(code - (info.base + 1));
    return value > allOnes ? allOnes : value;
}

std::string_view FieldCell(Field field, std::uint8_t code) {
    const FieldInfo& info = Info(field);
    std::size_t cellCount = info.cells.size() / 4;
    unsigned value = FieldValue(field, code);
    // Codes without a mnemonic never occur; the named cells come first and
    // the no-operation cell, for all ones and the base, last.
    std::size_t cell = value == (1u << info.width) - 1 || value >= cellCount - 1 ? cellCount - 1 : value;
    return info.cells.substr(cell * 4, 4);
}

unsigned FieldWidth(Field field) { return Info(field).width; }

std::string_view FieldMnemonic(Field field, unsigned value) {
    const FieldInfo& info = Info(field);
    const std::size_t cellCount = info.cells.size() / 4;
    const unsigned allOnes = (1u << info.width) - 1;
    std::size_t cell;
    if (value == allOnes) {
        cell = cellCount - 1;
    } else if (value < cellCount - 1) {
        cell = value;
    } else {
        return {};
    }
    std::string_view text = info.cells.substr(cell * 4, 3);
    return text.substr(text.find_first_not_of(' '));
}

PackedWord PackWord(MicroWord& word) {
    PackedWord packed{};
    packed.high = static_cast<std::uint8_t>((FieldValue(Field::LB, word.LB) << 4) | FieldValue(Field::RB, word.RB));

    unsigned mid = FieldValue(Field::AL, word.AL);
    mid = (mid << 3) | FieldValue(Field::SH, word.SH);
    mid = (mid << 4) | FieldValue(Field::SB, word.SB);
    mid = (mid << 2) | FieldValue(Field::MM, word.MM);
    mid = (mid << 4) | FieldValue(Field::SQ, word.SQ);
    packed.mid = static_cast<std::uint16_t>(mid);

    const bool longLiteral = word.RB == RbLLT;
    unsigned ts;
    if (word.SQ == SqB || word.SQ == SqBP) {
        ts = word.LT / 512u;  // bits 11-9 of the branch address
    } else if (word.SQ == SqIRA || word.SQ == SqIAB) {
        ts = word.LT / 2048u;
    } else if (longLiteral) {
        ts = word.LT / 8192u;
    } else {
        ts = FieldValue(Field::TS, word.TS);
    }
    unsigned ex = longLiteral ? (word.LT / 512u) % 16u : FieldValue(Field::EX, word.EX);

    if (word.SQ == SqIOP) {
        word.LT = static_cast<std::uint16_t>(word.LT / 16u);
    } else if (word.SQ == SqIRA || word.SQ == SqIAB) {
        word.LT = static_cast<std::uint16_t>(word.LT / 4u + word.LT % 4u);
    }
    unsigned low = ((ts & 7u) << 13) | ((ex & 15u) << 9) | (word.LT % 512u);
    packed.low = static_cast<std::uint16_t>(low);
    return packed;
}

std::uint64_t EmptyControlWord() {
    MicroWord fresh;
    return ControlWordBits(PackWord(fresh));
}

}  // namespace ctrlforge
