// Icarus Verilog loads the $readmemh and $readmemb images into a memory of
// the machine's width and prints every word it was given; that must be the
// object file's words, the last at each address.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <string>

#include "image/readmem.hpp"
#include "tests/image/consumers.hpp"

namespace {

using namespace image_test;

std::string HexDigits(std::uint64_t value, unsigned digits) {
    std::string text(digits, '0');
    for (unsigned i = digits; i-- > 0; value >>= 4) text[i] = "0123456789abcdef"[value & 15u];
    return text;
}

// A test bench that loads the image into `reg [W-1:0] mem [0:D-1]` and
// prints "address  word" for every word that is no longer all x.
std::string TestBench(const Program& program, const std::filesystem::path& image, bool binary) {
    const std::string w = std::to_string(program.store.wordBits);
    const std::string d = std::to_string(program.store.depth);
    unsigned addressBits = 0;
    while ((1u << addressBits) < program.store.depth) ++addressBits;
    return "module load;\n"
           "  reg [" + w + "-1:0] mem [0:" + d + "-1];\n"
           "  reg [" + std::to_string(addressBits) + "-1:0] address;\n"
           "  integer i;\n"
           "  initial begin\n"
           "    $readmem" + (binary ? "b" : "h") + "(\"" + image.string() + "\", mem);\n"
           "    for (i = 0; i < " + d + "; i = i + 1) begin\n"
           "      address = i;\n"
           "      if (mem[i] !== {" + w + "{1'bx}}) $display(\"%h  %h\", address, mem[i]);\n"
           "    end\n"
           "    $finish;\n"
           "  end\n"
           "endmodule\n";
}

void ExpectVerilogLoadsTheObjectWords(const Program& program, const std::string& folderName) {
    const auto iverilog = FindTool("iverilog");
    const auto vvp = FindTool("vvp");
    if (!iverilog || !vvp) GTEST_SKIP() << "iverilog or vvp not found on PATH: Icarus Verilog test skipped";

    // The lines the object file gives, as $display prints them.
    std::string expected;
    const unsigned addressDigits = program.store.depth > 4096 ? 4 : 3;
    for (const auto& [address, word] : ObjectFileWords(program.object)) {
        expected += HexDigits(address, addressDigits) + "  " + HexDigits(word, (program.store.wordBits + 3) / 4) + "\n";
    }
    ASSERT_FALSE(expected.empty());

    const std::filesystem::path folder = FreshFolder(folderName);
    for (bool binary : {false, true}) {
        SCOPED_TRACE(binary ? "readmemb" : "readmemh");
        const std::filesystem::path image = folder / (program.name + (binary ? ".memb" : ".mem"));
        WriteFile(image, binary ? image::WriteReadmemb(program.store, program.placed)
                                : image::WriteReadmemh(program.store, program.placed));
        const std::filesystem::path bench = folder / (binary ? "load_b.v" : "load_h.v");
        WriteFile(bench, TestBench(program, image, binary));
        const std::filesystem::path compiled = folder / (binary ? "load_b.vvp" : "load_h.vvp");
        const std::filesystem::path log = folder / "log";
        ASSERT_EQ(Run(Quote(*iverilog) + " -o " + Quote(compiled) + " " + Quote(bench), log), 0) << ReadFile(log);
        const std::filesystem::path printed = folder / (binary ? "printed_b" : "printed_h");
        ASSERT_EQ(Run(Quote(*vvp) + " -n " + Quote(compiled), printed), 0) << ReadFile(printed);
        EXPECT_EQ(ReadFile(printed), expected);
    }
}

TEST(IcarusVerilog, LoadsTheMicroprogramExample) {
    ExpectVerilogLoadsTheObjectWords(AssembleMicro("fetch.mic", Example("fetch.mic")), "verilog-fetch");
}

TEST(IcarusVerilog, LoadsAMicroprogramWithPlacementGaps) {
    ExpectVerilogLoadsTheObjectWords(AssembleMicro("gaps.mic", TestProgram("gaps.mic")), "verilog-gaps");
}

TEST(IcarusVerilog, LoadsTheAssemblyExample) {
    ExpectVerilogLoadsTheObjectWords(AssembleMachine("table.asm", Example("table.asm")), "verilog-table");
}

TEST(IcarusVerilog, LoadsAnAssemblyProgramAboveAddress7FFFWithAWordWrittenOver) {
    ExpectVerilogLoadsTheObjectWords(AssembleMachine("high.asm", TestProgram("high.asm")), "verilog-high");
}

}  // namespace
