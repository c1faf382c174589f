#include "wordforge/end_message.hpp"
#include "wordforge/model_builder.hpp"
#include "wordforge/pass1.hpp"
#include "wordforge/pass2.hpp"
#include "wordforge/word_run.hpp"
#include "wordforge/wordforge.hpp"

namespace wordforge {

Result AssembleSource(std::string_view source, const Sinks& sinks, const Collectors& collect) {
    // Both passes always write both files; a file nobody keeps goes here.
    common::OutputSink dropped;
    dropped.discard = true;
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
    run.listing = sinks.listing != nullptr ? sinks.listing : &dropped;
    run.object = sinks.object != nullptr ? sinks.object : &dropped;
    run.placed = collect.placed;
    run.model = collect.model;
    run.noteObjectWords = run.warn.overlap || run.placed != nullptr || run.model != nullptr;
    const std::size_t before = run.placed != nullptr ? run.placed->size() : 0;
    Pass1(run);
    ModelPrepare(run);
    Pass2(run);
    ModelFinish(run);
    if (run.placed != nullptr && run.errorCount > 0) run.placed->resize(before);

    Result result;
    result.errorCount = run.errorCount;
    result.failed = run.errorCount > 0;
    result.console = std::string(EndMessage(run.errorCount));
    result.title = std::string(View(run.title));
    return result;
}

WordResult AssembleText(std::string_view source, const Collectors& collect) {
    common::OutputSink listing;
    common::OutputSink object;
    WordResult result;
    result.errorCount = AssembleSource(source, {&listing, &object}, collect).errorCount;
    result.listing = std::move(listing.buffer);
    result.object = std::move(object.buffer);
    return result;
}

}  // namespace wordforge
