#include "wordforge/assembler.hpp"

#include "wordforge/pass1.hpp"
#include "wordforge/pass2.hpp"
#include "wordforge/word_run.hpp"

namespace wordforge {

std::int32_t AssembleSource(std::string_view source, common::OutputSink& listing,
                            common::OutputSink& object, common::DiagnosticSink* diagnostics) {
    WordRun run;
    run.diagnostics = diagnostics;
    if (diagnostics != nullptr) run.wordLines.assign(1u << 16, 0);
    LoadSource(run.reader, source);
    run.listing = &listing;
    run.object = &object;
    Pass1(run);
    Pass2(run);
    return run.errorCount;
}

WordResult AssembleText(std::string_view source, common::DiagnosticSink* diagnostics) {
    common::OutputSink listing;
    common::OutputSink object;
    WordResult result;
    result.errorCount = AssembleSource(source, listing, object, diagnostics);
    result.listing = std::move(listing.buffer);
    result.object = std::move(object.buffer);
    return result;
}

}  // namespace wordforge
