#pragma once
// Reading words back on the command line. The cores decode; this only
// checks what was typed and prints.
#include <ostream>
#include <string>

#include "cli/invocation.hpp"

namespace cli {

// --explain WORD: the word in exactly the program's number of hexadecimal
// digits, explained on `out`. Returns false, with the complaint in
// `problem`, for anything but such a word.
bool ExplainCommand(const ProgramInfo& program, const std::string& digits, std::ostream& out, std::string& problem);

}  // namespace cli
