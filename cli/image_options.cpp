#include "cli/image_options.hpp"

#include <algorithm>

#include "image/lanes.hpp"

namespace cli {

namespace {

std::string FormatNames() {
    std::string names;
    for (const image::FormatInfo& info : image::Formats()) {
        if (!names.empty()) names += ", ";
        names += info.name;
    }
    return names;
}

}  // namespace

bool SettleImages(const ProgramInfo& program, const ImageArguments& given, ImageChoice& images,
                  std::string& problem) {
    images = ImageChoice{};
    images.fill = program.store.defaultFill;
    for (const std::string& name : given.formats) {
        const image::FormatInfo* info = image::FindFormat(name);
        if (info == nullptr) {
            problem = "unknown image format '" + name + "'; the formats are " + FormatNames();
            return false;
        }
        // Asking twice for one format asks for one image.
        if (std::find(images.formats.begin(), images.formats.end(), info->format) == images.formats.end()) {
            images.formats.push_back(info->format);
        }
    }
    if (given.fillGiven && !ReadFillWord(given.fill, program.store.wordBits, images.fill)) {
        problem = "--fill needs a word of at most " + std::to_string(program.store.wordBits) +
                  " bits in hexadecimal digits, not '" + given.fill + "'";
        return false;
    }
    if (given.lanesGiven) {
        if (given.lanes != "8") {
            problem = "--lanes takes only 8 (one image per 8-bit lane), not '" + given.lanes + "'";
            return false;
        }
        images.lanes = true;
    }
    images.wordAddresses = given.wordAddresses;
    if (images.formats.empty()) {
        // A modifier alone would silently write nothing.
        const char* alone = given.fillGiven ? "--fill" : given.lanesGiven ? "--lanes" : given.wordAddresses ? "--hex-word-addresses" : nullptr;
        if (alone != nullptr) {
            problem = std::string(alone) + " needs --image=FORMAT";
            return false;
        }
    }
    return true;
}

std::vector<ImagePart> ImageParts(const ProgramInfo& program, const ImageChoice& images) {
    const unsigned lanes = images.lanes ? image::LaneCount(program.store.wordBits) : 0;
    std::vector<ImagePart> parts;
    for (image::Format format : images.formats) {
        if (lanes == 0) parts.push_back({format, std::nullopt});
        for (unsigned lane = 0; lane < lanes; ++lane) parts.push_back({format, lane});
    }
    return parts;
}

// Hexadecimal digits, leading zeros allowed, of a value that fits in
// `bits` bits.
bool ReadFillWord(const std::string& text, unsigned bits, std::uint64_t& value) {
    if (text.empty()) return false;
    value = 0;
    for (char c : text) {
        unsigned digit;
        if (c >= '0' && c <= '9') {
            digit = static_cast<unsigned>(c - '0');
        } else if (c >= 'A' && c <= 'F') {
            digit = static_cast<unsigned>(c - 'A' + 10);
        } else if (c >= 'a' && c <= 'f') {
            digit = static_cast<unsigned>(c - 'a' + 10);
        } else {
            return false;
        }
        if ((value >> bits) != 0 || (value >> 60) != 0) return false;
        value = (value << 4) | digit;
    }
    return (value >> bits) == 0;
}

std::string DefaultFillDigits(const ProgramInfo& program) {
    std::string digits;
    for (unsigned shift = (program.store.wordBits + 3) / 4 * 4; shift >= 4; shift -= 4) {
        digits += "0123456789ABCDEF"[(program.store.defaultFill >> (shift - 4)) & 15u];
    }
    return digits;
}

}  // namespace cli
