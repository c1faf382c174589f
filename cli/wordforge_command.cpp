// wordforge's command line: the listing and object file of every source,
// byte for byte those of the dialogue.
#include "cli/program_commands.hpp"

#include "wordforge/disassemble.hpp"
#include "wordforge/word_layout.hpp"
#include "wordforge/wordforge.hpp"

namespace cli {

namespace {

std::string ExplainInstructionWord(std::uint64_t word) {
    return wordforge::ExplainInstruction(static_cast<std::uint16_t>(word));
}

std::size_t Disassembly(std::span<const image::PlacedWord> words, bool annotate, const std::optional<std::string>& title,
                        common::OutputSink& out) {
    wordforge::Disassemble(words, {title, annotate}, out);
    return 0;
}

ComparedImage CompareImage(std::string_view source, std::span<const image::PlacedWord> image, std::uint64_t fill,
                           common::DiagnosticSink* diagnostics) {
    wordforge::ImageComparison compared = wordforge::CompareImage(source, image, fill, diagnostics);
    ComparedImage result{compared.assembled, std::move(compared.words), {}};
    result.notes.resize(result.words.differences.size());
    return result;
}

// "0905 (ADD 1,5(2))": the word and the statement that gives it.
std::string WordText(std::uint64_t word) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string text;
    for (int shift = 12; shift >= 0; shift -= 4) text.push_back(kHex[(word >> shift) & 15u]);
    // The statement with one blank after its mnemonic.
    const std::string statement = wordforge::StatementOf(static_cast<std::uint16_t>(word));
    const std::size_t gap = statement.find(' ');
    text += " (";
    text.append(statement, 0, gap);
    if (gap != std::string::npos) {
        text += ' ';
        text.append(statement, statement.find_first_not_of(' ', gap));
    }
    text += ')';
    return text;
}

}  // namespace

const ProgramInfo& WordforgeProgram() {
    static const ProgramInfo program{
        "wordforge",
        "wordforge: the ZORVELT assembler.\n"
        "Assembles each SOURCE into its listing (.a) and object file (.b).",
        false,
        ".a",
        ".b",
        "",
        {{"truncation", true}, {"org", true}, {"overlap", true}, {"trailing-text", false}},
        {wordforge::kMemoryWordBits, wordforge::kMemoryWords, 0},
        {{"verilog", wordforge::InstructionWordVerilog}, {"c", wordforge::InstructionWordC}},
        {wordforge::kMemoryWordBits / 4, ExplainInstructionWord, "disassemble", "annotate",
         "Write assembly source that assembles back to the words of each image FILE",
         "With --disassemble: end each line with its address and word, as a listing", "", Disassembly, true,
         CompareImage, WordText},
    };
    return program;
}

bool AssembleProgram(std::string_view source, const JobOutputs& outputs) {
    const wordforge::Result result =
        wordforge::AssembleSource(source, {outputs.listing, outputs.object},
                                  {.diagnostics = outputs.diagnostics,
                                   .placed = outputs.image != nullptr ? &outputs.image->words : nullptr,
                                   .model = outputs.wordforgeModel});
    if (outputs.console != nullptr) *outputs.console += result.console;
    return result.failed;
}

}  // namespace cli
