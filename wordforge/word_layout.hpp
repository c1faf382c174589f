#pragma once
// The layout of the 16-bit instruction word, for the headers a hardware
// designer decodes main memory with: its fields, the operation, modifier
// and sub-code values that pick each mnemonic, and the mnemonic of every
// word as a table. Lines end with a line feed: the texts go to standard
// output.
#include <string>

namespace wordforge {

std::string InstructionWordVerilog();
std::string InstructionWordC();

}  // namespace wordforge
