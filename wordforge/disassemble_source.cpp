// Assembly source for a list of placed words. Each word becomes one line at
// the location counter, which ORG moves wherever the next word's address
// does not follow; the displacement of a branch, L, ST or LA is kept by
// naming its target with a label where a word stands there, or relative to
// the instruction ("*+n") where none does.
#include <cstring>
#include <vector>

#include "wordforge/disassemble.hpp"
#include "wordforge/disassemble_text.hpp"

namespace wordforge {

namespace {

constexpr std::size_t kAddresses = 1u << 16;
constexpr std::size_t kCommentColumn = 42;  // where the listing puts a comment

// One line of the source under construction, in a fixed buffer; no line is
// near its size.
struct Line {
    char text[128];
    std::size_t size = 0;

    void push_back(char c) { text[size++] = c; }
    Line& operator+=(std::string_view part) {
        std::memcpy(text + size, part.data(), part.size());
        size += part.size();
        return *this;
    }
    void PadTo(std::size_t width) {
        while (size < width) text[size++] = ' ';
    }
};

template <typename Out>
void AppendLabel(Out& out, std::uint32_t address) {
    out.push_back('L');
    AppendHex(out, address, 4);
}

// A title that TITLE reads back whole: letters and digits, at most 8.
bool AcceptedTitle(std::string_view title) {
    if (title.size() > 8) return false;
    for (char c : title) {
        if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) return false;
    }
    return true;
}

// The label field (8 characters) and the mnemonic, padded to the operand's
// column when an operand follows.
void BeginLine(Line& line, const std::uint32_t* label, std::string_view mnemonic) {
    line.size = 0;
    if (label != nullptr) {
        AppendLabel(line, *label);
        line.push_back(':');
    }
    line.PadTo(8);
    line += mnemonic;
}

void EndLine(common::OutputSink& out, Line& line) {
    line += std::string_view("\r\n");
    out.Write(std::string_view(line.text, line.size));
}

}  // namespace

void Disassemble(std::span<const image::PlacedWord> words, const DisassemblyOptions& options, common::OutputSink& out) {
    // Which addresses hold a word, and which line gets the label of each:
    // the first word at its address.
    std::vector<std::uint8_t> holds(kAddresses, 0);
    for (const image::PlacedWord& placed : words) holds[placed.address & 0xFFFFu] = 1;
    std::vector<std::uint8_t> targeted(kAddresses, 0);
    for (const image::PlacedWord& placed : words) {
        const auto word = static_cast<std::uint16_t>(placed.word);
        if (!HoldsDisplacement(word)) continue;
        const std::int64_t target = std::int64_t{placed.address & 0xFFFFu} + SignedByte(word & 0xFFu);
        if (target >= 0 && target < static_cast<std::int64_t>(kAddresses) && holds[static_cast<std::size_t>(target)]) {
            targeted[static_cast<std::size_t>(target)] = 1;
        }
    }

    Line line;
    if (options.title.has_value() && AcceptedTitle(*options.title)) {
        BeginLine(line, nullptr, "TITLE");
        if (!options.title->empty()) {
            line.push_back(' ');
            line += *options.title;
        }
        EndLine(out, line);
    }
    std::int64_t location = 0;
    Line address;
    for (const image::PlacedWord& placed : words) {
        const std::uint32_t at = placed.address & 0xFFFFu;
        if (at != location) {
            BeginLine(line, nullptr, "ORG   ");
            int digits = 1;
            while (digits < 4 && (at >> (4 * digits)) != 0) ++digits;
            AppendHex(line, at, digits);
            EndLine(out, line);
        }
        location = std::int64_t{at} + 1;
        const DecodedInstruction d = DecodeInstruction(static_cast<std::uint16_t>(placed.word));
        const bool labelled = targeted[at] != 0;
        if (labelled) targeted[at] = 0;  // the first word at the address carries it
        BeginLine(line, labelled ? &at : nullptr, d.mnemonic);
        address.size = 0;
        if (d.form == OperandForm::Relative || d.form == OperandForm::Branch) {
            const std::int64_t target = std::int64_t{at} + d.displacement;
            if (target >= 0 && target < static_cast<std::int64_t>(kAddresses) && holds[static_cast<std::size_t>(target)]) {
                AppendLabel(address, static_cast<std::uint32_t>(target));
            } else {
                AppendRelativeAddress(address, d.displacement);
            }
        }
        if (d.form != OperandForm::None) {
            line.PadTo(14);
            AppendOperand(line, d, std::string_view(address.text, address.size));
        }
        if (options.annotate) {
            line.PadTo(kCommentColumn - 1);
            if (line.size >= kCommentColumn - 1 && line.text[line.size - 1] != ' ') line.push_back(' ');
            line += std::string_view("; ");
            AppendHex(line, at, 4);
            line += std::string_view("  ");
            AppendHex(line, static_cast<unsigned>(placed.word & 0xFFFFu), 4);
        }
        EndLine(out, line);
    }
    BeginLine(line, nullptr, "END");
    EndLine(out, line);
}

std::string Disassemble(std::span<const image::PlacedWord> words, const DisassemblyOptions& options) {
    common::OutputSink out;
    out.buffer.reserve(64 + words.size() * (options.annotate ? 64 : 32));
    Disassemble(words, options, out);
    return std::move(out.buffer);
}

}  // namespace wordforge
