// The source model against the files it must agree with, on every golden
// source and on generated programs with and without errors: the object
// file's words stand in the model at their addresses with the same bits, the
// map's cells are the model's fields, every resolved label use names a
// definition whose address is the branch target the word carries, spans
// cover the text the listing copies, and places count lines and columns as
// the definition says. Asking for the model changes no byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "ctrlforge/ctrlforge.hpp"

namespace {

namespace fs = std::filesystem;
using ctrlforge::SourceModel;

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::vector<fs::path> GoldenSources() {
    std::vector<fs::path> sources;
    for (const auto& entry : fs::directory_iterator(fs::path(GOLDEN_DIR) / "ctrlforge")) {
        if (fs::exists(entry.path() / "stdin")) sources.push_back(entry.path() / "stdin");
        if (!fs::exists(entry.path() / "input")) continue;
        for (const auto& file : fs::recursive_directory_iterator(entry.path() / "input")) {
            if (file.is_regular_file() && file.path().filename() != ".keep") sources.push_back(file.path());
        }
    }
    std::sort(sources.begin(), sources.end());
    return sources;
}

// The line and column of every offset (and of the end), counted byte by
// byte: CR LF, a lone CR and a lone LF each end a line, and belong to it.
std::vector<common::Place> Places(const std::string& text) {
    std::vector<common::Place> places(text.size() + 1);
    int line = 1, column = 1;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        places[i] = {line, column};
        if (i == text.size()) break;
        const bool crBeforeLf = text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n';
        if ((text[i] == '\r' && !crBeforeLf) || text[i] == '\n') {
            ++line;
            column = 1;
        } else {
            ++column;
        }
    }
    return places;
}

std::string Upper(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

unsigned Hex(std::string_view digits) { return static_cast<unsigned>(std::stoul(std::string(digits), nullptr, 16)); }

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find("\r\n", at);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(at, end - at));
        at = end + 2;
    }
    return lines;
}

// The lines of a source text, whatever ends them.
std::vector<std::string> SourceLines(const std::string& text) {
    std::vector<std::string> lines(1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            lines.emplace_back();
        } else {
            lines.back().push_back(text[i]);
        }
    }
    return lines;
}

std::string Trim(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return "";
    return std::string(text.substr(first, text.find_last_not_of(' ') + 1 - first));
}

void CheckPlace(const std::vector<common::Place>& places, const common::SourcePlace& place, const std::string& what) {
    ASSERT_LE(place.offset, places.size() - 1) << what;
    EXPECT_EQ(place.line, places[place.offset].line) << what << " at offset " << place.offset;
    EXPECT_EQ(place.column, places[place.offset].column) << what << " at offset " << place.offset;
}

void CheckSpan(const std::vector<common::Place>& places, const common::SourceSpan& span, const std::string& what) {
    EXPECT_LE(span.begin.offset, span.end.offset) << what;
    CheckPlace(places, span.begin, what + " begin");
    CheckPlace(places, span.end, what + " end");
}

// The bits of the branch target a word of this sequencing code carries, as
// the control word's layout places them (TS bits 15-13, LT bits 8-0).
std::uint64_t CarriedTarget(unsigned sq, unsigned address) {
    switch (sq) {
        case 0:  // B
        case 1:  // BP: all twelve bits, 11-9 in TS
            return (std::uint64_t{address / 512} << 13) | (address % 512);
        case 3: case 4: case 8:  // BT, BF, EI: the low nine bits in LT
            return address % 512;
        case 5:  // IOP: bits 11-4 in LT
            return address / 16;
        default:  // IRA, IAB: bit 11 in TS, bits 10-4 above bits 1-0 in LT
            return (std::uint64_t{address / 2048} << 13) | ((address / 4 + address % 4) % 512);
    }
}

void CheckModel(const std::string& source) {
    const ctrlforge::CtrlOutput plain = ctrlforge::AssembleText(source);
    SourceModel model;
    const ctrlforge::CtrlOutput watched = ctrlforge::AssembleText(source, {}, {.model = &model});
    ASSERT_EQ(plain.listing, watched.listing);
    ASSERT_EQ(plain.object, watched.object);
    ASSERT_EQ(plain.map, watched.map);
    ASSERT_EQ(plain.console, watched.console);
    const std::vector<common::Place> places = Places(source);

    // Tokens: in source order, apart, placed right; one "*" per statement.
    std::size_t stars = 0;
    std::uint32_t previousEnd = 0;
    for (const common::ModelToken& token : model.tokens) {
        CheckSpan(places, token.span, "token");
        EXPECT_GE(token.span.begin.offset, previousEnd);
        previousEnd = token.span.end.offset;
        if (token.kind == common::TokenKind::Star) {
            EXPECT_EQ(source[token.span.begin.offset], '*');
            ++stars;
        }
    }
    EXPECT_EQ(stars, model.statements.size());

    // Statements: spans in order, each heading inside its statement, and
    // the text of each, upper-cased, copied by the listing in that order.
    std::size_t inListing = 0;
    std::uint32_t previousStatementEnd = 0;
    for (const ctrlforge::ModelStatement& statement : model.statements) {
        CheckSpan(places, statement.span, "statement");
        CheckSpan(places, statement.heading, "heading");
        EXPECT_EQ(source[statement.span.begin.offset], '*');
        EXPECT_EQ(statement.heading.begin.offset, statement.span.begin.offset);
        EXPECT_LE(statement.heading.end.offset, statement.span.end.offset);
        EXPECT_GE(statement.span.begin.offset, previousStatementEnd);
        previousStatementEnd = statement.span.end.offset;
        const std::string text =
            Upper(source.substr(statement.span.begin.offset, statement.span.end.offset - statement.span.begin.offset));
        // Line by line, since error lines may stand between the lines.
        for (const std::string& piece : SourceLines(text)) {
            if (piece.empty()) continue;
            const std::size_t found = plain.listing.find(piece, inListing);
            ASSERT_NE(found, std::string::npos) << "statement text '" << piece << "' not in the listing";
            inListing = found + piece.size();
        }
    }

    // Labels: each definition is a heading's label at that place, each use
    // its name at that place; a used definition carries the address the
    // word's branch bits hold.
    for (const ctrlforge::ModelLabel& label : model.labels) {
        EXPECT_FALSE(label.name.empty());
        EXPECT_LE(label.name.size(), 8u);
        if (label.defined) {
            CheckSpan(places, label.definition, "definition of " + label.name);
            EXPECT_EQ(Upper(source.substr(label.definition.begin.offset, label.name.size())), label.name);
            ASSERT_GE(label.statement, 0);
            EXPECT_EQ(model.statements[static_cast<std::size_t>(label.statement)].label,
                      &label - model.labels.data());
        }
        for (const ctrlforge::ModelLabelUse& use : label.uses) {
            CheckSpan(places, use.span, "use of " + label.name);
            EXPECT_EQ(Upper(source.substr(use.span.begin.offset, label.name.size())), label.name);
            ASSERT_GE(use.statement, 0);
            const ctrlforge::ModelStatement& user = model.statements[static_cast<std::size_t>(use.statement)];
            if (!label.defined || !user.packed) continue;
            EXPECT_EQ(user.target, &label - model.labels.data());
            EXPECT_EQ(user.targetAddress, label.address);
            const unsigned sq = user.fields[6].bits;
            const std::uint64_t carried = ((user.word & 0xFFFF) & 0xE000) | (user.word & 0x1FF);
            const std::uint64_t expected = CarriedTarget(sq, static_cast<unsigned>(label.address));
            const std::uint64_t mask = (sq == 3 || sq == 4 || sq == 8 || sq == 5) ? 0x1FF : 0xE1FF;
            EXPECT_EQ(carried & mask, expected) << label.name << " used at line " << use.span.begin.line;
        }
    }

    // The object file and the map: one line per packed statement, in order.
    std::vector<const ctrlforge::ModelStatement*> packed;
    for (const ctrlforge::ModelStatement& statement : model.statements) {
        if (statement.packed) packed.push_back(&statement);
    }
    if (plain.failed) {
        EXPECT_TRUE(packed.empty());
        return;
    }
    const std::vector<std::string> object = Lines(plain.object);
    ASSERT_EQ(object.size(), packed.size() + 1);
    const std::vector<std::string> map = Lines(plain.map);
    ASSERT_EQ(map.size(), packed.size() + 2);
    for (std::size_t i = 0; i < packed.size(); ++i) {
        const ctrlforge::ModelStatement& statement = *packed[i];
        const std::string& line = object[i + 1];
        EXPECT_EQ(statement.address, static_cast<std::int32_t>(Hex(line.substr(0, 3)))) << line;
        EXPECT_EQ(statement.word, std::stoull(line.substr(5, 10), nullptr, 16)) << line;
        const std::string& mapLine = map[i + 2];
        for (std::size_t f = 0; f < ctrlforge::kWordFields; ++f) {
            EXPECT_EQ(ctrlforge::CellText(statement.fields[f]), Trim(mapLine.substr(13 + 4 * f, 4)))
                << ctrlforge::kFieldBits[f].name << " of " << mapLine;
            const ctrlforge::FieldBits& bits = ctrlforge::kFieldBits[f];
            EXPECT_EQ(statement.fields[f].bits, (statement.word >> bits.low) & ((1u << (bits.high - bits.low + 1)) - 1));
        }
        const std::string labelColumn = Trim(mapLine.substr(0, 8));
        if (labelColumn.empty()) {
            EXPECT_TRUE(statement.label < 0 || statement.placementClass == 0);
        } else {
            ASSERT_GE(statement.label, 0);
            EXPECT_EQ(model.labels[static_cast<std::size_t>(statement.label)].name, labelColumn);
            EXPECT_EQ(model.labels[static_cast<std::size_t>(statement.label)].address, statement.address);
        }
        const std::string targetColumn = Trim(mapLine.substr(53, 8));
        if (!targetColumn.empty()) {
            ASSERT_GE(statement.target, 0);
            EXPECT_EQ(model.labels[static_cast<std::size_t>(statement.target)].name, targetColumn);
        }
    }
}

TEST(SourceModel, AgreesWithTheFilesOfEveryGoldenSource) {
    const std::vector<fs::path> sources = GoldenSources();
    ASSERT_GT(sources.size(), 30u);
    for (const fs::path& path : sources) {
        SCOPED_TRACE(path.string());
        CheckModel(ReadFile(path));
    }
}

// Random programs, half of them meant to assemble and half strewn with
// errors: clause lines of every kind, labels used before and after their
// definition, given and aligned addresses, comments, both line-end styles.
std::string RandomProgram(std::mt19937& random) {
    static const char* const kLabels[] = {"L1", "LOOP", "NEXT", "TAB", "FACE", "LONGNAME9", "X"};
    static const char* const kSequencing[] = {
        "GOTO {L}", "CALL {L}", "IF ZER = 1 THEN {L}", "IF NEG = 0 THEN {L} ELSE FETCH", "IOP {L}",
        "IRA {L}", "IAB {L}", "RETURN", "NSQ", "GOTO FETCH"};
    static const char* const kRest[] = {
        "READ", "WRITE", "R1 := R2 + R3", "R0 := SLL R1", "PC := PC + R1", "SET BY R1 XOR R2", "C - 1",
        "IR := LBUS", "FLAG SAVE", "SET HLT", "T := 1", "IRB - 1", "R1 := R2 ; with a comment"};
    static const char* const kLiterals[] = {"RA := 1FF", "R5 := 0BEEF", "PC := PC + 1"};
    static const char* const kErrors[] = {
        "GOTP NEXT", "RA := RA + R4", "R3 = R3 + R1", "IF CX = 1 THEN {L}", "R5 := ABCDE", "R3 := R3, R1",
        "GOTO", "READ R1", "IF ZER = 1 {L}"};
    std::uniform_int_distribution<std::size_t> pick(0, 1000);
    const bool clean = pick(random) % 2 == 0;
    const char* lineEnd = pick(random) % 4 == 0 ? "\n" : "\r\n";
    std::string text = !clean && pick(random) % 20 == 0 ? ".TITLE GOTO" : ".TITLE RANDOM";
    text += lineEnd;
    const std::size_t statements = 1 + pick(random) % 40;
    // A clean program labels statement k with L<k> and names only those.
    auto label = [&]() {
        if (!clean) return std::string(kLabels[pick(random) % 7]);
        return "L" + std::to_string(pick(random) % statements);
    };
    auto fill = [&](std::string clause) {
        if (const std::size_t at = clause.find("{L}"); at != std::string::npos) clause.replace(at, 3, label());
        return clause;
    };
    std::size_t address = 0;
    for (std::size_t s = 0; s < statements; ++s) {
        text += "*";
        if (clean || pick(random) % 3 == 0) {
            text += " ";
            text += clean ? "L" + std::to_string(s) : kLabels[pick(random) % 7];
            if (clean || pick(random) % 15 != 0) text += ":";
        }
        if (pick(random) % 5 == 0) {
            address += clean ? 70 : 1 + pick(random) % 40;
            char digits[8];
            std::snprintf(digits, sizeof digits, " %zX", address);
            text += digits;
        }
        if (!clean && pick(random) % 25 == 0) text += " 1000";
        text += lineEnd;
        std::vector<std::string> clauses;
        const bool branches = pick(random) % 2 == 0;
        if (branches) clauses.push_back(fill(kSequencing[pick(random) % 10]));
        if (!branches && pick(random) % 4 == 0) {
            clauses.push_back(kLiterals[pick(random) % 3]);
        } else if (pick(random) % 2 == 0) {
            clauses.push_back(kRest[pick(random) % 13]);
        }
        if (!clean && pick(random) % 3 == 0) clauses.push_back(fill(kErrors[pick(random) % 9]));
        if (!clean && pick(random) % 3 == 0) std::shuffle(clauses.begin(), clauses.end(), random);
        for (const std::string& clause : clauses) {
            text += pick(random) % 2 == 0 ? "    " : "\t";
            text += pick(random) % 10 == 0 ? Upper(clause) : clause;
            text += lineEnd;
        }
        if (pick(random) % 8 == 0) text += std::string("; a comment line") + lineEnd;
        ++address;
    }
    if (clean || pick(random) % 15 != 0) text += std::string(".END") + lineEnd;
    return text;
}

TEST(SourceModel, AgreesWithTheFilesOfAThousandGeneratedPrograms) {
    std::mt19937 random(20261209);
    int clean = 0;
    for (int i = 0; i < 1000; ++i) {
        const std::string source = RandomProgram(random);
        SCOPED_TRACE(source);
        CheckModel(source);
        if (::testing::Test::HasFatalFailure()) return;
        clean += !ctrlforge::AssembleText(source).failed;
    }
    // Both kinds of program were met.
    EXPECT_GT(clean, 300);
    EXPECT_LT(clean, 700);
}

// One program worked out by hand: the statement's places, its word and
// fields, the label's definition and uses, the title and the comments.
TEST(SourceModel, AWorkedProgram) {
    const std::string source =
        ".TITLE DEMO ; the title\r\n"  // line 1
        "* START: 10\r\n"               // line 2, offset 25
        "  GOTO LOOP\r\n"               // line 3, offset 38
        "  R1 := R1 + R2\r\n"           // line 4, offset 51
        "* LOOP:\r\n"                   // line 5, offset 68
        "\tIF ZER = 1 THEN START\r\n"   // line 6, offset 77; START at 94
        ".END\r\n";                     // line 7, offset 100
    SourceModel model;
    ctrlforge::CtrlOutput out = ctrlforge::AssembleText(source, {}, {.model = &model});
    ASSERT_FALSE(out.failed) << out.listing;
    EXPECT_EQ(model.title, "DEMO");
    EXPECT_EQ(model.titleSpan.begin.offset, 7u);
    EXPECT_EQ(model.titleSpan.end.offset, 11u);
    ASSERT_EQ(model.comments.size(), 1u);
    EXPECT_EQ(model.comments[0].begin.offset, 12u);
    EXPECT_EQ(model.comments[0].end.offset, 23u);  // before the CR

    ASSERT_EQ(model.statements.size(), 2u);
    const ctrlforge::ModelStatement& first = model.statements[0];
    EXPECT_EQ(first.span.begin.offset, 25u);
    EXPECT_EQ(first.span.end.offset, 66u);  // the end of "R1 := R1 + R2"
    EXPECT_EQ(first.span.end.line, 4);
    EXPECT_EQ(first.span.end.column, 16);
    EXPECT_EQ(first.heading.end.offset, 36u);
    EXPECT_TRUE(first.addressGiven);
    EXPECT_EQ(first.address, 0x10);
    // LB R1L (1), RB R2R (2), AL ADD (0), SH not named (7), SB R1S (1), MM
    // not named (3), SQ B (0), TS 000 (bits 11-9 of 011), EX not named
    // (1111), LT 0 0001 0001: 12 1C70 1E11.
    EXPECT_EQ(first.word, 0x121C701E11u);
    EXPECT_EQ(ctrlforge::CellText(first.fields[0]), "R1L");
    EXPECT_EQ(ctrlforge::CellText(first.fields[6]), "B");
    EXPECT_EQ(ctrlforge::CellText(first.fields[7]), "000");
    EXPECT_EQ(ctrlforge::CellText(first.fields[9]), "011");
    EXPECT_EQ(first.fields[9].bits, 0x11u);
    EXPECT_EQ(first.placementClass, 2);  // START is the IF's target

    const ctrlforge::ModelStatement& second = model.statements[1];
    EXPECT_EQ(second.address, 0x11);
    EXPECT_EQ(second.span.end.offset, 99u);  // "\tIF ZER = 1 THEN START" is 22 bytes
    EXPECT_EQ(second.targetAddress, 0x10);

    ASSERT_EQ(model.labels.size(), 2u);
    const ctrlforge::ModelLabel& start = model.labels[0];
    EXPECT_EQ(start.name, "START");
    EXPECT_EQ(start.definition.begin.offset, 27u);
    EXPECT_EQ(start.definition.begin.line, 2);
    EXPECT_EQ(start.definition.begin.column, 3);
    ASSERT_EQ(start.uses.size(), 1u);
    EXPECT_EQ(start.uses[0].clause, ctrlforge::LabelUse::IfThen);
    EXPECT_EQ(start.uses[0].span.begin.offset, 94u);
    EXPECT_EQ(start.uses[0].span.begin.column, 18);  // the tab is one byte
    const ctrlforge::ModelLabel& loop = model.labels[1];
    EXPECT_EQ(loop.name, "LOOP");
    EXPECT_EQ(loop.address, 0x11);
    ASSERT_EQ(loop.uses.size(), 1u);
    EXPECT_EQ(loop.uses[0].clause, ctrlforge::LabelUse::Goto);
    EXPECT_EQ(loop.uses[0].statement, 0);

    // ZER after IF is a condition; the title a title; the "*"s stars.
    std::vector<common::TokenKind> kinds;
    for (const common::ModelToken& token : model.tokens) {
        if (token.span.begin.line == 6) kinds.push_back(token.kind);
    }
    using common::TokenKind;
    EXPECT_EQ(kinds, (std::vector<TokenKind>{TokenKind::Keyword, TokenKind::Condition, TokenKind::Operator,
                                             TokenKind::Number, TokenKind::Keyword, TokenKind::Label}));
}

// A source with errors keeps a model of all that was read: the statements
// before and after the error, the statement in error marked, labels defined
// so far, and a label never defined left undefined with its use.
TEST(SourceModel, ASourceWithErrors) {
    const std::string source =
        ".TITLE BAD\r\n"
        "* A:\r\n"
        "  GOTP NOWHERE\r\n"
        "* B:\r\n"
        "  GOTO MISSING\r\n"
        ".END\r\n";
    SourceModel model;
    ctrlforge::CtrlOutput out = ctrlforge::AssembleText(source, {}, {.model = &model});
    ASSERT_TRUE(out.failed);
    ASSERT_EQ(model.statements.size(), 2u);
    EXPECT_TRUE(model.statements[0].inError == false);  // the error stands on the line after it: error 16
    EXPECT_FALSE(model.statements[1].packed);
    EXPECT_EQ(model.statements[1].address, -1);  // placement never ran
    EXPECT_EQ(model.statements[1].headingAddress, 1);
    ASSERT_EQ(model.labels.size(), 3u);
    EXPECT_EQ(model.labels[2].name, "MISSING");
    EXPECT_FALSE(model.labels[2].defined);
    ASSERT_EQ(model.labels[2].uses.size(), 1u);
    EXPECT_EQ(model.labels[2].uses[0].statement, 1);
}

}  // namespace
