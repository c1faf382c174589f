// One image or a set of lane files: the format of each file, its reader,
// and for lane files the checks that they are one image's lanes and the
// words put together from them.
#include "image/reader.hpp"

#include <algorithm>

#include "image/lanes.hpp"
#include "image/read_support.hpp"

namespace image {

namespace {

using read::Found;

struct Lane {
    const ImageFile* file = nullptr;
    DetectedFormat format{};
    unsigned bits = 0;
    Found found;
};

ReadError ErrorOf(std::string_view file, std::string text) {
    return ReadError{std::string(file), 0, std::nullopt, std::move(text)};
}

ReadResult Refused(ReadError error) {
    ReadResult result;
    result.error = std::move(error);
    return result;
}

bool ChooseFormat(const ImageFile& file, const ReadRequest& request, unsigned bits, DetectedFormat& chosen,
                  ReadError& error) {
    if (request.format.empty()) {
        chosen = DetectFormat(file.name, file.bytes, bits);
        return true;
    }
    const std::optional<ReadFormat> named = FindReadFormat(request.format);
    if (!named) {
        error = ErrorOf(file.name, "unknown image format '" + request.format + "'; the formats are " + ReadFormatNames());
        return false;
    }
    chosen = {*named, FormatSource::Named};
    return true;
}

bool ReadFile(const ImageFile& file, ReadFormat format, const ReadRequest& request, unsigned bits, Found& found,
              ReadError& error) {
    const read::Target target{file.name, file.bytes, bits, request.depth, request.hexAddressing};
    switch (format) {
        case ReadFormat::Readmemh: return read::ReadReadmem(target, false, found, error);
        case ReadFormat::Readmemb: return read::ReadReadmem(target, true, found, error);
        case ReadFormat::IntelHex: return read::ReadIntelHex(target, found, error);
        case ReadFormat::Logisim: return read::ReadLogisim(target, found, error);
        case ReadFormat::Mif: return read::ReadMif(target, found, error);
        case ReadFormat::Bin: return read::ReadBin(target, found, error);
        case ReadFormat::Object: return read::ReadObject(target, found, error);
    }
    return false;
}

// Where a word of a lane came from, for a message: "line 7", "byte 20".
std::string WhereText(const Lane& lane, std::uint64_t where) {
    return (lane.format.format == ReadFormat::Bin ? "byte " : "line ") + std::to_string(where);
}

// Per address of one lane: the index of its first word, and its last word.
struct LaneIndex {
    std::vector<std::int64_t> first;
    std::vector<std::uint64_t> last;
};

LaneIndex IndexOf(const Found& found, std::uint32_t depth) {
    LaneIndex index{std::vector<std::int64_t>(depth, -1), std::vector<std::uint64_t>(depth, 0)};
    for (std::size_t i = 0; i < found.words.size(); ++i) {
        const PlacedWord& placed = found.words[i];
        if (index.first[placed.address] < 0) index.first[placed.address] = static_cast<std::int64_t>(i);
        index.last[placed.address] = placed.word;
    }
    return index;
}

ReadResult ReadLanes(std::span<const ImageFile> files, const ReadRequest& request) {
    const unsigned count = LaneCount(request.wordBits);
    std::vector<Lane> lanes(count);
    for (const ImageFile& file : files) {
        const std::optional<unsigned> lane = LaneOfName(file.name);
        if (!lane) {
            return Refused(ErrorOf(file.name, "no lane file: its name has no '.lane<N>', and it is read with "
                                              "lane files"));
        }
        if (*lane >= count) {
            return Refused(ErrorOf(file.name, "lane " + std::to_string(*lane) + " does not exist: " +
                                                  std::to_string(request.wordBits) + "-bit words have lanes 0 to " +
                                                  std::to_string(count - 1)));
        }
        if (lanes[*lane].file != nullptr) {
            return Refused(ErrorOf(file.name, "lane " + std::to_string(*lane) + " is given twice, also as " +
                                                  lanes[*lane].file->name));
        }
        lanes[*lane].file = &file;
    }
    for (unsigned k = 0; k < count; ++k) {
        if (lanes[k].file != nullptr) continue;
        return Refused(ErrorOf(read::WithLane(files.front().name, k),
                               "lane " + std::to_string(k) + " is missing: a " + std::to_string(request.wordBits) +
                                   "-bit word is put together from lanes 0 to " + std::to_string(count - 1)));
    }
    ReadError error;
    for (unsigned k = 0; k < count; ++k) {
        Lane& lane = lanes[k];
        lane.bits = std::min(8u, request.wordBits - 8 * k);
        if (!ChooseFormat(*lane.file, request, lane.bits, lane.format, error)) return Refused(std::move(error));
        if (lane.format.format != lanes[0].format.format) {
            return Refused(ErrorOf(lane.file->name, "lane " + std::to_string(k) + " is " +
                                                        std::string(NameOf(lane.format.format)) + ", lane 0 (" +
                                                        lanes[0].file->name + ") " +
                                                        std::string(NameOf(lanes[0].format.format)) +
                                                        ": the lanes of one image share one format"));
        }
    }
    for (Lane& lane : lanes) {
        if (!ReadFile(*lane.file, lane.format.format, request, lane.bits, lane.found, error)) {
            return Refused(std::move(error));
        }
    }

    // Every lane must fill the addresses that lane 0 fills.
    const LaneIndex reference = IndexOf(lanes[0].found, request.depth);
    std::vector<LaneIndex> indexes;
    for (unsigned k = 1; k < count; ++k) {
        const Lane& lane = lanes[k];
        LaneIndex index = IndexOf(lane.found, request.depth);
        for (std::uint32_t address = 0; address < request.depth; ++address) {
            const bool here = index.first[address] >= 0, there = reference.first[address] >= 0;
            if (here == there) continue;
            const std::string what = "lane " + std::to_string(k);
            const std::string at = " address " + read::AddressText(address, request.depth);
            const std::string zero = "lane 0 (" + lanes[0].file->name + ")";
            ReadError mismatch = ErrorOf(lane.file->name, {});
            if (here) {
                const std::uint64_t where = lane.found.where[static_cast<std::size_t>(index.first[address])];
                if (lane.format.format == ReadFormat::Bin) {
                    mismatch.offset = where;
                } else {
                    mismatch.line = static_cast<std::uint32_t>(where);
                }
                mismatch.text = what + " has a word at" + at + ", " + zero +
                                " has none: the lanes of one image fill the same addresses";
            } else {
                const Lane& first = lanes[0];
                const std::uint64_t where = first.found.where[static_cast<std::size_t>(reference.first[address])];
                mismatch.text = what + " has no word at" + at + ", " + zero + " has one (" + WhereText(first, where) +
                                "): the lanes of one image fill the same addresses";
            }
            return Refused(std::move(mismatch));
        }
        indexes.push_back(std::move(index));
    }

    ReadResult result;
    result.format = lanes[0].format.format;
    result.formatSource = lanes[0].format.source;
    result.lanes = true;
    result.words.reserve(lanes[0].found.words.size());
    for (const PlacedWord& placed : lanes[0].found.words) {
        std::uint64_t word = placed.word;
        for (unsigned k = 1; k < count; ++k) word |= indexes[k - 1].last[placed.address] << (8 * k);
        result.words.push_back({placed.address, word});
    }
    unsigned stated = 0;
    bool allStated = true;
    for (const Lane& lane : lanes) {
        allStated = allStated && lane.found.statedBits.has_value();
        stated += lane.found.statedBits.value_or(0);
    }
    if (allStated) result.fileWordBits = stated;
    return result;
}

}  // namespace

ReadResult ReadImages(std::span<const ImageFile> files, const ReadRequest& request) {
    if (files.empty()) return Refused(ErrorOf("", "no image file to read"));
    if (request.wordBits == 0 || request.wordBits > 64 || request.depth == 0 || request.depth > kMaxImageDepth) {
        return Refused(ErrorOf(files.front().name, "no store to read the image for: its word width is " +
                                                       std::to_string(request.wordBits) + " bits, its depth " +
                                                       std::to_string(request.depth) + " words"));
    }
    if (files.size() > 1 || LaneOfName(files.front().name)) return ReadLanes(files, request);

    const ImageFile& file = files.front();
    ReadResult result;
    DetectedFormat format{};
    ReadError error;
    if (!ChooseFormat(file, request, request.wordBits, format, error)) return Refused(std::move(error));
    result.format = format.format;
    result.formatSource = format.source;
    Found found;
    if (!ReadFile(file, format.format, request, request.wordBits, found, error)) {
        result.error = std::move(error);
        return result;
    }
    result.words = std::move(found.words);
    result.fileWordBits = found.statedBits;
    return result;
}

ReadResult ReadImage(const ImageFile& file, const ReadRequest& request) {
    return ReadImages(std::span<const ImageFile>(&file, 1), request);
}

std::string FormatReadError(const ReadError& error) {
    std::string text = error.file;
    if (error.line > 0) {
        text += ':';
        text += std::to_string(error.line);
    }
    text += ": error: ";
    if (error.offset) {
        text += "at byte ";
        text += std::to_string(*error.offset);
        text += ": ";
    }
    text += error.text;
    return text;
}

}  // namespace image
