#include "cli/program_commands.hpp"
#include "ctrlforge/assemble.hpp"
#include "web/entry.hpp"
#include "web/entry_images.hpp"
#include "web/shown_diagnostics.hpp"

namespace web {

EntryResult AssembleCtrlforge(std::string_view source, const EntryOptions& options) {
    const cli::ProgramInfo& program = cli::CtrlforgeProgram();
    ctrlforge::OptionSet chosen = ctrlforge::ParseOptions(options.letters);
    common::OutputSink listing, object, map;
    EntryResult result;
    ImageRun images;
    cli::JobOutputs outputs{.listing = chosen.S ? &listing : nullptr,
                            .object = chosen.O ? &object : nullptr,
                            .map = chosen.M ? &map : nullptr,
                            .console = &result.console,
                            .image = StartImages(program, options.images, options.sourceName, images,
                                                 result.imageProblem)};
    common::DiagnosticSink sink = ShownDiagnostics(program, source, result.diagnostics);
    result.failed = cli::AssembleMicroprogram(source, outputs, sink) || HasErrors(result.diagnostics);
    // The dialogue creates every chosen file before the run, so a failed run
    // still leaves them, holding whatever the pass wrote before its first error.
    if (chosen.S) result.files.push_back({"listing", ".s", std::move(listing.buffer)});
    if (chosen.O) result.files.push_back({"object", ".o", std::move(object.buffer)});
    if (chosen.M) result.files.push_back({"map", ".m", std::move(map.buffer)});
    // Images come only from a run without errors, as on the command line.
    if (outputs.image != nullptr && !result.failed) AddImageFiles(program, images, result.files);
    return result;
}

ImageFacts CtrlforgeImageFacts() { return FactsOf(cli::CtrlforgeProgram()); }

}  // namespace web
