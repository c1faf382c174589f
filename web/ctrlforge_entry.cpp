#include "ctrlforge/assemble.hpp"
#include "web/entry.hpp"

namespace web {

EntryResult AssembleCtrlforge(std::string_view source, const EntryOptions& options) {
    ctrlforge::CtrlOutput run = ctrlforge::AssembleText(source, options.letters);
    ctrlforge::OptionSet chosen = ctrlforge::ParseOptions(options.letters);
    EntryResult result;
    // The dialogue creates every chosen file before the run, so a failed run
    // still leaves them, holding whatever the pass wrote before its first error.
    if (chosen.S) result.files.push_back({"listing", ".s", std::move(run.listing)});
    if (chosen.O) result.files.push_back({"object", ".o", std::move(run.object)});
    if (chosen.M) result.files.push_back({"map", ".m", std::move(run.map)});
    result.console = std::move(run.console);
    result.failed = run.failed;
    return result;
}

}  // namespace web
