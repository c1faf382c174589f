#pragma once
// What one command line asks for, once its arguments are read: the sources,
// which files to write and where, and how to treat warnings.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "image/image.hpp"

namespace cli {

// The kinds of file an assembly writes; each program uses some of them.
enum class OutputKind : std::uint8_t { Listing, Object, Map, Image };

struct OutputChoice {
    bool chosen = false;
    std::string name;  // named by an option ("-" is standard output); empty: the default name
};

// A warning a program knows, and whether it is on without being asked for.
struct WarningInfo {
    std::string_view name;
    bool onByDefault;
};

struct WarningSettings {
    bool silenced = false;  // -w
    bool asErrors = false;  // -Werror
    std::vector<std::string> enabled;  // the names that end up on
};

// The memory images asked for with --image, and how to write them.
struct ImageChoice {
    std::vector<image::Format> formats;  // each once, in the order first asked for
    std::uint64_t fill = 0;              // the word of unused addresses in dense images
    bool lanes = false;                  // --lanes=8: one image per 8-bit lane instead
    bool wordAddresses = false;          // --hex-word-addresses
};

// How diagnostics are printed, as the -fdiagnostics-... options choose.
enum class When : std::uint8_t { Auto, Always, Never };
struct DiagnosticChoice {
    When color = When::Auto;  // -fdiagnostics-color=
    When caret = When::Auto;  // -f[no-]diagnostics-show-caret
    bool json = false;        // -fdiagnostics-format=json
};

struct Invocation {
    std::vector<std::string> sources;
    std::string outputDir;
    OutputChoice listing, object, map;
    WarningSettings warnings;
    ImageChoice images;
    DiagnosticChoice diagnostics;
};

// The memory a program's words are loaded into.
struct StoreInfo {
    unsigned wordBits = 0;         // 40, 16
    std::uint32_t depth = 0;       // 4096, 65536
    std::uint64_t defaultFill = 0; // the fill when --fill is not given
};

// A header that --word-layout=KIND prints.
struct WordLayout {
    std::string_view kind;   // "verilog"
    std::string (*text)();
};

// How a program is presented on its command line.
struct ProgramInfo {
    std::string_view name;            // "ctrlforge"
    std::string_view summary;         // the first line of --help
    bool hasMap;                      // ctrlforge writes a map and chooses its files
    std::string_view listingExtension, objectExtension, mapExtension;
    std::vector<WarningInfo> warnings;
    StoreInfo store;
    std::vector<WordLayout> wordLayouts;  // none: the program has no --word-layout
};

enum ExitStatus : int { kSuccess = 0, kSourceErrors = 1, kFailure = 2 };

}  // namespace cli
