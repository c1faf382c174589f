// Instruction words read back: the worked encodings backwards, the words no
// instruction encodes, the disassembler's layout (ORG, labels, "*+n", DC),
// and the round trip as a property: every one of the 65,536 words, every
// golden source and ten thousand generated programs assemble back from
// their disassembly to the same object file, byte for byte.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "tests/support/golden_sources.hpp"
#include "tests/support/random_programs.hpp"
#include "wordforge/disassemble.hpp"
#include "wordforge/disassemble_text.hpp"
#include "wordforge/wordforge.hpp"

namespace {

namespace fs = std::filesystem;
using image::PlacedWord;

// The statement a lone word at 0010 disassembles to, without its
// indentation.
std::string Statement(std::uint16_t word) {
    const std::vector<PlacedWord> image = {{0x10, word}};
    const std::string text = wordforge::Disassemble(image, {});
    // "        ORG   10\r\n        MNEMON OPERAND\r\n        END\r\n"
    const std::size_t line = text.find("\r\n") + 2;
    std::string statement = text.substr(line + 8, text.find("\r\n", line) - line - 8);
    return statement;
}

struct Assembled {
    int errors = 0;
    std::string object;
    std::vector<PlacedWord> placed;
};

Assembled Assemble(const std::string& source) {
    Assembled a;
    const wordforge::WordResult result = wordforge::AssembleText(source, {.placed = &a.placed});
    a.errors = result.errorCount;
    a.object = result.object;
    return a;
}

// The title on the object file's first line ("MM" has none, "MM " an
// empty one).
std::optional<std::string> TitleOf(const std::string& object) {
    const std::string first = object.substr(0, object.find("\r\n"));
    if (first.size() < 3) return std::nullopt;
    return first.substr(3);
}

void ExpectRoundTrip(const Assembled& original, const std::string& what) {
    for (bool annotate : {false, true}) {
        const std::string text = wordforge::Disassemble(original.placed, {TitleOf(original.object), annotate});
        const Assembled again = Assemble(text);
        EXPECT_EQ(again.errors, 0) << what << "\n" << text;
        EXPECT_EQ(again.object, original.object) << what << "\n" << text;
    }
}

TEST(DecodeInstruction, TheWorkedEncodingsReadBack) {
    // Each assembled at 0010, as the encoding table gives them.
    const std::pair<std::uint16_t, const char*> cases[] = {
        {0x0905, "ADD   1,5(2)"}, {0xF31F, "EX    3,31"},   {0x9EFF, "LC    2,255"}, {0xD700, "POP   3,0"},
        {0x55FF, "SA    1,-1"},   {0xDB02, "BIX   3,2"},    {0xC404, "STX   0,4(1)"}, {0x9603, "ST    2,*+3"},
        {0xE5F0, "BNZ   *-16"},   {0xED01, "WIO   LPT"},    {0xEF00, "HLT"},
        {0xDC00, "BDIS  L0010"},  // its target, its own address, holds a word
        {0xADFE, "LEA   1,-2(3)"}, {0x917F, "L     1,*+127"}, {0xE880, "B     *-128"}, {0xEC00, "RIO   CR"},
        {0xEC2A, "RIO   42"},     {0x3C00, "OR    0,(3)"},  {0xA000, "LEA   0,(0)"}, {0xEB00, "RET"},
    };
    for (const auto& [word, statement] : cases) EXPECT_EQ(Statement(word), statement) << std::hex << word;
}

TEST(DecodeInstruction, WordsNoInstructionEncodesAreConstants) {
    const std::pair<std::uint16_t, const char*> cases[] = {
        {0x5C00, "operation 5 holds SL, SA and SC, with modifiers 0 to 2, and no instruction with modifier 3"},
        {0x5FFF, "operation 5 holds SL, SA and SC, with modifiers 0 to 2, and no instruction with modifier 3"},
        {0xDD00, "BDIS holds register 0, and no other instruction has operation D with modifier 3"},
        {0xEB05, "RET is EB00 only: RET ignores its operand"},
        {0xEE01, "NOP is EE00 only: NOP ignores its operand"},
        {0xEFFF, "HLT is EF00 only: HLT ignores its operand"},
    };
    for (const auto& [word, why] : cases) {
        const wordforge::DecodedInstruction d = wordforge::DecodeInstruction(word);
        EXPECT_EQ(d.form, wordforge::OperandForm::Data) << std::hex << word;
        EXPECT_EQ(d.why, why) << std::hex << word;
    }
    EXPECT_EQ(Statement(0xEB05), "DC    X\"EB05");
    // Everything else is an instruction; the quick test for a displacement
    // agrees with the form.
    std::size_t data = 0;
    for (unsigned word = 0; word < 0x10000; ++word) {
        const wordforge::DecodedInstruction d = wordforge::DecodeInstruction(static_cast<std::uint16_t>(word));
        data += d.form == wordforge::OperandForm::Data;
        const bool relative = d.form == wordforge::OperandForm::Relative || d.form == wordforge::OperandForm::Branch;
        ASSERT_EQ(wordforge::HoldsDisplacement(static_cast<std::uint16_t>(word)), relative) << std::hex << word;
    }
    EXPECT_EQ(data, 4u * 256 + 3u * 256 + 3u * 255);
}

TEST(DecodeInstruction, ExplainsFieldsAndTheTarget) {
    EXPECT_EQ(wordforge::ExplainInstruction(0x0905),
              "0905  ADD   1,5(2)\n"
              "  operation  0          ADD\n"
              "  modifier   2          index register 2\n"
              "  register   1\n"
              "  operand    05         the number 5\n");
    EXPECT_EQ(wordforge::ExplainInstruction(0xE5F0),
              "E5F0  BNZ   *-16\n"
              "  operation  E\n"
              "  sub-code   5          BNZ\n"
              "  operand    F0         displacement -16: the target is 16 words before the instruction\n");
    EXPECT_EQ(wordforge::ExplainInstruction(0xEB05),
              "EB05  DC    X\"EB05\n"
              "  operation  E\n"
              "  sub-code   B          RET\n"
              "  operand    05\n"
              "  source     DC: no instruction encodes EB05; RET is EB00 only: RET ignores its operand\n");
}

TEST(Disassemble, OriginsLabelsOffsetsAndConstants) {
    const std::vector<PlacedWord> image = {
        {0x0010, 0x9102},  // L 1,*+2: 0012 holds a word
        {0x0011, 0xE5FF},  // BNZ *-1: 0010
        {0x0012, 0xEB05},  // RET with an operand: DC
        {0x0040, 0xE805},  // B *+5: 0045 holds none
        {0x0020, 0xE8F0},  // back below: ORG 20; B *-16 is 0010
    };
    EXPECT_EQ(wordforge::Disassemble(image, {"DEMO", false}),
              "        TITLE DEMO\r\n"
              "        ORG   10\r\n"
              "L0010:  L     1,L0012\r\n"
              "        BNZ   L0010\r\n"
              "L0012:  DC    X\"EB05\r\n"
              "        ORG   40\r\n"
              "        B     *+5\r\n"
              "        ORG   20\r\n"
              "        B     L0010\r\n"
              "        END\r\n");
    EXPECT_EQ(wordforge::Disassemble(image, {std::nullopt, true}),
              "        ORG   10\r\n"
              "L0010:  L     1,L0012                    ; 0010  9102\r\n"
              "        BNZ   L0010                      ; 0011  E5FF\r\n"
              "L0012:  DC    X\"EB05                     ; 0012  EB05\r\n"
              "        ORG   40\r\n"
              "        B     *+5                        ; 0040  E805\r\n"
              "        ORG   20\r\n"
              "        B     L0010                      ; 0020  E8F0\r\n"
              "        END\r\n");
    const Assembled again = Assemble(wordforge::Disassemble(image, {"DEMO", true}));
    EXPECT_EQ(again.errors, 0);
    EXPECT_EQ(again.object, "MM DEMO\r\n0010  9102\r\n0011  E5FF\r\n0012  EB05\r\n0040  E805\r\n0020  E8F0\r\n");
}

TEST(Disassemble, EveryWordOfTheMemoryComesBack) {
    // All 65,536 words, each at its own address: every target holds a word.
    std::vector<PlacedWord> full;
    for (std::uint32_t address = 0; address < 0x10000; ++address) full.push_back({address, address});
    Assembled original;
    original.placed = full;
    original.object = "MM\r\n";
    for (const PlacedWord& w : full) {
        char line[16];
        std::snprintf(line, sizeof line, "%04X  %04X\r\n", w.address, static_cast<unsigned>(w.word));
        original.object += line;
    }
    ExpectRoundTrip(original, "the full memory");
    // Sparse words, many targets holding none, near both ends of memory.
    std::mt19937 random(5);
    Assembled sparse;
    for (std::uint32_t address = 0; address < 0x10000; address += 1 + static_cast<std::uint32_t>(random() % 5)) {
        sparse.placed.push_back({address, random() & 0xFFFFu});
    }
    sparse.object = "MM\r\n";
    for (const PlacedWord& w : sparse.placed) {
        char line[16];
        std::snprintf(line, sizeof line, "%04X  %04X\r\n", w.address, static_cast<unsigned>(w.word));
        sparse.object += line;
    }
    ExpectRoundTrip(sparse, "sparse words");
}

TEST(Disassemble, EveryGoldenSourceComesBackByteForByte) {
    std::size_t programs = 0;
    for (const fs::path& path : test_support::GoldenSources(GOLDEN_DIR, "wordforge")) {
        const Assembled a = Assemble(test_support::ReadBytes(path));
        if (a.errors != 0) continue;
        ExpectRoundTrip(a, path.string());
        ++programs;
    }
    EXPECT_GT(programs, 20u);
}

TEST(Disassemble, TenThousandGeneratedProgramsComeBackByteForByte) {
    std::mt19937 random(2024);
    std::size_t words = 0, redrawn = 0;
    for (int i = 0; i < 10000; ++i) {
        Assembled a;
        std::string source;
        for (;;) {
            source = test_support::RandomAssembly(random);
            a = Assemble(source);
            if (a.errors == 0) break;
            ++redrawn;
        }
        const std::string text = wordforge::Disassemble(a.placed, {TitleOf(a.object), i % 2 == 0});
        const Assembled again = Assemble(text);
        ASSERT_EQ(again.errors, 0) << source << "\n" << text;
        ASSERT_EQ(again.object, a.object) << source << "\n" << text;
        words += a.placed.size();
    }
    EXPECT_GT(words, 100000u);
    EXPECT_LT(redrawn, 500u);  // the generator means to write valid programs
}

}  // namespace
