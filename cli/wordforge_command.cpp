// wordforge's command line: the listing and object file of every source,
// byte for byte those of the dialogue.
#include "cli/program_commands.hpp"

#include "wordforge/wordforge.hpp"

namespace cli {

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
        {},
    };
    return program;
}

bool AssembleProgram(std::string_view source, const JobOutputs& outputs) {
    const wordforge::Result result =
        wordforge::AssembleSource(source, {outputs.listing, outputs.object},
                                  {.diagnostics = outputs.diagnostics,
                                   .placed = outputs.image != nullptr ? &outputs.image->words : nullptr,
                                   .model = outputs.wordforgeModel});
    if (outputs.console != nullptr) *outputs.console += result.console;
    return result.failed;
}

}  // namespace cli
