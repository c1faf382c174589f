// The formats the reader takes, by name, by the extension of a file's name
// and by the look of its content; and the lane a file's name gives.
#include "image/read_support.hpp"
#include "image/reader.hpp"

namespace image {

namespace {

constexpr ReadFormat kReadFormats[] = {ReadFormat::Readmemh, ReadFormat::Readmemb, ReadFormat::IntelHex,
                                       ReadFormat::Logisim,  ReadFormat::Mif,      ReadFormat::Bin,
                                       ReadFormat::Object};

// The writers' formats come first, in image::Format's order.
Format AsFormat(ReadFormat format) { return static_cast<Format>(static_cast<int>(format)); }

std::string_view Extension(std::string_view name) {
    const std::size_t slash = name.find_last_of("/\\");
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) return {};
    return name.substr(dot);
}

// Bytes that text holds: printable ASCII, white space, and anything of
// 0x80 and above (UTF-8 in comments). Control characters make it binary.
bool LooksLikeText(std::string_view bytes) {
    for (char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 && c != '\n' && !read::IsBlank(c)) return false;
        if (byte == 0x7F) return false;
    }
    return true;
}

std::string_view FirstLine(std::string_view bytes) {
    std::string_view line = bytes.substr(0, bytes.find('\n'));
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return line;
}

// The first line that is not blank once the comment that `comment` starts
// is cut off (none when `comment` is 0).
std::string_view FirstFilledLine(std::string_view bytes, char comment) {
    while (!bytes.empty()) {
        const std::size_t end = bytes.find('\n');
        std::string_view line = bytes.substr(0, end);
        if (comment != 0) line = line.substr(0, line.find(comment));
        line = read::Trim(line);
        if (!line.empty()) return line;
        if (end == std::string_view::npos) break;
        bytes.remove_prefix(end + 1);
    }
    return {};
}

bool StartsWithVersion(std::string_view line) {
    for (std::string_view version : {std::string_view("v2.0"), std::string_view("v3.0")}) {
        if (read::EqualsIgnoringCase(line.substr(0, 4), version) && (line.size() == 4 || read::IsBlank(line[4]))) {
            return true;
        }
    }
    return false;
}

ReadFormat FromContent(std::string_view bytes, unsigned wordBits) {
    if (!LooksLikeText(bytes)) return ReadFormat::Bin;
    const std::string_view first = FirstLine(bytes);
    if (first.substr(0, 5) == "CM   " || first == "MM" || first.substr(0, 3) == "MM ") return ReadFormat::Object;
    if (FirstFilledLine(bytes, 0).substr(0, 1) == ":") return ReadFormat::IntelHex;
    if (StartsWithVersion(FirstFilledLine(bytes, '#'))) return ReadFormat::Logisim;
    if (read::SniffMif(bytes)) return ReadFormat::Mif;
    if (const std::optional<bool> binary = read::SniffReadmem(bytes, wordBits)) {
        return *binary ? ReadFormat::Readmemb : ReadFormat::Readmemh;
    }
    // Text of nothing but blanks and comments is readmem text of no words.
    if (FirstFilledLine(bytes, 0).empty()) return ReadFormat::Readmemh;
    return ReadFormat::Bin;
}

}  // namespace

std::span<const ReadFormat> ReadFormats() { return kReadFormats; }

std::string_view NameOf(ReadFormat format) {
    return format == ReadFormat::Object ? "object" : InfoOf(AsFormat(format)).name;
}

std::optional<ReadFormat> FindReadFormat(std::string_view name) {
    for (ReadFormat format : kReadFormats) {
        if (NameOf(format) == name) return format;
    }
    return std::nullopt;
}

std::string ReadFormatNames() {
    std::string names;
    for (ReadFormat format : kReadFormats) {
        if (!names.empty()) names += ", ";
        names += NameOf(format);
    }
    return names;
}

std::optional<Format> WriterOf(ReadFormat format) {
    if (format == ReadFormat::Object) return std::nullopt;
    return AsFormat(format);
}

DetectedFormat DetectFormat(std::string_view name, std::string_view bytes, unsigned wordBits) {
    const std::string_view extension = Extension(name);
    if (!extension.empty()) {
        for (ReadFormat format : kReadFormats) {
            if (format == ReadFormat::Object) continue;
            if (read::EqualsIgnoringCase(extension, InfoOf(AsFormat(format)).extension)) {
                return {format, FormatSource::Extension};
            }
        }
        // The object files of ctrlforge and wordforge.
        if (read::EqualsIgnoringCase(extension, ".o") || read::EqualsIgnoringCase(extension, ".b")) {
            return {ReadFormat::Object, FormatSource::Extension};
        }
    }
    return {FromContent(bytes, wordBits), FormatSource::Content};
}

std::optional<unsigned> LaneOfName(std::string_view name) {
    const std::optional<read::LaneMark> mark = read::FindLaneMark(name);
    if (!mark) return std::nullopt;
    return mark->lane;
}

namespace read {

std::optional<LaneMark> FindLaneMark(std::string_view name) {
    constexpr std::string_view kMark = ".lane";
    const std::size_t slash = name.find_last_of("/\\");
    const std::size_t baseStart = slash == std::string_view::npos ? 0 : slash + 1;
    for (std::size_t at = name.rfind(kMark); at != std::string_view::npos && at >= baseStart;
         at = at == 0 ? std::string_view::npos : name.rfind(kMark, at - 1)) {
        std::size_t end = at + kMark.size();
        unsigned lane = 0;
        while (end < name.size() && name[end] >= '0' && name[end] <= '9' && lane < 1000) {
            lane = lane * 10 + static_cast<unsigned>(name[end] - '0');
            ++end;
        }
        if (end == at + kMark.size()) continue;
        if (end == name.size() || name[end] == '.') return LaneMark{lane, at, end - at};
    }
    return std::nullopt;
}

std::string WithLane(std::string_view name, unsigned lane) {
    const std::optional<LaneMark> mark = FindLaneMark(name);
    if (!mark) return std::string(name) + ".lane" + std::to_string(lane);
    return std::string(name.substr(0, mark->at)) + ".lane" + std::to_string(lane) +
           std::string(name.substr(mark->at + mark->length));
}

}  // namespace read

}  // namespace image
