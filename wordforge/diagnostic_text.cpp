#include "wordforge/diagnostic_text.hpp"

#include <string>

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
    int entry = FindLabel(run.symbols, label);
    if (entry != kNotFound && static_cast<std::size_t>(entry) < run.definitionLines.size()) {
        message += " on line " + std::to_string(run.definitionLines[static_cast<std::size_t>(entry)]);
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

}  // namespace wordforge
