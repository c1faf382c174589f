#pragma once
// One whole assembly from source bytes to listing and object text.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/diagnostics.hpp"
#include "common/text_file.hpp"
#include "image/placed_word.hpp"

namespace wordforge {

// The main memory the object file's words load into.
inline constexpr unsigned kMemoryWordBits = 16;
inline constexpr std::uint32_t kMemoryWords = 65536;

// Runs pass 1 and pass 2 over the source and writes the listing and the
// object file through the two sinks. Returns the run's error count.
// What a caller may collect from a run besides its files:
// - diagnostics: every error flag (and warning), in listing order;
// - placed: the object file's words in object-file order; a run with errors,
//   which loses its object file, adds none.
struct Collectors {
    common::DiagnosticSink* diagnostics = nullptr;
    std::vector<image::PlacedWord>* placed = nullptr;
};
std::int32_t AssembleSource(std::string_view source, common::OutputSink& listing,
                            common::OutputSink& object, const Collectors& collect = {});

struct WordResult {
    std::string listing;
    std::string object;
    std::int32_t errorCount = 0;
};

// The same with both outputs kept in memory.
WordResult AssembleText(std::string_view source, const Collectors& collect = {});

}  // namespace wordforge
