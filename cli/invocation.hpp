#pragma once
// What one command line asks for, once its arguments are read: the sources,
// which files to write and where, and how to treat warnings.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

// The kinds of file an assembly writes; each program uses some of them.
enum class OutputKind : std::uint8_t { Listing, Object, Map };

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

struct Invocation {
    std::vector<std::string> sources;
    std::string outputDir;
    OutputChoice listing, object, map;
    WarningSettings warnings;
};

// How a program is presented on its command line.
struct ProgramInfo {
    std::string_view name;            // "ctrlforge"
    std::string_view summary;         // the first line of --help
    bool hasMap;                      // ctrlforge writes a map and chooses its files
    std::string_view listingExtension, objectExtension, mapExtension;
    std::vector<WarningInfo> warnings;
};

enum ExitStatus : int { kSuccess = 0, kSourceErrors = 1, kFailure = 2 };

}  // namespace cli
