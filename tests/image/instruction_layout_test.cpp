// The headers of the instruction word, as `wordforge --word-layout=c` and
// `--word-layout=verilog` print them, compiled by the C compiler and by
// Icarus Verilog, decode the words of a program that uses every mnemonic:
// each field is what the listing shows in its columns, each name the
// mnemonic the source line writes, and the operation, modifier and sub-code
// constants pick the instruction as the encoding table has it.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "tests/image/consumers.hpp"

namespace {

using namespace image_test;

// The operation (and the modifier or sub-code) of each mnemonic, from the
// encoding table: the groups of operations 5, 9, D and E.
struct Encoding {
    const char* op;
    const char* picker;  // "" for an operation of its own, else "MOD_x" or "SUB_x"
};
const std::map<std::string, Encoding> kEncodings = {
    {"ADD", {"ADD", ""}},      {"SUB", {"SUB", ""}},      {"AND", {"AND", ""}},      {"OR", {"OR", ""}},
    {"XOR", {"XOR", ""}},      {"MULT", {"MULT", ""}},    {"DIV", {"DIV", ""}},      {"CMP", {"CMP", ""}},
    {"EX", {"EX", ""}},        {"LEA", {"LEA", ""}},      {"LX", {"LX", ""}},        {"STX", {"STX", ""}},
    {"SL", {"SHIFTS", "MOD_SL"}}, {"SA", {"SHIFTS", "MOD_SA"}}, {"SC", {"SHIFTS", "MOD_SC"}},
    {"L", {"LOADS", "MOD_L"}},    {"ST", {"LOADS", "MOD_ST"}},  {"LA", {"LOADS", "MOD_LA"}}, {"LC", {"LOADS", "MOD_LC"}},
    {"PUSH", {"STACK", "MOD_PUSH"}}, {"POP", {"STACK", "MOD_POP"}}, {"BIX", {"STACK", "MOD_BIX"}},
    {"BDIS", {"STACK", "MOD_BDIS"}},
    {"BP", {"CONTROL", "SUB_BP"}},   {"BZ", {"CONTROL", "SUB_BZ"}},   {"BM", {"CONTROL", "SUB_BM"}},
    {"BC", {"CONTROL", "SUB_BC"}},   {"BNP", {"CONTROL", "SUB_BNP"}}, {"BNZ", {"CONTROL", "SUB_BNZ"}},
    {"BNM", {"CONTROL", "SUB_BNM"}}, {"BNC", {"CONTROL", "SUB_BNC"}}, {"B", {"CONTROL", "SUB_B"}},
    {"BI", {"CONTROL", "SUB_BI"}},   {"BSR", {"CONTROL", "SUB_BSR"}}, {"RIO", {"CONTROL", "SUB_RIO"}},
    {"WIO", {"CONTROL", "SUB_WIO"}}, {"RET", {"CONTROL", "SUB_RET"}}, {"NOP", {"CONTROL", "SUB_NOP"}},
    {"HLT", {"CONTROL", "SUB_HLT"}},
};

struct Line {
    unsigned address, op, modifier, reg, operand;
    std::string mnemonic;
};

unsigned Hex(const std::string& digits) { return static_cast<unsigned>(std::stoul(digits, nullptr, 16)); }

std::string Trimmed(std::string text) {
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

// The instruction lines of a listing: address (columns 3-6), operation
// digit (8), modifier and register (10, 11; for operation E the sub-code
// divided by 4 and its remainder), operand byte (13-14), mnemonic (24-29).
std::vector<Line> InstructionLines(const std::string& listing) {
    std::vector<Line> lines;
    for (const std::string& text : Lines(listing)) {
        if (text.size() < 29 || text[2] == ' ' || text[7] == ' ' || text[8] != ' ') continue;
        const std::string mnemonic = Trimmed(text.substr(23, 6));
        if (kEncodings.count(mnemonic) == 0) continue;
        lines.push_back({Hex(text.substr(2, 4)), Hex(text.substr(7, 1)), Hex(text.substr(9, 1)), Hex(text.substr(10, 1)),
                         Hex(text.substr(12, 2)), mnemonic});
    }
    return lines;
}

enum class Lang { C, Verilog };

// The program that checks every word; each check is "decoded == expected".
std::string DecodingProgram(Lang lang, const std::vector<Line>& lines, const std::map<unsigned, unsigned>& words,
                            std::size_t& checks) {
    const bool c = lang == Lang::C;
    auto field = [&](const char* name) { return c ? "IW_" + std::string(name) + "(w)" : "w[`IW_" + std::string(name) + "]"; };
    auto constant = [&](const std::string& name) { return (c ? "IW_" : "`IW_") + name; };
    auto number = [&](unsigned value) {
        char text[16];
        std::snprintf(text, sizeof text, c ? "0x%Xu" : "'h%X", value);
        return std::string(text);
    };
    auto name = [&](const std::string& of, const std::string& expected) {
        return c ? std::make_pair("strcmp(IW_NAME(" + of + "), \"" + expected + "\")", std::string("0"))
                 : std::make_pair("`IW_NAME(" + of + ")", "\"" + expected + "\"");
    };
    std::string out = c ? "#include <stdio.h>\n#include <string.h>\n#include \"instruction_word.h\"\n"
                          "static int checks, failures;\n"
                          "static void check(int ok, const char* what) {\n"
                          "    ++checks;\n    if (!ok) { ++failures; printf(\"%s\\n\", what); }\n}\n"
                          "int main(void) {\n    unsigned w;\n"
                        : "`include \"instruction_word.vh\"\nmodule decode;\n  reg [`IW_BITS-1:0] w;\n"
                          "  integer checks, failures;\n  initial begin\n    checks = 0;\n    failures = 0;\n";
    auto emit = [&](const std::string& decoded, const std::string& expected, const std::string& where) {
        std::string what;
        for (char ch : where + ": " + decoded + " == " + expected) {
            if (ch == '"') what += '\\';
            what += ch;
        }
        if (c) {
            out += "    check((" + decoded + ") == (" + expected + "), \"" + what + "\");\n";
        } else {
            out += "    checks = checks + 1;\n    if ((" + decoded + ") != (" + expected +
                   ")) begin failures = failures + 1; $display(\"" + what + "\"); end\n";
        }
        ++checks;
    };
    auto set = [&](unsigned word) {
        char text[32];
        std::snprintf(text, sizeof text, c ? "    w = 0x%04Xu;\n" : "    w = 16'h%04X;\n", word);
        out += text;
    };
    for (const Line& line : lines) {
        char where[8];
        std::snprintf(where, sizeof where, "%04X", line.address);
        set(words.at(line.address));
        emit(field("OP"), number(line.op), where);
        if (line.op == 0xE) {
            emit(field("SUB"), number(line.modifier * 4 + line.reg), where);
        } else {
            emit(field("MOD"), number(line.modifier), where);
            emit(field("REG"), number(line.reg), where);
        }
        emit(field("OPND"), number(line.operand), where);
        const Encoding& e = kEncodings.at(line.mnemonic);
        emit(field("OP"), constant("OP_" + std::string(e.op)), where);
        const std::string picker = e.picker;
        if (!picker.empty()) emit(field(picker.substr(0, 3).c_str()), constant(picker), where);
        const auto [decoded, expected] = name("w", line.mnemonic);
        emit(decoded, expected, where);
    }
    // Words no instruction encodes are DC; RET, NOP and HLT only with 00.
    for (const auto& [word, mnemonic] : std::vector<std::pair<unsigned, std::string>>{
             {0xEB05, "DC"}, {0xEE80, "DC"}, {0xEFFF, "DC"}, {0x5C00, "DC"}, {0x5F12, "DC"}, {0xDD00, "DC"},
             {0xDF7F, "DC"}, {0xEB00, "RET"}, {0xDC05, "BDIS"}, {0xFFFF, "EX"}}) {
        set(word);
        const auto [decoded, expected] = name("w", mnemonic);
        emit(decoded, expected, "data");
    }
    out += c ? "    printf(\"%d checks, %d failures\\n\", checks, failures);\n    return failures != 0;\n}\n"
             : "    $display(\"%0d checks, %0d failures\", checks, failures);\n    $finish;\n  end\nendmodule\n";
    return out;
}

void WriteHeader(const std::filesystem::path& folder, const std::string& kind, const std::string& file) {
    const std::filesystem::path log = folder / "header.log";
    ASSERT_EQ(Run("(cd " + Quote(folder) + " && " + Quote(ProgramPath(Assembler::Wordforge)) + " --word-layout=" + kind +
                      " >" + Quote(file) + ")",
                  log),
              0)
        << ReadFile(log);
    EXPECT_EQ(ReadFile(log), "");
}

struct Checked {
    std::vector<Line> lines;
    std::map<unsigned, unsigned> words;
};

// Assembles the golden program of every mnemonic in the caller's folder:
// the tests run as processes of their own, at the same time.
Checked EveryMnemonic(const std::filesystem::path& folder) {
    const std::string source = ReadFile(std::filesystem::path(GOLDEN_DIR) / "wordforge/all-mnemonics/input/ALLOPS.ASM");
    EXPECT_EQ(RunCommandLine(Assembler::Wordforge, folder, "ALLOPS.ASM", source, ""), 0);
    Checked checked;
    checked.lines = InstructionLines(ReadFile(folder / "ALLOPS.ASM.a"));
    for (const auto& [address, word] : ObjectFileWords(ReadFile(folder / "ALLOPS.ASM.b"), 16, 65536)) {
        checked.words[address] = static_cast<unsigned>(word);
    }
    std::map<std::string, bool> seen;
    for (const Line& line : checked.lines) seen[line.mnemonic] = true;
    EXPECT_EQ(seen.size(), kEncodings.size());  // every machine instruction is there
    return checked;
}

TEST(InstructionLayout, TheCHeaderDecodesEveryMnemonic) {
    const auto cc = FindTool("cc");
    if (!cc) GTEST_SKIP() << "cc not found on PATH: C header test skipped";
    const std::filesystem::path folder = FreshFolder("instruction-layout-c");
    const Checked program = EveryMnemonic(folder);
    WriteHeader(folder, "c", "instruction_word.h");
    std::size_t checks = 0;
    WriteFile(folder / "decode.c", DecodingProgram(Lang::C, program.lines, program.words, checks));
    const std::filesystem::path log = folder / "log";
    ASSERT_EQ(image_test::Run(Quote(*cc) + " -std=c99 -pedantic -Wall -Wextra -Werror -I " + Quote(folder) + " -o " +
                      Quote(folder / "decode") + " " + Quote(folder / "decode.c"),
                  log),
              0)
        << ReadFile(log);
    const std::filesystem::path printed = folder / "printed";
    EXPECT_EQ(image_test::Run(Quote(folder / "decode"), printed), 0) << ReadFile(printed);
    EXPECT_EQ(ReadFile(printed), std::to_string(checks) + " checks, 0 failures\n");
}

TEST(InstructionLayout, TheVerilogHeaderDecodesEveryMnemonic) {
    const auto iverilog = FindTool("iverilog");
    const auto vvp = FindTool("vvp");
    if (!iverilog || !vvp) GTEST_SKIP() << "iverilog or vvp not found on PATH: Verilog header test skipped";
    const std::filesystem::path folder = FreshFolder("instruction-layout-v");
    const Checked program = EveryMnemonic(folder);
    WriteHeader(folder, "verilog", "instruction_word.vh");
    std::size_t checks = 0;
    WriteFile(folder / "decode.v", DecodingProgram(Lang::Verilog, program.lines, program.words, checks));
    const std::filesystem::path log = folder / "log";
    ASSERT_EQ(image_test::Run(Quote(*iverilog) + " -Wall -I " + Quote(folder) + " -o " + Quote(folder / "decode.vvp") + " " +
                      Quote(folder / "decode.v"),
                  log),
              0)
        << ReadFile(log);
    EXPECT_EQ(ReadFile(log), "");
    const std::filesystem::path printed = folder / "printed";
    EXPECT_EQ(image_test::Run(Quote(*vvp) + " -n " + Quote(folder / "decode.vvp"), printed), 0);
    EXPECT_EQ(ReadFile(printed), std::to_string(checks) + " checks, 0 failures\n");
}

}  // namespace
