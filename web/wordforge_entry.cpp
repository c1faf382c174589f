#include "cli/program_commands.hpp"
#include "web/entry.hpp"
#include "web/entry_images.hpp"
#include "web/shown_diagnostics.hpp"

namespace web {

EntryResult AssembleWordforge(std::string_view source, const EntryOptions& options) {
    const cli::ProgramInfo& program = cli::WordforgeProgram();
    common::OutputSink listing, object;
    EntryResult result;
    ImageRun images;
    common::DiagnosticSink sink = ShownDiagnostics(program, source, result.diagnostics);
    cli::JobOutputs outputs{.listing = &listing,
                            .object = &object,
                            .diagnostics = &sink,
                            .image = StartImages(program, options.images, options.sourceName, images,
                                                 result.imageProblem),
                            .console = &result.console,
                            .wordforgeModel = options.model ? &result.wordforgeModel : nullptr};
    result.failed = cli::AssembleProgram(source, outputs) || HasErrors(result.diagnostics);
    result.files.push_back({"listing", ".a", std::move(listing.buffer)});
    // The dialogue deletes the object file of a run with errors, and the
    // command line writes no image for it.
    if (!result.failed) result.files.push_back({"object", ".b", std::move(object.buffer)});
    if (outputs.image != nullptr && !result.failed) AddImageFiles(program, images, result.files);
    return result;
}

ImageFacts WordforgeImageFacts() { return FactsOf(cli::WordforgeProgram()); }

}  // namespace web
