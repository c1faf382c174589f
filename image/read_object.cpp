// The object files of both programs: a heading line, then one line per
// word, "address  word" in fixed columns of upper-case hex digits.
#include "image/read_support.hpp"
#include "image/reader.hpp"

namespace image::read {

namespace {

struct Layout {
    const char* program;
    unsigned wordBits;
    std::size_t headingLength;  // at most: the mark and an 8-character title
    std::size_t addressDigits;
    std::size_t wordDigits;
};

constexpr Layout kCtrlforge{"ctrlforge", 40, 13, 3, 10};
constexpr Layout kWordforge{"wordforge", 16, 11, 4, 4};

std::string LineShape(const Layout& layout) {
    return std::to_string(layout.addressDigits) + " hex digits, two blanks and " + std::to_string(layout.wordDigits) +
           " hex digits";
}

}  // namespace

bool ReadObject(const Target& target, Found& found, ReadError& error) {
    Lines lines{target, error};
    std::string_view line;
    if (!lines.Next(line)) {
        if (lines.failed) return false;
        return Fail(error, target, 0,
                    "empty object file: it starts with 'CM   ' and the title (ctrlforge) or 'MM' (wordforge); "
                    "a run that fails on its title leaves it so");
    }
    const Layout* layout = line.substr(0, 5) == "CM   "                   ? &kCtrlforge
                           : line == "MM" || line.substr(0, 3) == "MM " ? &kWordforge
                                                                          : nullptr;
    if (layout == nullptr) {
        return lines.Fail("no object file: its first line is 'CM   ' and the title (ctrlforge) or 'MM' (wordforge), not " +
                          Quoted(line));
    }
    if (line.size() > layout->headingLength) {
        return lines.Fail("the heading line of a " + std::string(layout->program) + " object file has at most " +
                          std::to_string(layout->headingLength) + " characters, this one " + std::to_string(line.size()));
    }
    found.statedBits = layout->wordBits;
    if (layout->wordBits != target.wordBits) {
        return lines.Fail("a " + std::string(layout->program) + " object file holds " +
                          std::to_string(layout->wordBits) + "-bit words, not " + std::to_string(target.wordBits) +
                          "-bit ones");
    }
    const std::size_t length = layout->addressDigits + 2 + layout->wordDigits;
    while (lines.Next(line)) {
        if (line.size() != length || line.substr(layout->addressDigits, 2) != "  ") {
            return lines.Fail("an object line is " + LineShape(*layout) + ", not " + Quoted(line));
        }
        const std::string_view addressDigits = line.substr(0, layout->addressDigits);
        const std::string_view wordDigits = line.substr(layout->addressDigits + 2);
        const Number address = ParseNumber(addressDigits, 16);
        const Number word = ParseNumber(wordDigits, 16);
        if (address.bad != std::string_view::npos || word.bad != std::string_view::npos) {
            const char bad = address.bad != std::string_view::npos ? addressDigits[address.bad] : wordDigits[word.bad];
            return lines.Fail(Shown(bad) + " is not a hex digit: an object line is " + LineShape(*layout));
        }
        if (address.value >= target.depth) return lines.Fail(BeyondDepth(address.value, target.depth));
        if (!FitsWidth(word.value, target.wordBits)) return lines.Fail(TooWide(word.value, target.wordBits));
        found.Add(static_cast<std::uint32_t>(address.value), word.value, lines.number);
    }
    return !lines.failed;
}

}  // namespace image::read
