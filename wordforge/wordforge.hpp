#pragma once
// The one way into wordforge: an assembly source's bytes in; the listing and
// object file through the sinks; diagnostics, the placed words and the source
// model through the collectors asked for; a small result out. The command
// line, the dialogue, the browser page, the language server, benchmarks and
// fuzzers all assemble through AssembleSource.
//
// Both passes always run and both files are always written; a null sink
// drops its file's bytes. A null collector is not filled and costs nothing.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/diagnostics.hpp"
#include "common/text_file.hpp"
#include "image/placed_word.hpp"
#include "wordforge/source_model.hpp"

namespace wordforge {

// The main memory the object file's words load into.
inline constexpr unsigned kMemoryWordBits = 16;
inline constexpr std::uint32_t kMemoryWords = 65536;

struct Sinks {
    common::OutputSink* listing = nullptr;  // ".a"
    common::OutputSink* object = nullptr;   // ".b"
};

// - diagnostics: every error flag and the warnings the sink keeps, in
//   listing order;
// - placed: the object file's words in object-file order; a run with errors,
//   which loses its object file, adds none;
// - model: what the run learnt of the source (wordforge/source_model.hpp),
//   emptied first (its vectors keep their room) and filled whether the run
//   has errors or not.
struct Collectors {
    common::DiagnosticSink* diagnostics = nullptr;
    std::vector<image::PlacedWord>* placed = nullptr;
    SourceModel* model = nullptr;
};

struct Result {
    bool failed = false;           // the error count is above zero
    std::int32_t errorCount = 0;   // as the listing's summary counts them
    std::string console;           // the end message the dialogue shows, with the empty line after it
    std::string title;             // the TITLE word of a source that begins with one
};

Result AssembleSource(std::string_view source, const Sinks& sinks, const Collectors& collect = {});

// For in-memory callers: both files kept in memory.
struct WordResult {
    std::string listing;
    std::string object;
    std::int32_t errorCount = 0;
};
WordResult AssembleText(std::string_view source, const Collectors& collect = {});

}  // namespace wordforge
