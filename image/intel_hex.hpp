#pragma once
// Intel HEX: data records of whole big-endian words, at most 16 data bytes
// each, type 04 records where the addresses pass FFFF, and the end record
// ":00000001FF". Only placed words appear.
#include <span>
#include <string>

#include "image/store.hpp"

namespace image {

// Record addresses count bytes (word address times bytes per word), as
// programmers and objcopy read them, or words, as FPGA memory
// initialisation reads them.
enum class HexAddressing { Bytes, Words };

std::string WriteIntelHex(const Store& store, std::span<const PlacedWord> words,
                          HexAddressing addressing = HexAddressing::Bytes);

}  // namespace image
