#include "wordforge/diagnostic_text.hpp"

#include <charconv>
#include <string>
#include <string_view>

#include "common/suggestion.hpp"

namespace wordforge {

namespace {

std::string Quoted(char c) {
    if (c == kLineEnd || c == kFileEnd) return "the line end";
    std::string text = "'";
    text += c;
    text += '\'';
    return text;
}

// The word at `offset` as the user wrote it.
std::string_view WrittenAt(const WordRun& run, std::size_t offset) {
    const std::string_view text = run.reader.text;
    if (offset >= text.size()) return {};
    return text.substr(offset, common::TokenLengthAt(text, offset));
}

bool IsDigitOfBase(char c, char letter) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    switch (letter) {
        case 'B': return c == '0' || c == '1';
        case 'O': return c >= '0' && c <= '7';
        default: return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
    }
}

// The based constant a word means when its quote is missing: X7FFF for
// X"7FFF. Built in the run's suggestion; false when the word is no such
// constant.
bool MissingQuote(WordRun& run, std::string_view written) {
    if (written.size() < 2) return false;
    char letter = written[0];
    if (letter >= 'a' && letter <= 'z') letter = static_cast<char>(letter - 'a' + 'A');
    if (letter != 'B' && letter != 'O' && letter != 'X') return false;
    for (char c : written.substr(1)) {
        if (!IsDigitOfBase(c, letter)) return false;
    }
    run.suggestion.clear();
    run.suggestion.push_back(written[0]);
    run.suggestion.push_back('"');
    for (char c : written.substr(1)) run.suggestion.push_back(c);
    return true;
}

// The clearly nearest defined label, in the run's suggestion.
bool NearestLabel(WordRun& run, std::string_view name) {
    common::Nearest nearest = common::NearestTo(name);
    for (const SymbolEntry& entry : run.symbols.entries) {
        if (run.suggestionBudget == 0) break;
        --run.suggestionBudget;
        common::Consider(nearest, View(entry));
    }
    const std::string_view best = common::Suggestion(nearest);
    if (best.empty()) return false;
    run.suggestion.assign(best);
    return true;
}

bool NearestMnemonic(WordRun& run, std::string_view name) {
    common::Nearest nearest = common::NearestTo(name);
    for (std::string_view mnemonic : kMnemonicTable) common::Consider(nearest, mnemonic);
    const std::string_view best = common::Suggestion(nearest);
    if (best.empty()) return false;
    run.suggestion.assign(best);
    return true;
}

// The message of the line's fault; a likely fix goes to run.suggestion and
// `suggested` is set.
std::string FaultMessage(WordRun& run, bool& suggested) {
    const FaultNote& fault = run.fault;
    const std::string name(View(fault.name));
    const char found = run.reader.current;
    suggested = false;
    switch (fault.cause) {
        case Fault::UnknownMnemonic:
            suggested = NearestMnemonic(run, View(fault.name));
            return "unknown mnemonic " + name + (suggested ? "; did you mean " + run.suggestion + "?" : "");
        case Fault::LoneLabel: return "label " + name + " stands alone: a mnemonic must follow it";
        case Fault::Register: return "register " + std::to_string(fault.value) + " outside 0..3";
        case Fault::Comma: return "missing comma after the register, found " + Quoted(found);
        case Fault::Quote:
            suggested = MissingQuote(run, WrittenAt(run, fault.offset));
            return "'\"' missing after the base letter " + name +
                   (suggested ? "; did you mean " + run.suggestion + "?" : "");
        case Fault::IndexOpen: return "an index register in parentheses is required, found " + Quoted(found);
        case Fault::IndexClose: return "missing ')' after the index register, found " + Quoted(found);
        case Fault::UndefinedLabel:
            suggested = (fault.constant && MissingQuote(run, WrittenAt(run, fault.offset))) ||
                        NearestLabel(run, View(fault.name));
            return "undefined label " + name + (suggested ? "; did you mean " + run.suggestion + "?" : "");
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

void Emit(WordRun& run, std::size_t offset, const char* tag, std::string message, std::string_view fix = {},
          common::Severity severity = common::Severity::Error) {
    common::Record(*run.diagnostics, offset, severity, tag, std::move(message), common::kTokenRule, fix);
}

}  // namespace

void RecordFlag(WordRun& run, char flag) {
    if (flag == 'L') {
        Emit(run, run.fault.offset, "L",
             "displacement " + std::to_string(run.fault.value) + " outside -128..127");
        return;
    }
    bool suggested = false;
    std::string message = FaultMessage(run, suggested);
    Emit(run, run.fault.offset, "F", std::move(message), suggested ? std::string_view(run.suggestion) : std::string_view{});
}

void RecordDuplicate(WordRun& run, const Word& label, std::size_t offset) {
    std::string message = "label " + std::string(View(label)) + " already defined";
    if (const std::int32_t* line = common::FindName(run.definitionLines, LabelKey(label))) {
        message += " on line " + std::to_string(*line);
    }
    Emit(run, offset, "D", std::move(message));
}

namespace {

constexpr std::string_view kNoEnd = "the source ends without END; end the program with an END line";

// The end of the source's last line: before the line end that closes it.
std::size_t EndOfLastLine(const WordRun& run, std::size_t end) {
    const std::string_view text = run.reader.text;
    if (end > 0 && text[end - 1] == '\n') --end;
    if (end > 0 && text[end - 1] == '\r') --end;
    return end;
}

}  // namespace

void RecordErrorLine(WordRun& run) {
    const char c = run.reader.current;
    std::string message;
    if (c == kFileEnd) {
        // The empty line after the last line end: named at the end of the
        // last line, where END belongs.
        run.endReported = true;
        Emit(run, EndOfLastLine(run, CurrentOffset(run.reader)), "F", std::string(kNoEnd));
        return;
    }
    if (c == kLineEnd) {
        message = "blank line: a line must begin with a letter or ';'";
    } else {
        message = "a line must begin with a letter or ';', found " + Quoted(c);
    }
    Emit(run, CurrentOffset(run.reader), "F", std::move(message));
}

void RecordMissingEnd(WordRun& run) {
    if (run.endReported) {
        // The listing counts the missing END a second time, on its own "F"
        // line; the note stands for that count.
        Emit(run, EndOfLastLine(run, run.reader.text.size()), "F",
             "the listing counts this twice: the empty line after the last line end, and the missing END",
             {}, common::Severity::Note);
        return;
    }
    Emit(run, run.reader.text.size(), "F", std::string(kNoEnd));
}

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
