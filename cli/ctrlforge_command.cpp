// ctrlforge's command line: the files chosen with -S, -O and -M (all three
// by default) are the files the dialogue writes with those option letters.
#include "cli/program_commands.hpp"

#include "ctrlforge/assemble.hpp"

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
    ctrlforge::AssembleSource(run);
    if (outputs.console != nullptr) *outputs.console += run.console;
    return run.AssemblyFailed;
}

}  // namespace cli
