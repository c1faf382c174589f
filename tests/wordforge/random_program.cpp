#include "random_program.hpp"

#include <array>
#include <cctype>
#include <cstdint>
#include <random>
#include <string_view>

namespace wordforge_test {

namespace {

// Taken modulo, not through a distribution, so that a seed gives the same
// source with every standard library. A clean program has no wrong line.
struct Dice {
    std::mt19937 engine;
    bool clean = false;
    unsigned labels = 0;  // the clean program's labels so far
    unsigned Below(unsigned n) { return static_cast<unsigned>(engine() % n); }
    bool Chance(unsigned percent) { return Below(100) < percent; }
    bool Wrong(unsigned percent) { return !clean && Chance(percent); }
    template <std::size_t N>
    std::string_view Pick(const std::array<std::string_view, N>& choices) {
        return choices[Below(static_cast<unsigned>(N))];
    }
};

// Names from a small pool, so that labels are defined, used, redefined and
// left undefined; two share their first 8 characters, one is a mnemonic and
// one a device word. A clean program refers only to DATA, defined first.
constexpr std::array<std::string_view, 10> kLabels = {"L0",        "L1",        "LOOP", "NEXT", "DATA",
                                                      "LONGNAME1", "LONGNAME2", "ADD",  "CR",   "NOWHERE"};

std::string Label(Dice& d) { return d.clean ? "DATA" : std::string(d.Pick(kLabels)); }

std::string Blank(Dice& d) { return d.Chance(80) ? " " : d.Chance(50) ? "\t" : "   "; }

std::string Register(Dice& d) {
    if (!d.Wrong(8)) return std::to_string(d.Below(4));
    return std::string(d.Pick(std::array<std::string_view, 3>{"5", "", "12"}));
}

std::string Unsigned(Dice& d) {
    if (d.Wrong(5)) return "B1";
    if (d.Chance(60)) return std::to_string(d.Below(d.Chance(90) ? 256 : 70000));
    return std::string(d.Pick(std::array<std::string_view, 6>{"B\"101", "O\"17", "X\"1F", "x\"ff", "X\" 7A", "X\"1G"}));
}

std::string Signed(Dice& d) {
    return (d.Chance(30) ? std::string(d.Chance(50) ? "-" : "+") : std::string()) + Unsigned(d);
}

std::string Index(Dice& d) {
    std::string x = "(" + Register(d);
    return d.Wrong(5) ? x : x + ")";
}

std::string Address(Dice& d) {
    std::string base = d.clean || d.Chance(25) ? "*" : Label(d);
    if (d.Wrong(8)) return d.Chance(50) ? "%" : base + "+" + std::to_string(130 + d.Below(200));
    switch (d.Below(4)) {
        case 0: return base + "+" + std::to_string(d.Below(10));
        case 1: return base + "-" + std::to_string(d.Below(10));
        default: return base;
    }
}

std::string Constant(Dice& d) {
    std::string sign = d.Chance(20) ? "-" : "";
    if (d.Wrong(8)) return d.Chance(50) ? "%5" : "";
    switch (d.Below(5)) {
        // A quote takes the next two characters; a lone quote is written
        // only at the end of a line (see Statement), where no ";" follows.
        case 0: return sign + std::string(d.Pick(std::array<std::string_view, 3>{"'AB", "'a", "'x1"}));
        case 1: return sign + Unsigned(d);
        case 2: return sign + Label(d);
        case 3: return d.clean ? "DATA" : "X " + Label(d);
        default: return sign + std::to_string(d.Below(70000));
    }
}

// The statement after the label field: mnemonic and operand.
std::string Statement(Dice& d) {
    auto with = [&](std::string_view mnemonic, const std::string& operand) {
        return std::string(mnemonic) + Blank(d) + operand;
    };
    if (d.Wrong(6)) return std::string(d.Pick(std::array<std::string_view, 4>{"TITLE AGAIN", "ADDX 1,2", "FOO", ""}));
    switch (d.Below(13)) {
        case 0: {
            std::string mnemonic(d.Pick(std::array<std::string_view, 9>{"ADD", "SUB", "AND", "OR", "XOR", "MULT", "DIV", "CMP", "EX"}));
            std::string operand = d.Chance(40) ? Index(d) : Unsigned(d) + (d.Chance(50) ? Index(d) : "");
            return with(mnemonic, Register(d) + (d.Wrong(5) ? " " : ",") + operand);
        }
        case 1: return with(d.Pick(std::array<std::string_view, 3>{"LC", "PUSH", "POP"}), Register(d) + "," + Unsigned(d));
        case 2: return with(d.Pick(std::array<std::string_view, 4>{"SL", "SA", "SC", "BIX"}), Register(d) + "," + Signed(d));
        case 3: {
            std::string operand = d.Chance(30) ? Index(d) : Signed(d) + (d.Wrong(10) ? "" : Index(d));
            return with(d.Pick(std::array<std::string_view, 3>{"LEA", "LX", "STX"}), Register(d) + "," + operand);
        }
        case 4: return with(d.Pick(std::array<std::string_view, 3>{"L", "ST", "LA"}), Register(d) + "," + Address(d));
        case 5:
        case 6:
            return with(d.Pick(std::array<std::string_view, 12>{"BDIS", "BP", "BZ", "BM", "BC", "BNP", "BNZ", "BNM",
                                                                 "BNC", "B", "BI", "BSR"}),
                        Address(d));
        case 7: {
            std::string device(d.Pick(std::array<std::string_view, 5>{"CR", "LPT", "7", "255", "cr"}));
            return with(d.Pick(std::array<std::string_view, 2>{"RIO", "WIO"}), d.Wrong(20) ? (d.Chance(50) ? "300" : "FOO") : device);
        }
        case 8: return with(d.Pick(std::array<std::string_view, 3>{"RET", "NOP", "HLT"}), d.Chance(20) ? "junk" : "");
        case 9: return with("DC", Constant(d));
        case 10: return with("DS", d.Wrong(15) ? (d.Chance(50) ? "" : "X") : std::to_string(d.Below(4)));
        case 11: return with("ORG", std::string(d.Pick(std::array<std::string_view, 4>{"0", "10", "1F", "G"})));
        default: return with("DC", "'");  // the lone quote, at the line's end
    }
}

std::string Line(Dice& d) {
    std::string line = d.Chance(30) ? std::string(d.Below(3), ' ') : "        ";
    if (d.Chance(5)) return "; comment line, Mixed case";
    if (d.Wrong(8)) {
        return std::string(d.Pick(std::array<std::string_view, 6>{"", "   ", "1abc def", "9x: foo ; note", "*junk", "$A:B:C x"}));
    }
    if (d.Chance(30)) line += (d.clean ? "C" + std::to_string(d.labels++) : Label(d)) + ":" + Blank(d);
    std::string statement = Statement(d);
    if (statement.ends_with("'")) return line + statement;
    if (d.Chance(8)) statement += " stray";
    if (d.Chance(25)) statement += Blank(d) + "; Note " + std::to_string(d.Below(100));
    if (d.Chance(8)) {
        for (char& c : statement) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return line + statement;
}

}  // namespace

std::string RandomProgram(unsigned seed) {
    Dice d{std::mt19937(seed)};
    d.clean = d.Chance(30);
    std::string text;
    auto end = [&] {
        const unsigned kind = d.Below(10);
        return kind == 0 ? "\n" : kind == 1 ? "\r" : "\r\n";
    };
    if (d.Chance(30)) {
        for (unsigned i = d.Below(3); i > 0; --i) text += std::string(d.Below(2), ' ') + "; Prologue" + end();
        text += d.Chance(80) ? "  TITLE PROG" : "title x ; named";
        text += end();
    }
    if (d.clean) text += std::string("DATA: DC 1") + end();
    for (unsigned i = 5 + d.Below(40); i > 0; --i) text += Line(d) + end();
    if (!d.Wrong(15)) text += std::string("        END") + (d.Chance(20) ? " ; done" : "") + end();
    if (d.Chance(20)) text += "  ADD 1,2 ; after the end" + std::string(end());
    if (d.Wrong(5)) text.insert(d.Below(static_cast<unsigned>(text.size())), 1, '\x1a');
    if (d.Wrong(10)) text.pop_back();
    return text;
}

}  // namespace wordforge_test
