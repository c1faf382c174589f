#include "wordforge/model_builder.hpp"

#include <algorithm>

#include "wordforge/mnemonic_table.hpp"
#include "wordforge/symbol_table.hpp"

namespace wordforge::model {

namespace {

// Room for this many tokens a line is reserved at once: a statement has its
// mnemonic, a register and an operand or two, and often a label or a
// comment. More only cost the vector a growth step.
constexpr std::size_t kTokensPerLine = 4;

common::SourcePlace PlaceOf(const WordRun& run, std::size_t offset) {
    const ModelCursor& cursor = run.modelCursor;
    return {static_cast<std::uint32_t>(offset), cursor.line,
            static_cast<std::int32_t>(offset - cursor.lineStart + 1)};
}

common::SourceSpan SpanOf(const WordRun& run, std::size_t begin, std::size_t end) {
    return {PlaceOf(run, begin), PlaceOf(run, end)};
}

// Where the word of letters and digits beginning at `begin` ends: the
// readers consume all of it, though they keep only 8 characters.
std::size_t WordEnd(std::string_view text, std::size_t begin) {
    while (begin < text.size() && IsClass(text[begin], kWordByte)) ++begin;
    return begin;
}

// The label's index in the model; a name met for the first time is added
// with what pass 1 found for it (`value`, nullptr when it has no definition).
std::int32_t LabelIndex(WordRun& run, const Word& name, const std::int32_t* value) {
    SourceModel& model = *run.model;
    const auto next = static_cast<std::int32_t>(model.labels.size());
    const common::NameLookup found = common::FindOrAddName(run.modelCursor.labels, LabelKey(name), next);
    if (found.added) {
        ModelLabel& label = model.labels.emplace_back();
        label.name.assign(View(name));
        label.defined = value != nullptr;
        label.value = value != nullptr ? *value : 0;
    }
    return *found.value;
}

ModelLine& Current(WordRun& run) { return *run.modelCursor.current; }

bool IsErrorFlag(char flag) { return flag == 'F' || flag == 'L'; }

void TakeFlags(const WordRun& run, ModelLine& line) {
    line.flags[0] = run.line.text[0];
    line.flags[1] = run.line.text[1];
}

InstructionFields FieldsOf(std::uint16_t word) {
    return {static_cast<std::uint8_t>(word >> 12), static_cast<std::uint8_t>((word >> 10) & 3),
            static_cast<std::uint8_t>((word >> 8) & 3), static_cast<std::uint8_t>(word & 0xFF)};
}

}  // namespace

void Prepare(WordRun& run) {
    SourceModel& model = *run.model;
    model.title.clear();
    model.labels.clear();
    model.tokens.clear();
    model.words.clear();
    run.modelCursor.lines = 0;  // the lines are kept until Finish
    // Pass 1 has read the same lines as pass 2 will, and defined every
    // label; only undefined ones come on top.
    const std::size_t lines = static_cast<std::size_t>(run.reader.line) + 1;
    model.lines.reserve(lines);
    model.tokens.reserve(kTokensPerLine * lines);
    model.words.reserve(lines);
    const std::size_t labels = run.symbols.entries.size();
    model.labels.reserve(labels);
    if (labels > 0) common::ReserveNames(run.modelCursor.labels, labels);
    run.modelCursor.tokensEnd = 0;
}

void Finish(WordRun& run) { run.model->lines.resize(run.modelCursor.lines); }

void LineStart(WordRun& run) {
    ModelCursor& cursor = run.modelCursor;
    const std::size_t start = run.reader.position;
    // The end of a source whose last line has no line end is one more line
    // to the loop, though it stands on that last line.
    if (cursor.lines == 0 || run.reader.line != cursor.line) {
        cursor.lineStart = start;
        cursor.line = run.reader.line;
    }
    std::vector<ModelLine>& lines = run.model->lines;
    if (cursor.lines < lines.size()) {
        // A line of an earlier run: every field as a new line has it, but
        // its words and mnemonic keep their room.
        ModelLine& kept = lines[cursor.lines];
        kept.kind = LineKind::Comment;
        kept.flags[0] = kept.flags[1] = ' ';
        kept.mnemonic.fill('\0');
        kept.label = -1;
        kept.fields = {};
        kept.operandLabel = -1;
        kept.operandValue = 0;
    } else {
        lines.emplace_back();
    }
    ModelLine& line = lines[cursor.lines++];
    cursor.current = &line;
    line.firstWord = static_cast<std::uint32_t>(run.model->words.size());
    line.wordCount = 0;
    line.line = cursor.line;
    line.span.begin = PlaceOf(run, start);
    line.address = run.location;
}

void LineEnd(WordRun& run, LineOpening opening) {
    ModelLine& line = Current(run);
    line.span.end = PlaceOf(run, CurrentOffset(run.reader));
    if (opening == LineOpening::Comment) {
        line.kind = LineKind::Comment;
        line.address = -1;
        return;
    }
    // A DS line's flags stand on its first listing line, taken with its
    // first word; every other line has one listing line, complete now.
    if (line.wordCount <= 1) TakeFlags(run, line);
    if (opening == LineOpening::Other || IsErrorFlag(line.flags[0]) || IsErrorFlag(line.flags[1])) {
        // Only a DC in error has written a word, which means nothing.
        line.kind = LineKind::Error;
        run.model->words.resize(line.firstWord);  // the line's words are the last ones
        line.wordCount = 0;
        return;
    }
    if (run.mnemonic < kFirstPseudo) {
        line.kind = LineKind::Instruction;
        if (line.wordCount > 0) line.fields = FieldsOf(run.model->words[line.firstWord].value);
        return;
    }
    line.kind = LineKind::Pseudo;
    if (run.mnemonic == kOrg || run.mnemonic == kEnd) line.address = -1;  // the listing shows none
}

void PrologueLineEnd(WordRun& run, LineOpening opening) {
    SourceModel& model = *run.model;
    ModelLine& line = Current(run);
    line.span.end = PlaceOf(run, CurrentOffset(run.reader));
    line.address = -1;
    if (opening == LineOpening::Comment) {
        line.kind = LineKind::Comment;
        return;
    }
    line.kind = LineKind::Pseudo;  // the TITLE line
    model.title.assign(View(run.title));
}

void Token(WordRun& run, std::size_t begin, std::size_t end, common::TokenKind kind) {
    if (begin >= end) return;
    ModelCursor& cursor = run.modelCursor;
    std::vector<common::ModelToken>& tokens = run.model->tokens;
    if (begin < cursor.tokensEnd) {
        // A character literal may take the ";" that then begins the
        // comment, as the listing shows it twice; the comment keeps it.
        common::ModelToken& last = tokens.back();
        last.span.end = PlaceOf(run, begin);
        if (last.span.end.offset <= last.span.begin.offset) tokens.pop_back();
    }
    cursor.tokensEnd = end;
    tokens.push_back({SpanOf(run, begin, end), kind});
}

void WordToken(WordRun& run, std::size_t begin, common::TokenKind kind) {
    Token(run, begin, WordEnd(run.reader.text, begin), kind);
}

void Comment(WordRun& run) {
    const std::size_t begin = CurrentOffset(run.reader);
    Token(run, begin, LineEndFrom(run.reader.text, begin), common::TokenKind::Comment);
}

void CommentInRest(WordRun& run) {
    const SourceReader& reader = run.reader;
    if (IsLineOver(reader.current)) return;
    const std::size_t from = CurrentOffset(reader);
    const std::size_t end = LineEndFrom(reader.text, from);
    const std::size_t semicolon = reader.text.substr(0, end).find(';', from);
    if (semicolon != std::string_view::npos) Token(run, semicolon, end, common::TokenKind::Comment);
}

void Mnemonic(WordRun& run, const Word& word, int mnemonic, std::size_t begin) {
    std::array<char, 8>& kept = Current(run).mnemonic;
    kept.fill('\0');
    std::copy_n(word.text.data(), std::min<std::size_t>(word.length, kept.size()), kept.data());
    if (mnemonic < kFirstPseudo) {
        WordToken(run, begin, common::TokenKind::Mnemonic);
    } else if (mnemonic != kNoMnemonic) {
        WordToken(run, begin, common::TokenKind::Keyword);
    }
}

void LabelDefinition(WordRun& run, const Word& name, std::size_t begin) {
    const std::size_t end = WordEnd(run.reader.text, begin);
    const std::int32_t index = LabelIndex(run, name, FindLabel(run.symbols, name));
    SourceModel& model = *run.model;
    ModelLabel& label = model.labels[static_cast<std::size_t>(index)];
    // A definition never ends at offset 0; a label met first in a use has
    // its definition still to come.
    if (label.definition.end.offset == 0) label.definition = SpanOf(run, begin, end);
    Current(run).label = index;
    Token(run, begin, end, common::TokenKind::Label);
}

void LabelUse(WordRun& run, const Word& name, std::size_t begin, const std::int32_t* value) {
    const std::size_t end = WordEnd(run.reader.text, begin);
    const std::int32_t index = LabelIndex(run, name, value);
    SourceModel& model = *run.model;
    const auto line = static_cast<std::int32_t>(run.modelCursor.lines - 1);
    model.labels[static_cast<std::size_t>(index)].uses.push_back({SpanOf(run, begin, end), line});
    Current(run).operandLabel = index;
    Token(run, begin, end, common::TokenKind::Label);
}

void ObjectWord(WordRun& run, std::int32_t address, std::int32_t word) {
    ModelLine& line = Current(run);
    if (line.wordCount == 0) TakeFlags(run, line);
    // The object line shows the low 16 bits of both.
    run.model->words.push_back({static_cast<std::uint16_t>(address), static_cast<std::uint16_t>(word)});
    ++line.wordCount;
}

void OperandValue(WordRun& run, std::int32_t value) { Current(run).operandValue = value; }

}  // namespace wordforge::model
