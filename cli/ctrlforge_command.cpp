// ctrlforge's command line: the files chosen with -S, -O and -M (all three
// by default) are the files the dialogue writes with those option letters.
#include "cli/program_commands.hpp"

#include "ctrlforge/assemble.hpp"
#include "ctrlforge/micro_word.hpp"
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
        {{"truncation", true}, {"replaced-exception", true}},
        // Unused words hold the word of a statement that names no field,
        // which does nothing; a zero word would act and branch to 0.
        {ctrlforge::kControlWordBits, ctrlforge::kControlStoreWords, ctrlforge::EmptyControlWord()},
        {{"verilog", ctrlforge::ControlWordVerilog}, {"c", ctrlforge::ControlWordC}},
    };
    return program;
}

bool AssembleMicroprogram(std::string_view source, const JobOutputs& outputs, common::DiagnosticSink& diagnostics) {
    common::OutputSink unused;
    ctrlforge::CtrlRun run;
    run.source = source;
    run.options.S = outputs.listing != nullptr;
    run.options.O = outputs.object != nullptr;
    run.options.M = outputs.map != nullptr;
    run.listing = outputs.listing != nullptr ? outputs.listing : &unused;
    run.object = outputs.object != nullptr ? outputs.object : &unused;
    run.map = outputs.map != nullptr ? outputs.map : &unused;
    run.diagnostics = &diagnostics;
    if (outputs.image != nullptr) run.placed = &outputs.image->words;
    ctrlforge::AssembleSource(run);
    if (outputs.console != nullptr) *outputs.console += run.console;
    if (outputs.image != nullptr && !run.AssemblyFailed) {
        // The images name the program by its title, without the blanks that
        // pad it to eight characters.
        std::string_view title(run.title.data(), run.title.size());
        outputs.image->name = std::string(title.substr(0, title.find_last_not_of(' ') + 1));
    }
    return run.AssemblyFailed;
}

}  // namespace cli
