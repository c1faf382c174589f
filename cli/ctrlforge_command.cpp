// ctrlforge's command line: the files chosen with -S, -O and -M (all three
// by default) are the files the dialogue writes with those option letters.
#include "cli/program_commands.hpp"

#include "ctrlforge/ctrlforge.hpp"
#include "ctrlforge/word_layout.hpp"

namespace cli {

const ProgramInfo& CtrlforgeProgram() {
    static const ProgramInfo program{
        "ctrlforge",
        "ctrlforge: the ZORVELT microprogram assembler.\n"
        "Assembles each SOURCE into its listing (.s), object file (.o) and map (.m).",
        true,
        ".s",
        ".o",
        ".m",
        {{"truncation", true}, {"replaced-exception", true}, {"branch-page", true}},
        // Unused words hold the word of a statement that names no field,
        // which does nothing; a zero word would act and branch to 0.
        {ctrlforge::kControlWordBits, ctrlforge::kControlStoreWords, ctrlforge::EmptyControlWord()},
        {{"verilog", ctrlforge::ControlWordVerilog}, {"c", ctrlforge::ControlWordC}},
    };
    return program;
}

bool AssembleMicroprogram(std::string_view source, const JobOutputs& outputs) {
    const ctrlforge::Result result =
        ctrlforge::AssembleSource(source, {outputs.listing, outputs.object, outputs.map},
                                  {.diagnostics = outputs.diagnostics,
                                   .placed = outputs.image != nullptr ? &outputs.image->words : nullptr,
                                   .model = outputs.ctrlforgeModel});
    if (outputs.console != nullptr) *outputs.console += result.console;
    // The images name the program by its title.
    if (outputs.image != nullptr && !result.failed) outputs.image->name = result.title;
    return result.failed;
}

}  // namespace cli
