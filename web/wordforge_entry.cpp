#include "web/entry.hpp"
#include "wordforge/assembler.hpp"
#include "wordforge/end_message.hpp"

namespace web {

EntryResult AssembleWordforge(std::string_view source, const EntryOptions&) {
    wordforge::WordResult run = wordforge::AssembleText(source);
    EntryResult result;
    result.failed = run.errorCount != 0;
    result.files.push_back({"listing", ".a", std::move(run.listing)});
    // The dialogue deletes the object file of a run with errors.
    if (run.errorCount <= 0) result.files.push_back({"object", ".b", std::move(run.object)});
    result.console = std::string(wordforge::EndMessage(run.errorCount));
    return result;
}

}  // namespace web
