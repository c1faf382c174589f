#include "cli/decode_commands.hpp"

namespace cli {

namespace {

bool HexDigitValue(char c, unsigned& value) {
    if (c >= '0' && c <= '9') {
        value = static_cast<unsigned>(c - '0');
    } else if (c >= 'A' && c <= 'F') {
        value = static_cast<unsigned>(c - 'A' + 10);
    } else if (c >= 'a' && c <= 'f') {
        value = static_cast<unsigned>(c - 'a' + 10);
    } else {
        return false;
    }
    return true;
}

}  // namespace

bool ExplainCommand(const ProgramInfo& program, const std::string& digits, std::ostream& out, std::string& problem) {
    const WordReading& reading = program.reading;
    std::uint64_t word = 0;
    bool ok = digits.size() == reading.hexDigits;
    for (std::size_t i = 0; ok && i < digits.size(); ++i) {
        unsigned value = 0;
        ok = HexDigitValue(digits[i], value);
        word = (word << 4) | value;
    }
    if (!ok) {
        problem = "--explain needs a word of " + std::to_string(reading.hexDigits) + " hexadecimal digits, not '" +
                  digits + "'";
        return false;
    }
    out << reading.explain(word);
    return true;
}

}  // namespace cli
