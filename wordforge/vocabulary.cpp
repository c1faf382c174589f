#include "wordforge/vocabulary.hpp"

#include "wordforge/encoders.hpp"
#include "wordforge/mnemonic_table.hpp"

namespace wordforge {

std::array<std::string_view, 44> Mnemonics() { return kMnemonicTable; }

std::array<std::string_view, 2> DeviceNames() { return kDeviceNames; }

}  // namespace wordforge
