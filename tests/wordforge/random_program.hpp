#pragma once
// Random wordforge sources for checks that must hold on any input: lines of
// every instruction group and pseudo-instruction, right and wrong (bad
// registers and operands, undefined and repeated labels, displacements out
// of reach, unknown words, error lines), labels long and short, comments,
// blanks and tabs, lower case, the three kinds of line end, sometimes a
// TITLE prologue, sometimes no END or text after it. The same seed gives
// the same source.
#include <string>

namespace wordforge_test {

std::string RandomProgram(unsigned seed);

}  // namespace wordforge_test
