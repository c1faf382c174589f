#include "lsp/hover.hpp"

#include <algorithm>
#include <string>
#include <vector>

#include "lsp/diagnostics_json.hpp"
#include "lsp/error_fixes.hpp"
#include "lsp/text.hpp"
#include "lsp/word_notes.hpp"
#include "lsp/word_text.hpp"

namespace lsp {

namespace {

// A table for markdown, or aligned columns for plain text.
struct Table {
    std::vector<std::vector<std::string>> rows;  // the first is the heading
};

std::string TableText(const Table& table, bool markdown) {
    std::string text;
    if (markdown) {
        for (std::size_t r = 0; r < table.rows.size(); ++r) {
            text += '|';
            for (const std::string& cell : table.rows[r]) text += " " + cell + " |";
            text += '\n';
            if (r == 0) {
                text += '|';
                for (std::size_t c = 0; c < table.rows[r].size(); ++c) text += "---|";
                text += '\n';
            }
        }
        return text;
    }
    // Widths in characters: "–" is three bytes, one column.
    const auto width = [](std::string_view cell) {
        return static_cast<std::size_t>(
            std::count_if(cell.begin(), cell.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
    };
    std::vector<std::size_t> widths;
    for (const auto& row : table.rows) {
        widths.resize(std::max(widths.size(), row.size()));
        for (std::size_t c = 0; c < row.size(); ++c) widths[c] = std::max(widths[c], width(row[c]));
    }
    for (const auto& row : table.rows) {
        std::string line;
        for (std::size_t c = 0; c < row.size(); ++c) {
            line += row[c];
            if (c + 1 < row.size()) line += std::string(widths[c] - width(row[c]) + 2, ' ');
        }
        text += line + '\n';
    }
    return text;
}

// Markdown's code and strong marks, or nothing in plain text.
std::string Code(std::string_view text, bool markdown) {
    return markdown ? Joined({"`", text, "`"}) : std::string(text);
}
std::string Strong(std::string_view text, bool markdown) {
    return markdown ? Joined({"**", text, "**"}) : std::string(text);
}

// Message text as markdown shows it literally.
std::string Escaped(std::string_view text, bool markdown) {
    if (!markdown) return std::string(text);
    std::string escaped;
    for (char c : text) {
        if (c == '\\' || c == '`' || c == '*' || c == '_' || c == '[' || c == ']' || c == '<' || c == '>' ||
            c == '#' || c == '|') {
            escaped += '\\';
        }
        escaped += c;
    }
    return escaped;
}

std::string Plural(std::size_t count, std::string_view one) {
    return std::to_string(count) + " " + std::string(one) + (count == 1 ? "" : "s");
}

std::string Upper(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return upper;
}

template <typename Item, typename Begin>
const Item* Around(const std::vector<Item>& items, std::uint32_t offset, Begin begin,
                   const common::SourceSpan& (*span)(const Item&)) {
    const auto after = std::upper_bound(items.begin(), items.end(), offset,
                                        [&](std::uint32_t at, const Item& item) { return at < begin(item); });
    if (after == items.begin()) return nullptr;
    const Item& item = *(after - 1);
    return Holds(span(item), offset) ? &item : nullptr;
}

const common::SourceSpan& TokenSpan(const common::ModelToken& token) { return token.span; }
const common::SourceSpan& StatementSpan(const ctrlforge::ModelStatement& statement) { return statement.span; }
const common::SourceSpan& LineSpan(const wordforge::ModelLine& line) { return line.span; }

const common::ModelToken* TokenAt(const std::vector<common::ModelToken>& tokens, std::uint32_t offset) {
    return Around(tokens, offset, [](const common::ModelToken& t) { return t.span.begin.offset; }, TokenSpan);
}

// The diagnostics that cover the cursor: on its line, from their column up
// to their end column (a diagnostic at a line's end covers that end).
void DiagnosticSections(const DocumentView& view, std::uint32_t offset, bool markdown,
                        std::vector<std::string>& sections) {
    const Position position = PositionAt(view.document, offset, PositionEncoding::Utf8);
    const std::int32_t line = static_cast<std::int32_t>(position.line) + 1;
    const std::int32_t column = static_cast<std::int32_t>(position.character) + 1;
    for (const common::Diagnostic& diagnostic : view.run.diagnostics) {
        if (diagnostic.line != line || column < diagnostic.column ||
            column > std::max(diagnostic.endColumn, diagnostic.column)) {
            continue;
        }
        std::string text = Strong(common::SeverityName(diagnostic.severity), markdown);
        if (!diagnostic.tag.empty()) text += " [" + diagnostic.tag + "]";
        text += Joined({" ", ProgramName(view.run.language), ": ", Escaped(diagnostic.message, markdown)});
        const std::string_view fix = FixFor(view.run.language, diagnostic);
        if (!fix.empty()) text += "\n\nFix: " + std::string(fix);
        sections.push_back(std::move(text));
    }
}

std::string_view ClassText(std::uint8_t placementClass) {
    switch (placementClass) {
        case 2: return "a branch target";
        case 3: return "an IRA target: 0 to 3 within a 16-word block";
        case 4: return "an IOP target: a multiple of 16";
        case 5: return "an IAB target: 0 to 3 within a 64-word block";
        default: return "placed at the next free address";
    }
}

std::string MicroLabelSection(const ctrlforge::ModelLabel& label, bool markdown) {
    std::string text = Strong("label " + label.name, markdown) + " — ";
    if (!label.defined) {
        text += "used but never defined (error 20)";
    } else if (label.address >= 0) {
        text += "address " + HexDigits(static_cast<std::uint64_t>(label.address), 3) + ", " +
                std::string(ClassText(label.placementClass));
    } else {
        text += "defined on line " + std::to_string(label.definition.begin.line) +
                ", not placed: the source has errors; " + std::string(ClassText(label.placementClass));
    }
    return text + "; " + Plural(label.uses.size(), "use");
}

std::string AssemblyLabelSection(const wordforge::ModelLabel& label, bool markdown) {
    std::string text = Strong("label " + label.name, markdown) + " — ";
    if (!label.defined) {
        text += "used but never defined";
    } else {
        text += "address " + HexDigits(static_cast<std::uint32_t>(label.value) & 0xFFFFu, 4) + ", defined on line " +
                std::to_string(label.definition.begin.line);
    }
    return text + "; " + Plural(label.uses.size(), "use");
}

std::string_view UseText(ctrlforge::LabelUse use) {
    switch (use) {
        case ctrlforge::LabelUse::Goto: return "GOTO";
        case ctrlforge::LabelUse::Call: return "CALL";
        case ctrlforge::LabelUse::IfThen: return "IF ... THEN";
        case ctrlforge::LabelUse::Iop: return "IOP";
        case ctrlforge::LabelUse::Ira: return "IRA";
        case ctrlforge::LabelUse::Iab: return "IAB";
    }
    return "";
}

std::string StatementSection(const ctrlforge::SourceModel& model, const ctrlforge::ModelStatement& statement,
                             bool markdown) {
    const std::size_t index = static_cast<std::size_t>(&statement - model.statements.data());
    std::string text;
    if (!statement.packed) {
        text = Strong("statement", markdown);
        if (statement.address >= 0) {
            text += " at " + HexDigits(static_cast<std::uint64_t>(statement.address), 3);
        } else if (statement.headingAddress >= 0) {
            text += ", heading address " + HexDigits(static_cast<std::uint64_t>(statement.headingAddress) & 0xFFFFu, 3);
        }
        text += statement.inError ? " — not assembled: an error stopped it" : " — not assembled: the source has errors";
        return text;
    }
    text = Strong("statement at " + HexDigits(static_cast<std::uint64_t>(statement.address), 3), markdown) +
           " — word " + Code(HexDigits(statement.word, 10), markdown) + "\n\n";
    Table table;
    table.rows.push_back({"field", "bits", "code", "mnemonic"});
    for (std::size_t f = 0; f < ctrlforge::kWordFields; ++f) {
        const ctrlforge::FieldBits& bits = ctrlforge::kFieldBits[f];
        const ctrlforge::ModelField& field = statement.fields[f];
        table.rows.push_back({bits.name, std::to_string(bits.high) + "–" + std::to_string(bits.low),
                              Code(BinaryDigits(field.bits, bits.high - bits.low + 1), markdown),
                              std::string(ctrlforge::CellText(field))});
    }
    text += TableText(table, markdown);
    if (statement.target >= 0 && static_cast<std::size_t>(statement.target) < model.labels.size()) {
        const ctrlforge::ModelLabel& target = model.labels[static_cast<std::size_t>(statement.target)];
        std::string clause;
        for (const ctrlforge::ModelLabelUse& use : target.uses) {
            if (use.statement == static_cast<std::int32_t>(index)) clause = std::string(UseText(use.clause)) + " ";
        }
        text += "\n" + clause + "branches to " + Strong(target.name, markdown);
        if (statement.targetAddress >= 0) text += " at " + HexDigits(static_cast<std::uint64_t>(statement.targetAddress), 3);
    }
    return text;
}

std::string LineSection(const wordforge::SourceModel& model, const wordforge::ModelLine& line, bool markdown) {
    std::string text = Strong("line " + std::to_string(line.line), markdown);
    if (line.address >= 0) text += ", address " + HexDigits(static_cast<std::uint32_t>(line.address), 4);
    if (line.kind == wordforge::LineKind::Error) {
        std::string flags;
        for (char flag : line.flags) {
            if (flag != ' ') flags += flag;
        }
        return text + " — flagged " + flags + ": no word";
    }
    const std::span<const wordforge::ModelWord> words = wordforge::WordsOf(model, line);
    if (words.empty()) return line.kind == wordforge::LineKind::Comment ? std::string() : text + " — no word";
    if (words.size() == 1) {
        text += " — word " + Code(HexDigits(words.front().value, 4), markdown);
    } else {
        text += Joined({" — ", std::to_string(words.size()), " words: ", Code(WordsText(model, line), markdown)});
    }
    if (line.kind == wordforge::LineKind::Instruction) {
        const wordforge::InstructionFields& fields = line.fields;
        text += "\n\n";
        Table table;
        table.rows.push_back({"field", "bits", "value"});
        table.rows.push_back({"operation", "15–12", Code(HexDigits(fields.operation, 1), markdown)});
        if (fields.operation == 0xE) {
            table.rows.push_back({"sub-code (modifier, register)", "11–8",
                                  Code(HexDigits(static_cast<unsigned>(fields.modifier * 4 + fields.reg), 1), markdown)});
        } else {
            table.rows.push_back({"modifier", "11–10", Code(std::to_string(fields.modifier), markdown)});
            table.rows.push_back({"register", "9–8", Code(std::to_string(fields.reg), markdown)});
        }
        table.rows.push_back({"operand byte", "7–0", Code(HexDigits(fields.operand, 2), markdown)});
        text += TableText(table, markdown);
    }
    if (line.operandLabel >= 0 && static_cast<std::size_t>(line.operandLabel) < model.labels.size()) {
        const wordforge::ModelLabel& label = model.labels[static_cast<std::size_t>(line.operandLabel)];
        text += "\noperand: label " + Strong(label.name, markdown);
        if (label.defined) text += " at " + HexDigits(static_cast<std::uint32_t>(label.value) & 0xFFFFu, 4);
    }
    return text;
}

std::string_view NoteOf(const DocumentView& view, const common::ModelToken& token) {
    using common::TokenKind;
    if (token.kind == TokenKind::Label || token.kind == TokenKind::Number || token.kind == TokenKind::Comment ||
        token.kind == TokenKind::Title) {
        return {};
    }
    const std::string word = Upper(std::string_view(view.document.text)
                                       .substr(token.span.begin.offset, token.span.end.offset - token.span.begin.offset));
    return view.run.language == Language::Microprogram ? MicroprogramNote(word) : AssemblyNote(word);
}

}  // namespace

Json Hover(const DocumentView& view, std::uint32_t offset, bool markdown) {
    std::vector<std::string> sections;
    DiagnosticSections(view, offset, markdown, sections);

    const std::vector<common::ModelToken>& tokens =
        view.run.language == Language::Microprogram ? view.run.microprogram.tokens : view.run.assembly.tokens;
    const common::ModelToken* token = TokenAt(tokens, offset);
    if (const LabelSite* site = LabelSiteAt(view.run, offset); site != nullptr && site->label >= 0) {
        const std::size_t label = static_cast<std::size_t>(site->label);
        if (view.run.language == Language::Microprogram && label < view.run.microprogram.labels.size()) {
            sections.push_back(MicroLabelSection(view.run.microprogram.labels[label], markdown));
        } else if (view.run.language == Language::Assembly && label < view.run.assembly.labels.size()) {
            sections.push_back(AssemblyLabelSection(view.run.assembly.labels[label], markdown));
        }
    } else if (token != nullptr) {
        const std::string_view note = NoteOf(view, *token);
        if (!note.empty()) {
            const std::string word = Upper(std::string_view(view.document.text)
                                               .substr(token->span.begin.offset,
                                                       token->span.end.offset - token->span.begin.offset));
            sections.push_back(Code(word, markdown) + ": " + std::string(note));
        }
    }

    if (view.run.language == Language::Microprogram) {
        const auto& statements = view.run.microprogram.statements;
        const ctrlforge::ModelStatement* statement = Around(
            statements, offset, [](const ctrlforge::ModelStatement& s) { return s.span.begin.offset; }, StatementSpan);
        if (statement != nullptr) sections.push_back(StatementSection(view.run.microprogram, *statement, markdown));
    } else {
        const auto& lines = view.run.assembly.lines;
        const wordforge::ModelLine* line =
            Around(lines, offset, [](const wordforge::ModelLine& l) { return l.span.begin.offset; }, LineSpan);
        if (line != nullptr) {
            std::string section = LineSection(view.run.assembly, *line, markdown);
            if (!section.empty()) sections.push_back(std::move(section));
        }
    }

    if (sections.empty()) return nullptr;
    std::string value;
    for (const std::string& section : sections) {
        if (!value.empty()) value += markdown ? "\n\n---\n\n" : "\n\n";
        value += section;
    }
    Json hover{{"contents", {{"kind", markdown ? "markdown" : "plaintext"}, {"value", std::move(value)}}}};
    if (token != nullptr) hover["range"] = SpanRange(view, token->span);
    return hover;
}

}  // namespace lsp
