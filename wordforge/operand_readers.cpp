#include "wordforge/operand_readers.hpp"

#include "wordforge/model_builder.hpp"

namespace wordforge {

namespace {

constexpr std::string_view kBlankRun =
    "                                                                                ";

// Reads digits of the given base, wrapping in 32 bits. The digits are taken
// straight from the source bytes and the reader moves past them at once.
std::int32_t ReadDigits(WordRun& run, std::uint32_t base, bool echo) {
    SourceReader& reader = run.reader;
    if (IsLineOver(reader.current)) return 0;
    const char* data = reader.text.data();
    std::size_t size = reader.text.size();
    bool keepCase = reader.keepCase;
    ListingLine& line = run.line;
    std::size_t first = reader.position - 1;  // the current character
    std::size_t at = first;
    std::uint32_t value = 0;
    for (char c = reader.current;;) {
        std::uint32_t digit;
        if (c >= '0' && c <= '9') {
            digit = static_cast<std::uint32_t>(c - '0');
        } else if (c >= 'A' && c <= 'F') {
            digit = static_cast<std::uint32_t>(c - 'A' + 10);
        } else {
            break;
        }
        if (digit >= base) break;
        value = value * base + digit;
        if (echo) Append(line, c);
        if (++at >= size) break;
        c = keepCase ? data[at] : UpperCase(data[at]);
    }
    if (at != first) {
        reader.position = at;
        NextChar(reader);
    }
    return static_cast<std::int32_t>(value);
}

void EchoWord(WordRun& run, const Word& word) { AppendEight(run.line, word.text.data(), word.length); }

// Looks the label up; an undefined one is noted as the line's fault, with
// whether a constant could have stood in its place.
bool LookUpValue(WordRun& run, const Word& name, std::size_t start, std::int32_t& value, bool constant) {
    const std::int32_t* found = FindLabel(run.symbols, name);
    ModelLabelUsed(run, name, start, found);
    if (found == nullptr) {
        NoteFault(run, Fault::UndefinedLabel, start);
        run.fault.name = name;
        run.fault.constant = constant;
        return false;
    }
    value = *found;
    return true;
}

// After the quote of a based literal: blanks, then the digits of the base
// that the letter names.
std::int32_t ReadBasedDigits(WordRun& run, char letter) {
    Echo(run, letter);
    Echo(run, '"');
    NextChar(run.reader);
    SkipBlanks(run.reader);
    if (letter == 'B') return ReadBase2(run);
    if (letter == 'O') return ReadOctal(run);
    return ReadHex(run, true);
}

// A sign followed by blanks, echoed; returns whether it was a minus.
bool ReadSign(WordRun& run) {
    bool negative = run.reader.current == '-';
    Echo(run, run.reader.current);
    NextChar(run.reader);
    SkipBlanks(run.reader);
    return negative;
}

}  // namespace

std::string HexWord(std::int32_t value) {
    std::string text(4, '0');
    HexDigits(text.data(), value);
    return text;
}

std::string_view Blanks(std::size_t n) { return kBlankRun.substr(0, n); }

std::int32_t ReadDecimal(WordRun& run, bool echo) { return ReadDigits(run, 10, echo); }
std::int32_t ReadHex(WordRun& run, bool echo) { return ReadDigits(run, 16, echo); }
std::int32_t ReadOctal(WordRun& run) { return ReadDigits(run, 8, true); }
std::int32_t ReadBase2(WordRun& run) { return ReadDigits(run, 2, true); }

bool ReadUnsigned(WordRun& run, std::int32_t& value) {
    SourceReader& reader = run.reader;
    if (IsDigit(reader.current)) {
        const std::size_t digits = reader.position - 1;
        value = ReadDecimal(run, true);
        ModelTokenToHere(run, digits, common::TokenKind::Number);
        return true;
    }
    if (!BeginsUnsigned(reader.current)) {
        NoteFault(run, Fault::OperandStart, CurrentOffset(reader));
        return false;
    }
    char letter = reader.current;
    std::size_t start = CurrentOffset(reader);
    NextChar(reader);
    if (reader.current != '"') {
        NoteFault(run, Fault::Quote, start);
        run.fault.name = MakeWord(std::string_view(&letter, 1));
        return false;
    }
    value = ReadBasedDigits(run, letter);
    ModelTokenToHere(run, start, common::TokenKind::Number);
    return true;
}

bool ReadSigned(WordRun& run, std::int32_t& value) {
    bool negative = false;
    if (run.reader.current == '+' || run.reader.current == '-') negative = ReadSign(run);
    if (!ReadUnsigned(run, value)) return false;
    if (negative) value = WrapNegate(value);
    return true;
}

bool ReadRegister(WordRun& run, int& reg) {
    SourceReader& reader = run.reader;
    // The usual register: one digit 0..3 with no digit after it, read here
    // without the general digit loop.
    const char c = reader.current;
    if (c >= '0' && c <= '3' && (reader.position >= reader.text.size() || !IsDigit(reader.text[reader.position]))) {
        const std::size_t digit = reader.position - 1;
        Echo(run, c);
        NextChar(reader);
        ModelTokenToHere(run, digit, common::TokenKind::Register);
        reg = c - '0';
        return true;
    }
    std::size_t start = CurrentOffset(reader);
    std::int32_t value = ReadDecimal(run, true);
    ModelTokenToHere(run, start, common::TokenKind::Register);
    if (value < 0 || value > 3) {
        NoteFault(run, Fault::Register, start);
        run.fault.value = value;
        return false;
    }
    reg = static_cast<int>(value);
    return true;
}

bool ReadAddress(WordRun& run, std::int32_t& value) {
    SourceReader& reader = run.reader;
    std::int32_t base;
    if (reader.current == '*') {
        Echo(run, '*');
        NextChar(reader);
        SkipBlanks(reader);
        base = run.location;
    } else if (IsLetter(reader.current)) {
        std::size_t start = CurrentOffset(reader);
        Word name;
        ReadWord(reader, name);
        SkipBlanks(reader);
        EchoWord(run, name);
        if (!LookUpValue(run, name, start, base, false)) return false;
    } else {
        NoteFault(run, Fault::OperandStart, CurrentOffset(reader));
        return false;
    }
    if (reader.current == '+' || reader.current == '-') {
        bool negative = ReadSign(run);
        const std::size_t digits = CurrentOffset(reader);
        std::int32_t offset = ReadDecimal(run, true);
        ModelTokenToHere(run, digits, common::TokenKind::Number);
        value = negative ? WrapSub(base, offset) : WrapAdd(base, offset);
    } else {
        value = base;
    }
    return true;
}

bool ReadConstant(WordRun& run, std::int32_t& value) {
    SourceReader& reader = run.reader;
    bool negative = false;
    if (reader.current == '+' || reader.current == '-') negative = ReadSign(run);

    char c = reader.current;
    if (c == '\'') {
        // A character literal: the quote and the next two characters of the
        // line as typed; no closing quote is read.
        const std::size_t quote = reader.position - 1;
        Echo(run, '\'');
        reader.keepCase = true;
        NextChar(reader);
        if (IsLineOver(reader.current)) {
            value = 0x2020;
        } else {
            Echo(run, reader.current);
            std::int32_t code = static_cast<unsigned char>(reader.current);
            NextChar(reader);
            if (IsLineOver(reader.current)) {
                code = code * 256 + ' ';
            } else {
                Echo(run, reader.current);
                code = code * 256 + static_cast<unsigned char>(reader.current);
                run.currentTaken = true;  // the reader stays on the character it used
            }
            value = code;
        }
        reader.keepCase = false;
        // Its last character, when it took two, is still the current one.
        ModelSpanToken(run, quote, run.currentTaken ? reader.position : CurrentOffset(reader), common::TokenKind::Number);
    } else if (IsDigit(c)) {
        const std::size_t digits = reader.position - 1;
        value = ReadDecimal(run, true);
        ModelTokenToHere(run, digits, common::TokenKind::Number);
    } else if (c == 'B' || c == 'O' || c == 'X') {
        std::size_t start = CurrentOffset(reader);
        NextChar(reader);
        bool blankSeen = false;
        if (reader.current == ' ') {
            SkipBlanks(reader);
            blankSeen = true;
        }
        if (reader.current == '"') {
            value = ReadBasedDigits(run, c);
            ModelTokenToHere(run, start, common::TokenKind::Number);
        } else {
            // The letter began a label; a blank after it ends the label.
            Word name;
            AppendToWord(name, c);
            if (!blankSeen) ReadWordOnto(reader, name);
            EchoWord(run, name);
            if (!LookUpValue(run, name, start, value, true)) return false;
        }
    } else if (IsLetter(c)) {
        std::size_t start = CurrentOffset(reader);
        Word name;
        ReadWord(reader, name);
        EchoWord(run, name);
        if (!LookUpValue(run, name, start, value, true)) return false;
    } else {
        NoteFault(run, Fault::OperandStart, CurrentOffset(reader));
        return false;
    }
    if (negative) value = WrapNegate(value);
    return true;
}

void CopyRest(WordRun& run, std::string_view stops, bool keepCase) {
    SourceReader& reader = run.reader;
    if (keepCase && stops.empty()) {
        // The rest of the line as typed, taken in one piece.
        if (!IsLineOver(reader.current)) {
            Echo(run, reader.current);
            Append(run.line, TakeRestOfLine(reader));
        }
        reader.keepCase = false;
        return;
    }
    reader.keepCase = keepCase;
    while (!IsLineOver(reader.current) && stops.find(reader.current) == std::string_view::npos) {
        Echo(run, reader.current);
        NextChar(reader);
    }
    reader.keepCase = false;
}

}  // namespace wordforge
