#pragma once
// The seam between a command line and its program's assembler: what one
// source's assembly writes and collects. The command line, the browser page
// and tests hand these to the program's adapter (cli/program_commands.hpp),
// which passes them on to the core's one entry.
#include <string>
#include <string_view>
#include <vector>

#include "common/diagnostics.hpp"
#include "common/text_file.hpp"
#include "ctrlforge/source_model.hpp"
#include "image/placed_word.hpp"
#include "wordforge/source_model.hpp"

namespace cli {

// What an assembly hands over for memory images: the words of its object
// file, in its order, and the program's name for the images' comment lines,
// which an assembler may set to the program's title.
struct ImageWords {
    std::vector<image::PlacedWord> words;
    std::string name;
};

struct JobOutputs {
    // The sinks; a null sink is a file not written.
    common::OutputSink* listing = nullptr;
    common::OutputSink* object = nullptr;
    common::OutputSink* map = nullptr;
    // The collectors; a null one is not filled.
    common::DiagnosticSink* diagnostics = nullptr;
    ImageWords* image = nullptr;
    // When set, receives what the dialogue shows on its console for the run
    // (placement messages, the end message); the command line shows none.
    std::string* console = nullptr;
    // What the run learnt of the source, for editors; each program fills
    // its own and leaves the other's alone.
    ctrlforge::SourceModel* ctrlforgeModel = nullptr;
    wordforge::SourceModel* wordforgeModel = nullptr;
};

// Assembles the source into the outputs; returns true when the source had
// errors.
using Assembler = bool (*)(std::string_view source, const JobOutputs& outputs);

}  // namespace cli
