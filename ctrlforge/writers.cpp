#include "ctrlforge/writers.hpp"

#include <cstring>
#include <string_view>

#include "ctrlforge/diagnostic_text.hpp"
#include "ctrlforge/model_builder.hpp"
#include "ctrlforge/tokens.hpp"

namespace ctrlforge {

namespace {

// A line under construction in a fixed buffer: no allocation per line.
struct LineBuffer {
    char text[80];
    std::size_t size = 0;

    void Put(char c) { text[size++] = c; }
    void Append(std::string_view part) {
        std::memcpy(text + size, part.data(), part.size());
        size += part.size();
    }
    std::string_view View() const { return {text, size}; }
};

// Appends `digits` upper-case hexadecimal digits of the value, leading zeros
// kept, higher digits dropped.
void AppendHex(LineBuffer& out, unsigned value, int digits) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) out.Put(kHex[(value >> shift) & 15u]);
}

// A number cell of the map: three hexadecimal digits and a blank.
void AppendNumberCell(LineBuffer& out, unsigned value) {
    AppendHex(out, value, 3);
    out.Put(' ');
}

void AppendName(LineBuffer& out, const Name& name) { out.Append(std::string_view(name.data(), name.size())); }

}  // namespace

void ResolveTarget(CtrlRun& run, MicroWord& word) {
    switch (word.SQ) {
        case SqB: case SqBP: case SqBT: case SqBF: case SqIOP: case SqIRA: case SqIAB:
            break;
        case SqEI:
            if (word.TS == TsNTS) return;  // GOTO FETCH keeps its literal
            break;
        default:
            return;
    }
    if (word.refState != Resolved || word.target == kNone) return;
    const LabelEntry& label = run.labels[static_cast<std::size_t>(word.target)];
    word.LT = static_cast<std::uint16_t>(run.words[static_cast<std::size_t>(label.word)].address);
    // A conditional branch keeps only the low 9 bits of its target (the TS
    // field holds the test): a target in another 512-word page is not what
    // the word holds.
    const bool conditional = word.SQ == SqBT || word.SQ == SqBF || word.SQ == SqEI;
    if (conditional && ((word.LT ^ static_cast<std::uint16_t>(word.address)) & 0xE00u) != 0 &&
        run.diagnostics != nullptr && common::WantsWarning(*run.diagnostics, "branch-page")) {
        WarnBranchPage(run, word, word.LT);
    }
}

PackedWord WriteObjectLine(CtrlRun& run, MicroWord& word) {
    ResolveTarget(run, word);
    PackedWord packed = PackWord(word);
    if (run.placed != nullptr) {
        run.placed->push_back({static_cast<std::uint16_t>(word.address), ControlWordBits(packed)});
    }
    if (run.options.O) {
        LineBuffer line;
        AppendHex(line, static_cast<std::uint16_t>(word.address), 3);
        line.Append("  ");
        AppendHex(line, packed.high, 2);
        AppendHex(line, packed.mid, 4);
        AppendHex(line, packed.low, 4);
        line.Append("\r\n");
        run.object->Write(line.View());
    }
    return packed;
}

FieldCells MapFieldCells(const MicroWord& word) {
    LineBuffer line;
    line.Append(FieldCell(Field::LB, word.LB));
    line.Append(FieldCell(Field::RB, word.RB));
    line.Append(FieldCell(Field::AL, word.AL));
    line.Append(FieldCell(Field::SH, word.SH));
    line.Append(FieldCell(Field::SB, word.SB));
    line.Append(FieldCell(Field::MM, word.MM));
    line.Append(FieldCell(Field::SQ, word.SQ));
    const bool longLiteral = word.RB == RbLLT;
    if (word.SQ == SqB || word.SQ == SqBP || word.SQ == SqIRA || word.SQ == SqIAB) {
        AppendNumberCell(line, word.LT / 512u);
    } else if (longLiteral) {
        AppendNumberCell(line, word.LT / 8192u);
    } else {
        line.Append(FieldCell(Field::TS, word.TS));
    }
    if (longLiteral) {
        AppendNumberCell(line, (word.LT / 512u) % 16u);
    } else {
        line.Append(FieldCell(Field::EX, word.EX));
    }
    AppendNumberCell(line, word.LT % 512u);
    FieldCells cells;
    std::memcpy(cells.data(), line.text, cells.size());
    return cells;
}

void WriteMapLine(CtrlRun& run, const MicroWord& word) {
    LineBuffer line;
    if (word.labelClass != Unlabelled && word.label != kNone) {
        AppendName(line, run.labels[static_cast<std::size_t>(word.label)].name);
    } else {
        line.Append("        ");
    }
    line.Put(' ');
    AppendNumberCell(line, static_cast<std::uint16_t>(word.address));
    const FieldCells cells = MapFieldCells(word);
    line.Append(std::string_view(cells.data(), cells.size()));
    if (word.refState == Resolved && word.target != kNone) {
        AppendName(line, run.labels[static_cast<std::size_t>(word.target)].name);
    } else {
        line.Append("        ");
    }
    line.Append("\r\n");
    run.map->Write(line.View());
}

void WriteOutputs(CtrlRun& run) {
    // The last word is the trailing blank one and is never written.
    for (std::size_t i = 0; i + 1 < run.words.size(); ++i) {
        MicroWord& word = run.words[i];
        const PackedWord packed = WriteObjectLine(run, word);
        if (run.options.M) WriteMapLine(run, word);
        if (run.model != nullptr) {
            const FieldCells cells = MapFieldCells(word);
            ModelWordPacked(run, i, word, packed, std::string_view(cells.data(), cells.size()));
        }
    }
}

}  // namespace ctrlforge
