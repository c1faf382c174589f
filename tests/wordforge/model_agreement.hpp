#pragma once
// Checks the source model of a run against the files the same run writes,
// which are defined independently of it:
// - asking for the model changes no byte of the listing or the object file,
//   and no diagnostic;
// - the model's lines are the listing's lines in order (a DS line one per
//   word), with the listing's flags, addresses, word columns and mnemonic
//   field; each line's span is the whole source line, and the listing's text
//   for the line is made of the span's characters;
// - the model's words are the object file's lines in order (a run with
//   errors keeps its object bytes in memory; only the meaningless word of a
//   DC in error is left out of the model);
// - the defined labels are the listing's label table, with its values; each
//   use's text is its label's name, and each defining line stands at the
//   label's address;
// - every place's line and column are those the diagnostics' line locator
//   gives, and the tokens are in source order, apart, each within a line
//   and of the text its kind says.
#include <string_view>

#include "wordforge/source_model.hpp"

namespace wordforge_test {

// With `kept`, the model filled is that one, whatever an earlier run left
// in it; otherwise a fresh one.
void ExpectModelAgrees(std::string_view source, wordforge::SourceModel* kept = nullptr);

}  // namespace wordforge_test
