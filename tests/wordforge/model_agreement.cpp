#include "model_agreement.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "assembly_helpers.hpp"
#include "common/diagnostics.hpp"
#include "wordforge/wordforge.hpp"

namespace wordforge_test {

namespace {

using wordforge::LineKind;
using wordforge::ModelLine;
using common::TokenKind;

const std::set<std::string> kInstructions = {
    "ADD", "SUB", "AND", "OR",  "XOR", "MULT", "DIV", "CMP", "EX",  "LC",  "PUSH", "POP", "SL",
    "SA",  "SC",  "BIX", "LEA", "LX",  "STX",  "L",   "ST",  "LA",  "BDIS", "BP",  "BZ",  "BM",
    "BC",  "BNP", "BNZ", "BNM", "BNC", "B",    "BI",  "BSR", "RIO", "WIO", "RET", "NOP", "HLT"};
// Those whose operand is an address, held in the word as a displacement.
const std::set<std::string> kAddressed = {"L",   "ST",  "LA",  "BDIS", "BP", "BZ", "BM",
                                          "BC",  "BNP", "BNZ", "BNM",  "B",  "BI", "BSR"};
const std::set<std::string> kPseudo = {"DC", "DS", "ORG", "TITLE", "END"};
const std::set<std::string> kKeywords = {"DC", "DS", "ORG", "TITLE", "END", "CR", "LPT"};

std::string Hex4(std::uint32_t value) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string text(4, '0');
    for (int i = 3; i >= 0; --i, value >>= 4) text[static_cast<std::size_t>(i)] = kHex[value & 0xF];
    return text;
}

std::string Upper(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return upper;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsAlpha(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }
bool IsAlnum(char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; }

std::string_view TextOf(std::string_view text, const common::SourceSpan& span) {
    return text.substr(span.begin.offset, span.end.offset - span.begin.offset);
}

// The first character of a line after its blanks, upper-cased; 0 for none.
char FirstOf(std::string_view line) {
    for (char c : line) {
        if (!IsBlank(c)) return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return 0;
}

// The characters the listing shows, blanks and tabs aside, stand in the
// source text in the same order (letter case aside).
bool MadeOf(std::string_view shown, std::string_view text) {
    const std::string source = Upper(text);
    std::size_t at = 0;
    for (char c : Upper(shown)) {
        if (IsBlank(c)) continue;
        at = source.find(c, at);
        if (at == std::string::npos) return false;
        ++at;
    }
    return true;
}

std::string Trimmed(std::string text) {
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

void ExpectPlace(common::LineLocator& locator, const common::SourcePlace& place) {
    const common::Place expected = common::Locate(locator, place.offset);
    EXPECT_EQ(place.line, expected.line) << "offset " << place.offset;
    EXPECT_EQ(place.column, expected.column) << "offset " << place.offset;
}

void ExpectSpan(common::LineLocator& locator, const common::SourceSpan& span) {
    ExpectPlace(locator, span.begin);
    ExpectPlace(locator, span.end);
    EXPECT_LE(span.begin.offset, span.end.offset);
    EXPECT_EQ(span.begin.line, span.end.line);
}

// The label table at the foot of the listing: name to its 4 hex digits.
std::map<std::string, std::string> LabelTable(const std::vector<std::string>& listing) {
    std::map<std::string, std::string> table;
    auto head = std::find(listing.rbegin(), listing.rend(), "LABEL(S)");
    if (head == listing.rend()) {
        ADD_FAILURE() << "no label table";
        return table;
    }
    for (auto row = head.base(); row != listing.end(); ++row) {
        for (std::size_t at = 0; at + 18 <= row->size(); at += 18) {
            const std::string entry = row->substr(at, 18);
            table[entry.substr(0, entry.find(':'))] = entry.substr(10, 4);
        }
    }
    return table;
}

std::string ShownFields(const wordforge::InstructionFields& f) {
    const std::string byte = Hex4(f.operand).substr(2);
    return Hex4(f.operation).substr(3) + " " + std::to_string(f.modifier) + std::to_string(f.reg) + " " + byte;
}

// One line of the statement loop against its listing lines (`rows`, as many
// as the line has words, at least one) and the object lines from `object`.
void ExpectLoopLine(std::string_view text, const wordforge::SourceModel& model, const ModelLine& line,
                    const std::vector<std::string>& rows, const std::vector<std::string>& objectLines,
                    std::size_t& object) {
    const std::string& shown = rows.front();
    const std::string_view own = TextOf(text, line.span);
    const char first = FirstOf(own);
    ASSERT_GE(shown.size(), 2u);
    // Only an operand read whole has a value.
    if (line.kind == LineKind::Error || line.kind == LineKind::Comment ||
        std::set<std::string>{"RET", "NOP", "HLT", "END"}.count(std::string(wordforge::MnemonicOf(line))) > 0) {
        EXPECT_EQ(line.operandValue, 0);
    }
    EXPECT_EQ(line.flags[0], shown[0]);
    EXPECT_EQ(line.flags[1], shown[1]);
    const bool failed = std::string_view("FL").find(shown[0]) != std::string_view::npos ||
                        std::string_view("FL").find(shown[1]) != std::string_view::npos;
    if (first == ';') {
        EXPECT_EQ(line.kind, LineKind::Comment);
        EXPECT_EQ(shown, (std::string(23, ' ') + std::string(own.substr(own.find(';')))).substr(0, 80));
        EXPECT_EQ(line.address, -1);
        EXPECT_TRUE(wordforge::WordsOf(model, line).empty());
        return;
    }
    EXPECT_EQ(line.kind, !IsAlpha(first) || failed ? LineKind::Error
                         : kInstructions.count(std::string(wordforge::MnemonicOf(line))) > 0 ? LineKind::Instruction
                                                                   : LineKind::Pseudo);
    EXPECT_EQ(shown.substr(2, 4), line.address >= 0 ? Hex4(static_cast<std::uint32_t>(line.address)) : "    ");
    // Before the comment column and from it on: a character literal may
    // show the ";" that the comment shows again.
    const std::size_t skip = IsAlpha(first) ? 15 : 6;
    EXPECT_TRUE(MadeOf(shown.substr(skip, 41 - skip), own)) << shown;
    EXPECT_TRUE(MadeOf(shown.size() > 41 ? shown.substr(41) : "", own)) << shown;
    if (IsAlpha(first)) {
        EXPECT_EQ(Trimmed(shown.substr(23, 6)), wordforge::MnemonicOf(line).substr(0, 6));
        const std::string name = line.label >= 0 ? model.labels[static_cast<std::size_t>(line.label)].name : "";
        EXPECT_EQ(shown.substr(15, name.size()), name);
    } else {
        EXPECT_TRUE(wordforge::MnemonicOf(line).empty());
    }
    // The words, in the listing's columns and in the object file.
    for (std::size_t j = 0; j < wordforge::WordsOf(model, line).size(); ++j) {
        const wordforge::ModelWord& word = wordforge::WordsOf(model, line)[j];
        EXPECT_EQ(word.address, static_cast<std::uint16_t>(line.address + static_cast<std::int32_t>(j)));
        ASSERT_LT(object, objectLines.size());
        EXPECT_EQ(objectLines[object++], Hex4(word.address) + "  " + Hex4(word.value));
    }
    switch (line.kind) {
        case LineKind::Instruction: {
            ASSERT_EQ(wordforge::WordsOf(model, line).size(), 1u);
            const wordforge::InstructionFields& f = line.fields;
            EXPECT_EQ(wordforge::WordsOf(model, line)[0].value, (f.operation << 12) | (f.modifier << 10) | (f.reg << 8) | f.operand);
            EXPECT_EQ(shown.substr(7, 7), ShownFields(f));
            if (kAddressed.count(std::string(wordforge::MnemonicOf(line))) > 0) {
                EXPECT_EQ(line.operandValue, line.address + static_cast<std::int8_t>(f.operand));
            }
            break;
        }
        case LineKind::Pseudo:
            if (wordforge::MnemonicOf(line) == "DC") {
                ASSERT_EQ(wordforge::WordsOf(model, line).size(), 1u);
                EXPECT_EQ(shown.substr(7, 4), Hex4(wordforge::WordsOf(model, line)[0].value));
                EXPECT_EQ(wordforge::WordsOf(model, line)[0].value, static_cast<std::uint16_t>(line.operandValue));
            } else if (wordforge::MnemonicOf(line) == "DS") {
                EXPECT_EQ(wordforge::WordsOf(model, line).size(), static_cast<std::size_t>(line.operandValue));
                if (!wordforge::WordsOf(model, line).empty()) {
                    EXPECT_EQ(shown.substr(7, 4), "0000");
                }
                for (std::size_t j = 1; j < wordforge::WordsOf(model, line).size(); ++j) {
                    EXPECT_EQ(rows[j], "  " + Hex4(wordforge::WordsOf(model, line)[j].address) + " 0000");
                    EXPECT_EQ(wordforge::WordsOf(model, line)[j].value, 0);
                }
            } else {
                EXPECT_TRUE(wordforge::WordsOf(model, line).empty());
                EXPECT_EQ(line.address, -1);  // ORG, END
            }
            break;
        default:
            EXPECT_TRUE(wordforge::WordsOf(model, line).empty());
            EXPECT_EQ(shown.substr(7, 7), "       ");
            // A DC in error still writes its (meaningless) object line.
            if (IsAlpha(first) && wordforge::MnemonicOf(line) == "DC") {
                ASSERT_LT(object, objectLines.size());
                EXPECT_EQ(objectLines[object++].substr(0, 4), Hex4(static_cast<std::uint32_t>(line.address)));
            }
            break;
    }
}

void ExpectLabels(std::string_view text, const wordforge::SourceModel& model, const std::vector<std::string>& listing) {
    const std::map<std::string, std::string> table = LabelTable(listing);
    common::LineLocator locator{text, 0, 1, {}};
    std::size_t defined = 0;
    for (std::size_t k = 0; k < model.labels.size(); ++k) {
        const wordforge::ModelLabel& label = model.labels[k];
        SCOPED_TRACE(label.name);
        auto row = table.find(label.name);
        if (!label.defined) {
            EXPECT_EQ(row, table.end());
            EXPECT_FALSE(label.uses.empty());
        } else {
            ++defined;
            ASSERT_NE(row, table.end());
            EXPECT_EQ(row->second, Hex4(static_cast<std::uint32_t>(label.value)));
            EXPECT_EQ(Upper(TextOf(text, label.definition)).substr(0, 8), label.name);
            ExpectSpan(locator, label.definition);
            const auto line = std::find_if(model.lines.begin(), model.lines.end(), [&](const ModelLine& l) {
                return l.span.begin.offset <= label.definition.begin.offset && label.definition.end.offset <= l.span.end.offset;
            });
            ASSERT_NE(line, model.lines.end());
            EXPECT_EQ(line->label, static_cast<std::int32_t>(k));
            if (line->address >= 0) {
                EXPECT_EQ(line->address, label.value);
            }
        }
        for (const wordforge::ModelLabelUse& use : label.uses) {
            EXPECT_EQ(Upper(TextOf(text, use.span)).substr(0, 8), label.name);
            ExpectSpan(locator, use.span);
            ASSERT_LT(static_cast<std::size_t>(use.line), model.lines.size());
            const ModelLine& line = model.lines[static_cast<std::size_t>(use.line)];
            EXPECT_TRUE(line.span.begin.offset <= use.span.begin.offset && use.span.end.offset <= line.span.end.offset);
            EXPECT_EQ(line.operandLabel, static_cast<std::int32_t>(k));
            // A branch straight to the label holds the label's address.
            const std::size_t after = text.find_first_not_of(" \t", use.span.end.offset);
            const bool offset = after < text.size() && (text[after] == '+' || text[after] == '-');
            if (line.kind == LineKind::Instruction && kAddressed.count(std::string(wordforge::MnemonicOf(line))) > 0 && !offset) {
                EXPECT_EQ(line.operandValue, label.value);
            }
        }
    }
    EXPECT_EQ(defined, table.size());
}

void ExpectTokens(std::string_view text, const wordforge::SourceModel& model) {
    common::LineLocator locator{text, 0, 1, {}};
    std::set<std::uint32_t> labelTokens;
    std::uint32_t previousEnd = 0;
    for (const common::ModelToken& token : model.tokens) {
        ExpectSpan(locator, token.span);
        EXPECT_LT(token.span.begin.offset, token.span.end.offset);
        EXPECT_GE(token.span.begin.offset, previousEnd);
        previousEnd = token.span.end.offset;
        const std::string word = Upper(TextOf(text, token.span));
        if (word.empty()) continue;
        SCOPED_TRACE(word);
        const bool alnum = std::all_of(word.begin(), word.end(), IsAlnum);
        // A word is taken whole, however long.
        const std::uint32_t begin = token.span.begin.offset, end = token.span.end.offset;
        if (alnum && token.kind != TokenKind::Register && token.kind != TokenKind::Number) {
            EXPECT_FALSE(begin > 0 && IsAlnum(text[begin - 1]));
            EXPECT_FALSE(end < text.size() && IsAlnum(text[end]));
        }
        switch (token.kind) {
            case TokenKind::Mnemonic: EXPECT_EQ(kInstructions.count(word.substr(0, 8)), 1u); break;
            case TokenKind::Keyword: EXPECT_EQ(kKeywords.count(word.substr(0, 8)), 1u); break;
            case TokenKind::Register:
                EXPECT_TRUE(std::all_of(word.begin(), word.end(), [](char c) { return c >= '0' && c <= '9'; }));
                break;
            case TokenKind::Number: EXPECT_NE(std::string_view("0123456789'BOX").find(word[0]), std::string::npos); break;
            case TokenKind::Label:
                EXPECT_TRUE(IsAlpha(word[0]) && alnum);
                labelTokens.insert(token.span.begin.offset);
                break;
            case TokenKind::Title: EXPECT_TRUE(alnum); break;
            case TokenKind::Comment: {
                EXPECT_EQ(word[0], ';');
                EXPECT_TRUE(end == text.size() || text[end] == '\r' || text[end] == '\n');
                break;
            }
            default: ADD_FAILURE() << "a kind wordforge has no token of"; break;
        }
    }
    // Every known mnemonic and every comment line has its token.
    for (const ModelLine& line : model.lines) {
        auto token = std::lower_bound(model.tokens.begin(), model.tokens.end(), line.span.begin.offset,
                                      [](const common::ModelToken& t, std::uint32_t at) { return t.span.begin.offset < at; });
        auto within = [&](auto matches) {
            for (auto t = token; t != model.tokens.end() && t->span.end.offset <= line.span.end.offset; ++t) {
                if (matches(*t)) return true;
            }
            return false;
        };
        const bool instruction = kInstructions.count(std::string(wordforge::MnemonicOf(line))) > 0;
        if (instruction || kPseudo.count(std::string(wordforge::MnemonicOf(line))) > 0) {
            EXPECT_TRUE(within([&](const common::ModelToken& t) {
                return t.kind == (instruction ? TokenKind::Mnemonic : TokenKind::Keyword) &&
                       Upper(TextOf(text, t.span)).substr(0, 8) == wordforge::MnemonicOf(line);
            })) << "line " << line.line;
        }
        if (line.kind == LineKind::Comment) {
            EXPECT_TRUE(within([&](const common::ModelToken& t) {
                return t.kind == TokenKind::Comment && t.span.end.offset == line.span.end.offset &&
                       TextOf(text, t.span) == TextOf(text, line.span).substr(TextOf(text, line.span).find(';'));
            })) << "line " << line.line;
        }
    }
    // A line names a label where it uses it.
    std::set<std::pair<std::int32_t, std::int32_t>> namedOn;  // line, label
    for (std::size_t k = 0; k < model.labels.size(); ++k) {
        for (const auto& use : model.labels[k].uses) namedOn.emplace(use.line, static_cast<std::int32_t>(k));
    }
    for (std::size_t i = 0; i < model.lines.size(); ++i) {
        const std::int32_t label = model.lines[i].operandLabel;
        if (label >= 0) {
            EXPECT_EQ(namedOn.count({static_cast<std::int32_t>(i), label}), 1u);
        }
    }
    // Every definition and use has its label token, and there are no others.
    std::size_t named = 0;
    for (const ModelLine& line : model.lines) named += line.label >= 0;
    for (const wordforge::ModelLabel& label : model.labels) {
        named += label.uses.size();
        if (label.defined) {
            EXPECT_EQ(labelTokens.count(label.definition.begin.offset), 1u);
        }
        for (const auto& use : label.uses) EXPECT_EQ(labelTokens.count(use.span.begin.offset), 1u);
    }
    EXPECT_EQ(std::count_if(model.tokens.begin(), model.tokens.end(),
                            [](const common::ModelToken& t) { return t.kind == TokenKind::Label; }),
              static_cast<std::ptrdiff_t>(named));
}

}  // namespace

void ExpectModelAgrees(std::string_view source, wordforge::SourceModel* kept) {
    // The model changes no byte and no diagnostic.
    wordforge::SourceModel fresh;
    wordforge::SourceModel& model = kept != nullptr ? *kept : fresh;
    const wordforge::WordResult plain = wordforge::AssembleText(source);
    const wordforge::WordResult run = wordforge::AssembleText(source, {nullptr, nullptr, &model});
    ASSERT_EQ(plain.listing, run.listing);
    ASSERT_EQ(plain.object, run.object);
    ASSERT_EQ(plain.errorCount, run.errorCount);
    {
        std::vector<common::Diagnostic> without, with;
        common::DiagnosticSink plainSink = common::ListSink(source, without);
        common::DiagnosticSink modelSink = common::ListSink(source, with);
        wordforge::SourceModel again;
        wordforge::AssembleText(source, {&plainSink, nullptr, nullptr});
        wordforge::AssembleText(source, {&modelSink, nullptr, &again});
        ASSERT_EQ(without.size(), with.size());
        for (std::size_t i = 0; i < with.size(); ++i) {
            EXPECT_EQ(FormatDiagnostic("s", without[i]), FormatDiagnostic("s", with[i]));
            EXPECT_EQ(without[i].endColumn, with[i].endColumn);
        }
    }

    const std::string_view text = source.substr(0, source.find('\x1a'));
    const std::vector<std::string> listing = Lines(run.listing);
    const std::vector<std::string> object = Lines(run.object);
    ASSERT_FALSE(object.empty());
    const bool titled = object[0].size() > 2;  // "MM " and the title
    EXPECT_EQ(model.title, titled ? object[0].substr(3) : "");

    common::LineLocator locator{text, 0, 1, {}};
    std::size_t row = 0;        // the listing line of the model line
    std::size_t objectRow = 1;  // after the "MM" line
    std::size_t begin = 0;      // where the next line must begin
    bool prologue = titled;
    for (const ModelLine& line : model.lines) {
        SCOPED_TRACE("line " + std::to_string(line.line));
        // Lines follow one another, each to its line end.
        EXPECT_EQ(line.span.begin.offset, begin);
        // Only the end of a source whose last line has no line end begins
        // within a line.
        if (begin > 0 && begin < text.size()) {
            EXPECT_NE(std::string_view("\r\n").find(text[begin - 1]), std::string_view::npos);
        }
        EXPECT_EQ(line.line, line.span.begin.line);
        ExpectSpan(locator, line.span);
        const std::string_view own = TextOf(text, line.span);
        EXPECT_EQ(own.find_first_of("\r\n"), std::string_view::npos);
        begin = line.span.end.offset;
        if (begin < text.size()) begin += text.compare(begin, 2, "\r\n") == 0 ? 2u : 1u;
        ASSERT_LT(row, listing.size());
        if (prologue) {
            EXPECT_EQ(line.address, -1);
            if (line.kind == LineKind::Comment) {
                EXPECT_EQ(listing[row++], std::string(23, ' ') + std::string(own.substr(own.find(';'))));
                continue;
            }
            EXPECT_EQ(line.kind, LineKind::Pseudo);
            EXPECT_EQ(wordforge::MnemonicOf(line), "TITLE");
            EXPECT_EQ(listing[row++], std::string(23, ' ') + "TITLE " + model.title);
            prologue = false;
            continue;
        }
        const std::size_t rows = std::max<std::size_t>(1, wordforge::WordsOf(model, line).size());
        ASSERT_LE(row + rows, listing.size());
        ExpectLoopLine(text, model, line, std::vector<std::string>(listing.begin() + static_cast<std::ptrdiff_t>(row),
                                                                   listing.begin() + static_cast<std::ptrdiff_t>(row + rows)),
                       object, objectRow);
        row += rows;
    }
    EXPECT_EQ(objectRow, object.size());
    const bool ended = !model.lines.empty() && wordforge::MnemonicOf(model.lines.back()) == "END";
    ASSERT_LT(row, listing.size());
    EXPECT_EQ(listing[row], ended ? "" : "F");
    ExpectLabels(text, model, listing);
    ExpectTokens(text, model);
}

}  // namespace wordforge_test
