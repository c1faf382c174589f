// ctrlforge's command line: the files chosen with -S, -O and -M (all three
// by default) are the files the dialogue writes with those option letters.
#include "cli/program_commands.hpp"

#include "ctrlforge/ctrlforge.hpp"
#include "ctrlforge/decode.hpp"
#include "ctrlforge/word_layout.hpp"

namespace cli {

namespace {

std::size_t DecodeImage(std::span<const image::PlacedWord> words, bool asSource, const std::optional<std::string>& title,
                        common::OutputSink& out) {
    if (asSource) return ctrlforge::DecodeAsSource(words, title.value_or(""), out);
    ctrlforge::DecodeWords(words, out);
    return 0;
}

// The fields that differ, each as the map names it in the image and in the
// source: "fields LT (image 104, source 105)".
ComparedImage CompareImage(std::string_view source, std::span<const image::PlacedWord> image, std::uint64_t fill,
                           common::DiagnosticSink* diagnostics) {
    ctrlforge::ImageComparison compared = ctrlforge::CompareImage(source, image, fill, diagnostics);
    ComparedImage result{compared.assembled, std::move(compared.words), {}};
    for (std::size_t i = 0; i < result.words.differences.size(); ++i) {
        const image::WordDifference& d = result.words.differences[i];
        std::string note;
        if (d.image && d.source) {
            const ctrlforge::DecodedWord held = ctrlforge::DecodeWord(*d.image);
            const ctrlforge::DecodedWord placed = ctrlforge::DecodeWord(*d.source);
            for (std::size_t f = 0; f < ctrlforge::kWordFields; ++f) {
                if ((compared.fields[i] & (1u << f)) == 0) continue;
                note += note.empty() ? "fields " : ", ";
                note += std::string(ctrlforge::kFieldBits[f].name) + " (image " + std::string(held.cells[f].View()) +
                        ", source " + std::string(placed.cells[f].View()) + ")";
            }
        }
        result.notes.push_back(std::move(note));
    }
    return result;
}

std::string WordText(std::uint64_t word) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string text;
    for (int shift = 36; shift >= 0; shift -= 4) text.push_back(kHex[(word >> shift) & 15u]);
    return text;
}

}  // namespace

const ProgramInfo& CtrlforgeProgram() {
    static const ProgramInfo program{
        "ctrlforge",
        "ctrlforge: the ZORVELT microprogram assembler.\n"
        "Assembles each SOURCE into its listing (.s), object file (.o) and map (.m).",
        true,
        ".s",
        ".o",
        ".m",
        {{"truncation", true}, {"replaced-exception", true}, {"branch-page", true}},
        // Unused words hold the word of a statement that names no field,
        // which does nothing; a zero word would act and branch to 0.
        {ctrlforge::kControlWordBits, ctrlforge::kControlStoreWords, ctrlforge::EmptyControlWord()},
        {{"verilog", ctrlforge::ControlWordVerilog}, {"c", ctrlforge::ControlWordC}},
        {ctrlforge::kControlWordBits / 4, ctrlforge::ExplainWord, "decode", "as-source",
         "Decode the words of each image FILE: fields, transfer, memory, sequencing, literal",
         "With --decode: write a microprogram that assembles back to the image's words",
         "With --decode --as-source: 1 when words stand as comments.\n", DecodeImage, false, CompareImage,
         WordText},
    };
    return program;
}

bool AssembleMicroprogram(std::string_view source, const JobOutputs& outputs) {
    const ctrlforge::Result result =
        ctrlforge::AssembleSource(source, {outputs.listing, outputs.object, outputs.map},
                                  {.diagnostics = outputs.diagnostics,
                                   .placed = outputs.image != nullptr ? &outputs.image->words : nullptr,
                                   .model = outputs.ctrlforgeModel});
    if (outputs.console != nullptr) *outputs.console += result.console;
    // The images name the program by its title.
    if (outputs.image != nullptr && !result.failed) outputs.image->name = result.title;
    return result.failed;
}

}  // namespace cli
