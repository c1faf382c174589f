// Fuzz target for the wordforge core: the input is the source. Besides the
// absence of crashes it checks that a run is deterministic (also when it
// records diagnostics and the source model), that the error summary of the
// listing agrees with the error count, that every object line of an
// error-free run has the "AAAA  WWWW" shape, that the model's lines follow
// one another through the source, its tokens in order and apart, and its
// words are the object file's, and that an error-free run's disassembly
// assembles back to its object file, byte for byte.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include <vector>

#include "common/diagnostics.hpp"
#include "wordforge/disassemble.hpp"
#include "wordforge/wordforge.hpp"

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

bool IsHex(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); }

std::string Summary(std::int32_t errors) {
    if (errors == 0) return "THERE WERE NO ERRORS.";
    if (errors == 1) return "THERE WAS ONE ERROR.";
    return "THERE WERE " + std::to_string(errors) + " ERRORS.";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view source(reinterpret_cast<const char*>(data), size);
    wordforge::WordResult first = wordforge::AssembleText(source);
    // The second run records diagnostics: the files stay the same, and there
    // is one error diagnostic per counted error, or a note with a flag for
    // the second count of one.
    std::vector<common::Diagnostic> diagnostics;
    common::DiagnosticSink sink = common::ListSink(source, diagnostics);
    wordforge::SourceModel model;
    wordforge::WordResult second = wordforge::AssembleText(source, {.diagnostics = &sink, .model = &model});
    Check(first.listing == second.listing && first.object == second.object &&
          first.errorCount == second.errorCount);
    std::int32_t errors = 0;
    for (const common::Diagnostic& d : diagnostics) {
        Check(d.line >= 1 && d.column >= 1 && d.endColumn >= d.column);
        errors += d.severity == common::Severity::Error || (d.severity == common::Severity::Note && !d.tag.empty());
    }
    Check(errors == first.errorCount);
    Check(first.errorCount >= 0);
    Check(first.listing.find("\r\n" + Summary(first.errorCount) + "\r\n") != std::string::npos);

    std::uint32_t end = 0;
    std::size_t words = 0;
    for (const wordforge::ModelLine& line : model.lines) {
        Check(line.span.begin.offset >= end && line.span.begin.offset <= line.span.end.offset);
        Check(line.span.end.offset <= size && line.span.begin.line == line.line);
        end = line.span.end.offset;
        words += line.wordCount;
    }
    end = 0;
    for (const common::ModelToken& token : model.tokens) {
        Check(token.span.begin.offset >= end && token.span.begin.offset < token.span.end.offset);
        Check(token.span.begin.line == token.span.end.line);
        end = token.span.end.offset;
    }
    if (first.errorCount == 0) Check(words == static_cast<std::size_t>(std::count(first.object.begin(), first.object.end(), '\n')) - 1);

    if (first.errorCount == 0) {
        std::vector<image::PlacedWord> placed;
        wordforge::AssembleText(source, {.placed = &placed});
        // The title on the object file's first line: "MM" has none.
        const std::string head = first.object.substr(0, first.object.find("\r\n"));
        std::optional<std::string> title;
        if (head.size() >= 3) title = head.substr(3);
        for (bool annotate : {false, true}) {
            const wordforge::WordResult again = wordforge::AssembleText(wordforge::Disassemble(placed, {title, annotate}));
            Check(again.errorCount == 0 && again.object == first.object);
        }
        std::string_view object = first.object;
        // The first line holds the title; every further line is an address
        // and a word.
        std::size_t at = object.find("\r\n");
        Check(at != std::string_view::npos);
        for (at += 2; at < object.size(); at += 12) {
            Check(object.size() >= at + 12);
            std::string_view line = object.substr(at, 12);
            Check(line.substr(4, 2) == "  " && line.substr(10, 2) == "\r\n");
            for (std::size_t i : {0u, 1u, 2u, 3u, 6u, 7u, 8u, 9u}) Check(IsHex(line[i]));
        }
    }
    return 0;
}
