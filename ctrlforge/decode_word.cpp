// One control word read back: its fields, and the statement that gives it,
// worked out from the grammar (which forms set which fields) and from the
// packing (which bits each field carries for each sequencing).
#include "ctrlforge/decode.hpp"
#include "ctrlforge/decode_clauses.hpp"
#include "ctrlforge/micro_word.hpp"

namespace ctrlforge {

namespace {

enum : std::size_t { LB, RB, AL, SH, SB, MM, SQ, TS, EX, LT };

// Bit values with a meaning of their own.
enum : unsigned {
    kNone4 = 15, kNone3 = 7,                 // the no-operation values, all ones
    kRbRA = 8, kRbRAP = 9, kRbSLT = 10, kRbLLT = 11,
    kLbIO = 11, kLbIR = 13,
    kSqB = 0, kSqBP = 1, kSqRTN = 2, kSqBT = 3, kSqBF = 4, kSqIOP = 5, kSqIRA = 6, kSqIAB = 7, kSqEI = 8,
    kMmNone = 3,
    kExLIR = 4, kExLIO = 5, kExSC = 6, kExINA = 10,
};

// The operands and clauses of the language, by bit value.
constexpr std::string_view kLeftOperand[16] = {"R0", "R1", "R2", "R3", "R4", "R5", "R6", "R7",
                                               "RB", "RBP", "PC", "IO", "MM", "IR", "FSR", "ZERO"};
constexpr std::string_view kRightRegister[10] = {"R0", "R1", "R2", "R3", "R4", "R5", "R6", "R7", "RA", "RAP"};
constexpr std::string_view kDestination[13] = {"R0", "R1", "R2", "R3", "R4", "R5", "R6",
                                               "R7", "RA", "RAP", "RB", "RBP", "PC"};
constexpr std::string_view kOperator[8] = {"+", "-", "AND", "OR", "XOR", "$", "", "@"};
constexpr std::string_view kShift[8] = {"SLL", "SRL", "SLA", "SRA", "SNX", "SWP", "", "NSH"};
constexpr std::string_view kException[16] = {
    "C - 1",      "FLAG SAVE", "WITH CRY", "WITH ONE", "IR := LBUS", "IO := LBUS", "C := RBUS", "EXECUTE IO",
    "T := 1",     "T := 0",    "IRA + 1",  "IRB + 1",  "IRB - 1",    "SET HLT",    "SET OV",    ""};

constexpr Field kCellField[9] = {Field::LB, Field::RB, Field::AL, Field::SH, Field::SB,
                                 Field::MM, Field::SQ, Field::TS, Field::EX};

// A literal as the source writes it: hexadecimal, beginning with a digit so
// that it reads as a number wherever it stands.
void AddLiteral(ShortText& out, unsigned value) {
    int digits = 1;
    while (digits < 4 && (value >> (4 * digits)) != 0) ++digits;
    if (((value >> (4 * (digits - 1))) & 15u) >= 10) out.Add('0');
    out.AddHex(value, digits);
}

// An address as the files print it, in three digits; one beyond the store
// (an IOP, IRA or IAB target no placement gives) in four.
void AddAddress(ShortText& out, unsigned address) { out.AddHex(address, address > 0xFFFu ? 4 : 3); }

void Why(DecodedWord& d, std::string_view text) {
    if (d.inexpressible.Empty()) d.inexpressible.Add(text);
}

void WhyUnnamed(DecodedWord& d, const char* field, unsigned value) {
    if (!d.inexpressible.Empty()) return;
    d.inexpressible.Add(field);
    d.inexpressible.Add(" holds ");
    d.inexpressible.AddHex(value, 1);
    d.inexpressible.Add(", a value without a mnemonic, which no clause gives");
}

void FillCells(DecodedWord& d, bool tsNumber, bool exNumber) {
    for (std::size_t f = LB; f <= EX; ++f) {
        const unsigned value = d.bits[f];
        WordCell& cell = d.cells[f];
        if ((f == TS && tsNumber) || (f == EX && exNumber)) {
            cell.AddHex(value, 3);
            continue;
        }
        std::string_view mnemonic = FieldMnemonic(kCellField[f], value);
        if (mnemonic.empty()) {
            cell.Add('#');
            cell.AddHex(value, 1);
        } else {
            cell.Add(mnemonic);
        }
    }
    d.cells[LT].AddHex(d.bits[LT], 3);
}

// What the sequencing says of the target, and the table an IOP, IRA or IAB
// target heads: one entry for every value of the target's bits that the
// word does not hold.
void DecodeSequencing(DecodedWord& d) {
    const unsigned sq = d.bits[SQ], ts = d.bits[TS], lt = d.bits[LT];
    auto whole = [&](Sequencing sequencing, unsigned address) {
        d.sequencing = sequencing;
        d.target = TargetKind::Whole;
        d.targetAddress = static_cast<std::uint16_t>(address);
    };
    auto conditional = [&](Sequencing sequencing) {
        d.sequencing = sequencing;
        d.target = TargetKind::LowBits;
        d.targetAddress = static_cast<std::uint16_t>(lt);
        if (ts == kNone3) Why(d, "IF needs a test, but TS holds NTS");
    };
    auto table = [&](unsigned entries, unsigned step) {
        for (unsigned i = 0; i < entries; ++i) d.table[i] = static_cast<std::uint16_t>(d.targetAddress + i * step);
        d.tableEntries = static_cast<std::uint8_t>(entries);
    };
    switch (sq) {
        case kSqB: whole(Sequencing::Goto, (ts << 9) | lt); return;
        case kSqBP: whole(Sequencing::Call, (ts << 9) | lt); return;
        case kSqRTN: d.sequencing = Sequencing::Return; return;
        case kSqBT: conditional(Sequencing::IfTrue); return;
        case kSqBF: conditional(Sequencing::IfFalse); return;
        case kSqIOP:
            whole(Sequencing::Iop, lt << 4);
            table(16, 1);
            if (lt >= 256) Why(d, "the IOP target lies beyond the control store");
            return;
        case kSqIRA:
        case kSqIAB:
            whole(sq == kSqIRA ? Sequencing::Ira : Sequencing::Iab, (ts << 11) | ((lt >> 2) << 4) | (lt & 3u));
            table(4, 4);
            if (ts >= 2) Why(d, "the target lies beyond the control store");
            if (sq == kSqIAB && (lt & 0xCu) != 0) Why(d, "an IAB target has bits 5..4 zero, and this word's are not");
            return;
        case kSqEI:
            if (ts == kNone3) {
                d.sequencing = Sequencing::GotoFetch;
            } else {
                conditional(Sequencing::IfFalseOrFetch);
            }
            return;
        case kNone4: d.sequencing = Sequencing::Next; return;
        default:
            d.sequencing = Sequencing::Unnamed;
            WhyUnnamed(d, "SQ", sq);
            return;
    }
}

// The right operand as written: a register, a literal, or 0 for none.
void AddRight(ShortText& out, const DecodedWord& d) {
    const unsigned rb = d.bits[RB];
    if (rb < 10) {
        out.Add(kRightRegister[rb]);
    } else if (rb == kRbSLT || rb == kRbLLT) {
        AddLiteral(out, d.literalValue);
    } else if (rb == kNone4) {
        out.Add('0');  // a zero literal puts nothing on the right bus
    } else {
        out.Add('#');
        out.AddHex(rb, 1);
    }
}

void AddLeft(ShortText& out, unsigned lb) { out.Add(kLeftOperand[lb]); }

void AddOperator(ShortText& out, unsigned al) {
    out.Add(' ');
    if (al == 6) {
        out.Add("#6");
    } else {
        out.Add(kOperator[al]);
    }
    out.Add(' ');
}

void AddShift(ShortText& out, unsigned sh) {
    if (sh == 6) {
        out.Add("#6");
    } else {
        out.Add(kShift[sh]);
    }
}

// The expression of a transfer that sets exactly these bits. The forms of
// the grammar: L, R, L op R, sh L, sh R, L op : sh R. A register R0..R7
// standing first is read as a left operand, so it is a right operand only
// after an operator; the fields a form leaves out keep their no-operation
// bits, which ZERO, a zero literal, NSH and "@" also give. After SET BY an
// expression without an operator makes the ALU do OR.
void AddExpression(ShortText& out, const DecodedWord& d, bool setBy) {
    const unsigned lb = d.bits[LB], rb = d.bits[RB], al = d.bits[AL], sh = d.bits[SH];
    const unsigned defaultAl = setBy ? 3u : kNone3;
    const bool lbSet = lb != kNone4, rbSet = rb != kNone4, shSet = sh != kNone3;
    const bool rightFirstReadsLeft = rb < 8;  // R0..R7
    const bool opForm = al != defaultAl || (lbSet && rbSet) || (shSet && rbSet && (lbSet || rightFirstReadsLeft)) ||
                        (!shSet && rbSet && rightFirstReadsLeft);
    if (opForm) {
        AddLeft(out, lb);
        AddOperator(out, al);
        if (shSet) {
            out.Add(": ");
            AddShift(out, sh);
            out.Add(' ');
        }
        AddRight(out, d);
        return;
    }
    if (shSet) {
        AddShift(out, sh);
        out.Add(' ');
    }
    if (rbSet) {
        AddRight(out, d);
    } else {
        AddLeft(out, lb);
    }
}

// Transfer and exception clauses. Without a transfer, LB and RB can still be
// driven by IR :=, IO := and C := with an operand; with one, those clauses
// name the bus instead, and the transfer drives it.
void DecodeDataPath(DecodedWord& d, bool otherClause) {
    const unsigned lb = d.bits[LB], rb = d.bits[RB], al = d.bits[AL], sb = d.bits[SB], ex = d.bits[EX];
    const bool longLiteral = rb == kRbLLT;
    const bool lbSet = lb != kNone4, rbSet = rb != kNone4;
    bool transfer = true;
    ShortText& exception = d.exceptionClause;
    if (sb == kNone4 && al == kNone3 && d.bits[SH] == kNone3) {
        if (!lbSet && !rbSet) {
            transfer = false;
        } else if (!rbSet && ((ex == kExLIR && lb != kLbIR) || (ex == kExLIO && lb != kLbIO))) {
            transfer = false;
            exception.Add(ex == kExLIR ? "IR := " : "IO := ");
            AddLeft(exception, lb);
        } else if (!lbSet && ex == kExSC && (rb <= kRbRAP || rb == kRbSLT)) {
            transfer = false;
            exception.Add("C := ");
            AddRight(exception, d);
        }
    }
    if (transfer) {
        ShortText& clause = d.transferClause;
        const bool setBy = sb == kNone4;
        if (setBy) {
            clause.Add("SET BY ");
        } else {
            if (sb < 13) {
                clause.Add(kDestination[sb]);
            } else {
                clause.Add('#');
                clause.AddHex(sb, 1);
            }
            clause.Add(" := ");
        }
        AddExpression(clause, d, setBy);
    }
    if (longLiteral || !exception.Empty() || ex == kNone4) return;
    // "IRA + 1" as the first clause line would be the sequencing clause IRA;
    // a leading SET makes it an exception clause.
    if (ex == kExINA && !otherClause && !transfer) exception.Add("SET ");
    exception.Add(kException[ex]);
}

}  // namespace

DecodedWord DecodeWord(std::uint64_t word) {
    DecodedWord d;
    d.word = word & ((std::uint64_t{1} << kControlWordBits) - 1);
    for (std::size_t f = 0; f < kWordFields; ++f) {
        const FieldBits& place = kFieldBits[f];
        d.bits[f] = static_cast<std::uint16_t>((d.word >> place.low) & ((1u << (place.high - place.low + 1)) - 1));
    }
    const unsigned rb = d.bits[RB], sq = d.bits[SQ], ts = d.bits[TS], lt = d.bits[LT];
    const bool longLiteral = rb == kRbLLT;
    if (longLiteral) {
        d.literal = LiteralKind::Long;
        d.literalValue = static_cast<std::uint16_t>((ts << 13) | (unsigned{d.bits[EX]} << 9) | lt);
    } else if (rb == kRbSLT) {
        d.literal = LiteralKind::Short;
        d.literalValue = static_cast<std::uint16_t>(lt);
    }
    // TS holds target bits for B, BP, IRA and IAB, and literal bits for a
    // long literal; there it is a number, as in the map.
    const bool tsCarries = sq == kSqB || sq == kSqBP || sq == kSqIRA || sq == kSqIAB || longLiteral;
    FillCells(d, tsCarries, longLiteral);

    // Values no keyword, operator or clause produces.
    if (rb >= 12 && rb <= 14) WhyUnnamed(d, "RB", rb);
    if (d.bits[AL] == 6) WhyUnnamed(d, "AL", 6);
    if (d.bits[SH] == 6) WhyUnnamed(d, "SH", 6);
    if (d.bits[SB] == 13 || d.bits[SB] == 14) WhyUnnamed(d, "SB", d.bits[SB]);
    if (d.bits[MM] == 2) WhyUnnamed(d, "MM", 2);
    if (!tsCarries && ts == 6) WhyUnnamed(d, "TS", 6);

    DecodeSequencing(d);
    const bool branchHoldsLt = d.target != TargetKind::None || d.sequencing == Sequencing::GotoFetch;
    if (branchHoldsLt && d.literal != LiteralKind::None) {
        Why(d, "a literal cannot stand beside a branch: the branch takes LT");
    }
    if (!longLiteral && ts != kNone3 && ts != 6 &&
        (d.sequencing == Sequencing::Next || d.sequencing == Sequencing::Return || d.sequencing == Sequencing::Iop)) {
        Why(d, "TS holds a test, which only IF sets");
    }
    if (d.target == TargetKind::None && d.literal == LiteralKind::None && lt != 0) {
        Why(d, "LT holds bits without a literal or a branch target to give them");
    }
    if (d.literal == LiteralKind::Short && lt == 0) Why(d, "RB says SLT, but a short literal is 1 to 1FF and LT holds 0");
    if (d.literal == LiteralKind::Long && d.literalValue < 512) {
        Why(d, "RB says LLT, but a literal below 200 is short or none");
    }

    if (d.target == TargetKind::Whole) {
        ShortText address;
        AddAddress(address, d.targetAddress);
        AddSequencingClause(d.sequencingClause, d, address.View());
    } else {
        ShortText bits;
        bits.Add("<bits 8..0 = ");
        bits.AddHex(d.targetAddress, 3);
        bits.Add('>');
        AddSequencingClause(d.sequencingClause, d, bits.View());
    }
    const unsigned mm = d.bits[MM];
    if (mm == 0) d.memoryClause.Add("READ");
    if (mm == 1) d.memoryClause.Add("WRITE");
    if (mm == 2) d.memoryClause.Add("#2");
    const bool otherClause = !d.sequencingClause.Empty() || mm != kMmNone;
    DecodeDataPath(d, otherClause);
    return d;
}

}  // namespace ctrlforge
