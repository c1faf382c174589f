#pragma once
// The memory-image options of the command line, as typed and as settled.
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

}  // namespace cli
