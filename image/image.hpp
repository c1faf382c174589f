#pragma once
// The image formats by name, for the command line and the browser build:
// each format's name and file extension, one call that writes any of them,
// and the names of image files.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "image/intel_hex.hpp"
#include "image/store.hpp"

namespace image {

enum class Format { Readmemh, Readmemb, IntelHex, Logisim, Mif, Bin };

struct FormatInfo {
    Format format;
    std::string_view name;       // as --image names it: "readmemh"
    std::string_view extension;  // ".mem"
};

// Every format, in the order above.
std::span<const FormatInfo> Formats();

// The format of that name, or none.
const FormatInfo* FindFormat(std::string_view name);
const FormatInfo& InfoOf(Format format);

// Writes the image; `addressing` matters to Intel HEX only.
std::string WriteImage(Format format, const Store& store, std::span<const PlacedWord> words,
                       HexAddressing addressing = HexAddressing::Bytes);

// The image file of a source: the whole source name, then ".lane<N>" for a
// lane image, then the format's extension ("fetch.mic.lane0.mem").
std::string ImageFileName(std::string_view sourceName, Format format, std::optional<unsigned> lane = {});

}  // namespace image
