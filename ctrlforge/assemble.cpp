#include "ctrlforge/assemble.hpp"

#include "ctrlforge/parse_pass.hpp"
#include "ctrlforge/placement.hpp"
#include "ctrlforge/writers.hpp"

namespace ctrlforge {

void AssembleSource(CtrlRun& run) {
    run.AssemblyFailed = false;
    ParsePass(run);
    if (!run.AssemblyFailed) PlaceWords(run);
    if (!run.AssemblyFailed) WriteOutputs(run);
    const char* message;
    if (run.AssemblyFailed) {
        message = "ERROR OCCURRED IN ASSEMBLE-TIME!";
    } else {
        if (run.options.S) {
            run.listing->Write("THERE WAS NO ERROR IN ASSEMBLE.");
            run.listing->LineEnd();
        }
        message = "NORMAL TERMINATION!";
    }
    run.console += '\n';
    run.console += message;
    run.console += "\n\n";
}

OptionSet ParseOptions(std::string_view answer) {
    OptionSet options;
    for (char c : answer) {
        if (c == 'S' || c == 's') options.S = true;
        if (c == 'O' || c == 'o') options.O = true;
        if (c == 'M' || c == 'm') options.M = true;
    }
    return options;
}

CtrlOutput AssembleText(std::string_view source, std::string_view options,
                        std::vector<image::PlacedWord>* placed, common::DiagnosticSink* diagnostics) {
    common::OutputSink listing, object, map;
    CtrlRun run;
    run.source = source;
    run.options = ParseOptions(options);
    run.listing = &listing;
    run.object = &object;
    run.map = &map;
    run.placed = placed;
    run.diagnostics = diagnostics;
    AssembleSource(run);
    return CtrlOutput{listing.buffer, object.buffer, map.buffer, run.console, run.AssemblyFailed};
}

}  // namespace ctrlforge
