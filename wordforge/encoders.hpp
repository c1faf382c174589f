#pragma once
// Operand syntax and encoding of the 39 machine instructions, group by group.
#include <array>
#include <cstdint>
#include <string_view>

#include "wordforge/word_run.hpp"

namespace wordforge {

// The device words of RIO and WIO, by device number: CR is device 0, LPT
// device 1.
inline constexpr std::array<std::string_view, 2> kDeviceNames = {"CR", "LPT"};

enum class EncodeOutcome {
    Encoded,      // the word is valid
    FormatError,  // flag F; the rest of the line is shown as read
    RangeError,   // flag L (displacement outside -128..127); the rest is shown
    DeviceError,  // flag F; only the device word or number read is shown
};

// Reads the operand of the machine instruction at the current character
// (echoing it into the listing line) and builds its 16-bit word.
EncodeOutcome EncodeInstruction(WordRun& run, int mnemonic, std::uint16_t& word);

// Fills columns 8-14 of the listing line with the split fields of the word:
// operation digit, modifier, register and operand byte.
void ShowWordFields(ListingLine& line, std::uint16_t word);

}  // namespace wordforge
