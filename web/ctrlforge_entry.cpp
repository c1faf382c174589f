#include "cli/program_commands.hpp"
#include "ctrlforge/assemble.hpp"
#include "web/entry.hpp"
#include "web/shown_diagnostics.hpp"

namespace web {

EntryResult AssembleCtrlforge(std::string_view source, const EntryOptions& options) {
    ctrlforge::OptionSet chosen = ctrlforge::ParseOptions(options.letters);
    common::OutputSink listing, object, map;
    EntryResult result;
    cli::JobOutputs outputs{.listing = chosen.S ? &listing : nullptr,
                            .object = chosen.O ? &object : nullptr,
                            .map = chosen.M ? &map : nullptr,
                            .console = &result.console};
    common::DiagnosticSink sink = ShownDiagnostics(cli::CtrlforgeProgram(), source, result.diagnostics);
    result.failed = cli::AssembleMicroprogram(source, outputs, sink);
    // The dialogue creates every chosen file before the run, so a failed run
    // still leaves them, holding whatever the pass wrote before its first error.
    if (chosen.S) result.files.push_back({"listing", ".s", std::move(listing.buffer)});
    if (chosen.O) result.files.push_back({"object", ".o", std::move(object.buffer)});
    if (chosen.M) result.files.push_back({"map", ".m", std::move(map.buffer)});
    return result;
}

}  // namespace web
