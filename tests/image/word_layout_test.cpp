// The headers of the control word, as `ctrlforge --word-layout=c` and
// `--word-layout=verilog` print them, compiled by the C compiler and by
// Icarus Verilog, decode the packed words of microprograms: every field they
// take out must be what the map shows, and every mnemonic the map shows must
// be a constant of the header.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "ctrlforge/word_layout.hpp"
#include "tests/image/consumers.hpp"
#include "tests/support/skip.hpp"

namespace {

using namespace image_test;

const char* const kFields[] = {"LB", "RB", "AL", "SH", "SB", "MM", "SQ", "TS", "EX", "LT"};
enum { LB, RB, AL, SH, SB, MM, SQ, TS, EX, LT };

// One map line: label (columns 1-8), address (10-12), the cells of LB to LT
// (3 characters from columns 14, 18, ... 50) and the branch label (54-61).
struct MapLine {
    std::string label;
    unsigned address = 0;
    std::string cells[10];
    std::string target;
};

std::string Trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(' ');
    return first == std::string::npos ? "" : text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::vector<MapLine> ReadMap(const std::string& map) {
    std::vector<MapLine> lines;
    std::vector<std::string> text = Lines(map);
    for (std::size_t i = 2; i < text.size(); ++i) {
        const std::string& t = text[i];
        MapLine line;
        line.label = Trimmed(t.substr(0, 8));
        line.address = static_cast<unsigned>(std::stoul(t.substr(9, 3), nullptr, 16));
        for (std::size_t f = 0; f < 10; ++f) line.cells[f] = Trimmed(t.substr(13 + 4 * f, 3));
        line.target = Trimmed(t.substr(53, 8));
        lines.push_back(line);
    }
    return lines;
}

// A comparison that the decoding program makes, in either language.
enum class Lang { C, Verilog };
struct Check {
    std::string decoded;   // what the header takes out of the word w
    std::string expected;  // a header constant or a number
};

std::string Field(Lang lang, const char* field) {
    return lang == Lang::C ? "CW_" + std::string(field) + "(w)" : "w[`CW_" + std::string(field) + "]";
}
std::string Constant(Lang lang, const char* field, const std::string& mnemonic) {
    return (lang == Lang::C ? "CW_" : "`CW_") + std::string(field) + "_" + mnemonic;
}
std::string Number(Lang lang, unsigned value) {
    char text[16];
    std::snprintf(text, sizeof text, lang == Lang::C ? "0x%Xu" : "'h%X", value);
    return text;
}
std::string Macro(Lang lang, const std::string& name) {
    return (lang == Lang::C ? "CW_" : "`CW_") + name + "(w)";
}

unsigned HexCell(const std::string& cell) { return static_cast<unsigned>(std::stoul(cell, nullptr, 16)); }

// What the map says of one word. TS and EX print numbers where they carry a
// branch address or a long literal, which the map's own rule tells: TS for
// SQ B, BP, IRA, IAB and RB LLT, EX for RB LLT.
std::vector<Check> ChecksOf(Lang lang, const MapLine& line, const std::map<std::string, unsigned>& labels) {
    std::vector<Check> checks;
    const std::string& sq = line.cells[SQ];
    const bool longLiteral = line.cells[RB] == "LLT";
    const bool tsNumber = sq == "B" || sq == "BP" || sq == "IRA" || sq == "IAB" || longLiteral;
    for (int f = LB; f <= LT; ++f) {
        const bool number = f == LT || (f == TS && tsNumber) || (f == EX && longLiteral);
        checks.push_back({Field(lang, kFields[f]), number ? Number(lang, HexCell(line.cells[f]))
                                                          : Constant(lang, kFields[f], line.cells[f])});
        // The name tables give the map's cell by the field's value.
        if (number) continue;
        if (lang == Lang::C) {
            checks.push_back({"strcmp(CW_" + std::string(kFields[f]) + "_NAMES[" + Field(lang, kFields[f]) + "], \"" +
                                  line.cells[f] + "\")",
                              "0"});
        } else {
            checks.push_back({"`CW_" + std::string(kFields[f]) + "_NAME(" + Field(lang, kFields[f]) + ")",
                              "\"" + line.cells[f] + "\""});
        }
    }
    if (longLiteral) {
        const unsigned literal = (HexCell(line.cells[TS]) << 13) | (HexCell(line.cells[EX]) << 9) | HexCell(line.cells[LT]);
        checks.push_back({lang == Lang::C ? "CW_LONG_LITERAL(w)" : "w[`CW_LONG_LITERAL]", Number(lang, literal)});
    }
    if (!line.target.empty()) {
        const unsigned target = labels.at(line.target);
        if (sq == "B" || sq == "BP") {
            checks.push_back({Macro(lang, "BRANCH_TARGET"), Number(lang, target)});
        } else if (sq == "IRA" || sq == "IAB") {
            checks.push_back({Macro(lang, "IRA_TARGET"), Number(lang, target)});
        } else if (sq == "IOP") {
            checks.push_back({Macro(lang, "IOP_TARGET"), Number(lang, target)});
        } else {
            checks.push_back({Field(lang, "LT"), Number(lang, target % 512)});
        }
    }
    return checks;
}

struct Decoding {
    std::string program;  // the decoding program's text
    std::size_t checks = 0;
};

Decoding DecodingProgram(Lang lang, const Program& program) {
    const std::vector<MapLine> map = ReadMap(program.map);
    std::map<std::string, unsigned> labels;
    for (const MapLine& line : map) {
        if (!line.label.empty()) labels[line.label] = line.address;
    }
    Decoding decoding;
    std::string& out = decoding.program;
    if (lang == Lang::C) {
        out += "#include <stdint.h>\n#include <stdio.h>\n#include <string.h>\n#include \"control_word.h\"\n"
               "static int checks, failures;\n"
               "static void check(int ok, const char* what) {\n"
               "    ++checks;\n"
               "    if (!ok) { ++failures; printf(\"%s\\n\", what); }\n"
               "}\n"
               "int main(void) {\n    uint64_t w;\n";
    } else {
        out += "`include \"control_word.vh\"\nmodule decode;\n  reg [`CW_BITS-1:0] w;\n"
               "  integer checks, failures;\n  initial begin\n    checks = 0;\n    failures = 0;\n";
    }
    EXPECT_EQ(map.size(), program.placed.size());
    for (std::size_t i = 0; i < map.size() && i < program.placed.size(); ++i) {
        EXPECT_EQ(map[i].address, program.placed[i].address);
        char word[32];
        std::snprintf(word, sizeof word, "%010llX", static_cast<unsigned long long>(program.placed[i].word));
        out += lang == Lang::C ? "    w = UINT64_C(0x" + std::string(word) + ");\n"
                               : "    w = 40'h" + std::string(word) + ";\n";
        for (const Check& c : ChecksOf(lang, map[i], labels)) {
            char where[8];
            std::snprintf(where, sizeof where, "%03X", map[i].address);
            std::string what;  // as a string literal of either language
            for (char ch : std::string(where) + ": " + c.decoded + " == " + c.expected) {
                if (ch == '"') what += '\\';
                what += ch;
            }
            if (lang == Lang::C) {
                out += "    check((" + c.decoded + ") == (" + c.expected + "), \"" + what + "\");\n";
            } else {
                out += "    checks = checks + 1;\n    if ((" + c.decoded + ") != (" + c.expected +
                       ")) begin failures = failures + 1; $display(\"" + what + "\"); end\n";
            }
            ++decoding.checks;
        }
    }
    if (lang == Lang::C) {
        out += "    printf(\"%d checks, %d failures\\n\", checks, failures);\n    return failures != 0;\n}\n";
    } else {
        out += "    $display(\"%0d checks, %0d failures\", checks, failures);\n    $finish;\n  end\nendmodule\n";
    }
    return decoding;
}

// Writes the header the way a user would: `ctrlforge --word-layout=KIND > FILE`,
// with no source; nothing may go to standard error.
void WriteHeader(const std::filesystem::path& folder, const std::string& kind, const std::string& file) {
    const std::filesystem::path log = folder / "header.log";
    ASSERT_EQ(Run("(cd " + Quote(folder) + " && " + Quote(ProgramPath(Assembler::Ctrlforge)) + " --word-layout=" +
                      kind + " >" + Quote(file) + ")",
                  log),
              0)
        << ReadFile(log);
    EXPECT_EQ(ReadFile(log), "");
}

void ExpectTheCHeaderDecodes(const Program& program, const std::string& folderName) {
    const auto cc = FindTool("cc");
    if (!cc) ZORVELT_SKIP("cc not found on PATH: C header test skipped");
    const std::filesystem::path folder = FreshFolder(folderName);
    WriteHeader(folder, "c", "control_word.h");
    const Decoding decoding = DecodingProgram(Lang::C, program);
    WriteFile(folder / "decode.c", decoding.program);
    const std::filesystem::path log = folder / "log";
    ASSERT_EQ(Run(Quote(*cc) + " -std=c99 -pedantic -Wall -Wextra -Werror -I " + Quote(folder) + " -o " +
                      Quote(folder / "decode") + " " + Quote(folder / "decode.c"),
                  log),
              0)
        << ReadFile(log);
    const std::filesystem::path printed = folder / "printed";
    EXPECT_EQ(Run(Quote(folder / "decode"), printed), 0);
    EXPECT_EQ(ReadFile(printed), std::to_string(decoding.checks) + " checks, 0 failures\n");
}

void ExpectTheVerilogHeaderDecodes(const Program& program, const std::string& folderName) {
    const auto iverilog = FindTool("iverilog");
    const auto vvp = FindTool("vvp");
    if (!iverilog || !vvp) ZORVELT_SKIP("iverilog or vvp not found on PATH: Verilog header test skipped");
    const std::filesystem::path folder = FreshFolder(folderName);
    WriteHeader(folder, "verilog", "control_word.vh");
    const Decoding decoding = DecodingProgram(Lang::Verilog, program);
    WriteFile(folder / "decode.v", decoding.program);
    const std::filesystem::path log = folder / "log";
    ASSERT_EQ(Run(Quote(*iverilog) + " -Wall -I " + Quote(folder) + " -o " + Quote(folder / "decode.vvp") + " " +
                      Quote(folder / "decode.v"),
                  log),
              0)
        << ReadFile(log);
    EXPECT_EQ(ReadFile(log), "");
    const std::filesystem::path printed = folder / "printed";
    EXPECT_EQ(Run(Quote(*vvp) + " -n " + Quote(folder / "decode.vvp"), printed), 0);
    EXPECT_EQ(ReadFile(printed), std::to_string(decoding.checks) + " checks, 0 failures\n");
}

TEST(WordLayout, TheCHeaderDecodesTheExampleAsItsMapShows) {
    ExpectTheCHeaderDecodes(AssembleMicro("fetch.mic", Example("fetch.mic")), "header-c-fetch");
}

TEST(WordLayout, TheCHeaderDecodesBranchesAndLongLiterals) {
    ExpectTheCHeaderDecodes(AssembleMicro("gaps.mic", TestProgram("gaps.mic")), "header-c-gaps");
}

TEST(WordLayout, TheVerilogHeaderDecodesTheExampleAsItsMapShows) {
    ExpectTheVerilogHeaderDecodes(AssembleMicro("fetch.mic", Example("fetch.mic")), "header-v-fetch");
}

TEST(WordLayout, TheVerilogHeaderDecodesBranchesAndLongLiterals) {
    ExpectTheVerilogHeaderDecodes(AssembleMicro("gaps.mic", TestProgram("gaps.mic")), "header-v-gaps");
}

TEST(WordLayout, FieldsTileTheFortyBitsFromLBDownToLT) {
    unsigned next = 40;
    for (const ctrlforge::FieldLayout& f : ctrlforge::ControlWordFields()) {
        EXPECT_EQ(f.high, next - 1) << f.name;
        ASSERT_LE(f.low, f.high) << f.name;
        next = f.low;
    }
    EXPECT_EQ(next, 0u);
    EXPECT_EQ(ctrlforge::ControlWordFields().front().name, "LB");
    EXPECT_EQ(ctrlforge::ControlWordFields().back().name, "LT");
}

}  // namespace
