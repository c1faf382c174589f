#include "lsp/completion.hpp"

#include <algorithm>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "lsp/text.hpp"
#include "lsp/word_notes.hpp"
#include "lsp/word_text.hpp"
#include "wordforge/vocabulary.hpp"

namespace lsp {

namespace {

// The protocol's item kinds.
enum Kind : int { kKeyword = 14, kVariable = 6, kEnumMember = 20, kOperator = 24, kReference = 18, kConstant = 21 };

using Words = std::span<const std::string_view>;

constexpr std::string_view kClauseStarters[] = {"IF",  "GOTO", "CALL", "RETURN", "IOP", "IRA", "IAB", "NSQ", "READ",    "WRITE",
                                "R0",  "R1",   "R2",   "R3",     "R4",  "R5",  "R6",  "R7",  "RA",      "RAP",
                                "RB",  "RBP",  "PC",   "SET",    "C",   "IO",  "IR",  "IRB", "T",       "FLAG",
                                "NEX", "EXECUTE", "WITH"};
constexpr std::string_view kDestinations[] = {"R0", "R1", "R2", "R3", "R4", "R5", "R6", "R7", "RA", "RAP", "RB", "RBP", "PC"};
constexpr std::string_view kSources[] = {"R0", "R1", "R2", "R3", "R4", "R5", "R6", "R7", "RA", "RAP",
                         "RB", "RBP", "PC", "IO", "MM", "IR", "FSR", "ZERO"};
constexpr std::string_view kCounterSources[] = {"R0", "R1", "R2", "R3", "R4", "R5", "R6", "R7", "RA", "RAP"};
constexpr std::string_view kOperators[] = {"+", "-", "AND", "OR", "XOR", "$", "@", ":"};
constexpr std::string_view kShifts[] = {"SLL", "SRL", "SLA", "SRA", "SNX", "SWP", "NSH"};
constexpr std::string_view kConditions[] = {"ZER", "NEG", "CRY", "OV", "T", "CZ"};
constexpr std::string_view kLabelClauses[] = {"GOTO", "CALL", "THEN", "IOP", "IRA", "IAB"};
constexpr std::string_view kExceptionStarters[] = {"C", "IO", "IR", "IRA", "IRB", "T", "FLAG", "NEX", "EXECUTE", "WITH", "HLT", "OV"};

bool IsWordByte(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '"';
}

bool In(Words words, std::string_view word) { return std::find(words.begin(), words.end(), word) != words.end(); }

// The line before the cursor as words and signs, upper case, without the
// word the cursor is in (the client matches that part itself).
struct LineBefore {
    std::vector<std::string> tokens;
    bool inComment = false;
};

LineBefore ReadLineBefore(const DocumentView& view, std::uint32_t offset) {
    const Position position = PositionAt(view.document, offset, PositionEncoding::Utf8);
    const std::uint32_t start = view.document.lineStarts[position.line];
    std::string_view text = std::string_view(view.document.text).substr(start, offset - start);
    LineBefore line;
    if (text.find(';') != std::string_view::npos) {
        line.inComment = true;
        return line;
    }
    // The word under way is left out.
    while (!text.empty() && IsWordByte(text.back())) text.remove_suffix(1);
    std::size_t at = 0;
    while (at < text.size()) {
        const char c = text[at];
        if (c == ' ' || c == '\t') {
            ++at;
        } else if (IsWordByte(c)) {
            std::size_t end = at;
            while (end < text.size() && IsWordByte(text[end])) ++end;
            std::string word(text.substr(at, end - at));
            for (char& w : word) {
                if (w >= 'a' && w <= 'z') w = static_cast<char>(w - 'a' + 'A');
            }
            line.tokens.push_back(std::move(word));
            at = end;
        } else if (c == ':' && at + 1 < text.size() && text[at + 1] == '=') {
            line.tokens.emplace_back(":=");
            at += 2;
        } else {
            line.tokens.emplace_back(1, c);
            ++at;
        }
    }
    return line;
}

void AddWord(Json& items, std::string_view word, int kind, std::string_view documentation,
             std::string_view detail = {}) {
    Json item{{"label", word}, {"kind", kind}, {"documentation", documentation}};
    if (!detail.empty()) item["detail"] = detail;
    items.push_back(std::move(item));
}

void AddMicroWords(Json& items, Words words, int kind) {
    for (std::string_view word : words) AddWord(items, word, kind, MicroprogramNote(word));
}

void AddMicroLabels(Json& items, const ctrlforge::SourceModel& model) {
    for (const ctrlforge::ModelLabel& label : model.labels) {
        if (!label.defined) continue;
        const std::string line = std::to_string(label.definition.begin.line);
        const std::string detail = label.address >= 0
                                       ? Joined({"@", HexDigits(static_cast<std::uint64_t>(label.address), 3)})
                                       : Joined({"line ", line});
        AddWord(items, label.name, kReference, Joined({"label of the statement on line ", line}), detail);
    }
}

// A transfer's expression, from the tokens after ":=": after a source comes
// an operator, after an operator, ":" or a shift a source or shift.
void MicroTransfer(Json& items, const std::vector<std::string>& expression) {
    const bool wantsOperand = expression.empty() || In(kOperators, expression.back()) || In(kShifts, expression.back());
    if (wantsOperand) {
        AddMicroWords(items, kSources, kVariable);
        AddMicroWords(items, kShifts, kOperator);
    } else {
        AddMicroWords(items, kOperators, kOperator);
    }
}

void MicroCompletion(const DocumentView& view, const LineBefore& line, Json& items) {
    const std::vector<std::string>& tokens = line.tokens;
    if (tokens.empty()) {
        AddMicroWords(items, kClauseStarters, kKeyword);
        return;
    }
    const std::string& first = tokens.front();
    const std::string& last = tokens.back();
    if (first == "*" || first == ".") return;  // a heading names new labels; directives take none
    if (In(kLabelClauses, last)) {
        if (last == "GOTO") AddWord(items, "FETCH", kKeyword, MicroprogramNote("FETCH"));
        AddMicroLabels(items, view.run.microprogram);
        return;
    }
    if (last == "IF") {
        AddMicroWords(items, kConditions, kEnumMember);
        return;
    }
    if (last == "ELSE") {
        AddWord(items, "FETCH", kKeyword, MicroprogramNote("FETCH"));
        return;
    }
    if (tokens.size() == 4 && first == "IF" && tokens[2] == "=") {
        AddWord(items, "THEN", kKeyword, MicroprogramNote("THEN"));
        return;
    }
    if (tokens.size() == 6 && first == "IF" && tokens[4] == "THEN" && tokens[3] == "0") {
        AddWord(items, "ELSE", kKeyword, MicroprogramNote("ELSE"));
        return;
    }
    if (tokens.size() == 1 && first == "SET") {
        AddWord(items, "BY", kKeyword, MicroprogramNote("BY"));
        AddMicroWords(items, kExceptionStarters, kKeyword);
        return;
    }
    if (tokens.size() == 1 && first == "FLAG") return AddWord(items, "SAVE", kKeyword, MicroprogramNote("SAVE"));
    if (tokens.size() == 1 && first == "WITH") {
        AddWord(items, "CRY", kKeyword, MicroprogramNote("CRY"));
        AddWord(items, "ONE", kKeyword, MicroprogramNote("ONE"));
        return;
    }
    if (tokens.size() == 1 && first == "EXECUTE") return AddWord(items, "IO", kKeyword, MicroprogramNote("IO"));
    // Transfers: DEST := ..., SET BY ...; and the loads C :=, IR :=, IO :=.
    std::size_t assign = 0;
    while (assign < tokens.size() && tokens[assign] != ":=") ++assign;
    if (assign == 1 && (first == "C" || first == "IR" || first == "IO") && tokens.size() == 2) {
        if (first == "C") {
            AddWord(items, "RBUS", kVariable, MicroprogramNote("RBUS"));
            AddMicroWords(items, kCounterSources, kVariable);
        } else {
            AddWord(items, "LBUS", kVariable, MicroprogramNote("LBUS"));
            AddMicroWords(items, kSources, kVariable);
        }
        return;
    }
    if (assign == 1 && In(kDestinations, first)) {
        MicroTransfer(items, std::vector<std::string>(tokens.begin() + 2, tokens.end()));
        return;
    }
    if (tokens.size() >= 2 && first == "SET" && tokens[1] == "BY") {
        MicroTransfer(items, std::vector<std::string>(tokens.begin() + 2, tokens.end()));
    }
}

// The mnemonics that take an address (or, DC, a constant that may be a
// label): after the register and comma for L, ST and LA.
constexpr std::string_view kAddressMnemonics[] = {"BDIS", "BP", "BZ", "BM", "BC", "BNP", "BNZ", "BNM", "BNC", "B", "BI", "BSR", "DC"};
constexpr std::string_view kRegisterAddressMnemonics[] = {"L", "ST", "LA"};

void AddAssemblyLabels(Json& items, const wordforge::SourceModel& model) {
    for (const wordforge::ModelLabel& label : model.labels) {
        if (!label.defined) continue;
        AddWord(items, label.name, kReference, Joined({"label of line ", std::to_string(label.definition.begin.line)}),
                Joined({"@", HexDigits(static_cast<std::uint32_t>(label.value) & 0xFFFFu, 4)}));
    }
}

void AssemblyCompletion(const DocumentView& view, const LineBefore& line, Json& items) {
    std::vector<std::string> tokens = line.tokens;
    // A label and its colon are no part of the statement.
    if (tokens.size() >= 2 && tokens[1] == ":") tokens.erase(tokens.begin(), tokens.begin() + 2);
    if (tokens.empty()) {
        for (std::string_view mnemonic : wordforge::Mnemonics()) {
            AddWord(items, mnemonic, kKeyword, AssemblyNote(mnemonic));
        }
        return;
    }
    const std::string& mnemonic = tokens.front();
    if ((mnemonic == "RIO" || mnemonic == "WIO") && tokens.size() == 1) {
        for (std::string_view device : wordforge::DeviceNames()) {
            AddWord(items, device, kConstant, AssemblyNote(device));
        }
        return;
    }
    const bool address = (In(kAddressMnemonics, mnemonic) && (tokens.size() == 1 ||
                                                               (mnemonic == "DC" && tokens.size() == 2 &&
                                                                (tokens[1] == "-" || tokens[1] == "+")))) ||
                         (In(kRegisterAddressMnemonics, mnemonic) && tokens.size() == 3 && tokens[2] == ",");
    if (address) AddAssemblyLabels(items, view.run.assembly);
}

}  // namespace

Json Completion(const DocumentView& view, std::uint32_t offset) {
    const LineBefore line = ReadLineBefore(view, offset);
    Json items = Json::array();
    if (!line.inComment) {
        if (view.run.language == Language::Microprogram) {
            MicroCompletion(view, line, items);
        } else {
            AssemblyCompletion(view, line, items);
        }
    }
    return Json{{"isIncomplete", false}, {"items", std::move(items)}};
}

}  // namespace lsp
