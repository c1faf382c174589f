// A memory read back against an assembly program: the source assembled with
// its model, whose lines name the words they placed and where they stand.
#include "wordforge/disassemble.hpp"
#include "wordforge/wordforge.hpp"

namespace wordforge {

ImageComparison CompareImage(std::string_view source, std::span<const image::PlacedWord> image, std::uint64_t fill,
                             common::DiagnosticSink* diagnostics) {
    ImageComparison result;
    SourceModel model;
    if (AssembleSource(source, {}, {.diagnostics = diagnostics, .model = &model}).failed) return result;
    result.assembled = true;
    std::vector<image::SourceWord> words;
    words.reserve(model.words.size());
    std::size_t token = 0;
    for (const ModelLine& line : model.lines) {
        if (line.wordCount == 0) continue;
        // The statement begins at its first token: its label or mnemonic.
        while (token < model.tokens.size() && model.tokens[token].span.begin.offset < line.span.begin.offset) ++token;
        common::SourcePlace place = line.span.begin;
        if (token < model.tokens.size() && model.tokens[token].span.begin.offset < line.span.end.offset) {
            place = model.tokens[token].span.begin;
        }
        for (const ModelWord& word : WordsOf(model, line)) words.push_back({word.address, word.value, place});
    }
    result.words = image::CompareWords(image, words, fill);
    return result;
}

}  // namespace wordforge
