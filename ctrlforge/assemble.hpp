#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "ctrlforge/run_state.hpp"

namespace ctrlforge {

// One assembly of the source in run.source into the run's sinks. Appends the
// run's console text (placement messages and the end message) to run.console.
void AssembleSource(CtrlRun& run);

// The files and console text of one run, held in memory.
struct CtrlOutput {
    std::string listing;
    std::string object;
    std::string map;
    std::string console;
    bool failed = false;
};

// Options are the letters of an option answer ("SOM", "m,s", ...).
OptionSet ParseOptions(std::string_view answer);
// With `placed`, every packed word is added to it in object-file order; a
// failed run, which writes no words, adds none. With `diagnostics`, errors
// and warnings are recorded there too.
CtrlOutput AssembleText(std::string_view source, std::string_view options = "SOM",
                        std::vector<image::PlacedWord>* placed = nullptr,
                        common::DiagnosticSink* diagnostics = nullptr);

}  // namespace ctrlforge
