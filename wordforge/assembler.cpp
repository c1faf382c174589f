#include "wordforge/assembler.hpp"

#include "wordforge/pass1.hpp"
#include "wordforge/pass2.hpp"
#include "wordforge/word_run.hpp"

namespace wordforge {

std::int32_t AssembleSource(std::string_view source, common::OutputSink& listing,
                            common::OutputSink& object, const Collectors& collect) {
    WordRun run;
    run.diagnostics = collect.diagnostics;
    if (run.diagnostics != nullptr) {
        const common::DiagnosticSink& sink = *run.diagnostics;
        run.warn.truncation = common::WantsWarning(sink, "truncation");
        run.warn.org = common::WantsWarning(sink, "org");
        run.warn.overlap = common::WantsWarning(sink, "overlap");
        run.warn.trailingText = common::WantsWarning(sink, "trailing-text");
        if (run.warn.overlap) run.wordLines.assign(1u << 16, 0);
    }
    LoadSource(run.reader, source);
    run.listing = &listing;
    run.object = &object;
    run.placed = collect.placed;
    const std::size_t before = run.placed != nullptr ? run.placed->size() : 0;
    Pass1(run);
    Pass2(run);
    if (run.placed != nullptr && run.errorCount > 0) run.placed->resize(before);
    return run.errorCount;
}

WordResult AssembleText(std::string_view source, const Collectors& collect) {
    common::OutputSink listing;
    common::OutputSink object;
    WordResult result;
    result.errorCount = AssembleSource(source, listing, object, collect);
    result.listing = std::move(listing.buffer);
    result.object = std::move(object.buffer);
    return result;
}

}  // namespace wordforge
