// A control store read back against a microprogram: the source assembled
// with its model, whose statements name their addresses, words and places.
#include "ctrlforge/ctrlforge.hpp"
#include "ctrlforge/decode.hpp"

namespace ctrlforge {

ImageComparison CompareImage(std::string_view source, std::span<const image::PlacedWord> image, std::uint64_t fill,
                             common::DiagnosticSink* diagnostics) {
    ImageComparison result;
    SourceModel model;
    if (AssembleSource(source, {}, {.diagnostics = diagnostics, .model = &model}).failed) return result;
    result.assembled = true;
    std::vector<image::SourceWord> placed;
    placed.reserve(model.statements.size());
    for (const ModelStatement& statement : model.statements) {
        if (!statement.packed) continue;
        placed.push_back({static_cast<std::uint32_t>(statement.address), statement.word, statement.span.begin});
    }
    result.words = image::CompareWords(image, placed, fill);
    for (const image::WordDifference& d : result.words.differences) {
        std::uint16_t fields = 0;
        if (d.image && d.source) {
            for (std::size_t f = 0; f < kWordFields; ++f) {
                const unsigned shift = kFieldBits[f].low;
                const std::uint64_t mask = (std::uint64_t{1} << (kFieldBits[f].high - shift + 1)) - 1;
                if (((*d.image >> shift) & mask) != ((*d.source >> shift) & mask)) fields |= static_cast<std::uint16_t>(1u << f);
            }
        }
        result.fields.push_back(fields);
    }
    return result;
}

}  // namespace ctrlforge
