#pragma once
// The command-line mode of both programs: each SOURCE assembled on its own
// into the files asked for, one line per diagnostic on standard error, and an
// exit status for make, scripts and editors.
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/invocation.hpp"
#include "common/diagnostics.hpp"
#include "common/text_file.hpp"
#include "image/placed_word.hpp"

namespace cli {

// What an assembly hands over for memory images: the words of its object
// file, in its order, and the program's name for the images' comment lines,
// which an assembler may set to the program's title.
struct ImageWords {
    std::vector<image::PlacedWord> words;
    std::string name;
};

// The sinks of one assembly; a null sink is a file not written, a null
// `image` an assembly without images.
struct JobOutputs {
    common::OutputSink* listing = nullptr;
    common::OutputSink* object = nullptr;
    common::OutputSink* map = nullptr;
    // When set, receives what the dialogue shows on its console for the run
    // (placement messages, the end message); the command line shows none.
    std::string* console = nullptr;
    ImageWords* image = nullptr;
};

// Assembles the source into the sinks, recording diagnostics; returns true
// when the source had errors.
using Assembler = std::function<bool(std::string_view source, const JobOutputs& outputs,
                                     common::DiagnosticSink& diagnostics)>;

// Runs a whole command line; returns the exit status.
int RunCommandLine(const ProgramInfo& program, const Assembler& assemble, int argc, const char* const* argv,
                   std::FILE* in, std::FILE* out, std::FILE* err);

}  // namespace cli
