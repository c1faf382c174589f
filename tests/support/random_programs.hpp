#pragma once
// Random programs meant to assemble without error, for the properties that
// hold of every valid program: every clause and operand form of each
// language, spelt in every way the readers take (number bases, letter case,
// blanks, comments), labels used before and after their definition, given
// and aligned addresses. A generated program can still fail now and then
// (an aligned word pushed past a given address); callers draw another.
#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace test_support {

class Dice {
public:
    explicit Dice(std::mt19937& random) : random_(random) {}
    unsigned Below(unsigned n) { return std::uniform_int_distribution<unsigned>(0, n - 1)(random_); }
    bool OneIn(unsigned n) { return Below(n) == 0; }
    template <typename T, std::size_t N>
    const T& Of(const T (&items)[N]) {
        return items[Below(static_cast<unsigned>(N))];
    }

private:
    std::mt19937& random_;
};

inline std::string Hex(unsigned value) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string digits;
    do {
        digits.insert(digits.begin(), kHex[value & 15u]);
        value >>= 4;
    } while (value != 0);
    return digits;
}

inline std::string Lower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

// ------------------------------------------------------------- ctrlforge

// A literal of the microprogram language with the given value: hexadecimal
// beginning with a digit, or (where a hexadecimal word reads as a number,
// after := an operator or a shift) beginning with a letter, or D" decimal,
// or B" binary.
inline std::string MicroLiteral(Dice& dice, unsigned value, bool wordReadsAsNumber) {
    const std::string hex = Hex(value);
    switch (dice.Below(5)) {
        case 0:
            if (value < 32768) return "D\"" + std::to_string(value);
            break;
        case 1:
            if (value < 256) {
                std::string bits;
                for (unsigned v = value; v != 0 || bits.empty(); v >>= 1) bits.insert(bits.begin(), static_cast<char>('0' + (v & 1u)));
                return "B\"" + bits;
            }
            break;
        case 2:
            if (wordReadsAsNumber && hex[0] >= 'A') return hex;
            break;
        default: break;
    }
    return (hex[0] >= 'A' ? "0" : "") + hex;
}

inline std::string RandomMicroprogram(std::mt19937& random) {
    Dice dice(random);
    static const char* const kLeft[] = {"R0", "R1", "R2", "R3", "R4", "R5", "R6", "R7",
                                        "RB", "RBP", "PC", "IO", "MM", "IR", "FSR", "ZERO"};
    static const char* const kRightRegister[] = {"R0", "R1", "R2", "R3", "R4", "R5", "R6", "R7", "RA", "RAP"};
    static const char* const kDestination[] = {"R0", "R1", "R2", "R3", "R4", "R5", "R6",
                                               "R7", "RA", "RAP", "RB", "RBP", "PC"};
    static const char* const kOperator[] = {"+", "-", "AND", "OR", "XOR", "$", "@"};
    static const char* const kShift[] = {"SLL", "SRL", "SLA", "SRA", "SNX", "SWP", "NSH"};
    static const char* const kCondition[] = {"ZER", "NEG", "CRY", "OV", "T", "CZ"};
    static const char* const kPlainException[] = {"C - 1",      "FLAG SAVE", "WITH CRY", "WITH ONE",
                                                  "IR := LBUS", "IO := LBUS", "C := RBUS", "EXECUTE IO",
                                                  "T := 1",     "T := 0",    "IRB + 1",  "IRB - 1",
                                                  "SET HLT",    "SET OV",    "NEX",      "IRA + 1"};
    const unsigned statements = 1 + dice.Below(30);
    std::vector<bool> labelled(statements);
    std::vector<unsigned> labels;
    for (unsigned s = 0; s < statements; ++s) {
        labelled[s] = dice.OneIn(2);
        if (labelled[s]) labels.push_back(s);
    }
    auto label = [&] { return "S" + std::to_string(labels[dice.Below(static_cast<unsigned>(labels.size()))]); };
    const char* end = dice.OneIn(5) ? "\n" : "\r\n";
    std::string text;
    if (dice.OneIn(3)) text += std::string("; a generated microprogram") + end;
    text += std::string(".TITLE ") + (dice.OneIn(2) ? "GEN" : "FACE") + end;
    unsigned address = 0;
    for (unsigned s = 0; s < statements; ++s) {
        std::vector<std::string> lines;
        std::string heading = "*";
        if (labelled[s]) heading += " S" + std::to_string(s) + (dice.OneIn(4) ? " :" : ":");
        if (dice.OneIn(12)) {
            address += 64 + dice.Below(64);  // room for an aligned word before it
            heading += " " + MicroLiteral(dice, address, false);
        }
        ++address;
        if (dice.OneIn(4)) heading += " ; the heading";
        lines.push_back(heading);

        // Sequencing: a branch that names a label takes LT.
        bool branch = false;
        bool first = true;  // no clause line yet
        if (dice.OneIn(2)) {
            std::string clause;
            const unsigned kind = labels.empty() ? 9 + dice.Below(3) : dice.Below(12);
            const std::string test = std::string(dice.Of(kCondition)) + " = ";
            switch (kind) {
                case 0: clause = "GOTO " + label(); break;
                case 1: clause = "CALL " + label(); break;
                case 2: clause = "IF " + test + (dice.OneIn(2) ? "1" : "01") + " THEN " + label(); break;
                case 3: clause = "IF " + test + "0 THEN " + label(); break;
                case 4: clause = "IF " + test + "0 THEN " + label() + " ELSE FETCH"; break;
                case 5: clause = "IOP " + label(); break;
                case 6: clause = "IRA " + label(); break;
                case 7: clause = "IAB " + label(); break;
                case 8: clause = "GOTO " + label(); break;
                case 9: clause = "RETURN"; break;
                case 10: clause = "NSQ"; break;
                default: clause = "GOTO FETCH"; break;
            }
            branch = kind <= 8 || kind == 11;
            lines.push_back(clause);
            first = false;
        }
        if (dice.OneIn(3)) {
            lines.push_back(dice.OneIn(2) ? "READ" : "WRITE");
            first = false;
        }
        // The transfer, and what of LB and RB it sets.
        bool lbSet = false, rbSet = false, longLiteral = false, transfer = false;
        auto literal = [&](bool afterWordNumber, bool longAllowed) {
            rbSet = true;
            if (branch || dice.OneIn(5)) return std::string("0");
            unsigned value = 1 + dice.Below(511);
            if (longAllowed && dice.OneIn(2)) {
                value = 512 + dice.Below(65536 - 512);
                longLiteral = true;
            }
            return MicroLiteral(dice, value, afterWordNumber);
        };
        auto right = [&](bool afterWordNumber) {
            if (dice.OneIn(3)) return literal(afterWordNumber, true);
            rbSet = true;
            return std::string(dice.Of(kRightRegister));
        };
        auto left = [&] {
            lbSet = true;
            return std::string(dice.Of(kLeft));
        };
        const bool setBy = dice.OneIn(4);
        if (dice.Below(5) < 3) {
            transfer = true;
            std::string expression;
            switch (dice.Below(6)) {
                case 0: expression = left(); break;
                case 1: expression = dice.OneIn(2) ? std::string(dice.OneIn(2) ? "RA" : "RAP") : literal(true, true); rbSet = true; break;
                case 2: expression = left() + " " + dice.Of(kOperator) + " " + right(true); break;
                case 3: expression = std::string(dice.Of(kShift)) + " " + left(); break;
                case 4: expression = std::string(dice.Of(kShift)) + " " + (dice.OneIn(2) ? std::string("RA") : literal(true, true)); rbSet = true; break;
                default:
                    expression = left() + " " + dice.Of(kOperator) + " : " + dice.Of(kShift) + " " + right(true);
                    break;
            }
            lines.push_back(setBy ? "SET BY " + expression : std::string(dice.Of(kDestination)) + " := " + expression);
            first = false;
        }
        // Exception clauses: one, or two after a transfer or a leading SET.
        if (!longLiteral && dice.OneIn(2)) {
            const bool leadingSet = !transfer && dice.OneIn(3);
            const unsigned count = transfer || leadingSet ? 1 + dice.Below(2) : 1;
            for (unsigned c = 0; c < count; ++c) {
                std::string clause;
                switch (dice.Below(4)) {
                    case 0:
                        if (!lbSet) {
                            const bool ir = dice.OneIn(2);
                            std::string source = dice.Of(kLeft);
                            if (source == (ir ? "IR" : "IO")) source = "R1";
                            clause = std::string(ir ? "IR" : "IO") + " := " + source;
                            lbSet = true;
                            break;
                        }
                        [[fallthrough]];
                    case 1:
                        if (!rbSet) {
                            if (dice.OneIn(2)) {
                                clause = "C := " + std::string(dice.Of(kRightRegister));
                            } else {
                                clause = "C := " + literal(true, false);
                            }
                            rbSet = true;
                            break;
                        }
                        [[fallthrough]];
                    default:
                        clause = dice.Of(kPlainException);
                        break;
                }
                // IRA + 1 on the first clause line would be the sequencing
                // clause IRA; SET makes it an exception.
                // After a leading SET the counter C would read as a number
                // or a label, so that clause begins with another word.
                if (c == 0 && leadingSet) {
                    if (clause[0] == 'C') clause = dice.OneIn(2) ? "T := 0" : "IRB - 1";
                    if (clause.rfind("SET ", 0) != 0) clause = "SET " + clause;
                } else if (first && clause == "IRA + 1") {
                    clause = "SET IRA + 1";
                }
                lines.push_back(clause);
                first = false;
            }
        }
        for (std::size_t i = 0; i < lines.size(); ++i) {
            std::string line = i == 0 ? lines[i] : (dice.OneIn(2) ? "    " : "\t") + lines[i];
            if (dice.OneIn(8)) line = Lower(line);
            if (i != 0 && dice.OneIn(6)) line += " ; a comment";
            text += line + end;
        }
        if (dice.OneIn(8)) text += std::string("; between statements") + end;
        if (dice.OneIn(10)) text += end;
    }
    text += std::string(".END") + end;
    return text;
}

// ------------------------------------------------------------- wordforge

inline std::string RandomAssembly(std::mt19937& random) {
    Dice dice(random);
    static const char* const kIndexed[] = {"ADD", "SUB", "AND", "OR", "XOR", "MULT", "DIV", "CMP", "EX"};
    static const char* const kImmediate[] = {"LC", "PUSH", "POP"};
    static const char* const kSigned[] = {"SL", "SA", "SC", "BIX"};
    static const char* const kBased[] = {"LEA", "LX", "STX"};
    static const char* const kRelative[] = {"L", "ST", "LA"};
    static const char* const kBranch[] = {"BDIS", "BP", "BZ", "BM", "BC", "BNP", "BNZ", "BNM", "BNC", "B", "BI", "BSR"};
    static const char* const kNoOperand[] = {"RET", "NOP", "HLT"};
    auto unsignedNumber = [&](unsigned value) {
        switch (dice.Below(4)) {
            case 0: {
                std::string bits;
                for (unsigned v = value; v != 0 || bits.empty(); v >>= 1) bits.insert(bits.begin(), static_cast<char>('0' + (v & 1u)));
                return "B\"" + bits;
            }
            case 1: {
                std::string octal;
                for (unsigned v = value; v != 0 || octal.empty(); v >>= 3) octal.insert(octal.begin(), static_cast<char>('0' + (v & 7u)));
                return "O\"" + octal;
            }
            case 2: return "X\"" + (dice.OneIn(2) ? Hex(value) : Lower(Hex(value)));
            default: return std::to_string(value);
        }
    };
    auto byte = [&] { return dice.OneIn(10) ? 256 + dice.Below(300) : dice.Below(256); };
    auto signedNumber = [&] {
        const int value = static_cast<int>(dice.Below(256)) - 128;
        if (value < 0) return std::string(dice.OneIn(2) ? "-" : "- ") + unsignedNumber(static_cast<unsigned>(-value));
        return std::string(dice.OneIn(3) ? "+" : "") + unsignedNumber(static_cast<unsigned>(value));
    };
    auto reg = [&] { return dice.OneIn(15) ? std::string() : std::to_string(dice.Below(4)); };
    auto comma = [&] { return std::string(dice.OneIn(6) ? " , " : ","); };
    auto index = [&] { return std::string(dice.OneIn(6) ? "( " : "(") + std::to_string(dice.Below(4)) + ")"; };

    // Lines first, with the words each takes; addresses are filled in once
    // every label's value is known.
    struct Line {
        std::string label;
        std::string mnemonic;
        std::string operand;   // complete, or the register part of L/ST/LA
        int addressKind = 0;   // 0 none, 1 relative (r,a), 2 branch (a)
        std::uint32_t location = 0;
        bool comment = false;  // a comment line
    };
    std::vector<Line> lines;
    const unsigned count = 1 + dice.Below(40);
    std::uint32_t location = dice.OneIn(3) ? dice.Below(0x100) : 0;
    if (location != 0) lines.push_back({"", "ORG", Hex(location), 0, 0, false});
    unsigned labelNumber = 0;
    for (unsigned i = 0; i < count; ++i) {
        Line line;
        line.location = location;
        if (dice.OneIn(3)) line.label = "A" + std::to_string(++labelNumber);
        const unsigned kind = dice.Below(14);
        std::uint32_t words = 1;
        switch (kind) {
            case 0: case 1: {
                line.mnemonic = dice.Of(kIndexed);
                const unsigned form = dice.Below(3);
                line.operand = reg() + comma() +
                               (form == 0 ? unsignedNumber(byte()) : form == 1 ? index() : unsignedNumber(byte()) + index());
                break;
            }
            case 2: line.mnemonic = dice.Of(kImmediate); line.operand = reg() + comma() + unsignedNumber(byte()); break;
            case 3: line.mnemonic = dice.Of(kSigned); line.operand = reg() + comma() + signedNumber(); break;
            case 4:
                line.mnemonic = dice.Of(kBased);
                line.operand = reg() + comma() + (dice.OneIn(3) ? index() : signedNumber() + index());
                break;
            case 5: line.mnemonic = dice.Of(kRelative); line.operand = reg() + comma(); line.addressKind = 1; break;
            case 6: case 7: line.mnemonic = dice.Of(kBranch); line.addressKind = 2; break;
            case 8: {
                line.mnemonic = dice.OneIn(2) ? "RIO" : "WIO";
                const unsigned device = dice.Below(4);
                line.operand = device == 0 ? "CR" : device == 1 ? "LPT" : device == 2 ? std::to_string(dice.Below(256)) : "";
                break;
            }
            case 9: line.mnemonic = dice.Of(kNoOperand); line.operand = dice.OneIn(4) ? "ANYTHING" : ""; break;
            case 10: {
                line.mnemonic = "DC";
                const unsigned form = dice.Below(4);
                if (form == 0) {
                    line.operand = std::string("'") + static_cast<char>('A' + dice.Below(26)) + static_cast<char>('a' + dice.Below(26));
                } else if (form == 1) {
                    line.operand = (dice.OneIn(3) ? "-" : "") + unsignedNumber(dice.Below(65536));
                } else if (form == 2 && labelNumber > 0) {
                    line.operand = "A" + std::to_string(1 + dice.Below(labelNumber));
                } else {
                    line.operand = std::to_string(dice.Below(65536));
                }
                break;
            }
            case 11:
                line.mnemonic = "DS";
                words = 1 + dice.Below(4);
                line.operand = std::to_string(words);
                break;
            case 12:
                // Now and then back over words already placed: the object
                // file then lists addresses out of order, or one twice.
                line.label.clear();
                line.mnemonic = "ORG";
                location = dice.OneIn(3) ? dice.Below(location + 1) : location + dice.Below(300);
                line.operand = Hex(location);
                words = 0;
                break;
            default:
                line.comment = true;
                line.label.clear();
                words = 0;
                break;
        }
        lines.push_back(line);
        location += words;
    }
    // Every label's value, then the addresses within reach: a label within
    // -128..127 of the instruction, else "*" with an offset.
    std::vector<std::pair<std::string, std::uint32_t>> values;
    for (const Line& line : lines) {
        if (!line.label.empty()) values.push_back({line.label, line.location});
    }
    std::string end = dice.OneIn(5) ? "\n" : "\r\n";
    std::string text;
    if (dice.OneIn(2)) {
        if (dice.OneIn(2)) text += "; generated" + end;
        text += std::string(dice.OneIn(2) ? "        TITLE " : "TITLE ") + (dice.OneIn(2) ? "GEN" : "T2") + end;
    }
    for (Line& line : lines) {
        if (line.addressKind != 0) {
            std::vector<std::string> reachable;
            for (const auto& [name, value] : values) {
                const std::int64_t d = std::int64_t{value} - line.location;
                if (d >= -100 && d <= 100) reachable.push_back(name);
            }
            std::string address;
            if (!reachable.empty() && dice.Below(3) != 0) {
                address = reachable[dice.Below(static_cast<unsigned>(reachable.size()))];
                if (dice.OneIn(4)) address += (dice.OneIn(2) ? "+" : "-") + std::to_string(dice.Below(20));
            } else {
                const int offset = static_cast<int>(dice.Below(256)) - 128;
                address = offset == 0 && dice.OneIn(2) ? "*" : (offset < 0 ? "*-" : "*+") + std::to_string(offset < 0 ? -offset : offset);
            }
            line.operand += address;
        }
        std::string text1;
        if (line.comment) {
            text1 = dice.OneIn(2) ? "; a comment line" : "        ; indented comment";
        } else {
            text1 = line.label.empty() ? "        " : line.label + ":" + std::string(dice.OneIn(3) ? " " : "  ");
            text1 += line.mnemonic;
            if (!line.operand.empty()) text1 += " " + line.operand;
            if (dice.OneIn(6)) text1 += "   ; why";
            if (dice.OneIn(10)) text1 = Lower(text1);
        }
        text += text1 + end;
    }
    text += "        END" + end;
    return text;
}

}  // namespace test_support
