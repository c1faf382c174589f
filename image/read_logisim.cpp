// Logisim-evolution images of words, read the way Logisim reads them: the
// header line names the variant by its tags, "#" starts a comment, groups
// of hex digits are words.
#include "image/read_support.hpp"
#include "image/reader.hpp"

namespace image::read {

namespace {

enum class Style { Addressed, Plain, Either, Raw };

std::string_view WithoutComment(std::string_view line) { return line.substr(0, line.find('#')); }

// The next group of non-blank characters of `rest`, taken off its front.
std::string_view NextGroup(std::string_view& rest) {
    std::size_t i = 0;
    while (i < rest.size() && IsBlank(rest[i])) ++i;
    std::size_t end = i;
    while (end < rest.size() && !IsBlank(rest[end])) ++end;
    const std::string_view group = rest.substr(i, end - i);
    rest.remove_prefix(end);
    return group;
}

std::string_view WithoutHexPrefix(std::string_view group) {
    if (group.size() >= 2 && group[0] == '0' && (group[1] == 'x' || group[1] == 'X')) group.remove_prefix(2);
    return group;
}

// The tags of the header, as Logisim files them: a version, then hex or
// raw, bytes or words, plain or addressed, an endianness.
bool ReadHeader(Lines& lines, std::string_view header, Style& style) {
    std::string_view rest = header;
    const std::string_view version = NextGroup(rest);
    if (!EqualsIgnoringCase(version, "v3.0") && !EqualsIgnoringCase(version, "v2.0")) {
        return lines.Fail("no Logisim header: the first line must be 'v3.0 hex words addressed', "
                          "'v3.0 hex words plain' or 'v2.0 raw', not " + Quoted(header));
    }
    struct Slot {
        const char* what;
        std::string_view value;
    } radix{"radix", {}}, size{"size", {}}, order{"style", {}}, endian{"endianness", {}};
    for (std::string_view tag = NextGroup(rest); !tag.empty(); tag = NextGroup(rest)) {
        Slot* slot = EqualsIgnoringCase(tag, "hex") || EqualsIgnoringCase(tag, "raw")           ? &radix
                     : EqualsIgnoringCase(tag, "words") || EqualsIgnoringCase(tag, "bytes")     ? &size
                     : EqualsIgnoringCase(tag, "plain") || EqualsIgnoringCase(tag, "addressed") ? &order
                     : EqualsIgnoringCase(tag, "big-endian") || EqualsIgnoringCase(tag, "little-endian") ? &endian
                                                                                                  : nullptr;
        if (slot == nullptr) return lines.Fail("the header tag " + Quoted(tag) + " is not one of Logisim's");
        if (!slot->value.empty()) {
            return lines.Fail("the header gives the " + std::string(slot->what) + " twice: " + Quoted(slot->value) +
                              " and " + Quoted(tag));
        }
        slot->value = tag;
    }
    if (EqualsIgnoringCase(radix.value, "raw")) {
        style = Style::Raw;
        return true;
    }
    if (radix.value.empty()) return lines.Fail("incomplete header " + Quoted(header) + ": it names no 'hex' or 'raw'");
    if (!EqualsIgnoringCase(size.value, "words")) {
        return lines.Fail("the header " + Quoted(header) +
                          " names no image of words; 'v3.0 hex words addressed', 'v3.0 hex words plain' and "
                          "'v2.0 raw' are read");
    }
    style = order.value.empty()                        ? Style::Either
            : EqualsIgnoringCase(order.value, "plain") ? Style::Plain
                                                       : Style::Addressed;
    return true;
}

struct Words {
    const Target& target;
    Lines& lines;
    Found& found;
    std::uint64_t address = 0;  // of the next word

    // One group of hex digits (a "0x" allowed unless raw) as the word at
    // the next address.
    bool Put(std::string_view group, bool prefixAllowed) {
        const std::string_view digits = prefixAllowed ? WithoutHexPrefix(group) : group;
        if (digits.empty()) return lines.Fail("the word " + Quoted(group) + " has no hex digits");
        const Number word = ParseNumber(digits, 16);
        if (word.bad != std::string_view::npos) {
            return lines.Fail(Shown(digits[word.bad]) + " is not a hex digit, in the word " + Quoted(group));
        }
        if (word.overflow || !FitsWidth(word.value, target.wordBits)) {
            return lines.Fail(TooWideDigits(group, target.wordBits));
        }
        if (address >= target.depth) {
            return lines.Fail(WordBeyondDepth(group, address, target.depth));
        }
        found.Add(static_cast<std::uint32_t>(address), word.value, lines.number);
        ++address;
        return true;
    }

    // "addr: w w ...": Logisim ignores what follows two blanks in a row.
    bool Addressed(std::string_view line) {
        line = Trim(line.substr(0, line.find("  ")));
        if (line.empty()) return true;
        std::string_view rest = line;
        std::string_view at = NextGroup(rest);
        const bool colon = at.back() == ':';
        if (colon) at.remove_suffix(1);
        at = WithoutHexPrefix(at);
        std::string_view afterAddress = rest;
        if (!colon && NextGroup(afterAddress) == ":") rest = afterAddress;
        const Number start = ParseNumber(at, 16);
        if (at.empty() || start.bad != std::string_view::npos) {
            return lines.Fail("the line must start with a hex word address, not " + Quoted(line));
        }
        if (start.overflow || start.value >= target.depth) {
            return lines.Fail(start.overflow ? "address " + Quoted(at) + " is beyond the store's " +
                                                   std::to_string(target.depth) + " words"
                                             : BeyondDepth(start.value, target.depth));
        }
        address = start.value;
        for (std::string_view group = NextGroup(rest); !group.empty(); group = NextGroup(rest)) {
            if (!Put(group, true)) return false;
        }
        return true;
    }

    bool Plain(std::string_view line) {
        for (std::string_view group = NextGroup(line); !group.empty(); group = NextGroup(line)) {
            if (!Put(group, true)) return false;
        }
        return true;
    }

    // Groups "value" or "count*value", the count decimal.
    bool Raw(std::string_view line) {
        for (std::string_view group = NextGroup(line); !group.empty(); group = NextGroup(line)) {
            const std::size_t star = group.find('*');
            if (star == std::string_view::npos) {
                if (!Put(group, false)) return false;
                continue;
            }
            if (star == 0) return lines.Fail("the run " + Quoted(group) + " has no count before '*'");
            if (star + 1 == group.size()) return lines.Fail("the run " + Quoted(group) + " has no value after '*'");
            const std::string_view digits = group.substr(0, star);
            const Number count = ParseNumber(digits, 10);
            if (count.bad != std::string_view::npos) {
                return lines.Fail(Shown(digits[count.bad]) + " is not a decimal digit, in the run " + Quoted(group));
            }
            if (count.overflow || count.value > target.depth - address) {
                return lines.Fail("the run " + Quoted(group) + " from address " + AddressText(address, target.depth) +
                                  " passes the end of the store's " + std::to_string(target.depth) + " words");
            }
            for (std::uint64_t i = 0; i < count.value; ++i) {
                if (!Put(group.substr(star + 1), false)) return false;
            }
        }
        return true;
    }
};

}  // namespace

bool ReadLogisim(const Target& target, Found& found, ReadError& error) {
    Lines lines{target, error};
    std::string_view line;
    Style style = Style::Either;
    bool header = false;
    while (!header && lines.Next(line)) {
        line = Trim(WithoutComment(line));
        if (line.empty()) continue;
        if (!ReadHeader(lines, line, style)) return false;
        header = true;
    }
    if (lines.failed) return false;
    if (!header) {
        return Fail(error, target, lines.number,
                    "no Logisim header: the file holds no line but blanks and comments");
    }
    Words words{target, lines, found};
    while (lines.Next(line)) {
        line = WithoutComment(line);
        // Without a style in the header, the first line with words tells:
        // a colon makes the file addressed.
        if (style == Style::Either && !Trim(line).empty()) {
            style = line.find(':') != std::string_view::npos ? Style::Addressed : Style::Plain;
        }
        const bool ok = style == Style::Addressed ? words.Addressed(line)
                        : style == Style::Raw     ? words.Raw(line)
                                                  : words.Plain(line);
        if (!ok) return false;
    }
    return !lines.failed;
}

}  // namespace image::read
