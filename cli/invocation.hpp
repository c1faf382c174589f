#pragma once
// What one command line asks for, once its arguments are read: the sources,
// which files to write and where, and how to treat warnings.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/diagnostics.hpp"
#include "common/text_file.hpp"
#include "image/compare.hpp"
#include "image/image.hpp"
#include "image/placed_word.hpp"

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

// What --decode (--disassemble) and --compare ask for; the sources of the
// invocation are then the image files to decode, or the one source to
// compare with.
enum class ReadBackMode : std::uint8_t { None, Decode, Compare };
struct ReadBack {
    ReadBackMode mode = ReadBackMode::None;
    bool style = false;                       // --as-source, --annotate
    std::string format;                       // --image-format, or empty to detect it
    std::vector<std::string> images;          // --compare=IMAGE, each one (lane files of one image)
    std::optional<std::uint64_t> fill;        // --fill
    bool wordAddresses = false;               // --hex-word-addresses: Intel HEX read at word addresses
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
    ReadBack readBack;
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

// How a program reads its words back (cli/decode_commands.hpp), through
// its core.
struct ComparedImage {
    bool assembled = false;  // false: the source has errors; nothing compared
    image::WordComparison words;
    std::vector<std::string> notes;  // for each difference, what it adds after the words (the fields that differ)
};
struct WordReading {
    unsigned hexDigits = 0;                  // of a word: 10, 4
    std::string (*explain)(std::uint64_t word) = nullptr;
    std::string_view decodeOption;           // "decode", "disassemble"
    std::string_view styleOption;            // "as-source", "annotate"
    std::string_view decodeHelp, styleHelp;  // their lines in --help
    std::string_view statusHelp;             // what --help says of the decode option's exit status
    // Writes the text of the decode option for an image to `out`: `style`
    // when the style option is given; the title an object file names, if
    // any. Returns the number of words it leaves as comments.
    std::size_t (*decode)(std::span<const image::PlacedWord> words, bool style, const std::optional<std::string>& title,
                          common::OutputSink& out) = nullptr;
    bool alwaysSource = false;               // the decode option writes source without the style option too
    ComparedImage (*compare)(std::string_view source, std::span<const image::PlacedWord> image, std::uint64_t fill,
                             common::DiagnosticSink* diagnostics) = nullptr;
    // A word as a comparison line shows it: its hex digits, and what it is.
    std::string (*word)(std::uint64_t word) = nullptr;
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
    WordReading reading;
};

enum ExitStatus : int { kSuccess = 0, kSourceErrors = 1, kFailure = 2 };

}  // namespace cli
