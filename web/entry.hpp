#pragma once
// In-memory entry points of the two assemblers for the browser page: source
// bytes and options in, the program's output files, console text,
// diagnostics and, when asked for, the source model out. They run the command line's own assemblies and make its
// memory images; these only gather what a run leaves behind.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/diagnostics.hpp"
#include "ctrlforge/source_model.hpp"
#include "wordforge/source_model.hpp"

namespace web {

// One file exactly as the program writes it. Its name is the source name
// followed by `extension`, as in the dialogue and on the command line.
struct OutputFile {
    std::string kind;       // "listing", "object", "map", "image"
    std::string extension;  // ".s", ".o", ".m", ".a", ".b", ".mem", ".lane0.mem", ...
    std::string bytes;
    // Images only: the format's name ("readmemh") and the lane of a lane image.
    std::string format = {};
    std::optional<unsigned> lane = std::nullopt;
};

// The memory images asked for, as the command line's --image, --lanes=8,
// --fill and --hex-word-addresses ask for them.
struct EntryImages {
    std::vector<std::string> formats = {};  // format names; none: no images
    bool lanes = false;                     // one image per 8-bit lane
    std::string fill = {};                  // hexadecimal digits; empty: the program's default
    bool hexWordAddresses = false;          // Intel HEX addresses count words
};

struct EntryOptions {
    // ctrlforge: the files to write, the listing, the object file and the
    // map; wordforge always writes its listing and object file.
    bool listing = true;
    bool object = true;
    bool map = true;
    EntryImages images = {};
    // The source's name: wordforge's images name the program by it, as the
    // command line's do (ctrlforge's name it by its title).
    std::string sourceName = {};
    // Fill the program's source model (EntryResult), for the page's hover,
    // its go-to-definition and its pictures of the store.
    bool model = false;
};

struct EntryResult {
    // The files the run leaves, in the order shown: the program's own files,
    // then, for a run without errors only, the images in the command line's
    // order.
    std::vector<OutputFile> files;
    std::string console;            // what the dialogue shows for the run
    bool failed = false;            // the source had errors: the command line exits with 1
    // The errors and warnings the command line prints for the source when
    // no warning option is given, in its order.
    std::vector<common::Diagnostic> diagnostics;
    // Why the image options were refused, in the command line's words; the
    // run then makes no image.
    std::string imageProblem;
    // The source model of the run's program, when asked for; the other
    // program's stays empty. A run with errors has a model of what was read.
    ctrlforge::SourceModel ctrlforgeModel = {};
    wordforge::SourceModel wordforgeModel = {};
};

EntryResult AssembleCtrlforge(std::string_view source, const EntryOptions& options);
EntryResult AssembleWordforge(std::string_view source, const EntryOptions& options);

// What the page offers for a program's images.
struct ImageFacts {
    unsigned wordBits;        // 40, 16
    unsigned lanes;           // the lane images of one format: 5, 2
    std::string defaultFill;  // the fill when none is given, in a word's hexadecimal digits
};

ImageFacts CtrlforgeImageFacts();
ImageFacts WordforgeImageFacts();

}  // namespace web
