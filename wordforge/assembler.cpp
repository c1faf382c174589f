#include "wordforge/assembler.hpp"

#include "wordforge/pass1.hpp"
#include "wordforge/pass2.hpp"
#include "wordforge/word_run.hpp"

namespace wordforge {

std::int32_t AssembleSource(std::string_view source, common::OutputSink& listing,
                            common::OutputSink& object, std::vector<image::PlacedWord>* placed) {
    WordRun run;
    LoadSource(run.reader, source);
    run.listing = &listing;
    run.object = &object;
    run.placed = placed;
    const std::size_t before = placed != nullptr ? placed->size() : 0;
    Pass1(run);
    Pass2(run);
    if (placed != nullptr && run.errorCount > 0) placed->resize(before);
    return run.errorCount;
}

WordResult AssembleText(std::string_view source, std::vector<image::PlacedWord>* placed) {
    common::OutputSink listing;
    common::OutputSink object;
    WordResult result;
    result.errorCount = AssembleSource(source, listing, object, placed);
    result.listing = std::move(listing.buffer);
    result.object = std::move(object.buffer);
    return result;
}

}  // namespace wordforge
