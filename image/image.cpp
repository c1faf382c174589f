#include "image/image.hpp"

#include "image/bin.hpp"
#include "image/logisim.hpp"
#include "image/mif.hpp"
#include "image/readmem.hpp"

namespace image {

namespace {

constexpr FormatInfo kFormats[] = {
    {Format::Readmemh, "readmemh", ".mem"}, {Format::Readmemb, "readmemb", ".memb"},
    {Format::IntelHex, "intelhex", ".hex"}, {Format::Logisim, "logisim", ".img"},
    {Format::Mif, "mif", ".mif"},           {Format::Bin, "bin", ".bin"},
};

}  // namespace

std::span<const FormatInfo> Formats() { return kFormats; }

const FormatInfo* FindFormat(std::string_view name) {
    for (const FormatInfo& info : kFormats) {
        if (info.name == name) return &info;
    }
    return nullptr;
}

const FormatInfo& InfoOf(Format format) { return kFormats[static_cast<int>(format)]; }

std::string WriteImage(Format format, const Store& store, std::span<const PlacedWord> words,
                       HexAddressing addressing) {
    switch (format) {
        case Format::Readmemh: return WriteReadmemh(store, words);
        case Format::Readmemb: return WriteReadmemb(store, words);
        case Format::IntelHex: return WriteIntelHex(store, words, addressing);
        case Format::Logisim: return WriteLogisim(store, words);
        case Format::Mif: return WriteMif(store, words);
        case Format::Bin: return WriteBin(store, words);
    }
    return {};
}

std::string ImageFileName(std::string_view sourceName, Format format, std::optional<unsigned> lane) {
    std::string name(sourceName);
    if (lane) name += ".lane" + std::to_string(*lane);
    name += InfoOf(format).extension;
    return name;
}

}  // namespace image
