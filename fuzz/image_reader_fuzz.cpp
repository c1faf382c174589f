// Fuzz target for the image reader. The first byte chooses how the rest is
// read: bits 0-2 the format (0: told by the content, else the reader's
// formats in order), bit 3 the machine (40-bit words and 4096 of them, or
// 16-bit words and 65536), bit 4 Intel HEX at word addresses, bit 5 lane
// files, the rest then cut at each byte 1E into the files of lanes 0, 1, ...
// Besides the absence of crashes it checks that a refusal names a file
// and places its fault within it, that accepted words fit the store, that
// their number stays within the input's size and the depth, and that
// writing the words with the writer of the same format and reading them
// again gives the same words (the dense formats adding fill words).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "image/image.hpp"
#include "image/lanes.hpp"
#include "image/reader.hpp"

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

struct Files {
    std::vector<std::string> contents;
    std::vector<image::ImageFile> list;
};

Files MakeFiles(const std::string& stem, std::vector<std::string> contents, bool lanes) {
    Files files{std::move(contents), {}};
    for (std::size_t k = 0; k < files.contents.size(); ++k) {
        files.list.push_back({lanes ? stem + ".lane" + std::to_string(k) : stem, files.contents[k]});
    }
    return files;
}

// Per address, the last word the words put there.
struct Last {
    std::vector<std::uint64_t> word;
    std::vector<bool> used;
};

Last LastOf(const std::vector<image::PlacedWord>& words, std::uint32_t depth) {
    Last last{std::vector<std::uint64_t>(depth, 0), std::vector<bool>(depth, false)};
    for (const image::PlacedWord& w : words) {
        last.word[w.address] = w.word;
        last.used[w.address] = true;
    }
    return last;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const unsigned control = data[0];
    const std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
    image::ReadRequest request;
    request.wordBits = (control & 8u) != 0 ? 16 : 40;
    request.depth = (control & 8u) != 0 ? 65536 : 4096;
    request.hexAddressing = (control & 16u) != 0 ? image::HexAddressing::Words : image::HexAddressing::Bytes;
    const unsigned formatIndex = control & 7u;
    if (formatIndex != 0) request.format = image::NameOf(image::ReadFormats()[formatIndex - 1]);
    const bool lanes = (control & 32u) != 0;

    std::vector<std::string> pieces;
    if (lanes) {
        std::size_t start = 0;
        for (;;) {
            const std::size_t cut = rest.find('\x1E', start);
            pieces.emplace_back(rest.substr(start, cut == std::string_view::npos ? std::string_view::npos : cut - start));
            if (cut == std::string_view::npos || pieces.size() == 6) break;
            start = cut + 1;
        }
    } else {
        pieces.emplace_back(rest);
    }
    const Files files = MakeFiles("f", pieces, lanes);
    const image::ReadResult first = image::ReadImages(files.list, request);

    if (first.error) {
        const image::ReadError& error = *first.error;
        Check(first.words.empty() && !error.text.empty() && !error.file.empty());
        Check(error.line == 0 || !error.offset);
        for (std::size_t k = 0; k < files.list.size(); ++k) {
            if (files.list[k].name != error.file) continue;
            const std::string& bytes = files.contents[k];
            std::size_t lines = 1;
            for (char c : bytes) lines += c == '\n';
            Check(error.line <= lines);
            Check(!error.offset || *error.offset <= bytes.size());
        }
        return 0;
    }
    Check(first.words.size() <= rest.size() + request.depth);
    for (const image::PlacedWord& w : first.words) {
        Check(w.address < request.depth);
        Check(request.wordBits >= 64 || (w.word >> request.wordBits) == 0);
    }

    const std::optional<image::Format> writer = image::WriterOf(first.format);
    if (!writer) return 0;
    const image::Store store{request.wordBits, request.depth, 0, "FUZZ"};
    std::vector<std::string> written;
    if (first.lanes) {
        for (unsigned lane = 0; lane < image::LaneCount(store.wordBits); ++lane) {
            const image::Lane split = image::SplitLane(store, first.words, lane);
            written.push_back(image::WriteImage(*writer, split.store, split.words, request.hexAddressing));
        }
    } else {
        written.push_back(image::WriteImage(*writer, store, first.words, request.hexAddressing));
    }
    image::ReadRequest again = request;
    again.format = image::NameOf(first.format);
    const Files rewritten = MakeFiles("g", written, first.lanes);
    const image::ReadResult second = image::ReadImages(rewritten.list, again);
    Check(!second.error);
    const Last before = LastOf(first.words, request.depth);
    const Last after = LastOf(second.words, request.depth);
    const bool dense = *writer == image::Format::Logisim || *writer == image::Format::Mif || *writer == image::Format::Bin;
    for (std::uint32_t a = 0; a < request.depth; ++a) {
        if (before.used[a]) {
            Check(after.used[a] && after.word[a] == before.word[a]);
        } else if (after.used[a]) {
            Check(dense && after.word[a] == store.fill);
        }
    }
    // What the writers write tells its format by its content, but raw bytes.
    if (!first.lanes && *writer != image::Format::Bin && !first.words.empty()) {
        image::ReadRequest sniffing = request;
        sniffing.format.clear();
        const image::ReadResult third = image::ReadImage({"g", written[0]}, sniffing);
        Check(!third.error && third.format == first.format);
    }
    return 0;
}
