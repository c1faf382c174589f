#pragma once
// Reading words back on the command line: --explain WORD, --decode (ctrlforge)
// or --disassemble (wordforge) FILE..., and --compare=IMAGE SOURCE. The cores
// decode and compare; this reads the files, checks what was typed and
// prints.
#include <cstdio>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/image_options.hpp"
#include "cli/invocation.hpp"

namespace cli {

// --explain WORD: the word in exactly the program's number of hexadecimal
// digits, explained on `out`. Returns false, with the complaint in
// `problem`, for anything but such a word.
bool ExplainCommand(const ProgramInfo& program, const std::string& digits, std::ostream& out, std::string& problem);

// The read-back options as the parser read them.
struct ReadBackArguments {
    bool decode = false;               // --decode, --disassemble
    bool style = false;                // --as-source, --annotate
    std::vector<std::string> compare;  // each --compare=IMAGE
    std::string format;                // --image-format=NAME
    bool formatGiven = false;

    bool Asked() const { return decode || style || !compare.empty() || formatGiven; }
};

// Checks the read-back options and fills in invocation.readBack. The image
// options give --fill and --hex-word-addresses; `fileOption` names an option
// given that writes files (the listing, an image, ...), or is empty: a
// read-back writes none. Returns false, with the complaint in `problem`.
bool SettleReadBack(const ProgramInfo& program, const ReadBackArguments& given, const ImageArguments& image,
                    std::string_view fileOption, Invocation& invocation, std::string& problem);

// Decodes the images or compares one with the source; returns the exit
// status: 0 done (the image holds the source's words), 1 words left as
// comments (the image differs), 2 a file that could not be read.
int RunReadBack(const ProgramInfo& program, const Invocation& invocation, std::FILE* in, std::FILE* out,
                std::FILE* err);

}  // namespace cli
