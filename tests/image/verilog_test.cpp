// Icarus Verilog loads the $readmemh and $readmemb images that the real
// programs write on their command lines, whole and in 8-bit lanes, into
// memories of the machine's width and prints every word it was given; that
// must be the words of the object file the same run wrote, the last at each
// address.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/image/consumers.hpp"
#include "tests/support/skip.hpp"

namespace {

using namespace image_test;

// The memory a program loads into, and how its object file is named.
struct Machine {
    Assembler assembler;
    unsigned wordBits;
    unsigned depth;
    const char* objectExtension;
    const char* objectOption;  // what makes the program write its object file
};

constexpr Machine kControlStore{Assembler::Ctrlforge, 40, 4096, ".o", "-O"};
constexpr Machine kMainMemory{Assembler::Wordforge, 16, 65536, ".b", ""};

std::string HexDigits(std::uint64_t value, unsigned digits) {
    std::string text(digits, '0');
    for (unsigned i = digits; i-- > 0; value >>= 4) text[i] = "0123456789abcdef"[value & 15u];
    return text;
}

// A test bench that loads the images into memories of `depth` words: one
// image into a memory of the whole width, or one image per lane into 8-bit
// memories put together with lane 0 as the low byte. It prints
// "address  word" for every word that is no longer all x.
std::string TestBench(const Machine& machine, const std::vector<std::filesystem::path>& images, bool binary) {
    const std::string w = std::to_string(machine.wordBits);
    const std::string d = std::to_string(machine.depth);
    unsigned addressBits = 0;
    while ((1u << addressBits) < machine.depth) ++addressBits;
    const bool lanes = images.size() > 1;
    std::string bench = "module load;\n"
                        "  reg [" + w + "-1:0] word;\n"
                        "  reg [" + std::to_string(addressBits) + "-1:0] address;\n"
                        "  integer i;\n";
    for (std::size_t k = 0; k < images.size(); ++k) {
        bench += "  reg [" + (lanes ? std::string("7") : w + "-1") + ":0] mem" + std::to_string(k) + " [0:" + d + "-1];\n";
    }
    bench += "  initial begin\n";
    for (std::size_t k = 0; k < images.size(); ++k) {
        bench += "    $readmem" + std::string(binary ? "b" : "h") + "(\"" + images[k].string() + "\", mem" +
                 std::to_string(k) + ");\n";
    }
    std::string word;
    for (std::size_t k = images.size(); k-- > 0;) word += (word.empty() ? "" : ", ") + ("mem" + std::to_string(k) + "[i]");
    bench += "    for (i = 0; i < " + d + "; i = i + 1) begin\n"
             "      address = i;\n"
             "      word = {" + word + "};\n"
             "      if (word !== {" + w + "{1'bx}}) $display(\"%h  %h\", address, word);\n"
             "    end\n"
             "    $finish;\n"
             "  end\n"
             "endmodule\n";
    return bench;
}

void ExpectVerilogLoadsTheObjectWords(const Machine& machine, const std::string& name, const std::string& source,
                                      const std::string& folderName) {
    const auto iverilog = FindTool("iverilog");
    const auto vvp = FindTool("vvp");
    if (!iverilog || !vvp) ZORVELT_SKIP("iverilog or vvp not found on PATH: Icarus Verilog test skipped");
    const std::filesystem::path folder = FreshFolder(folderName);
    const std::filesystem::path log = folder / "log";

    for (bool lanes : {false, true}) {
        SCOPED_TRACE(lanes ? "lanes" : "whole words");
        ASSERT_EQ(RunCommandLine(machine.assembler, folder, name, source,
                                 std::string(machine.objectOption) + " --image=readmemh --image=readmemb" +
                                     (lanes ? " --lanes=8" : "")),
                  0)
            << ReadFile(log);
        // The lines the object file gives, as $display prints them.
        std::string expected;
        const unsigned addressDigits = machine.depth > 4096 ? 4 : 3;
        for (const auto& [address, word] : ObjectFileWords(ReadFile(folder / (name + machine.objectExtension)), machine.wordBits, machine.depth)) {
            expected += HexDigits(address, addressDigits) + "  " + HexDigits(word, (machine.wordBits + 3) / 4) + "\n";
        }
        ASSERT_FALSE(expected.empty());

        for (bool binary : {false, true}) {
            SCOPED_TRACE(binary ? "readmemb" : "readmemh");
            const std::string extension = binary ? ".memb" : ".mem";
            std::vector<std::filesystem::path> images;
            if (!lanes) images.push_back(folder / (name + extension));
            for (unsigned lane = 0; lanes && lane < (machine.wordBits + 7) / 8; ++lane) {
                images.push_back(folder / (name + ".lane" + std::to_string(lane) + extension));
            }
            const std::filesystem::path bench = folder / "load.v";
            WriteFile(bench, TestBench(machine, images, binary));
            const std::filesystem::path compiled = folder / "load.vvp";
            ASSERT_EQ(Run(Quote(*iverilog) + " -o " + Quote(compiled) + " " + Quote(bench), log), 0) << ReadFile(log);
            const std::filesystem::path printed = folder / "printed";
            ASSERT_EQ(Run(Quote(*vvp) + " -n " + Quote(compiled), printed), 0) << ReadFile(printed);
            EXPECT_EQ(ReadFile(printed), expected);
        }
    }
}

TEST(IcarusVerilog, LoadsTheMicroprogramExample) {
    ExpectVerilogLoadsTheObjectWords(kControlStore, "fetch.mic", Example("fetch.mic"), "verilog-fetch");
}

TEST(IcarusVerilog, LoadsAMicroprogramWithPlacementGaps) {
    ExpectVerilogLoadsTheObjectWords(kControlStore, "gaps.mic", TestProgram("gaps.mic"), "verilog-gaps");
}

TEST(IcarusVerilog, LoadsTheAssemblyExample) {
    ExpectVerilogLoadsTheObjectWords(kMainMemory, "table.zasm", Example("table.zasm"), "verilog-table");
}

TEST(IcarusVerilog, LoadsAnAssemblyProgramAboveAddress7FFFWithAWordWrittenOver) {
    ExpectVerilogLoadsTheObjectWords(kMainMemory, "high.asm", TestProgram("high.asm"), "verilog-high");
}

}  // namespace
