// The requests that read the source model: hover against the object files
// of the golden cases, labels followed and renamed, the outline, completion
// in each of its places, semantic tokens decoded by hand, and the notes and
// fixes behind hover and completion.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <algorithm>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "common/diagnostics.hpp"
#include "ctrlforge/vocabulary.hpp"
#include "lsp/error_fixes.hpp"
#include "lsp/navigation.hpp"
#include "lsp/word_notes.hpp"
#include "session.hpp"
#include "wordforge/vocabulary.hpp"

namespace {

namespace fs = std::filesystem;
using lsp_test::AnswerTo;
using lsp_test::At;
using lsp_test::Initialize;
using lsp_test::Json;
using lsp_test::Open;
using lsp_test::ReadFile;
using lsp_test::Request;
using lsp_test::Session;

// The answer's result to one request on a freshly opened document.
Json Ask(std::string_view uri, const std::string& text, const std::string& method, const Json& params,
         Json capabilities = {{"textDocument", {{"hover", {{"contentFormat", {"markdown"}}}}}}}) {
    Session session;
    session.Send({Initialize(1, std::move(capabilities)), Open(uri, "", text)});
    const std::vector<Json> sent = session.Send({Request(2, method, params)});
    const Json* answer = AnswerTo(sent, 2);
    return answer != nullptr && answer->contains("result") ? (*answer)["result"] : Json("no answer");
}

std::string HoverText(std::string_view uri, const std::string& text, unsigned line, unsigned character) {
    const Json hover = Ask(uri, text, "textDocument/hover", At(uri, line, character));
    return hover.is_object() ? hover["contents"]["value"].get<std::string>() : std::string();
}

// ---------------------------------------------------------------- hover

// Every statement of every golden microprogram with an object file: the
// hover on its "*" names its address and the word the object file holds
// there, and there are as many such words as the object file has.
TEST(Features, HoverOnAStatementShowsTheObjectFilesWord) {
    std::size_t checked = 0;
    const std::regex shown(R"(statement at ([0-9A-F]{3})\*\* — word `([0-9A-F]{10})`)");
    for (const auto& entry : fs::directory_iterator(fs::path(GOLDEN_DIR) / "ctrlforge")) {
        if (!fs::exists(entry.path() / "expected" / "PROG.o") || !fs::exists(entry.path() / "input" / "PROG")) continue;
        SCOPED_TRACE(entry.path().string());
        std::map<std::string, std::string> object;
        std::istringstream lines(ReadFile(entry.path() / "expected" / "PROG.o"));
        std::string line;
        std::getline(lines, line);  // "CM   TITLE"
        while (std::getline(lines, line)) {
            if (line.size() >= 15) object[line.substr(0, 3)] = line.substr(5, 10);
        }
        if (object.empty()) continue;
        const std::string source = ReadFile(entry.path() / "input" / "PROG");
        Session session;
        session.Send({Initialize(1, {{"textDocument", {{"hover", {{"contentFormat", {"markdown"}}}}}}}),
                      Open("file:///g/prog.mic", "zorvelt-micro", source)});
        std::size_t words = 0;
        unsigned number = 0;
        std::size_t at = 0;
        int id = 2;
        while (at <= source.size()) {
            if (at < source.size() && source[at] == '*') {
                const std::vector<Json> sent =
                    session.Send({Request(id, "textDocument/hover", At("file:///g/prog.mic", number, 0))});
                const Json& result = (*AnswerTo(sent, id++))["result"];
                std::smatch match;
                const std::string value = result.is_object() ? result["contents"]["value"].get<std::string>() : "";
                if (std::regex_search(value, match, shown)) {
                    ++words;
                    EXPECT_EQ(object[match[1].str()], match[2].str()) << "at " << match[1].str();
                }
            }
            const std::size_t end = source.find_first_of("\r\n", at);
            if (end == std::string::npos) break;
            at = end + (source.compare(end, 2, "\r\n") == 0 ? 2 : 1);
            ++number;
        }
        EXPECT_EQ(words, object.size());
        checked += words;
    }
    EXPECT_GT(checked, 40u);
}

// Every line of every golden assembly program with an object file: the
// hover names the address and word the object file holds, and the hovers
// account for every word of it (a DS line for all of its words).
TEST(Features, HoverOnAnAssemblyLineShowsTheObjectFilesWords) {
    std::size_t checked = 0;
    const std::regex one(R"(address ([0-9A-F]{4}) — word `([0-9A-F]{4})`)");
    const std::regex several(R"(address ([0-9A-F]{4}) — (\d+) words: `([0-9A-F ]+)`)");
    for (const auto& entry : fs::directory_iterator(fs::path(GOLDEN_DIR) / "wordforge")) {
        if (!fs::exists(entry.path() / "expected" / "PROG.b") || !fs::exists(entry.path() / "input" / "PROG")) continue;
        SCOPED_TRACE(entry.path().string());
        std::multimap<std::string, std::string> object;
        std::istringstream lines(ReadFile(entry.path() / "expected" / "PROG.b"));
        std::string line;
        std::getline(lines, line);  // "MM TITLE"
        while (std::getline(lines, line)) {
            if (line.size() >= 10) object.emplace(line.substr(0, 4), line.substr(6, 4));
        }
        if (object.empty()) continue;
        const std::string source = ReadFile(entry.path() / "input" / "PROG");
        Session session;
        session.Send({Initialize(1, {{"textDocument", {{"hover", {{"contentFormat", {"markdown"}}}}}}}),
                      Open("file:///g/prog.asm", "zorvelt-asm", source)});
        std::size_t words = 0;
        const unsigned count = static_cast<unsigned>(std::count(source.begin(), source.end(), '\n')) + 1;
        for (unsigned number = 0; number < count; ++number) {
            const std::vector<Json> sent =
                session.Send({Request(static_cast<int>(number) + 2, "textDocument/hover",
                                      At("file:///g/prog.asm", number, 0))});
            const Json& result = (*AnswerTo(sent, static_cast<int>(number) + 2))["result"];
            const std::string value = result.is_object() ? result["contents"]["value"].get<std::string>() : "";
            std::smatch match;
            if (std::regex_search(value, match, one)) {
                ++words;
                bool found = false;
                const auto [first, last] = object.equal_range(match[1].str());
                for (auto at = first; at != last; ++at) found = found || at->second == match[2].str();
                EXPECT_TRUE(found) << match[0].str();
            } else if (std::regex_search(value, match, several)) {
                words += std::stoul(match[2].str());
                EXPECT_EQ(object.count(match[1].str()), 1u) << match[0].str();
            }
        }
        EXPECT_EQ(words, object.size());
        checked += words;
    }
    EXPECT_GT(checked, 80u);
}

const std::string kProgram =
    ".TITLE DEMO\r\n"            // 0
    "* START: 0\r\n"             // 1
    "    R3 := ZERO\r\n"         // 2
    "* LOOP:\r\n"                // 3
    "    R3 := R3 + R2\r\n"      // 4
    "    C - 1\r\n"              // 5
    "*\r\n"                      // 6
    "    IF CZ = 0 THEN LOOP\r\n"  // 7
    "*\r\n"                      // 8
    "    IOP TABLE\r\n"          // 9
    "* TABLE:\r\n"               // 10
    "    GOTO START\r\n"         // 11
    ".END\r\n";                  // 12
constexpr std::string_view kUri = "file:///demo.mic";

TEST(Features, HoverOnLabelsKeywordsBranchesAndErrors) {
    // The word of "IF CZ = 0 THEN LOOP" (microprogramming guide, section
    // 6): FF FFF4 BE01, SQ 0100 BF, TS 101 CZ, LT the target 001.
    std::string text = HoverText(kUri, kProgram, 7, 4);
    EXPECT_NE(text.find("`IF`: "), std::string::npos) << text;
    EXPECT_NE(text.find("statement at 002** — word `FFFFF4BE01`"), std::string::npos) << text;
    EXPECT_NE(text.find("| SQ | 19–16 | `0100` | BF |"), std::string::npos) << text;
    EXPECT_NE(text.find("| TS | 15–13 | `101` | CZ |"), std::string::npos) << text;
    EXPECT_NE(text.find("| LT | 8–0 | `000000001` | 001 |"), std::string::npos) << text;
    EXPECT_NE(text.find("IF ... THEN branches to **LOOP** at 001"), std::string::npos) << text;
    // TABLE is the target of IOP: moved to 010, the next multiple of 16.
    text = HoverText(kUri, kProgram, 9, 9);
    EXPECT_NE(text.find("**label TABLE** — address 010, an IOP target: a multiple of 16; 1 use"), std::string::npos)
        << text;
    text = HoverText(kUri, kProgram, 5, 4);
    EXPECT_NE(text.find("`C`: the counter"), std::string::npos) << text;

    // An error: its message and its fix, in plain text for a client that
    // takes no markdown.
    std::string broken = kProgram;
    broken.replace(broken.find("GOTO START"), 10, "GOTO");
    const Json hover = Ask(kUri, broken, "textDocument/hover", At(kUri, 11, 8), Json::object());
    ASSERT_TRUE(hover.is_object());
    EXPECT_EQ(hover["contents"]["kind"], "plaintext");
    text = hover["contents"]["value"].get<std::string>();
    EXPECT_NE(text.find("error [E6] ctrlforge: 'GOTO' needs the label to branch to\n\nFix: name the target label"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("not assembled"), std::string::npos) << text;
}

// ---------------------------------------------------------------- labels

Json Range(unsigned line, unsigned from, unsigned to) {
    return Json{{"start", {{"line", line}, {"character", from}}}, {"end", {{"line", line}, {"character", to}}}};
}

TEST(Features, LabelsAreFollowedFromEveryUse) {
    const Json definition = Ask(kUri, kProgram, "textDocument/definition", At(kUri, 7, 21));
    EXPECT_EQ(definition, (Json{{"uri", kUri}, {"range", Range(3, 2, 6)}}));
    Json params = At(kUri, 3, 3);
    params["context"] = {{"includeDeclaration", true}};
    EXPECT_EQ(Ask(kUri, kProgram, "textDocument/references", params),
              (Json{{{"uri", kUri}, {"range", Range(3, 2, 6)}}, {{"uri", kUri}, {"range", Range(7, 19, 23)}}}));
    params["context"]["includeDeclaration"] = false;
    EXPECT_EQ(Ask(kUri, kProgram, "textDocument/references", params).size(), 1u);
    EXPECT_EQ(Ask(kUri, kProgram, "textDocument/documentHighlight", At(kUri, 11, 9)),
              (Json{{{"range", Range(1, 2, 7)}, {"kind", 3}}, {{"range", Range(11, 9, 14)}, {"kind", 2}}}));
    // Not on a label: nothing to follow.
    EXPECT_TRUE(Ask(kUri, kProgram, "textDocument/definition", At(kUri, 4, 5)).is_null());
    EXPECT_TRUE(Ask(kUri, kProgram, "textDocument/prepareRename", At(kUri, 0, 2)).is_null());
    EXPECT_EQ(Ask(kUri, kProgram, "textDocument/prepareRename", At(kUri, 9, 8)),
              (Json{{"range", Range(9, 8, 13)}, {"placeholder", "TABLE"}}));
}

std::string Refusal(const std::string& newName, unsigned line = 3, unsigned character = 3) {
    Session session;
    session.Send({Initialize(1), Open(kUri, "", kProgram)});
    Json params = At(kUri, line, character);
    params["newName"] = newName;
    const std::vector<Json> sent = session.Send({Request(2, "textDocument/rename", params)});
    const Json& answer = *AnswerTo(sent, 2);
    return answer.contains("error") ? answer["error"]["message"].get<std::string>() : "";
}

TEST(Features, RenameChangesEveryUseOrSaysWhyNot) {
    Json params = At(kUri, 7, 20);
    params["newName"] = "again";
    EXPECT_EQ(Ask(kUri, kProgram, "textDocument/rename", params),
              (Json{{"changes",
                     {{kUri,
                       {{{"range", Range(3, 2, 6)}, {"newText", "again"}}, {{"range", Range(7, 19, 23)}, {"newText", "again"}}}}}}}));
    EXPECT_EQ(Refusal("TABLE"),
              "'TABLE' is taken: the label TABLE is defined on line 11, and two labels of one name would be one");
    EXPECT_EQ(Refusal("fetch"), "'fetch' is a keyword of the microprogram language, and a keyword cannot name a label");
    EXPECT_EQ(Refusal("LOOPCOUNT"),
              "'LOOPCOUNT' has 9 characters, but only the first 8 of a label count: it would be the label LOOPCOUN, "
              "and a longer name only hides that");
    EXPECT_EQ(Refusal("2ND"), "'2ND' is no label: a label is a letter followed by letters, digits and _");
    EXPECT_EQ(Refusal("OTHER", 4, 5), "no label stands here: only labels can be renamed");
    EXPECT_EQ(Refusal("LOOP_2"), "");
    // The assembly language: no underscore, and mnemonics and devices kept
    // for what they are.
    EXPECT_NE(lsp::NameProblem(lsp::Language::Assembly, "A_B").find("letters and digits"), std::string::npos);
    EXPECT_NE(lsp::NameProblem(lsp::Language::Assembly, "bsr").find("mnemonic"), std::string::npos);
    EXPECT_NE(lsp::NameProblem(lsp::Language::Assembly, "LPT").find("device"), std::string::npos);
    EXPECT_EQ(lsp::NameProblem(lsp::Language::Assembly, "GOTO"), "");
}

// ---------------------------------------------------------------- outline

TEST(Features, TheOutlineIsTheLabelsUnderTheTitle) {
    const Json symbols = Ask(kUri, kProgram, "textDocument/documentSymbol", {{"textDocument", {{"uri", kUri}}}},
                             {{"textDocument", {{"documentSymbol", {{"hierarchicalDocumentSymbolSupport", true}}}}}});
    ASSERT_EQ(symbols.size(), 1u);
    EXPECT_EQ(symbols[0]["name"], "DEMO");
    EXPECT_EQ(symbols[0]["range"], (Json{{"start", {{"line", 0}, {"character", 0}}}, {"end", {{"line", 13}, {"character", 0}}}}));
    EXPECT_EQ(symbols[0]["selectionRange"], Range(0, 7, 11));
    const Json& children = symbols[0]["children"];
    ASSERT_EQ(children.size(), 3u);
    EXPECT_EQ(children[0]["name"], "START");
    EXPECT_EQ(children[0]["detail"], "@000 branch target");  // GOTO START
    EXPECT_EQ(children[0]["selectionRange"], Range(1, 2, 7));
    EXPECT_EQ(children[1]["name"], "LOOP");
    EXPECT_EQ(children[1]["detail"], "@001 branch target");
    // LOOP's statement: its heading to the end of "C - 1".
    EXPECT_EQ(children[1]["range"], (Json{{"start", {{"line", 3}, {"character", 0}}}, {"end", {{"line", 5}, {"character", 9}}}}));
    EXPECT_EQ(children[2]["detail"], "@010 IOP target");
    // Flat, for a client without the hierarchy.
    const Json flat = Ask(kUri, kProgram, "textDocument/documentSymbol", {{"textDocument", {{"uri", kUri}}}});
    ASSERT_EQ(flat.size(), 3u);
    EXPECT_EQ(flat[1]["containerName"], "DEMO");
    EXPECT_EQ(flat[1]["location"]["range"], Range(3, 2, 6));
}

// ---------------------------------------------------------------- completion

std::vector<std::string> Labels(const Json& list) {
    std::vector<std::string> labels;
    for (const Json& item : list["items"]) {
        labels.push_back(item["label"].get<std::string>());
        EXPECT_FALSE(item["documentation"].get<std::string>().empty()) << item.dump();
    }
    return labels;
}

std::vector<std::string> CompleteAt(const std::string& line, bool micro = true) {
    // The line is put where the cursor can stand at its end.
    const std::string text = micro ? kProgram.substr(0, kProgram.size() - 6) + line + "\r\n.END\r\n"
                                   : "START:  NOP\r\nTABLE:  DC    5\r\n" + line + "\r\n        END\r\n";
    const std::string_view uri = micro ? kUri : "file:///p.asm";
    const unsigned number = micro ? 12u : 2u;
    return Labels(Ask(uri, text, "textDocument/completion", At(uri, number, static_cast<unsigned>(line.size()))));
}

bool Holds(const std::vector<std::string>& list, std::initializer_list<std::string_view> wanted) {
    for (std::string_view word : wanted) {
        if (std::find(list.begin(), list.end(), word) == list.end()) return false;
    }
    return true;
}

TEST(Features, CompletionOffersWhatMayStandThere) {
    std::vector<std::string> items = CompleteAt("    ");
    EXPECT_TRUE(Holds(items, {"IF", "GOTO", "READ", "R0", "SET", "C", "FLAG"}));
    EXPECT_FALSE(Holds(items, {"ZER"}));
    EXPECT_EQ(CompleteAt("    IF "), (std::vector<std::string>{"ZER", "NEG", "CRY", "OV", "T", "CZ"}));
    EXPECT_EQ(CompleteAt("    IF CRY = 1 THEN L"), (std::vector<std::string>{"START", "LOOP", "TABLE"}));
    EXPECT_EQ(CompleteAt("    GOTO "), (std::vector<std::string>{"FETCH", "START", "LOOP", "TABLE"}));
    items = CompleteAt("    R1 := ");
    EXPECT_TRUE(Holds(items, {"R2", "MM", "ZERO", "RA", "SLL", "NSH"}));
    EXPECT_FALSE(Holds(items, {"+"}));
    items = CompleteAt("    R1 := R2 ");
    EXPECT_TRUE(Holds(items, {"+", "-", "AND", "OR", "XOR", "$", "@", ":"}));
    EXPECT_FALSE(Holds(items, {"R2"}));
    EXPECT_TRUE(Holds(CompleteAt("    SET BY R1 XOR "), {"R7", "SRA"}));
    EXPECT_TRUE(CompleteAt("* NEW").empty());
    EXPECT_TRUE(CompleteAt("    NSQ ; GOTO ").empty());

    items = CompleteAt("        ", false);
    EXPECT_EQ(items.size(), 44u);
    EXPECT_TRUE(Holds(CompleteAt("LOOP:   B", false), {"BSR", "BNZ", "DC"}));
    EXPECT_EQ(CompleteAt("        RIO   ", false), (std::vector<std::string>{"CR", "LPT"}));
    EXPECT_TRUE(CompleteAt("        ADD   1,", false).empty());
}

// ---------------------------------------------------------------- tokens

TEST(Features, SemanticTokensTypeEveryToken) {
    const std::string text = ".TITLE TT\r\n* L:\r\n\tGOTO L ; back\r\n.END\r\n";
    const Json tokens = Ask("file:///t.mic", text, "textDocument/semanticTokens/full",
                            {{"textDocument", {{"uri", "file:///t.mic"}}}});
    // Line, start (each relative to the token before), length, type,
    // modifiers; types: 0 keyword, 4 operator, 6 label, 7 comment, 8 string.
    EXPECT_EQ(tokens["data"], (Json{0, 0, 6, 0, 0,  // .TITLE
                                    0, 7, 2, 8, 0,  // TT
                                    1, 0, 1, 4, 0,  // *
                                    0, 2, 1, 6, 1,  // L, its definition
                                    0, 1, 1, 4, 0,  // :
                                    1, 1, 4, 0, 0,  // GOTO after the tab
                                    0, 5, 1, 6, 0,  // L
                                    0, 2, 6, 7, 0,  // ; back
                                    1, 0, 4, 0, 0}));  // .END
}

// ---------------------------------------------------------------- notes

TEST(Features, EveryWordHasANoteAndEveryErrorAFix) {
    for (std::string_view keyword : ctrlforge::KeywordWords()) EXPECT_FALSE(lsp::MicroprogramNote(keyword).empty()) << keyword;
    EXPECT_FALSE(lsp::MicroprogramNote("C").empty());
    for (std::string_view mnemonic : wordforge::Mnemonics()) EXPECT_FALSE(lsp::AssemblyNote(mnemonic).empty()) << mnemonic;
    for (std::string_view device : wordforge::DeviceNames()) EXPECT_FALSE(lsp::AssemblyNote(device).empty()) << device;
    EXPECT_TRUE(lsp::MicroprogramNote("LOOP").empty());

    common::Diagnostic diagnostic;
    for (int number = 1; number <= 21; ++number) {
        diagnostic.tag = "E" + std::to_string(number);
        EXPECT_FALSE(lsp::FixFor(lsp::Language::Microprogram, diagnostic).empty()) << diagnostic.tag;
    }
    // Every flag F message the golden cases print, and every warning.
    const std::regex printed(R"(^.+?:\d+:\d+: (error|warning): (.*?) \[([^\]\s]+)\]$)");
    std::size_t messages = 0;
    for (const auto& entry : fs::recursive_directory_iterator(GOLDEN_DIR)) {
        if (entry.path().filename() != "stderr") continue;
        std::istringstream lines(ReadFile(entry.path()));
        const bool micro = entry.path().string().find("/ctrlforge/") != std::string::npos;
        for (std::string line; std::getline(lines, line);) {
            std::smatch match;
            if (!std::regex_match(line, match, printed)) continue;
            diagnostic.message = match[2].str();
            diagnostic.tag = match[3].str();
            diagnostic.severity = match[1].str() == "error" ? common::Severity::Error : common::Severity::Warning;
            ++messages;
            EXPECT_FALSE(lsp::FixFor(micro ? lsp::Language::Microprogram : lsp::Language::Assembly, diagnostic).empty())
                << line;
        }
    }
    EXPECT_GT(messages, 50u);
}

}  // namespace
