#pragma once
// In-memory entry points of the two assemblers for the browser page: source
// bytes and options in, the program's output files and console text out.
// The cores do all the work; these only gather what a run leaves behind.
#include <string>
#include <string_view>
#include <vector>

namespace web {

// One file exactly as the program writes it. Its name is the source name
// followed by `extension`, as in the dialogue.
struct OutputFile {
    std::string kind;       // "listing", "object", "map"
    std::string extension;  // ".s", ".o", ".m", ".a", ".b"
    std::string bytes;
};

// One error or warning, at the place in the source where it was found.
struct Diagnostic {
    int line = 0;    // from 1
    int column = 0;  // byte within the line, from 1
    std::string severity;  // "error" or "warning"
    std::string code;      // "E3", "F", "L", "D"
    std::string message;
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
    std::vector<Diagnostic> diagnostics;
};

EntryResult AssembleCtrlforge(std::string_view source, const EntryOptions& options);
EntryResult AssembleWordforge(std::string_view source, const EntryOptions& options);

}  // namespace web
