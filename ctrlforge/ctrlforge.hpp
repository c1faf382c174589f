#pragma once
// The one way into ctrlforge: a microprogram's source bytes in; the listing,
// object file and map through the sinks chosen; diagnostics, the placed words
// and the source model through the collectors asked for; a small result out.
// The command line, the dialogue, the browser page, the language server,
// benchmarks and fuzzers all assemble through AssembleSource.
//
// A null sink is a file not chosen: nothing is written for it, exactly as the
// dialogue writes nothing to a file whose option letter is missing. A null
// collector is not filled and costs nothing.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/diagnostics.hpp"
#include "common/text_file.hpp"
#include "ctrlforge/source_model.hpp"
#include "image/placed_word.hpp"

namespace ctrlforge {

// The control store: 4096 words of 40 bits.
inline constexpr unsigned kControlWordBits = 40;
inline constexpr std::uint32_t kControlStoreWords = 4096;

// The word of a statement that names no field (every field at its
// no-operation value, LT 0): what unused control-store words should hold,
// since a zero word would decode as real operations and a branch to 0.
std::uint64_t EmptyControlWord();

struct Sinks {
    common::OutputSink* listing = nullptr;  // ".s"
    common::OutputSink* object = nullptr;   // ".o"
    common::OutputSink* map = nullptr;      // ".m"
};

// - diagnostics: every error and the warnings the sink keeps, in listing order;
// - placed: every packed word, in object-file order; a failed run adds none;
// - model: what the run learnt of the source (ctrlforge/source_model.hpp).
struct Collectors {
    common::DiagnosticSink* diagnostics = nullptr;
    std::vector<image::PlacedWord>* placed = nullptr;
    SourceModel* model = nullptr;
};

struct Result {
    bool failed = false;  // an error was reported
    // What the dialogue shows on the console for the run: placement
    // messages ("ADRS OVER"), then the end message between empty lines.
    std::string console;
    std::string title;    // the program's title without its padding; empty when refused
};

Result AssembleSource(std::string_view source, const Sinks& sinks, const Collectors& collect = {});

// For in-memory callers: the files chosen, kept in memory.
struct Files {
    bool listing = true;
    bool object = true;
    bool map = true;
};
struct CtrlOutput {
    std::string listing;
    std::string object;
    std::string map;
    std::string console;
    bool failed = false;
};
CtrlOutput AssembleText(std::string_view source, Files files = {}, const Collectors& collect = {});

}  // namespace ctrlforge
