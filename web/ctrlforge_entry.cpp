#include "cli/program_commands.hpp"
#include "web/entry.hpp"
#include "web/entry_images.hpp"
#include "web/shown_diagnostics.hpp"

namespace web {

EntryResult AssembleCtrlforge(std::string_view source, const EntryOptions& options) {
    const cli::ProgramInfo& program = cli::CtrlforgeProgram();
    common::OutputSink listing, object, map;
    EntryResult result;
    ImageRun images;
    common::DiagnosticSink sink = ShownDiagnostics(program, source, result.diagnostics);
    cli::JobOutputs outputs{.listing = options.listing ? &listing : nullptr,
                            .object = options.object ? &object : nullptr,
                            .map = options.map ? &map : nullptr,
                            .diagnostics = &sink,
                            .image = StartImages(program, options.images, options.sourceName, images,
                                                 result.imageProblem),
                            .console = &result.console,
                            .ctrlforgeModel = options.model ? &result.ctrlforgeModel : nullptr};
    result.failed = cli::AssembleMicroprogram(source, outputs) || HasErrors(result.diagnostics);
    // The dialogue creates every chosen file before the run, so a failed run
    // still leaves them, holding whatever the pass wrote before its first error.
    if (options.listing) result.files.push_back({"listing", ".s", std::move(listing.buffer)});
    if (options.object) result.files.push_back({"object", ".o", std::move(object.buffer)});
    if (options.map) result.files.push_back({"map", ".m", std::move(map.buffer)});
    // Images come only from a run without errors, as on the command line.
    if (outputs.image != nullptr && !result.failed) AddImageFiles(program, images, result.files);
    return result;
}

ImageFacts CtrlforgeImageFacts() { return FactsOf(cli::CtrlforgeProgram()); }

}  // namespace web
