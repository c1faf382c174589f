#include "ctrlforge/word_layout.hpp"

#include "ctrlforge/micro_word.hpp"

namespace ctrlforge {

namespace {

struct FieldName {
    Field field;
    std::string_view name;
    std::string_view description;
};

constexpr FieldName kFieldNames[] = {
    {Field::LB, "LB", "left bus source"},  {Field::RB, "RB", "right bus source"},
    {Field::AL, "AL", "ALU operation"},    {Field::SH, "SH", "shifter operation"},
    {Field::SB, "SB", "S bus destination"}, {Field::MM, "MM", "memory access"},
    {Field::SQ, "SQ", "sequencing"},       {Field::TS, "TS", "test"},
    {Field::EX, "EX", "exception"},
};

// How TS, EX and LT read when they do not hold a test, an exception and a
// literal of their own; the same text in both headers.
constexpr std::string_view kCarriedBits[] = {
    "TS, EX and LT also carry branch addresses and long literals:",
    "  SQ = B or BP: TS and LT hold the 12-bit target, TS its bits 11..9;",
    "    EX is an exception as usual.",
    "  SQ = IRA or IAB: TS holds bit 11 of the target, LT bits 8..2 its",
    "    bits 10..4 and LT bits 1..0 its bits 1..0 (its bits 3..2 are 0).",
    "  SQ = IOP: LT holds bits 11..4 of the target (its bits 3..0 are 0).",
    "  SQ = BT, BF or EI: TS is the test; LT holds bits 8..0 of the target.",
    "  RB = LLT: TS, EX and LT hold a 16-bit literal, bits 15..0 of the word;",
    "    the word has no test and no exception.",
    "  RB = SLT: LT holds a 9-bit literal.",
};

std::string Hex(std::uint64_t value) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string digits;
    do {
        digits.insert(digits.begin(), kHex[value & 15u]);
        value >>= 4;
    } while (value != 0);
    return digits;
}

std::string Range(const FieldLayout& f) { return std::to_string(f.high) + ".." + std::to_string(f.low); }

unsigned Width(const FieldLayout& f) { return f.high - f.low + 1; }

std::string FieldHeading(const FieldLayout& f) {
    return std::string(f.name) + ", " + std::string(f.description) + ": bits " + Range(f) + ", " +
           std::to_string(Width(f)) + (Width(f) == 1 ? " bit" : " bits");
}

// Calls `emit(value, mnemonic)` for every value of the field, the ones
// without a mnemonic with an empty one.
template <typename Emit>
void ForEachValue(const FieldLayout& f, Emit emit) {
    const Field field = static_cast<Field>(f.field);
    for (unsigned value = 0; value < (1u << Width(f)); ++value) emit(value, FieldMnemonic(field, value));
}

// Calls `emit(mnemonic, value)` for every value of the field that has a
// mnemonic, in value order.
template <typename Emit>
void ForEachMnemonic(const FieldLayout& f, Emit emit) {
    if (f.field < 0) return;
    ForEachValue(f, [&](unsigned value, std::string_view mnemonic) {
        if (!mnemonic.empty()) emit(mnemonic, value);
    });
}

// The name tables: a test bench or a C decoder prints a word's fields by
// the map's names without typing them in.
std::string VerilogNameTables(const std::vector<FieldLayout>& fields) {
    std::string out = "\n// The map's name of each field value, 3 characters in 24 bits (\"\" for a\n"
                      "// value without one): `CW_SQ_NAME(w[`CW_SQ]) == \"IOP\"\n";
    for (const FieldLayout& f : fields) {
        if (f.field < 0) continue;
        const unsigned width = Width(f);
        out += "`define CW_" + std::string(f.name) + "_NAME(v) ( \\\n";
        ForEachValue(f, [&](unsigned value, std::string_view mnemonic) {
            out += "    ";
            if (value + 1 < (1u << width)) {
                out += "(v) == ";
                out += std::to_string(width);
                out += "'h";
                out += Hex(value);
                out += " ? ";
            }
            out += '"';
            out += mnemonic;
            out += '"';
            out += value + 1 < (1u << width) ? " : \\\n" : ")\n";
        });
    }
    return out;
}

std::string CNameTables(const std::vector<FieldLayout>& fields) {
    std::string out = "\n/* The map's name of each field value, \"\" for a value without one:\n"
                      "   CW_SQ_NAMES[CW_SQ(word)] */\n";
    for (const FieldLayout& f : fields) {
        if (f.field < 0) continue;
        out += "static const char *const CW_" + std::string(f.name) + "_NAMES[" + std::to_string(1u << Width(f)) +
               "] = {";
        ForEachValue(f, [&](unsigned value, std::string_view mnemonic) {
            out += value % 8 == 0 ? "\n    \"" : " \"";
            out += mnemonic;
            out += '"';
            if (value + 1 < (1u << Width(f))) out += ",";
        });
        out += "};\n";
    }
    return out;
}

}  // namespace

std::vector<FieldLayout> ControlWordFields() {
    std::vector<FieldLayout> fields;
    unsigned next = kControlWordBits;  // one above the next field's high bit
    for (const FieldName& named : kFieldNames) {
        const unsigned width = FieldWidth(named.field);
        fields.push_back({named.name, named.description, next - 1, next - width, static_cast<int>(named.field)});
        next -= width;
    }
    // The literal takes what is left.
    fields.push_back({"LT", "literal", next - 1, 0, -1});
    return fields;
}

std::string ControlWordVerilog() {
    std::string out;
    out += "// ZORVELT control word: " + std::to_string(kControlWordBits) + " bits, bit " +
           std::to_string(kControlWordBits - 1) + " first.\n";
    out += "// Use: reg [`CW_BITS-1:0] cw;  cw[`CW_LB] == `CW_LB_PC\n";
    out += "`ifndef ZORVELT_CONTROL_WORD_VH\n";
    out += "`define ZORVELT_CONTROL_WORD_VH\n\n";
    out += "`define CW_BITS " + std::to_string(kControlWordBits) + "\n";
    for (const FieldLayout& f : ControlWordFields()) {
        const std::string prefix = "`define CW_" + std::string(f.name);
        out += "\n// " + FieldHeading(f) + "\n";
        out += prefix + " " + std::to_string(f.high) + ":" + std::to_string(f.low) + "\n";
        out += prefix + "_WIDTH " + std::to_string(Width(f)) + "\n";
        ForEachMnemonic(f, [&](std::string_view mnemonic, unsigned value) {
            out += prefix + "_" + std::string(mnemonic) + " " + std::to_string(Width(f)) + "'h" + Hex(value) + "\n";
        });
    }
    out += "\n";
    for (std::string_view line : kCarriedBits) out += "// " + std::string(line) + "\n";
    const std::vector<FieldLayout> fields = ControlWordFields();
    const FieldLayout& ts = fields[static_cast<int>(Field::TS)];
    const FieldLayout& lt = fields.back();
    auto bits = [](unsigned high, unsigned low) { return std::to_string(high) + ":" + std::to_string(low); };
    out += "`define CW_LONG_LITERAL " + bits(ts.high, lt.low) + "\n";
    out += "`define CW_BRANCH_TARGET(w) {w[`CW_TS], w[`CW_LT]}\n";
    out += "`define CW_IRA_TARGET(w) {w[" + std::to_string(ts.low) + "], w[" + bits(lt.high, lt.low + 2) +
           "], 2'b00, w[" + bits(lt.low + 1, lt.low) + "]}\n";
    out += "`define CW_IOP_TARGET(w) {w[" + bits(lt.low + 7, lt.low) + "], 4'b0000}\n";
    out += VerilogNameTables(fields);
    out += "\n`endif\n";
    return out;
}

std::string ControlWordC() {
    std::string out;
    out += "/* ZORVELT control word: " + std::to_string(kControlWordBits) + " bits, bit " +
           std::to_string(kControlWordBits - 1) + " first, held right-aligned\n";
    out += "   in an unsigned integer of at least 64 bits.\n";
    out += "   Use: CW_LB(word) == CW_LB_PC */\n";
    out += "#ifndef ZORVELT_CONTROL_WORD_H\n";
    out += "#define ZORVELT_CONTROL_WORD_H\n\n";
    out += "#define CW_BITS " + std::to_string(kControlWordBits) + "\n";
    for (const FieldLayout& f : ControlWordFields()) {
        const std::string prefix = "#define CW_" + std::string(f.name);
        const std::string mask = "0x" + Hex((std::uint64_t{1} << Width(f)) - 1) + "u";
        out += "\n/* " + FieldHeading(f) + " */\n";
        out += prefix + "_SHIFT " + std::to_string(f.low) + "\n";
        out += prefix + "_WIDTH " + std::to_string(Width(f)) + "\n";
        out += prefix + "_MASK " + mask + "\n";
        out += prefix + "(word) ((unsigned)(((word) >> " + std::to_string(f.low) + ") & " + mask + "))\n";
        ForEachMnemonic(f, [&](std::string_view mnemonic, unsigned value) {
            out += prefix + "_" + std::string(mnemonic) + " 0x" + Hex(value) + "u\n";
        });
    }
    out += "\n/*";
    for (std::string_view line : kCarriedBits) out += "\n   " + std::string(line);
    out += " */\n";
    out += "#define CW_LONG_LITERAL(word) ((unsigned)((word) & 0xFFFFu))\n";
    out += "#define CW_BRANCH_TARGET(word) ((CW_TS(word) << 9) | CW_LT(word))\n";
    out += "#define CW_IRA_TARGET(word) \\\n";
    out += "    ((CW_TS(word) << 11) | ((CW_LT(word) >> 2) << 4) | (CW_LT(word) & 0x3u))\n";
    out += "#define CW_IOP_TARGET(word) (CW_LT(word) << 4)\n";
    out += CNameTables(ControlWordFields());
    out += "\n#endif\n";
    return out;
}

}  // namespace ctrlforge
