#include "ctrlforge/model_builder.hpp"

#include "ctrlforge/source_reader.hpp"
#include "ctrlforge/tokens.hpp"

namespace ctrlforge {

namespace {

common::TokenKind KindOf(std::uint8_t code) {
    using common::TokenKind;
    switch (code) {
        case TokPlus: case TokMinus: case TokDollar: case TokAt: case KwAND: case KwOR: case KwXOR:
        case KwSLL: case KwSRL: case KwSLA: case KwSRA: case KwSNX: case KwSWP: case KwNSH:
        case TokColon: case TokAssign: case TokEqual:
            return TokenKind::Operator;
        case TokNumber: return TokenKind::Number;
        case TokIdent: return TokenKind::Label;
        case TokTitle: case TokEnd: return TokenKind::Directive;
        case TokStar: return TokenKind::Star;
        case TokSemicolon: return TokenKind::Comment;
        case KwR0: case KwR1: case KwR2: case KwR3: case KwR4: case KwR5: case KwR6: case KwR7:
        case KwRA: case KwRAP: case KwRB: case KwRBP: case KwPC: case KwIO: case KwMM: case KwIR: case KwFSR:
        case KwZERO: case KwLBUS: case KwRBUS: case TokC:
            return TokenKind::Register;
        case KwZER: case KwNEG: case KwCRY: case KwCZ:
            return TokenKind::Condition;
        default:
            return TokenKind::Keyword;
    }
}

common::SourcePlace PlaceOf(CtrlRun& run, std::size_t offset) {
    const common::Place place = common::Locate(run.modelState.locator, offset);
    return {static_cast<std::uint32_t>(offset), place.line, place.column};
}

// The place `offset` on the same line as `known`, at or after it.
common::SourcePlace LaterOnLine(const common::SourcePlace& known, std::size_t offset) {
    return {static_cast<std::uint32_t>(offset), known.line,
            known.column + static_cast<std::int32_t>(offset - known.offset)};
}

// Where the line holding `offset` ends: its first line-end byte, or the end
// of what the reader reads (the text, cut at a byte 26).
std::size_t LineEnd(const CtrlRun& run, std::size_t offset) {
    const std::string_view text = run.source;
    while (offset < text.size() && text[offset] != '\r' && text[offset] != '\n' &&
           static_cast<unsigned char>(text[offset]) != kEndOfFile) {
        ++offset;
    }
    return offset;
}

std::string Trimmed(const Name& name) {
    std::string_view text(name.data(), name.size());
    return std::string(text.substr(0, text.find_last_not_of(' ') + 1));
}

// The model's label of that name, added when the name is new.
ModelLabel& LabelNamed(CtrlRun& run, const Name& name, std::int32_t* index = nullptr) {
    SourceModel& model = *run.model;
    const std::int32_t next = static_cast<std::int32_t>(model.labels.size());
    const common::NameLookup found =
        common::FindOrAddName(run.modelState.labels, common::PaddedNameKey(name.data(), ' '), next);
    if (found.added) {
        model.labels.emplace_back();
        model.labels.back().name = Trimmed(name);
    }
    if (index != nullptr) *index = *found.value;
    return model.labels[static_cast<std::size_t>(*found.value)];
}

std::int32_t LabelIndexOf(CtrlRun& run, std::int32_t entry) {
    std::int32_t index = -1;
    LabelNamed(run, run.labels[static_cast<std::size_t>(entry)].name, &index);
    return index;
}

std::uint8_t ClassOf(LabelUse use) {
    switch (use) {
        case LabelUse::Ira: return IraTarget;
        case LabelUse::Iop: return IopTarget;
        case LabelUse::Iab: return IabTarget;
        default: return BranchTarget;
    }
}

}  // namespace

void ModelTokenRead(CtrlRun& run) {
    SourceModel& model = *run.model;
    if (model.tokens.empty()) model.tokens.reserve(run.source.size() / 4);
    ModelState& state = run.modelState;
    const std::size_t begin = run.tokenStart;
    const common::SourcePlace start = PlaceOf(run, begin);
    common::SourcePlace end;
    if (run.TokenCode == TokSemicolon) {
        // The comment runs to the end of its line, which the reader has passed.
        end = LaterOnLine(start, LineEnd(run, begin));
        model.comments.push_back({start, end});
    } else {
        // No token holds a line end: it ends on the line it begins on.
        end = LaterOnLine(start, CurCharOffset(run));
        state.priorEnd = state.lastEnd;
        state.lastEnd = end.offset;
    }
    model.tokens.push_back({{start, end}, KindOf(run.TokenCode)});
}

void ModelIgnoredLine(CtrlRun& run) {
    const common::SourcePlace start = PlaceOf(run, run.tokenStart);
    const common::SourcePlace end = LaterOnLine(start, LineEnd(run, run.tokenStart));
    run.model->comments.push_back({start, end});
    run.model->tokens.push_back({{start, end}, common::TokenKind::Comment});
}

void ModelTitleRead(CtrlRun& run) {
    SourceModel& model = *run.model;
    model.title = Trimmed(run.TokenName);
    model.titleSpan = model.tokens.back().span;
    model.tokens.back().kind = common::TokenKind::Title;
}

void ModelConditionRead(CtrlRun& run) { run.model->tokens.back().kind = common::TokenKind::Condition; }

void ModelStatementBegins(CtrlRun& run) {
    SourceModel& model = *run.model;
    // Room for a full control store at once: a statement is large to move.
    if (model.statements.empty()) model.statements.reserve(kLastAddress + 1);
    model.statements.emplace_back();
    ModelStatement& statement = model.statements.back();
    const common::SourceSpan star = model.tokens.back().span;
    statement.span.begin = star.begin;
    statement.heading = {star.begin, LaterOnLine(star.begin, LineEnd(run, star.begin.offset))};
}

void ModelStatementEnds(CtrlRun& run) {
    SourceModel& model = *run.model;
    ModelStatement& statement = model.statements.back();
    const MicroWord& word = run.CurrentWord();
    // The current token is the first one after the statement, unless the
    // source has ended: the statement's last token ends at the end before.
    const std::size_t last = run.TokenCode == TokEof ? run.modelState.lastEnd : run.modelState.priorEnd;
    std::size_t end = LineEnd(run, last);
    if (end < statement.heading.end.offset) end = statement.heading.end.offset;
    // The line of the statement's last token: found among the tokens read,
    // from the newest back, so that no place is located twice.
    common::SourcePlace onLine = statement.heading.end;
    for (std::size_t i = model.tokens.size(); i-- > 0;) {
        const common::SourcePlace& tokenEnd = model.tokens[i].span.end;
        if (tokenEnd.offset <= end && tokenEnd.offset >= statement.span.begin.offset) {
            onLine = tokenEnd;
            break;
        }
    }
    statement.span.end = end >= onLine.offset ? LaterOnLine(onLine, end) : statement.heading.end;
    statement.inError = run.StatementError;
    statement.addressGiven = word.addressGiven;
    statement.headingAddress = word.address;
}

void ModelLabelDefined(CtrlRun& run) {
    const std::int32_t statement = static_cast<std::int32_t>(run.model->statements.size()) - 1;
    ModelLabel& label = LabelNamed(run, run.TokenName);
    label.defined = true;
    label.definition = run.model->tokens.back().span;
    label.statement = statement;
}

void ModelLabelUsed(CtrlRun& run, LabelUse use) {
    const std::int32_t statement = static_cast<std::int32_t>(run.model->statements.size()) - 1;
    LabelNamed(run, run.TokenName).uses.push_back({run.model->tokens.back().span, use, statement});
}

void ModelWordPacked(CtrlRun& run, std::size_t index, const MicroWord& word, const PackedWord& packed,
                     std::string_view cells) {
    if (index >= run.model->statements.size()) return;
    ModelStatement& statement = run.model->statements[index];
    statement.packed = true;
    statement.word = ControlWordBits(packed);
    const std::uint16_t codes[kWordFields] = {word.LB, word.RB, word.AL, word.SH, word.SB,
                                              word.MM, word.SQ, word.TS, word.EX, word.LT};
    for (std::size_t f = 0; f < kWordFields; ++f) {
        const FieldBits& bits = kFieldBits[f];
        ModelField& field = statement.fields[f];
        field.code = codes[f];
        field.bits = static_cast<std::uint16_t>((statement.word >> bits.low) & ((1u << (bits.high - bits.low + 1)) - 1));
        std::string_view cell = cells.substr(4 * f, 4);
        const std::size_t first = cell.find_first_not_of(' ');
        cell = first == std::string_view::npos ? std::string_view() : cell.substr(first, cell.find_last_not_of(' ') + 1 - first);
        field.cell.fill('\0');
        for (std::size_t i = 0; i < cell.size() && i < field.cell.size(); ++i) field.cell[i] = cell[i];
    }
}

void ModelRunEnds(CtrlRun& run) {
    SourceModel& model = *run.model;
    const std::size_t count = std::min(model.statements.size(), run.words.size());
    for (std::size_t k = 0; k < count; ++k) {
        const MicroWord& word = run.words[k];
        ModelStatement& statement = model.statements[k];
        statement.placementClass = word.labelClass;
        if (k < run.placedWords) statement.address = word.address;
        if (word.label != kNone) statement.label = LabelIndexOf(run, word.label);
        if (word.refState == Resolved && word.target != kNone) {
            statement.target = LabelIndexOf(run, word.target);
            const std::size_t targetWord = static_cast<std::size_t>(run.labels[static_cast<std::size_t>(word.target)].word);
            if (targetWord < run.placedWords) statement.targetAddress = run.words[targetWord].address;
        }
    }
    for (ModelLabel& label : model.labels) {
        if (label.defined && label.statement >= 0 && static_cast<std::size_t>(label.statement) < count) {
            const ModelStatement& statement = model.statements[static_cast<std::size_t>(label.statement)];
            label.address = statement.address;
            label.placementClass = statement.placementClass;
        } else {
            std::uint8_t asked = Labelled;
            for (const ModelLabelUse& use : label.uses) asked = std::max(asked, ClassOf(use.clause));
            label.placementClass = asked;
        }
    }
}

}  // namespace ctrlforge
