#include "ctrlforge/ctrlforge.hpp"

#include "ctrlforge/model_builder.hpp"
#include "ctrlforge/parse_pass.hpp"
#include "ctrlforge/placement.hpp"
#include "ctrlforge/run_state.hpp"
#include "ctrlforge/writers.hpp"

namespace ctrlforge {

namespace {

// One run over the source: the parse pass, then placement and the writers
// while no error has been reported, then the end message.
void RunAssembly(CtrlRun& run) {
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

}  // namespace

Result AssembleSource(std::string_view source, const Sinks& sinks, const Collectors& collect) {
    // Every write to an optional file tests its option letter first, so a
    // file not chosen is never touched; the stand-in only keeps the pointers
    // valid.
    common::OutputSink notChosen;
    CtrlRun run;
    run.source = source;
    run.options.S = sinks.listing != nullptr;
    run.options.O = sinks.object != nullptr;
    run.options.M = sinks.map != nullptr;
    run.listing = run.options.S ? sinks.listing : &notChosen;
    run.object = run.options.O ? sinks.object : &notChosen;
    run.map = run.options.M ? sinks.map : &notChosen;
    run.diagnostics = collect.diagnostics;
    run.placed = collect.placed;
    if (collect.model != nullptr) {
        *collect.model = SourceModel{};
        run.model = collect.model;
        run.modelState.locator.text = source;
    }
    RunAssembly(run);
    if (run.model != nullptr) ModelRunEnds(run);

    Result result;
    result.failed = run.AssemblyFailed;
    result.console = std::move(run.console);
    std::string_view title(run.title.data(), run.title.size());
    result.title = std::string(title.substr(0, title.find_last_not_of(' ') + 1));
    return result;
}

CtrlOutput AssembleText(std::string_view source, Files files, const Collectors& collect) {
    common::OutputSink listing, object, map;
    Result result = AssembleSource(source,
                                   {files.listing ? &listing : nullptr, files.object ? &object : nullptr,
                                    files.map ? &map : nullptr},
                                   collect);
    return CtrlOutput{std::move(listing.buffer), std::move(object.buffer), std::move(map.buffer),
                      std::move(result.console), result.failed};
}

}  // namespace ctrlforge
