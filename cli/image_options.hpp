#pragma once
// The memory-image options of the command line, as typed and as settled,
// and the images a settled choice asks for. Free of the argument parser, so
// in-memory callers (the browser page) settle their options here too.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "cli/invocation.hpp"

namespace cli {

// The image options as the parser read them, before they are checked.
struct ImageArguments {
    std::vector<std::string> formats;  // each --image=FORMAT
    std::string fill;                  // --fill=HEX
    bool fillGiven = false;
    std::string lanes;                 // --lanes=N
    bool lanesGiven = false;
    bool wordAddresses = false;        // --hex-word-addresses
};

// Checks the image options and fills in `images`. Returns false, with the
// complaint in `problem`, for an unknown format, a fill that is no word of
// the program's width, lanes other than 8, or a modifier without --image.
bool SettleImages(const ProgramInfo& program, const ImageArguments& given, ImageChoice& images,
                  std::string& problem);

// One image a choice asks for: a format's whole image, or one lane of it.
struct ImagePart {
    image::Format format;
    std::optional<unsigned> lane;
};

// The images of a settled choice, in the order they are written: each
// format in the order asked for, its whole image or its lanes in lane order.
std::vector<ImagePart> ImageParts(const ProgramInfo& program, const ImageChoice& images);

// Hexadecimal digits, leading zeros allowed, of a word that fits in `bits`
// bits: what --fill takes.
bool ReadFillWord(const std::string& text, unsigned bits, std::uint64_t& value);

// The program's fill when none is given, in as many hexadecimal digits as a
// word has ("FFFFFFFE00").
std::string DefaultFillDigits(const ProgramInfo& program);

}  // namespace cli
