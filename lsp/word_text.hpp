#pragma once
// The words of a statement or line as text, the way the object files write
// them: upper-case hexadecimal of fixed width.
#include <cstdint>
#include <string>

#include "ctrlforge/source_model.hpp"
#include "wordforge/source_model.hpp"

namespace lsp {

std::string HexDigits(std::uint64_t value, int digits);
std::string BinaryDigits(std::uint64_t value, unsigned bits);

// "@001 321CFFE000": a packed statement's address and word; empty for a
// statement that has none.
std::string StatementWordText(const ctrlforge::ModelStatement& statement);

// "@0003 0B01", "@000E 0000 0000" (DS 2), "@0020 0000 … (256 words)":
// a line's address and words; empty for a line without words.
std::string LineWordsText(const wordforge::SourceModel& model, const wordforge::ModelLine& line);

// The words alone: "0000 0000".
std::string WordsText(const wordforge::SourceModel& model, const wordforge::ModelLine& line);

}  // namespace lsp
