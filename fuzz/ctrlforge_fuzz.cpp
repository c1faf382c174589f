// Fuzz target for the ctrlforge core: the first byte chooses the files, the
// rest is the source. Besides the absence of crashes it checks that a run is
// deterministic, that the listing holds every source character
// in order, and that the console message agrees with the run's outcome. The
// second run records diagnostics: its files must not change, and its errors
// must agree with the outcome. A source that assembles must come back from
// its decoded source, byte for byte; and the input read as control words
// must come back from their decoded source wherever the decoder writes
// them as statements.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include <vector>

#include "common/diagnostics.hpp"
#include "ctrlforge/ctrlforge.hpp"
#include "ctrlforge/decode.hpp"

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

// The source as the reader sees it: upper-cased, ended at the first byte 26,
// a lone line feed read as CR LF.
std::string ReadableSource(std::string_view source) {
    std::string text;
    for (std::size_t i = 0; i < source.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(source[i]);
        if (c == 26) break;
        if (c == '\n' && (i == 0 || source[i - 1] != '\r')) text.push_back('\r');
        if (c >= 'a' && c <= 'z') c = static_cast<unsigned char>(c - 'a' + 'A');
        text.push_back(static_cast<char>(c));
    }
    return text;
}

// Every character reaches the listing in order, except the character after a
// carriage return, which a line end may swallow unread.
bool ListingCopiesSource(const std::string& source, const std::string& listing) {
    std::size_t j = 0;
    for (std::size_t i = 0; i < source.size(); ++i) {
        const bool afterCarriageReturn = i > 0 && source[i - 1] == '\r';
        if (afterCarriageReturn && j < listing.size() && listing[j] != source[i]) {
            continue;  // swallowed by the line end just matched
        }
        while (j < listing.size() && listing[j] != source[i]) ++j;
        if (j == listing.size()) return false;
        ++j;
    }
    return true;
}

bool ObjectLineShape(std::string_view line) {
    if (line.size() != 15 || line[3] != ' ' || line[4] != ' ') return false;
    for (std::size_t i = 0; i < 15; ++i) {
        if (i == 3 || i == 4) continue;
        char c = line[i];
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'))) return false;
    }
    return true;
}

// The object file of a source and the words it places.
struct Object {
    bool failed;
    std::string title;
    std::string bytes;
    std::vector<image::PlacedWord> words;
};

Object AssembleObject(std::string_view source) {
    Object object;
    common::OutputSink sink;
    const ctrlforge::Result result = ctrlforge::AssembleSource(source, {nullptr, &sink, nullptr}, {.placed = &object.words});
    object.failed = result.failed;
    object.title = result.title;
    object.bytes = std::move(sink.buffer);
    return object;
}

void CheckRoundTrip(std::string_view source) {
    const Object original = AssembleObject(source);
    if (original.failed) return;
    const ctrlforge::DecodedSource decoded = ctrlforge::DecodeAsSource(original.words, original.title);
    Check(decoded.inexpressible == 0);
    const Object again = AssembleObject(decoded.text);
    Check(!again.failed && again.bytes == original.bytes);
}

// The bytes as 40-bit words from address 0: the words the decoder writes as
// statements assemble to themselves, in order.
void CheckWordsComeBack(std::string_view bytes) {
    std::vector<image::PlacedWord> words;
    for (std::size_t at = 0; at + 5 <= bytes.size() && words.size() < ctrlforge::kControlStoreWords; at += 5) {
        std::uint64_t word = 0;
        for (std::size_t i = 0; i < 5; ++i) word = (word << 8) | static_cast<unsigned char>(bytes[at + i]);
        words.push_back({static_cast<std::uint32_t>(words.size()), word});
    }
    const ctrlforge::DecodedSource decoded = ctrlforge::DecodeAsSource(words, "FUZZ");
    const Object again = AssembleObject(decoded.text);
    Check(again.failed == (decoded.inexpressible == words.size()));
    std::size_t next = 0;
    for (const image::PlacedWord& w : again.words) {
        while (next < words.size() && words[next].address != w.address) ++next;
        Check(next < words.size() && words[next].word == w.word);
    }
    Check(again.words.size() + decoded.inexpressible == words.size());
}

// The characters a token may start with (upper and lower case alike).
bool StartsToken(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
           std::string_view("$*+-.:;=@").find(c) != std::string_view::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const ctrlforge::Files files{(data[0] & 1) != 0, (data[0] & 2) != 0, (data[0] & 4) != 0};
    std::string_view source(reinterpret_cast<const char*>(data + 1), size - 1);

    ctrlforge::CtrlOutput first = ctrlforge::AssembleText(source, files);
    std::vector<common::Diagnostic> diagnostics;
    common::DiagnosticSink sink = common::ListSink(source, diagnostics);
    ctrlforge::CtrlOutput second = ctrlforge::AssembleText(source, files, {.diagnostics = &sink});
    Check(first.listing == second.listing && first.object == second.object && first.map == second.map &&
          first.console == second.console && first.failed == second.failed);
    // A failed run has an error that is not an illegal character (those
    // leave the run alone), and a run that did not fail has no other. An
    // illegal character's diagnostic has no number and stands on the
    // character, which starts no token; a placement failure has no number
    // either and stands on a "*", a "." or the end.
    bool failingError = false;
    for (const common::Diagnostic& d : diagnostics) {
        Check(d.line >= 1 && d.column >= 1 && d.endColumn >= d.column);
        if (d.severity != common::Severity::Error) continue;
        if (!d.tag.empty() || d.offset >= source.size() || StartsToken(source[d.offset])) failingError = true;
    }
    Check(first.failed == failingError);

    const std::string_view normal = "\nNORMAL TERMINATION!\n\n";
    const std::string_view failed = "\nERROR OCCURRED IN ASSEMBLE-TIME!\n\n";
    const std::string_view console = first.console;
    if (first.failed) {
        Check(console.size() >= failed.size() && console.substr(console.size() - failed.size()) == failed);
        // A failed run leaves at most the heading lines.
        Check(first.object.size() == 0 || first.object.size() == 15);
        Check(first.map.size() == 0 || first.map.size() == 75);
    } else {
        Check(console == normal);
        if (data[0] & 1) {
            const std::string_view closing = "THERE WAS NO ERROR IN ASSEMBLE.\r\n";
            Check(first.listing.size() >= closing.size() &&
                  std::string_view(first.listing).substr(first.listing.size() - closing.size()) == closing);
        }
        if (data[0] & 2) {
            std::string_view object = first.object;
            int previous = -1;
            for (std::size_t at = 15; at < object.size(); at += 17) {
                Check(object.size() >= at + 17 && object.substr(at + 15, 2) == "\r\n");
                std::string_view line = object.substr(at, 15);
                Check(ObjectLineShape(line));
                int address = std::stoi(std::string(line.substr(0, 3)), nullptr, 16);
                Check(address > previous);
                previous = address;
            }
        }
    }
    if (data[0] & 1) Check(ListingCopiesSource(ReadableSource(source), first.listing));
    if (!first.failed) CheckRoundTrip(source);
    CheckWordsComeBack(source);
    return 0;
}
