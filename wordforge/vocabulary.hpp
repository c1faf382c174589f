#pragma once
// The words of the assembly language, for the tools around the assembler:
// the editors' highlighters are checked against them, and the language
// server completes them.
#include <array>
#include <string_view>

namespace wordforge {

// The 44 mnemonics in their binding order: machine instructions first, then
// DC, DS, ORG, TITLE and END.
std::array<std::string_view, 44> Mnemonics();

// The device words of RIO and WIO, by device number: CR is 0, LPT 1.
std::array<std::string_view, 2> DeviceNames();

}  // namespace wordforge
