// The decoded words as text: a line of fields in the map's columns, then
// what the word does, one aspect a line.
#include <string>

#include "ctrlforge/decode.hpp"

namespace ctrlforge {

namespace {

// The map's column heading, placed over cells that follow the word.
constexpr std::string_view kHeading = "WORD        LB  RB  AL  SH  SB  MM  SQ  TS  EX  LT\n";

void AppendHex(std::string& out, std::uint64_t value, int digits) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) out.push_back(kHex[(value >> shift) & 15u]);
}

void AppendAddress(std::string& out, unsigned address) { AppendHex(out, address, address > 0xFFFu ? 4 : 3); }

// The word and its cells, each right-aligned in three characters and a
// blank, as the map prints them; no trailing blank.
void AppendFields(std::string& out, const DecodedWord& d) {
    AppendHex(out, d.word, 10);
    for (const WordCell& cell : d.cells) {
        out.push_back(' ');
        out.append(cell.size < 3 ? 3u - cell.size : 0u, ' ');
        out.append(cell.View());
    }
    out.push_back('\n');
}

void AppendAspect(std::string& out, std::string_view indent, std::string_view name, std::string_view text) {
    out.append(indent);
    out.append(name);
    out.append(12 - name.size(), ' ');
    out.append(text.empty() ? std::string_view("none") : text);
    out.push_back('\n');
}

void AppendTarget(std::string& out, std::string_view indent, const DecodedWord& d) {
    std::string text;
    if (d.target == TargetKind::LowBits) {
        text = "bits 8..0 = ";
        AppendHex(text, d.targetAddress, 3);
        text += ": LT holds them; the word keeps no more of the target";
        AppendAspect(out, indent, "target", text);
        return;
    }
    AppendAddress(text, d.targetAddress);
    switch (d.sequencing) {
        case Sequencing::Goto:
        case Sequencing::Call: text += ": TS holds its bits 11..9, LT its bits 8..0"; break;
        case Sequencing::Iop: text += ": LT holds its bits 11..4, and no more of it"; break;
        case Sequencing::Ira: text += ": TS holds its bit 11, LT its bits 10..4 and 1..0; bits 3..2 are 0 by placement"; break;
        default: text += ": TS holds its bit 11, LT its bits 10..4 and 1..0; bits 5..2 are 0 by placement"; break;
    }
    AppendAspect(out, indent, "target", text);
    if (d.tableEntries == 0) return;
    text.clear();
    if (d.tableEntries == 16) {
        AppendAddress(text, d.table[0]);
        text += " to ";
        AppendAddress(text, d.table[15]);
        text += ": 16 entries, one for each value of bits 3..0, which the word does not hold";
    } else {
        for (unsigned i = 0; i < d.tableEntries; ++i) {
            if (i != 0) text += ' ';
            AppendAddress(text, d.table[i]);
        }
        text += ": 4 entries, one for each value of bits 3..2, which the word does not hold";
    }
    AppendAspect(out, indent, "table", text);
}

void AppendLiteral(std::string& out, std::string_view indent, const DecodedWord& d) {
    std::string text;
    if (d.literal == LiteralKind::Short) {
        AppendHex(text, d.literalValue, 3);
        text += ": a short literal, in LT";
    } else if (d.literal == LiteralKind::Long) {
        AppendHex(text, d.literalValue, 4);
        text += ": a long literal; TS holds its bits 15..13, EX 12..9, LT 8..0";
    }
    AppendAspect(out, indent, "literal", text);
}

void AppendMeaning(std::string& out, std::string_view indent, const DecodedWord& d) {
    AppendAspect(out, indent, "transfer", d.transferClause.View());
    AppendAspect(out, indent, "memory", d.memoryClause.View());
    AppendAspect(out, indent, "sequencing", d.sequencingClause.View());
    if (d.target != TargetKind::None) AppendTarget(out, indent, d);
    AppendAspect(out, indent, "exception",
                 d.literal == LiteralKind::Long ? std::string_view("none: EX holds bits of the literal")
                                                : d.exceptionClause.View());
    AppendLiteral(out, indent, d);
    if (!d.inexpressible.Empty()) {
        std::string text = "none: ";
        text += d.inexpressible.View();
        AppendAspect(out, indent, "source", text);
    }
}

}  // namespace

std::string ExplainWord(std::uint64_t word) {
    const DecodedWord d = DecodeWord(word);
    std::string out(kHeading);
    AppendFields(out, d);
    AppendMeaning(out, "  ", d);
    return out;
}

void DecodeWords(std::span<const image::PlacedWord> words, common::OutputSink& out) {
    std::string text = "ADRS ";
    text += kHeading;
    out.Write(text);
    for (const image::PlacedWord& placed : words) {
        const DecodedWord d = DecodeWord(placed.word);
        text.clear();
        AppendAddress(text, placed.address);
        text.append(placed.address > 0xFFFu ? " " : "  ");
        AppendFields(text, d);
        AppendMeaning(text, "     ", d);
        out.Write(text);
    }
}

std::string DecodeWords(std::span<const image::PlacedWord> words) {
    common::OutputSink out;
    out.buffer.reserve(64 + words.size() * 420);
    DecodeWords(words, out);
    return std::move(out.buffer);
}

}  // namespace ctrlforge
