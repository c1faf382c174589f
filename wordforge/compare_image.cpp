// A memory read back against an assembly program: the source assembled with
// a note of the statement behind every word it places.
#include "common/diagnostics.hpp"
#include "wordforge/assemble_run.hpp"
#include "wordforge/disassemble.hpp"

namespace wordforge {

ImageComparison CompareImage(std::string_view source, std::span<const image::PlacedWord> image, std::uint64_t fill,
                             common::DiagnosticSink* diagnostics) {
    ImageComparison result;
    std::vector<image::PlacedWord> placed;
    std::vector<std::size_t> starts;
    if (AssembleNotingStarts(source, {}, {.diagnostics = diagnostics, .placed = &placed}, &starts).failed) {
        return result;
    }
    result.assembled = true;
    common::LineLocator locator{source, 0, 1, {}};
    std::vector<image::SourceWord> words;
    words.reserve(placed.size());
    for (std::size_t i = 0; i < placed.size(); ++i) {
        const common::Place place = common::Locate(locator, starts[i]);
        words.push_back({placed[i].address, placed[i].word, {static_cast<std::uint32_t>(starts[i]), place.line, place.column}});
    }
    result.words = image::CompareWords(image, words, fill);
    return result;
}

}  // namespace wordforge
