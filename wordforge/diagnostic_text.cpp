#include "wordforge/diagnostic_text.hpp"

#include <charconv>
#include <string>
#include <string_view>

namespace wordforge {

namespace {

std::string Quoted(char c) {
    if (c == kLineEnd || c == kFileEnd) return "the line end";
    std::string text = "'";
    text += c;
    text += '\'';
    return text;
}

std::string FaultMessage(const WordRun& run) {
    const FaultNote& fault = run.fault;
    const std::string name(View(fault.name));
    const char found = run.reader.current;
    switch (fault.cause) {
        case Fault::UnknownMnemonic: return "unknown mnemonic " + name;
        case Fault::LoneLabel: return "label " + name + " stands alone: a mnemonic must follow it";
        case Fault::Register: return "register " + std::to_string(fault.value) + " outside 0..3";
        case Fault::Comma: return "missing comma after the register, found " + Quoted(found);
        case Fault::Quote: return "'\"' missing after the base letter " + name;
        case Fault::IndexOpen: return "an index register in parentheses is required, found " + Quoted(found);
        case Fault::IndexClose: return "missing ')' after the index register, found " + Quoted(found);
        case Fault::UndefinedLabel: return "undefined label " + name;
        case Fault::Device:
            if (fault.name.length != 0) return "unknown device " + name + " (CR, LPT or 0..255)";
            return "device " + std::to_string(fault.value) + " outside 0..255";
        case Fault::StorageCount:
            if (fault.value < 0) return "DS needs a decimal count";
            return "DS count " + std::to_string(fault.value) + " out of range";
        case Fault::Title: return "TITLE is allowed only as the first statement";
        case Fault::OperandStart: break;
    }
    if (found == kLineEnd || found == kFileEnd) return "operand missing";
    return "an operand cannot begin with " + Quoted(found);
}

void Emit(WordRun& run, std::size_t offset, const char* tag, std::string message) {
    common::Record(*run.diagnostics, offset, common::Severity::Error, tag, std::move(message));
}

}  // namespace

void RecordFlag(WordRun& run, char flag) {
    if (flag == 'L') {
        Emit(run, run.fault.offset, "L",
             "displacement " + std::to_string(run.fault.value) + " outside -128..127");
        return;
    }
    Emit(run, run.fault.offset, "F", FaultMessage(run));
}

void RecordDuplicate(WordRun& run, const Word& label, std::size_t offset) {
    std::string message = "label " + std::string(View(label)) + " already defined";
    if (const std::int32_t* line = common::FindName(run.definitionLines, LabelKey(label))) {
        message += " on line " + std::to_string(*line);
    }
    Emit(run, offset, "D", std::move(message));
}

void RecordErrorLine(WordRun& run) {
    const char c = run.reader.current;
    std::string message;
    if (c == kFileEnd) {
        message = "the source ends without END";
    } else if (c == kLineEnd) {
        message = "blank line: a line must begin with a letter or ';'";
    } else {
        message = "a line must begin with a letter or ';', found " + Quoted(c);
    }
    Emit(run, CurrentOffset(run.reader), "F", std::move(message));
}

void RecordMissingEnd(WordRun& run) { Emit(run, run.reader.text.size(), "F", "END missing"); }

namespace {

void Warn(WordRun& run, std::size_t offset, std::string_view name, std::string_view message) {
    char tag[32] = {'-', 'W'};
    const std::size_t size = 2 + name.copy(tag + 2, sizeof tag - 2);
    common::Record(*run.diagnostics, offset, common::Severity::Warning, std::string_view(tag, size), message);
}

// Where text that the rest of the statement drops begins, looking ahead of
// the reader without moving it; npos when only blanks, a comment or the line
// end follow.
std::size_t DroppedTextAt(const WordRun& run) {
    const SourceReader& reader = run.reader;
    if (IsLineOver(reader.current) || reader.current == ';') return std::string_view::npos;
    std::size_t at = run.currentTaken ? reader.position : reader.position - 1;
    while (at < reader.text.size() && (reader.text[at] == ' ' || reader.text[at] == '\t')) ++at;
    if (at >= reader.text.size()) return std::string_view::npos;
    char c = reader.text[at];
    return c == '\r' || c == '\n' || c == ';' ? std::string_view::npos : at;
}

std::string Hex(std::uint32_t value, int digits) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string text(static_cast<std::size_t>(digits), '0');
    for (int i = digits - 1; i >= 0; --i, value >>= 4) text[static_cast<std::size_t>(i)] = kHex[value & 0xF];
    return text;
}

}  // namespace

void WarnTruncation(WordRun& run, std::int32_t value, int bits, std::size_t offset) {
    const std::int32_t lowest = bits == 8 ? -128 : -32768;
    const std::int32_t highest = bits == 8 ? 255 : 65535;
    if (value >= lowest && value <= highest) return;
    Warn(run, offset, "truncation",
         "value " + std::to_string(value) + " does not fit in " + std::to_string(bits) + " bits; " +
             Hex(static_cast<std::uint32_t>(value), bits / 4) + " is used");
}

void WarnOrigin(WordRun& run, bool digitsFound, std::int32_t value, std::size_t offset) {
    const std::string address = Hex(static_cast<std::uint32_t>(value), 4);
    if (!digitsFound) {
        Warn(run, offset, "org",
             "ORG operand begins with no hexadecimal digit; the location counter is set to " + address);
        return;
    }
    std::size_t dropped = DroppedTextAt(run);
    if (dropped != std::string_view::npos) {
        Warn(run, dropped, "org", "text after the ORG address is dropped; the location counter is set to " + address);
    }
}

void WarnOverlap(WordRun& run, std::int32_t address) {
    const std::size_t slot = static_cast<std::uint32_t>(address) & 0xFFFFu;
    std::int32_t earlier = run.wordLines[slot];
    run.wordLines[slot] = run.statementLine;
    if (earlier == 0) return;
    if (run.overlapWarned) return;  // one warning a statement
    run.overlapWarned = true;
    // A program larger than the address space warns on nearly every line,
    // so the message is built in the room the sink keeps for it.
    std::string& text = run.diagnostics->text;
    text.assign("word at ");
    text += Hex(static_cast<std::uint32_t>(address), 4);
    text += " replaces the word placed there on line ";
    char digits[12];
    text.append(digits, std::to_chars(digits, digits + sizeof digits, earlier).ptr);
    Warn(run, run.statementStart, "overlap", text);
}

void WarnTrailingText(WordRun& run) {
    std::size_t dropped = DroppedTextAt(run);
    if (dropped != std::string_view::npos) Warn(run, dropped, "trailing-text", "text after the operand is dropped");
}

}  // namespace wordforge
