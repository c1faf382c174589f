// wordforge's command line: the listing and object file of every source,
// byte for byte those of the dialogue.
#include "cli/program_commands.hpp"

#include "wordforge/disassemble.hpp"
#include "wordforge/word_layout.hpp"
#include "wordforge/wordforge.hpp"

namespace cli {

namespace {

std::string ExplainInstructionWord(std::uint64_t word) {
    return wordforge::ExplainInstruction(static_cast<std::uint16_t>(word));
}

}  // namespace

const ProgramInfo& WordforgeProgram() {
    static const ProgramInfo program{
        "wordforge",
        "wordforge: the ZORVELT assembler.\n"
        "Assembles each SOURCE into its listing (.a) and object file (.b).",
        false,
        ".a",
        ".b",
        "",
        {{"truncation", true}, {"org", true}, {"overlap", true}, {"trailing-text", false}},
        {wordforge::kMemoryWordBits, wordforge::kMemoryWords, 0},
        {{"verilog", wordforge::InstructionWordVerilog}, {"c", wordforge::InstructionWordC}},
        {wordforge::kMemoryWordBits / 4, ExplainInstructionWord},
    };
    return program;
}

bool AssembleProgram(std::string_view source, const JobOutputs& outputs) {
    const wordforge::Result result =
        wordforge::AssembleSource(source, {outputs.listing, outputs.object},
                                  {.diagnostics = outputs.diagnostics,
                                   .placed = outputs.image != nullptr ? &outputs.image->words : nullptr});
    if (outputs.console != nullptr) *outputs.console += result.console;
    return result.failed;
}

}  // namespace cli
