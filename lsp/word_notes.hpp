#pragma once
// One line on each word of the two languages, as the guides describe it:
// what hover shows on a keyword or mnemonic and what completion shows beside
// each item.
#include <string_view>

namespace lsp {

// The note on a word of the microprogram language (a keyword, "C", an
// operator such as ":=" or "$", ".TITLE", ".END", "*"), upper case; empty
// for any other text.
std::string_view MicroprogramNote(std::string_view word);

// The note on a mnemonic or device word of the assembly language, upper
// case; empty for any other word.
std::string_view AssemblyNote(std::string_view word);

}  // namespace lsp
