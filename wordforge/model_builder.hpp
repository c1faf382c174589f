#pragma once
// Filling the source model (wordforge/source_model.hpp) from the places in
// pass 2 where each fact is found: a line's start and end in the statement
// loop and the title prologue, a word where it goes to the object file, a
// label where it is defined or looked up, a token where its reader reads it.
//
// Each hook below is one test of the run's model pointer; a run without a
// model does nothing more and allocates nothing. The work is done out of
// line, so that the readers' hot paths stay as they are.
//
// Places are taken from the line being modelled: no token spans a line end,
// so a token's line is the line's number and its column its distance from
// the line's start, which is what the diagnostics' line locator finds.
#include <cstddef>
#include <cstdint>

#include "common/source_model.hpp"
#include "wordforge/source_model.hpp"
#include "wordforge/word_run.hpp"

namespace wordforge {

// How the statement loop (and the title prologue) told the line apart by its
// first character after the blanks.
enum class LineOpening : std::uint8_t {
    Statement,  // a letter
    Comment,    // ";"
    Other,      // anything else: an error line
};

namespace model {

void Prepare(WordRun& run);
void Finish(WordRun& run);
void LineStart(WordRun& run);
void LineEnd(WordRun& run, LineOpening opening);
void PrologueLineEnd(WordRun& run, LineOpening opening);
void Token(WordRun& run, std::size_t begin, std::size_t end, common::TokenKind kind);
void WordToken(WordRun& run, std::size_t begin, common::TokenKind kind);
void Comment(WordRun& run);
void CommentInRest(WordRun& run);
void Mnemonic(WordRun& run, const Word& word, int mnemonic, std::size_t begin);
void LabelDefinition(WordRun& run, const Word& name, std::size_t begin);
void LabelUse(WordRun& run, const Word& name, std::size_t begin, const std::int32_t* value);
void ObjectWord(WordRun& run, std::int32_t address, std::int32_t word);
void OperandValue(WordRun& run, std::int32_t value);

}  // namespace model

// Before pass 2: the model emptied and its room reserved from what pass 1
// counted (lines, labels).
inline void ModelPrepare(WordRun& run) {
    if (run.model != nullptr) model::Prepare(run);
}

// After pass 2: lines left from an earlier, longer run are dropped.
inline void ModelFinish(WordRun& run) {
    if (run.model != nullptr) model::Finish(run);
}

// At the start of a line, before its first character is read: the reader's
// position is the line's first byte and its line counter the line's number.
inline void ModelLineStart(WordRun& run) {
    if (run.model != nullptr) model::LineStart(run);
}

// When the statement loop has read the line to its end, before the listing
// line is written: its span, kind, flags, address and fields.
inline void ModelLineEnd(WordRun& run, LineOpening opening) {
    if (run.model != nullptr) model::LineEnd(run, opening);
}

// The same for the comment lines and the TITLE line of the title prologue,
// which take no address and have no listing line of the loop's kind.
inline void ModelPrologueLineEnd(WordRun& run, LineOpening opening) {
    if (run.model != nullptr) model::PrologueLineEnd(run, opening);
}

// A token from `begin` up to, not including, `end`; an empty one is left out.
inline void ModelSpanToken(WordRun& run, std::size_t begin, std::size_t end, common::TokenKind kind) {
    if (run.model != nullptr) model::Token(run, begin, end, kind);
}

// A token from `begin` up to the reader's current character (where the
// reader that read it stopped); an empty one is left out.
inline void ModelTokenToHere(WordRun& run, std::size_t begin, common::TokenKind kind) {
    if (run.model != nullptr) model::Token(run, begin, CurrentOffset(run.reader), kind);
}

// A token over the word of letters and digits that begins at `begin`, all
// of it, also beyond the 8 characters a word keeps.
inline void ModelWordToken(WordRun& run, std::size_t begin, common::TokenKind kind) {
    if (run.model != nullptr) model::WordToken(run, begin, kind);
}

// The current character is the ";" of a comment that runs to the line end.
inline void ModelComment(WordRun& run) {
    if (run.model != nullptr) model::Comment(run);
}

// The rest of the line is shown as read after an error: a ";" in it still
// begins a comment.
inline void ModelCommentInRest(WordRun& run) {
    if (run.model != nullptr) model::CommentInRest(run);
}

// The statement's mnemonic word, read at `begin` and looked up.
inline void ModelMnemonic(WordRun& run, const Word& word, int mnemonic, std::size_t begin) {
    if (run.model != nullptr) model::Mnemonic(run, word, mnemonic, begin);
}

// The line defines the label whose name begins at `begin`.
inline void ModelLabelDefined(WordRun& run, const Word& name, std::size_t begin) {
    if (run.model != nullptr) model::LabelDefinition(run, name, begin);
}

// An operand names the label at `begin`; `value` is what the label table
// holds for it, nullptr for an undefined label.
inline void ModelLabelUsed(WordRun& run, const Word& name, std::size_t begin, const std::int32_t* value) {
    if (run.model != nullptr) model::LabelUse(run, name, begin, value);
}

// A word written to the object file.
inline void ModelObjectWord(WordRun& run, std::int32_t address, std::int32_t word) {
    if (run.model != nullptr) model::ObjectWord(run, address, word);
}

// The value of the line's operand, read whole.
inline void ModelOperandValue(WordRun& run, std::int32_t value) {
    if (run.model != nullptr) model::OperandValue(run, value);
}

}  // namespace wordforge
