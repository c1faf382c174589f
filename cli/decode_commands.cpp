#include "cli/decode_commands.hpp"

#include <algorithm>
#include <cstring>

#include "cli/standard_input.hpp"
#include "cli/warnings.hpp"
#include "common/text_file.hpp"
#include "image/reader.hpp"

namespace cli {

namespace {

void Print(std::FILE* file, std::string_view text) { std::fwrite(text.data(), 1, text.size(), file); }

std::string Hex(std::uint64_t value, int digits) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string text;
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) text.push_back(kHex[(value >> shift) & 15u]);
    return text;
}

// The hexadecimal digits of the store's last address: 3 for the control
// store, 4 for main memory.
int AddressDigits(const ProgramInfo& program) {
    int digits = 1;
    while ((static_cast<std::uint64_t>(program.store.depth - 1) >> (4 * digits)) != 0) ++digits;
    return digits;
}

// An image as its files name it: one file, or the lane files of one image.
struct ImageInput {
    std::string name;                // how messages name it: its file, or its lanes' common name
    std::vector<std::string> files;  // as given
    bool lanes = false;
};

// The name of a lane file without its lane: "p.mic.lane3.bin" is lane 3 of
// "p.mic.bin".
std::string WithoutLane(const std::string& name) {
    const std::size_t at = name.rfind(".lane");
    if (at == std::string::npos || !image::LaneOfName(name)) return name;
    std::size_t end = at + 5;
    while (end < name.size() && name[end] >= '0' && name[end] <= '9') ++end;
    return name.substr(0, at) + name.substr(end);
}

// Lane files of one image go together; every other file is an image.
std::vector<ImageInput> GroupImages(const std::vector<std::string>& files) {
    std::vector<ImageInput> images;
    for (const std::string& file : files) {
        const std::string name = WithoutLane(file);
        const bool lane = name != file;
        auto same = std::find_if(images.begin(), images.end(),
                                 [&](const ImageInput& input) { return lane && input.lanes && input.name == name; });
        if (same != images.end()) {
            same->files.push_back(file);
        } else {
            images.push_back({name, {file}, lane});
        }
    }
    return images;
}

bool ReadInput(const std::string& name, std::FILE* in, std::string& bytes, int& errnum) {
    return name == "-" ? ReadStandardInput(in, bytes, errnum) : common::ReadWholeFile(name, bytes, errnum);
}

std::string CannotRead(const ProgramInfo& program, const std::string& name, int errnum) {
    return std::string(program.name) + ": cannot read '" + name + "': " + std::strerror(errnum) + "\n";
}

// Reads an image's files; prints why when it cannot. The result's words
// are empty and `read` false then.
struct ReadImage {
    bool read = false;
    image::ReadResult result;
    std::vector<std::string> bytes;  // each file's, in order
};

ReadImage Read(const ProgramInfo& program, const Invocation& invocation, const ImageInput& input, std::FILE* in,
               std::FILE* err) {
    ReadImage image;
    image.bytes.resize(input.files.size());
    std::vector<image::ImageFile> files;
    for (std::size_t i = 0; i < input.files.size(); ++i) {
        int errnum = 0;
        if (!ReadInput(input.files[i], in, image.bytes[i], errnum)) {
            Print(err, CannotRead(program, input.files[i], errnum));
            return image;
        }
        files.push_back({input.files[i], image.bytes[i]});
    }
    const ReadBack& readBack = invocation.readBack;
    image::ReadRequest request{program.store.wordBits, program.store.depth, readBack.format,
                               readBack.wordAddresses ? image::HexAddressing::Words : image::HexAddressing::Bytes};
    image.result = image::ReadImages(files, request);
    if (image.result.error) {
        Print(err, image::FormatReadError(*image.result.error) + "\n");
        return image;
    }
    image.read = true;
    return image;
}

// The title an object file's first line names: "CM   " and 8 characters,
// "MM " and the title, or "MM" with none.
std::optional<std::string> ObjectTitle(std::string_view bytes) {
    std::string_view first = bytes.substr(0, bytes.find_first_of("\r\n"));
    if (first.rfind("CM   ", 0) == 0) {
        first.remove_prefix(5);
    } else if (first.rfind("MM ", 0) == 0) {
        first.remove_prefix(3);
    } else {
        return std::nullopt;
    }
    return std::string(first.substr(0, first.find_last_not_of(' ') + 1));
}

int Decode(const ProgramInfo& program, const Invocation& invocation, std::FILE* in, std::FILE* out, std::FILE* err) {
    const ReadBack& readBack = invocation.readBack;
    const std::vector<ImageInput> inputs = GroupImages(invocation.sources);
    int status = kSuccess;
    for (const ImageInput& input : inputs) {
        const ReadImage image = Read(program, invocation, input, in, err);
        if (!image.read) {
            status = kFailure;
            continue;
        }
        std::vector<image::PlacedWord> words = image.result.words;
        // Words that hold the fill are what unwritten addresses read as.
        if (readBack.fill) {
            std::erase_if(words, [&](const image::PlacedWord& w) { return w.word == *readBack.fill; });
        }
        const std::optional<std::string> title =
            image.result.format == image::ReadFormat::Object ? ObjectTitle(image.bytes[0]) : std::nullopt;
        common::OutputSink sink;
        sink.file = out;
        if (inputs.size() > 1) {
            const bool crlf = readBack.style || program.reading.alwaysSource;
            sink.Write("; " + input.name + (crlf ? "\r\n" : "\n"));
        }
        const std::size_t inexpressible = program.reading.decode(words, readBack.style, title, sink);
        if (!sink.Flush()) {
            Print(err, std::string(program.name) + ": cannot write 'standard output': " + std::strerror(sink.errnum) + "\n");
            return kFailure;
        }
        if (inexpressible > 0) {
            Print(err, std::string(program.name) + ": " + input.name + ": " + std::to_string(inexpressible) +
                           (inexpressible == 1 ? " word cannot be written as source and stands as a comment\n"
                                               : " words cannot be written as source and stand as comments\n"));
            status = std::max(status, static_cast<int>(kSourceErrors));
        }
    }
    return status;
}

int Compare(const ProgramInfo& program, const Invocation& invocation, std::FILE* in, std::FILE* out, std::FILE* err) {
    const ReadBack& readBack = invocation.readBack;
    const std::string& sourceName = invocation.sources.front();
    std::string source;
    int errnum = 0;
    if (!ReadInput(sourceName, in, source, errnum)) {
        Print(err, CannotRead(program, sourceName, errnum));
        return kFailure;
    }
    const ImageInput input = GroupImages(readBack.images).front();
    const ReadImage image = Read(program, invocation, input, in, err);
    if (!image.read) return kFailure;

    std::string errors;
    common::DiagnosticSink diagnostics;
    diagnostics.locator.text = source;
    diagnostics.wantsWarning = [&](std::string_view name) { return WarningEnabled(invocation.warnings, name); };
    diagnostics.emit = [&](const common::Diagnostic& diagnostic) {
        if (Shown(invocation.warnings, diagnostic)) common::AppendDiagnosticLine(errors, sourceName, diagnostic);
    };
    const std::uint64_t fill = readBack.fill.value_or(program.store.defaultFill);
    const ComparedImage compared = program.reading.compare(source, image.result.words, fill, &diagnostics);
    Print(err, errors);
    if (!compared.assembled) {
        Print(err, std::string(program.name) + ": " + sourceName + " has errors; nothing was compared\n");
        return kFailure;
    }
    const int digits = AddressDigits(program);
    std::string lines;
    for (std::size_t i = 0; i < compared.words.differences.size(); ++i) {
        const image::WordDifference& d = compared.words.differences[i];
        if (d.source) {
            lines += sourceName + ":" + std::to_string(d.place.line) + ":" + std::to_string(d.place.column) + ": ";
        } else {
            lines += input.name + ": ";
        }
        lines += Hex(d.address, digits) + ": image ";
        lines += d.image ? program.reading.word(*d.image) : std::string("holds no word");
        if (d.source) {
            lines += ", source " + program.reading.word(*d.source);
        } else {
            lines += ", no word from the source (an unwritten word holds " +
                     Hex(fill, static_cast<int>(program.reading.hexDigits)) + ")";
        }
        if (!compared.notes[i].empty()) lines += ", " + compared.notes[i];
        lines += "\n";
    }
    const std::size_t differ = compared.words.differences.size();
    const std::size_t addresses = compared.words.addresses;
    if (differ == 0) {
        lines += "the image holds the source's words at all " + std::to_string(addresses) + " addresses\n";
    } else {
        lines += std::to_string(differ) + " of " + std::to_string(addresses) + " addresses differ\n";
    }
    Print(out, lines);
    return differ == 0 ? kSuccess : kSourceErrors;
}

}  // namespace

bool ExplainCommand(const ProgramInfo& program, const std::string& digits, std::ostream& out, std::string& problem) {
    const WordReading& reading = program.reading;
    std::uint64_t word = 0;
    const bool ok = digits.size() == reading.hexDigits && ReadFillWord(digits, 4 * reading.hexDigits, word);
    if (!ok) {
        problem = "--explain needs a word of " + std::to_string(reading.hexDigits) + " hexadecimal digits, not '" +
                  digits + "'";
        return false;
    }
    out << reading.explain(word);
    return true;
}

bool SettleReadBack(const ProgramInfo& program, const ReadBackArguments& given, const ImageArguments& image,
                    std::string_view fileOption, Invocation& invocation, std::string& problem) {
    const std::string decode = "--" + std::string(program.reading.decodeOption);
    const std::string style = "--" + std::string(program.reading.styleOption);
    ReadBack& readBack = invocation.readBack;
    if (given.decode && !given.compare.empty()) {
        problem = decode + " and --compare are two tasks; give one";
        return false;
    }
    if (given.style && !given.decode) {
        problem = style + " needs " + decode;
        return false;
    }
    if (!given.decode && given.compare.empty()) {
        problem = "--image-format needs " + decode + " or --compare";
        return false;
    }
    const std::string task = given.decode ? decode : std::string("--compare");
    if (!fileOption.empty()) {
        problem = task + " writes no files; " + std::string(fileOption) + " is not taken with it";
        return false;
    }
    if (given.formatGiven && !image::FindReadFormat(given.format)) {
        problem = "unknown image format '" + given.format + "'; the formats are " + image::ReadFormatNames();
        return false;
    }
    if (image.fillGiven) {
        std::uint64_t fill = 0;
        if (!ReadFillWord(image.fill, program.store.wordBits, fill)) {
            problem = "--fill needs a word of at most " + std::to_string(program.store.wordBits) +
                      " bits in hexadecimal digits, not '" + image.fill + "'";
            return false;
        }
        readBack.fill = fill;
    }
    if (given.decode && invocation.sources.empty()) {
        problem = "no FILE given to " + decode;
        return false;
    }
    if (!given.compare.empty()) {
        if (invocation.sources.size() != 1) {
            problem = "--compare=IMAGE compares with one SOURCE";
            return false;
        }
        // Several files are the lane files of one image.
        if (GroupImages(given.compare).size() != 1) {
            problem = "--compare given several times names the lane files of one image";
            return false;
        }
    }
    readBack.mode = given.decode ? ReadBackMode::Decode : ReadBackMode::Compare;
    readBack.style = given.style;
    readBack.format = given.formatGiven ? given.format : std::string();
    readBack.images = given.compare;
    readBack.wordAddresses = image.wordAddresses;
    return true;
}

int RunReadBack(const ProgramInfo& program, const Invocation& invocation, std::FILE* in, std::FILE* out,
                std::FILE* err) {
    const int status = invocation.readBack.mode == ReadBackMode::Decode ? Decode(program, invocation, in, out, err)
                                                                        : Compare(program, invocation, in, out, err);
    std::fflush(out);
    std::fflush(err);
    return status;
}

}  // namespace cli
