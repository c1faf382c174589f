#pragma once
// In-memory entry points of the two assemblers for the browser page: source
// bytes and options in, the program's output files, console text and
// diagnostics out. They run the command line's own assemblies; these only
// gather what a run leaves behind.
#include <string>
#include <string_view>
#include <vector>

#include "common/diagnostics.hpp"

namespace web {

// One file exactly as the program writes it. Its name is the source name
// followed by `extension`, as in the dialogue.
struct OutputFile {
    std::string kind;       // "listing", "object", "map"
    std::string extension;  // ".s", ".o", ".m", ".a", ".b"
    std::string bytes;
};

struct EntryOptions {
    // ctrlforge: the letters of an option answer; S, O and M choose the
    // listing, the object file and the map. wordforge has no options.
    std::string letters = "SOM";
};

struct EntryResult {
    std::vector<OutputFile> files;  // the files the run leaves, in the order shown
    std::string console;            // what the dialogue shows for the run
    bool failed = false;            // the source had errors
    // The errors and warnings the command line prints for the source when
    // no warning option is given, in its order.
    std::vector<common::Diagnostic> diagnostics;
};

EntryResult AssembleCtrlforge(std::string_view source, const EntryOptions& options);
EntryResult AssembleWordforge(std::string_view source, const EntryOptions& options);

}  // namespace web
