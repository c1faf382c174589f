#include "cli/program_commands.hpp"
#include "web/entry.hpp"
#include "web/shown_diagnostics.hpp"

namespace web {

EntryResult AssembleWordforge(std::string_view source, const EntryOptions&) {
    common::OutputSink listing, object;
    EntryResult result;
    common::DiagnosticSink sink = ShownDiagnostics(cli::WordforgeProgram(), source, result.diagnostics);
    result.failed = cli::AssembleProgram(source, {.listing = &listing, .object = &object, .console = &result.console}, sink);
    result.files.push_back({"listing", ".a", std::move(listing.buffer)});
    // The dialogue deletes the object file of a run with errors.
    if (!result.failed) result.files.push_back({"object", ".b", std::move(object.buffer)});
    return result;
}

}  // namespace web
