// Memory initialisation files: the header statements, then the content
// between CONTENT BEGIN and END, read as tokens that may spread over lines
// as the format allows.
#include "image/read_support.hpp"
#include "image/reader.hpp"

namespace image::read {

namespace {

enum class Kind { Word, Mark, End };

struct Token {
    Kind kind = Kind::End;
    std::string_view text;
    std::uint32_t line = 0;
};

bool IsWordChar(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}

// Words, marks ("=", ";", ":", "[", "]", "..", "-") and the end, with "--"
// comments to the line end and "% ... %" comments dropped.
struct Lexer {
    CommentedText text;

    bool Next(Token& token) {
        if (!text.Skip()) {
            if (text.lines.failed) return false;
            token = {Kind::End, {}, text.lines.number};
            return true;
        }
        std::string_view& rest = text.rest;
        const char c = rest.front();
        std::size_t length = 1;
        if (IsWordChar(c)) {
            while (length < rest.size() && IsWordChar(rest[length])) ++length;
        } else if (rest.substr(0, 2) == "..") {
            length = 2;
        } else if (c != '=' && c != ';' && c != ':' && c != '[' && c != ']' && c != '-') {
            return text.lines.Fail(Shown(c) + " has no place in a MIF");
        }
        token = {IsWordChar(c) ? Kind::Word : Kind::Mark, rest.substr(0, length), text.lines.number};
        rest.remove_prefix(length);
        return true;
    }
};

Lexer LexerOf(const Target& target, ReadError& error) { return Lexer{{Lines{target, error}, "--", "%", "%"}}; }

struct Radix {
    unsigned base = 0;    // 0 until given
    bool signedDecimal = false;
};

bool RadixOf(std::string_view name, Radix& radix) {
    if (EqualsIgnoringCase(name, "HEX")) radix = {16, false};
    else if (EqualsIgnoringCase(name, "BIN")) radix = {2, false};
    else if (EqualsIgnoringCase(name, "OCT")) radix = {8, false};
    else if (EqualsIgnoringCase(name, "UNS")) radix = {10, false};
    else if (EqualsIgnoringCase(name, "DEC")) radix = {10, true};
    else return false;
    return true;
}

struct MifReader {
    const Target& target;
    Found& found;
    Lexer lexer;
    Token token;
    std::uint64_t depth = 0;
    unsigned width = 0;
    Radix addressRadix, dataRadix;
    std::vector<std::uint32_t> givenAt;  // the line that gave each address, 0 for none

    bool Fail(const Token& at, std::string text) { return read::Fail(lexer.text.lines.error, target, at.line, std::move(text)); }
    bool Advance() { return lexer.Next(token); }
    bool Is(std::string_view text) const { return token.kind != Kind::End && EqualsIgnoringCase(token.text, text); }
    std::string Seen() const { return token.kind == Kind::End ? "the end of the file" : Quoted(token.text); }
    bool Expect(std::string_view text) {
        if (!Is(text)) return Fail(token, "expected '" + std::string(text) + "', found " + Seen());
        return Advance();
    }

    bool HeaderValue(const Token& key, std::uint64_t& value) {
        if (!Advance() || !Expect("=")) return false;
        const Number number = token.kind == Kind::Word ? ParseNumber(token.text, 10) : Number{0, false, 0};
        if (token.kind != Kind::Word || number.bad != std::string_view::npos || number.overflow) {
            return Fail(token, std::string(key.text) + " needs a decimal number, not " + Seen());
        }
        value = number.value;
        return Advance() && Expect(";");
    }

    bool HeaderRadix(const Token& key, Radix& radix) {
        if (!Advance() || !Expect("=")) return false;
        if (token.kind != Kind::Word || !RadixOf(token.text, radix)) {
            return Fail(token, std::string(key.text) + " is one of BIN, OCT, DEC, UNS or HEX, not " + Seen());
        }
        return Advance() && Expect(";");
    }

    bool Header() {
        Token depthAt, widthAt;
        bool haveDepth = false, haveWidth = false;
        for (;;) {
            const Token key = token;
            if (key.kind == Kind::End) return Fail(key, "no CONTENT BEGIN: the file ends in its header (cut short?)");
            const auto once = [&](bool given) {
                return !given || Fail(key, std::string(key.text) + " is given twice");
            };
            if (Is("DEPTH")) {
                if (!once(haveDepth) || !HeaderValue(key, depth)) return false;
                depthAt = key;
                haveDepth = true;
            } else if (Is("WIDTH")) {
                std::uint64_t value = 0;
                if (!once(haveWidth) || !HeaderValue(key, value)) return false;
                width = value > 64 ? 65 : static_cast<unsigned>(value);
                widthAt = key;
                haveWidth = true;
            } else if (Is("ADDRESS_RADIX")) {
                if (!once(addressRadix.base != 0) || !HeaderRadix(key, addressRadix)) return false;
            } else if (Is("DATA_RADIX")) {
                if (!once(dataRadix.base != 0) || !HeaderRadix(key, dataRadix)) return false;
            } else if (Is("CONTENT")) {
                break;
            } else {
                return Fail(key, Seen() + " is not a MIF header statement (DEPTH, WIDTH, ADDRESS_RADIX, DATA_RADIX, "
                                          "then CONTENT BEGIN)");
            }
        }
        const Token content = token;
        if (!Advance() || !Expect("BEGIN")) return false;
        if (!haveDepth || !haveWidth || addressRadix.base == 0 || dataRadix.base == 0) {
            const char* missing = !haveDepth ? "DEPTH" : !haveWidth ? "WIDTH" : addressRadix.base == 0 ? "ADDRESS_RADIX" : "DATA_RADIX";
            return Fail(content, std::string("the header gives no ") + missing);
        }
        if (width != target.wordBits) {
            return Fail(widthAt, "WIDTH = " + (width > 64 ? std::string("more than 64") : std::to_string(width)) +
                                     ", but the words are " + std::to_string(target.wordBits) + " bits wide");
        }
        if (depth == 0 || depth > target.depth) {
            return Fail(depthAt, "DEPTH = " + std::to_string(depth) + " does not fit the store's " +
                                     std::to_string(target.depth) + " words");
        }
        found.statedBits = width;
        givenAt.assign(static_cast<std::size_t>(depth), 0);
        return true;
    }

    bool Address(std::uint64_t& address) {
        const Number number =
            token.kind == Kind::Word ? ParseNumber(token.text, addressRadix.base) : Number{0, false, 0};
        if (token.kind != Kind::Word || number.bad != std::string_view::npos) {
            return Fail(token, "expected an address in the ADDRESS_RADIX, found " + Seen());
        }
        if (number.overflow || number.value >= depth) {
            return Fail(token, "address " + Quoted(token.text) + " is beyond DEPTH = " + std::to_string(depth));
        }
        address = number.value;
        return Advance();
    }

    bool Value(std::uint64_t& value) {
        bool negative = false;
        if (token.kind == Kind::Mark && token.text == "-" && dataRadix.signedDecimal) {
            negative = true;
            if (!Advance()) return false;
        }
        const Number number = token.kind == Kind::Word ? ParseNumber(token.text, dataRadix.base) : Number{0, false, 0};
        if (token.kind != Kind::Word || number.bad != std::string_view::npos) {
            return Fail(token, "expected a value in the DATA_RADIX, found " + Seen());
        }
        const std::uint64_t mask = width >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << width) - 1;
        if (negative) {
            // Two's complement of the width; the magnitude may reach 2^(w-1).
            const std::uint64_t limit = std::uint64_t{1} << (width - 1);
            if (number.overflow || number.value > limit) {
                return Fail(token, "the value -" + std::string(token.text) + " is wider than " + std::to_string(width) + " bits");
            }
            value = (~number.value + 1) & mask;
        } else {
            if (number.overflow || !FitsWidth(number.value, width)) return Fail(token, TooWideDigits(token.text, width));
            value = number.value;
        }
        return Advance();
    }

    bool Give(std::uint64_t address, std::uint64_t value, const Token& at) {
        if (address >= depth) return Fail(at, "address " + AddressText(address, target.depth) + " is beyond DEPTH = " + std::to_string(depth));
        std::uint32_t& given = givenAt[static_cast<std::size_t>(address)];
        if (given != 0) {
            return Fail(at, "address " + AddressText(address, target.depth) + " is given twice, first on line " +
                                std::to_string(given));
        }
        given = at.line;
        found.Add(static_cast<std::uint32_t>(address), value, at.line);
        return true;
    }

    // "a : v v ...;" or "[a..b] : v;"
    bool Entry() {
        const Token start = token;
        if (Is("[")) {
            std::uint64_t first = 0, last = 0, value = 0;
            if (!Advance() || !Address(first) || !Expect("..") || !Address(last) || !Expect("]") || !Expect(":")) {
                return false;
            }
            if (first > last) return Fail(start, "the range runs backwards, from a higher address to a lower");
            const Token at = token;
            if (!Value(value)) return false;
            if (!Is(";")) return Fail(token, "a range takes one value and ';', found " + Seen());
            for (std::uint64_t address = first; address <= last; ++address) {
                if (!Give(address, value, at)) return false;
            }
            return Advance();
        }
        std::uint64_t address = 0;
        if (!Address(address) || !Expect(":")) return false;
        do {
            const Token at = token;
            std::uint64_t value = 0;
            if (!Value(value) || !Give(address, value, at)) return false;
            ++address;
        } while (!Is(";"));
        return Advance();
    }

    bool Read() {
        if (!Advance() || !Header()) return false;
        for (;;) {
            if (token.kind == Kind::End) return Fail(token, "no END: the file ends among its entries (cut short?)");
            if (Is("END")) break;
            if (!Entry()) return false;
        }
        if (!Advance()) return false;
        if (Is(";") && !Advance()) return false;
        if (token.kind != Kind::End) return Fail(token, "text after END: " + Seen());
        return true;
    }
};

}  // namespace

bool SniffMif(std::string_view bytes) {
    const Target target{"", bytes, 0, 0, HexAddressing::Bytes};
    ReadError ignored;
    Lexer lexer = LexerOf(target, ignored);
    Token token;
    if (!lexer.Next(token) || token.kind != Kind::Word) return false;
    for (const char* keyword : {"DEPTH", "WIDTH", "ADDRESS_RADIX", "DATA_RADIX", "CONTENT"}) {
        if (EqualsIgnoringCase(token.text, keyword)) return true;
    }
    return false;
}

bool ReadMif(const Target& target, Found& found, ReadError& error) {
    MifReader reader{target, found, LexerOf(target, error), {}, 0, 0, {}, {}, {}};
    return reader.Read();
}

}  // namespace image::read
