#include "writers.hpp"

#include "placement.hpp"
#include "tokens.hpp"

namespace ctrlforge {

namespace {

// Appends `digits` upper-case hexadecimal digits of the value, leading zeros
// kept, higher digits dropped.
void AppendHex(std::string& out, unsigned value, int digits) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) out.push_back(kHex[(value >> shift) & 15u]);
}

// A number cell of the map: three hexadecimal digits and a blank.
void AppendNumberCell(std::string& out, unsigned value) {
    AppendHex(out, value, 3);
    out.push_back(' ');
}

}  // namespace

PackedWord WriteObjectLine(CtrlRun& run, MicroWord& word) {
    ResolveTarget(run, word);
    PackedWord packed = PackWord(word);
    if (run.options.O) {
        std::string line;
        line.reserve(17);
        AppendHex(line, static_cast<std::uint16_t>(word.address), 3);
        line += "  ";
        AppendHex(line, packed.high, 2);
        AppendHex(line, packed.mid, 4);
        AppendHex(line, packed.low, 4);
        line += "\r\n";
        run.object->Write(line);
    }
    return packed;
}

void WriteMapLine(CtrlRun& run, const MicroWord& word) {
    std::string line;
    line.reserve(64);
    if (word.labelClass != Unlabelled && word.label != kNone) {
        const Name& name = run.labels[static_cast<std::size_t>(word.label)].name;
        line.append(name.data(), name.size());
    } else {
        line.append(8, ' ');
    }
    line.push_back(' ');
    AppendNumberCell(line, static_cast<std::uint16_t>(word.address));
    line += FieldCell(Field::LB, word.LB);
    line += FieldCell(Field::RB, word.RB);
    line += FieldCell(Field::AL, word.AL);
    line += FieldCell(Field::SH, word.SH);
    line += FieldCell(Field::SB, word.SB);
    line += FieldCell(Field::MM, word.MM);
    line += FieldCell(Field::SQ, word.SQ);
    const bool longLiteral = word.RB == RbLLT;
    if (word.SQ == SqB || word.SQ == SqBP || word.SQ == SqIRA || word.SQ == SqIAB) {
        AppendNumberCell(line, word.LT / 512u);
    } else if (longLiteral) {
        AppendNumberCell(line, word.LT / 8192u);
    } else {
        line += FieldCell(Field::TS, word.TS);
    }
    if (longLiteral) {
        AppendNumberCell(line, (word.LT / 512u) % 16u);
    } else {
        line += FieldCell(Field::EX, word.EX);
    }
    AppendNumberCell(line, word.LT % 512u);
    if (word.refState == Resolved && word.target != kNone) {
        const Name& name = run.labels[static_cast<std::size_t>(word.target)].name;
        line.append(name.data(), name.size());
    } else {
        line.append(8, ' ');
    }
    line += "\r\n";
    run.map->Write(line);
}

void WriteOutputs(CtrlRun& run) {
    // The last word is the trailing blank one and is never written.
    for (std::size_t i = 0; i + 1 < run.words.size(); ++i) {
        MicroWord& word = run.words[i];
        WriteObjectLine(run, word);
        if (run.options.M) WriteMapLine(run, word);
    }
}

}  // namespace ctrlforge
