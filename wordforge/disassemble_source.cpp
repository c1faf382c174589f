// Assembly source for a list of placed words. Each word becomes one line at
// the location counter, which ORG moves wherever the next word's address
// does not follow; the displacement of a branch, L, ST or LA is kept by
// naming its target with a label where a word stands there, or relative to
// the instruction ("*+n") where none does.
#include <vector>

#include "wordforge/disassemble.hpp"
#include "wordforge/disassemble_text.hpp"

namespace wordforge {

namespace {

constexpr std::size_t kAddresses = 1u << 16;
constexpr std::size_t kCommentColumn = 42;  // where the listing puts a comment

void AppendLabel(std::string& out, std::uint32_t address) {
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

// The label field (8 characters) and the mnemonic field (6).
void BeginLine(std::string& out, std::size_t& lineStart, const std::uint32_t* label, std::string_view mnemonic) {
    lineStart = out.size();
    if (label != nullptr) {
        AppendLabel(out, *label);
        out += ":  ";
    } else {
        out.append(8, ' ');
    }
    out += mnemonic;
}

void EndLine(std::string& out) { out += "\r\n"; }

}  // namespace

std::string Disassemble(std::span<const image::PlacedWord> words, const DisassemblyOptions& options) {
    // Which addresses hold a word, and which line gets the label of each:
    // the first word at its address.
    std::vector<std::uint8_t> holds(kAddresses, 0);
    for (const image::PlacedWord& placed : words) holds[placed.address & 0xFFFFu] = 1;
    std::vector<std::uint8_t> targeted(kAddresses, 0);
    for (const image::PlacedWord& placed : words) {
        const DecodedInstruction d = DecodeInstruction(static_cast<std::uint16_t>(placed.word));
        if (d.form != OperandForm::Relative && d.form != OperandForm::Branch) continue;
        const std::int64_t target = std::int64_t{placed.address} + d.displacement;
        if (target >= 0 && target < static_cast<std::int64_t>(kAddresses) && holds[static_cast<std::size_t>(target)]) {
            targeted[static_cast<std::size_t>(target)] = 1;
        }
    }

    std::string out;
    out.reserve(64 + words.size() * (options.annotate ? 56 : 28));
    std::size_t lineStart = 0;
    if (options.title.has_value() && AcceptedTitle(*options.title)) {
        BeginLine(out, lineStart, nullptr, "TITLE");
        if (!options.title->empty()) {
            out.push_back(' ');
            out += *options.title;
        }
        EndLine(out);
    }
    std::int64_t location = 0;
    std::string address, operand;
    for (const image::PlacedWord& placed : words) {
        const std::uint32_t at = placed.address & 0xFFFFu;
        if (at != location) {
            BeginLine(out, lineStart, nullptr, "ORG   ");
            std::size_t digits = 1;
            while (digits < 4 && (at >> (4 * digits)) != 0) ++digits;
            AppendHex(out, at, static_cast<int>(digits));
            EndLine(out);
        }
        location = std::int64_t{at} + 1;
        const DecodedInstruction d = DecodeInstruction(static_cast<std::uint16_t>(placed.word));
        const bool labelled = targeted[at] != 0;
        if (labelled) targeted[at] = 0;  // the first word at the address carries it
        BeginLine(out, lineStart, labelled ? &at : nullptr, d.mnemonic);
        address.clear();
        if (d.form == OperandForm::Relative || d.form == OperandForm::Branch) {
            const std::int64_t target = std::int64_t{at} + d.displacement;
            if (target >= 0 && target < static_cast<std::int64_t>(kAddresses) && holds[static_cast<std::size_t>(target)]) {
                AppendLabel(address, static_cast<std::uint32_t>(target));
            } else {
                AppendRelativeAddress(address, d.displacement);
            }
        }
        operand.clear();
        AppendOperand(operand, d, address);
        if (!operand.empty()) {
            out.append(6 - d.mnemonic.size(), ' ');
            out += operand;
        }
        if (options.annotate) {
            const std::size_t width = out.size() - lineStart;
            out.append(width < kCommentColumn - 1 ? kCommentColumn - 1 - width : 1, ' ');
            out += "; ";
            AppendHex(out, at, 4);
            out += "  ";
            AppendHex(out, static_cast<unsigned>(placed.word & 0xFFFFu), 4);
        }
        EndLine(out);
    }
    BeginLine(out, lineStart, nullptr, "END");
    EndLine(out);
    return out;
}

}  // namespace wordforge
