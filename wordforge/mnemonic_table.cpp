#include "wordforge/mnemonic_table.hpp"

#include <cstdint>

namespace wordforge {

namespace {

// An open-addressing table of the packed names, built at compile time.
constexpr std::size_t kSlotCount = 128;

struct MnemonicSlot {
    std::uint64_t key = 0;  // 0 marks a free slot; no name packs to 0
    int index = kNoMnemonic;
};

constexpr std::size_t SlotOf(std::uint64_t key) {
    return static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ull) >> 57);
}

constexpr std::array<MnemonicSlot, kSlotCount> HashedMnemonics() {
    std::array<MnemonicSlot, kSlotCount> slots{};
    for (int i = 0; i < kMnemonicCount; ++i) {
        std::uint64_t key = PackName(kMnemonicTable[static_cast<std::size_t>(i)]);
        std::size_t slot = SlotOf(key);
        while (slots[slot].key != 0) slot = (slot + 1) % kSlotCount;
        slots[slot] = {key, i};
    }
    return slots;
}

constexpr std::array<MnemonicSlot, kSlotCount> kHashedMnemonics = HashedMnemonics();

}  // namespace

int LookUpMnemonic(const Word& word) {
    if (word.length == 0) return kNoMnemonic;
    for (std::size_t slot = SlotOf(word.key); kHashedMnemonics[slot].key != 0; slot = (slot + 1) % kSlotCount) {
        if (kHashedMnemonics[slot].key == word.key) return kHashedMnemonics[slot].index;
    }
    return kNoMnemonic;
}

}  // namespace wordforge
