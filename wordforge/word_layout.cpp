#include "wordforge/word_layout.hpp"

#include <array>
#include <string_view>
#include <vector>

#include "wordforge/disassemble.hpp"
#include "wordforge/mnemonic_table.hpp"

namespace wordforge {

namespace {

struct WordField {
    std::string_view name;
    std::string_view description;
    unsigned high;
    unsigned low;
};

constexpr WordField kFields[] = {
    {"OP", "operation", 15, 12},
    {"MOD", "modifier: the index register, or which instruction of operations 5, 9 and D", 11, 10},
    {"REG", "register", 9, 8},
    {"OPND", "operand byte: a number, a device, or a displacement from the word's address", 7, 0},
    {"SUB", "sub-code of operation E: modifier and register as one", 11, 8},
};

// The operations that hold several instructions, told apart by the
// modifier (5, 9, D) or by the sub-code (E).
constexpr std::string_view kGroupName[16] = {"", "", "", "", "", "SHIFTS", "", "", "",
                                             "LOADS", "", "", "", "STACK", "CONTROL", ""};

std::string Hex(unsigned value, int digits) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string text;
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) text.push_back(kHex[(value >> shift) & 15u]);
    return text;
}

unsigned Width(const WordField& f) { return f.high - f.low + 1; }

// The mnemonic of the words whose high byte is `high` and whose operand
// byte is `operand`.
std::string_view NameOf(unsigned high, unsigned operand) {
    return DecodeInstruction(static_cast<std::uint16_t>((high << 8) | operand)).mnemonic;
}

// How each machine instruction is picked: its operation, and its modifier
// or sub-code where the operation holds several.
struct Encoding {
    std::string_view mnemonic;
    unsigned operation;
    enum { ByOperation, ByModifier, BySubCode } by;
    unsigned value;  // the modifier or the sub-code
};

std::vector<Encoding> Encodings() {
    std::vector<Encoding> encodings;
    for (int index = 0; index < kFirstPseudo; ++index) {
        const std::string_view mnemonic = kMnemonicTable[static_cast<std::size_t>(index)];
        for (unsigned high = 0; high < 256; ++high) {
            if (NameOf(high, 0) != mnemonic) continue;
            const unsigned operation = high >> 4;
            if (!kGroupName[operation].empty()) {
                const bool control = operation == 0xE;
                encodings.push_back({mnemonic, operation, control ? Encoding::BySubCode : Encoding::ByModifier,
                                     control ? high & 15u : (high >> 2) & 3u});
            } else {
                encodings.push_back({mnemonic, operation, Encoding::ByOperation, 0});
            }
            break;
        }
    }
    return encodings;
}

// The high bytes whose words are an instruction only with operand byte 00.
std::vector<unsigned> FixedWords() {
    std::vector<unsigned> fixed;
    for (unsigned high = 0; high < 256; ++high) {
        if (NameOf(high, 0) != NameOf(high, 1)) fixed.push_back(high);
    }
    return fixed;
}

std::string FieldHeading(const WordField& f) {
    return std::string(f.name) + ", " + std::string(f.description) + ": bits " + std::to_string(f.high) + ".." +
           std::to_string(f.low) + ", " + std::to_string(Width(f)) + " bits";
}

// The operation, modifier and sub-code values, each a line that
// `constant(name, width, value)` gives, under comments between `open` and
// `close`.
template <typename Constant>
void AppendEncodingConstants(std::string& out, std::string_view open, std::string_view close, Constant constant) {
    auto comment = [&](std::string_view text) {
        out += open;
        out += text;
        out += close;
        out += '\n';
    };
    const std::vector<Encoding> encodings = Encodings();
    out += '\n';
    comment("Operations: one instruction each, or a group told apart by the");
    comment("modifier (SHIFTS, LOADS, STACK) or the sub-code (CONTROL)");
    for (unsigned operation = 0; operation < 16; ++operation) {
        std::string name(kGroupName[operation]);
        if (name.empty()) {
            for (const Encoding& e : encodings) {
                if (e.operation == operation) name = e.mnemonic;
            }
        }
        out += constant("OP_" + name, 4, operation) + "\n";
    }
    out += '\n';
    comment("Modifiers in operations 5, 9 and D; BDIS holds register 0");
    for (const Encoding& e : encodings) {
        if (e.by == Encoding::ByModifier) out += constant("MOD_" + std::string(e.mnemonic), 2, e.value) + "\n";
    }
    out += '\n';
    comment("Sub-codes of operation E; RET, NOP and HLT hold operand byte 00");
    for (const Encoding& e : encodings) {
        if (e.by == Encoding::BySubCode) out += constant("SUB_" + std::string(e.mnemonic), 4, e.value) + "\n";
    }
}

}  // namespace

std::string InstructionWordC() {
    std::string out;
    out += "/* ZORVELT instruction word: 16 bits, bit 15 first, held right-aligned\n";
    out += "   in an unsigned integer.\n";
    out += "   Use: IW_OP(word) == IW_OP_ADD, IW_NAME(word) */\n";
    out += "#ifndef ZORVELT_INSTRUCTION_WORD_H\n#define ZORVELT_INSTRUCTION_WORD_H\n\n";
    out += "#define IW_BITS 16\n";
    for (const WordField& f : kFields) {
        const std::string prefix = "#define IW_" + std::string(f.name);
        const std::string mask = "0x" + Hex((1u << Width(f)) - 1, Width(f) > 4 ? 2 : 1) + "u";
        out += "\n/* " + FieldHeading(f) + " */\n";
        out += prefix + "_SHIFT " + std::to_string(f.low) + "\n";
        out += prefix + "_WIDTH " + std::to_string(Width(f)) + "\n";
        out += prefix + "_MASK " + mask + "\n";
        out += prefix + "(word) ((unsigned)(((word) >> " + std::to_string(f.low) + ") & " + mask + "))\n";
    }
    out += "/* The operand byte as a displacement, -128..127 */\n";
    out += "#define IW_DISPLACEMENT(word) ((int)IW_OPND(word) - (IW_OPND(word) >= 0x80u ? 256 : 0))\n";

    AppendEncodingConstants(out, "/* ", " */", [](std::string_view name, unsigned, unsigned value) {
        return "#define IW_" + std::string(name) + " 0x" + Hex(value, 1) + "u";
    });
    out += "\n/* The mnemonic of every word by its high byte (word >> 8); \"DC\" where no\n"
           "   instruction encodes the word. IW_NAME(word) also tells the words of\n"
           "   RET, NOP and HLT with another operand byte, which are DC too. */\n";
    out += "static const char *const IW_NAMES[256] = {";
    for (unsigned high = 0; high < 256; ++high) {
        out += (high % 8 == 0 ? "\n    " : " ") + std::string("\"") + std::string(NameOf(high, 0)) + "\"";
        if (high != 255) out += ",";
    }
    out += "};\n";
    out += "#define IW_FIXED(word) (";
    const std::vector<unsigned> fixed = FixedWords();
    for (std::size_t i = 0; i < fixed.size(); ++i) {
        out += std::string(i == 0 ? "" : " || ") + "(((word) >> 8) & 0xFFu) == 0x" + Hex(fixed[i], 2) + "u";
    }
    out += ")\n";
    out += "#define IW_NAME(word) (IW_FIXED(word) && IW_OPND(word) != 0u ? \"DC\" : IW_NAMES[((word) >> 8) & 0xFFu])\n";
    out += "\n#endif\n";
    return out;
}

std::string InstructionWordVerilog() {
    std::string out;
    out += "// ZORVELT instruction word: 16 bits, bit 15 first.\n";
    out += "// Use: reg [`IW_BITS-1:0] iw;  iw[`IW_OP] == `IW_OP_ADD, `IW_NAME(iw)\n";
    out += "`ifndef ZORVELT_INSTRUCTION_WORD_VH\n`define ZORVELT_INSTRUCTION_WORD_VH\n\n";
    out += "`define IW_BITS 16\n";
    for (const WordField& f : kFields) {
        const std::string prefix = "`define IW_" + std::string(f.name);
        out += "\n// " + FieldHeading(f) + "\n";
        out += prefix + " " + std::to_string(f.high) + ":" + std::to_string(f.low) + "\n";
        out += prefix + "_WIDTH " + std::to_string(Width(f)) + "\n";
    }
    AppendEncodingConstants(out, "// ", "", [](std::string_view name, unsigned width, unsigned value) {
        return "`define IW_" + std::string(name) + " " + std::to_string(width) + "'h" + Hex(value, 1);
    });
    // The mnemonic as a chain of tests from the widest field that decides
    // it down to the whole word.
    out += "\n// The mnemonic of a word, 4 characters in 32 bits; \"DC\" where no\n"
           "// instruction encodes the word: `IW_NAME(iw) == \"BSR\"\n";
    out += "`define IW_NAME(w) ( \\\n";
    const std::vector<unsigned> fixed = FixedWords();
    for (unsigned operation = 0; operation < 16; ++operation) {
        const std::string_view first = NameOf(operation << 4, 0);
        bool sameForOperation = true;
        for (unsigned low = 0; low < 16; ++low) sameForOperation &= NameOf((operation << 4) | low, 0) == first;
        if (sameForOperation) {
            if (first != "DC") out += "    (w[15:12] == 4'h" + Hex(operation, 1) + ") ? \"" + std::string(first) + "\" : \\\n";
            continue;
        }
        for (unsigned high = operation << 4; high < ((operation + 1) << 4); ++high) {
            const std::string_view name = NameOf(high, 0);
            if (name == "DC") continue;
            const bool byModifier = operation != 0xE && NameOf(high ^ 1u, 0) == name && NameOf(high ^ 2u, 0) == name &&
                                    NameOf(high ^ 3u, 0) == name;
            if (byModifier) {
                if ((high & 3u) != 0) continue;
                out += "    (w[15:10] == 6'h" + Hex(high >> 2, 2) + ") ? \"" + std::string(name) + "\" : \\\n";
            } else {
                bool fixedWord = false;
                for (unsigned f : fixed) fixedWord |= f == high;
                out += "    (w[15:8] == 8'h" + Hex(high, 2) + (fixedWord ? " && w[7:0] == 8'h00" : "") + ") ? \"" +
                       std::string(name) + "\" : \\\n";
            }
        }
    }
    out += "    \"DC\")\n";
    out += "\n`endif\n";
    return out;
}

}  // namespace wordforge
