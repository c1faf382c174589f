// wordforge's command line: the listing and object file of every source,
// byte for byte those of the dialogue.
#include "cli/program_commands.hpp"

#include "wordforge/assembler.hpp"
#include "wordforge/end_message.hpp"

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

bool AssembleProgram(std::string_view source, const JobOutputs& outputs, common::DiagnosticSink& diagnostics) {
    common::OutputSink unusedListing, unusedObject;
    common::OutputSink& listing = outputs.listing != nullptr ? *outputs.listing : unusedListing;
    common::OutputSink& object = outputs.object != nullptr ? *outputs.object : unusedObject;
    std::vector<image::PlacedWord>* placed = outputs.image != nullptr ? &outputs.image->words : nullptr;
    std::int32_t errors =
        wordforge::AssembleSource(source, listing, object, {.diagnostics = &diagnostics, .placed = placed});
    if (outputs.console != nullptr) *outputs.console += wordforge::EndMessage(errors);
    return errors > 0;
}

}  // namespace cli
