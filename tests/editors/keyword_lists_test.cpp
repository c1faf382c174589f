// The highlighters' word lists against the assemblers' own tables: the VS
// Code grammars and the vim syntax files write the keywords into regular
// expressions, the page's tokenizer into lists, all by hand. The tables the
// programs read are the one source; a word missing from a highlighter, or
// one it knows that the program does not, is a fault of the highlighter.
//
// In a grammar, a keyword list is a group of bare words: (A|B), (?:A|B) or
// \%(A\|B\), with R[0-7] standing for R0 to R7. Every such group may name
// only words of the language; the groups together must name every word of
// the tables; and a group that says "any word but a keyword" (a negative
// look-ahead around it) must name exactly the keywords.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "ctrlforge/vocabulary.hpp"
#include "wordforge/vocabulary.hpp"

namespace {

using Words = std::set<std::string>;

std::string ReadSource(const std::string& relative) {
    std::ifstream in(std::string(ZORVELT_SOURCE_DIR) + "/" + relative, std::ios::binary);
    EXPECT_TRUE(in) << "cannot read " << relative;
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string Show(const Words& words) {
    std::string text;
    for (const std::string& word : words) text += (text.empty() ? "" : " ") + word;
    return "{" + text + "}";
}

Words Minus(const Words& a, const Words& b) {
    Words result;
    for (const std::string& word : a) {
        if (!b.contains(word)) result.insert(word);
    }
    return result;
}

// The words of a group's alternatives, R[0-7] spelt out.
Words Alternatives(const std::string& body, const std::string& separator) {
    Words words;
    std::size_t at = 0;
    for (;;) {
        std::size_t end = body.find(separator, at);
        std::string word = body.substr(at, end == std::string::npos ? std::string::npos : end - at);
        if (word == "R[0-7]") {
            for (char digit = '0'; digit <= '7'; ++digit) words.insert(std::string("R") + digit);
        } else {
            words.insert(word);
        }
        if (end == std::string::npos) return words;
        at = end + separator.size();
    }
}

struct Group {
    Words words;
    bool exclusion;  // "any word but these"
};

// The bare-word groups of a TextMate grammar (the JSON text as it is: no
// word holds a character JSON escapes).
std::vector<Group> TextMateGroups(const std::string& text) {
    static const std::regex group(R"(\((?:\?:)?((?:[A-Z][A-Z0-9_]*|R\[0-7\])(?:\|(?:[A-Z][A-Z0-9_]*|R\[0-7\]))*)\))");
    std::vector<Group> groups;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), group); it != std::sregex_iterator(); ++it) {
        const std::size_t start = static_cast<std::size_t>(it->position(0));
        const bool exclusion = start >= 3 && text.compare(start - 3, 3, "(?!") == 0;
        groups.push_back({Alternatives((*it)[1].str(), "|"), exclusion});
    }
    return groups;
}

// The bare-word groups of a vim syntax file: \%(A\|B\). An exclusion is
// written \%(\%(A\|B\)\w\@!\)\@!.
std::vector<Group> VimGroups(const std::string& text) {
    static const std::regex group(
        R"(\\%\(((?:[A-Z][A-Z0-9_]*|R\[0-7\])(?:\\\|(?:[A-Z][A-Z0-9_]*|R\[0-7\]))*)\\\))");
    std::vector<Group> groups;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), group); it != std::sregex_iterator(); ++it) {
        const std::size_t end = static_cast<std::size_t>(it->position(0) + it->length(0));
        const bool exclusion = text.compare(end, 10, R"x(\w\@!\)\@!)x") == 0;
        groups.push_back({Alternatives((*it)[1].str(), R"(\|)"), exclusion});
    }
    return groups;
}

// A language's words: `keywords` must all be named, `vocabulary` (the
// keywords and the other words of the language) holds every word allowed.
void CheckGrammar(const std::string& file, const std::vector<Group>& groups, const Words& keywords,
                  const Words& vocabulary) {
    SCOPED_TRACE(file);
    ASSERT_FALSE(groups.empty()) << "no keyword list found";
    Words named;
    for (const Group& group : groups) {
        EXPECT_TRUE(Minus(group.words, vocabulary).empty())
            << "names words the program does not know: " << Show(Minus(group.words, vocabulary)) << " in "
            << Show(group.words);
        if (group.exclusion) {
            EXPECT_EQ(Show(group.words), Show(keywords)) << "a list of every keyword is not the keyword table";
        }
        named.insert(group.words.begin(), group.words.end());
    }
    EXPECT_TRUE(Minus(keywords, named).empty()) << "never names " << Show(Minus(keywords, named));
}

// The lists of one `export const NAME = { list: ["A", ...], ... };` of the
// tokenizer's word file.
std::map<std::string, Words> TokenizerLists(const std::string& text, const std::string& program) {
    std::map<std::string, Words> lists;
    const std::regex object("export const " + program + R"( = \{([^}]*)\})");
    std::smatch found;
    if (!std::regex_search(text, found, object)) {
        ADD_FAILURE() << "the tokenizer's word file has no lists for " << program;
        return lists;
    }
    const std::string body = found[1].str();
    static const std::regex list(R"((\w+): \[([^\]]*)\])");
    static const std::regex word(R"re("([^"]*)")re");
    for (auto it = std::sregex_iterator(body.begin(), body.end(), list); it != std::sregex_iterator(); ++it) {
        const std::string items = (*it)[2].str();
        Words& words = lists[(*it)[1].str()];
        for (auto w = std::sregex_iterator(items.begin(), items.end(), word); w != std::sregex_iterator(); ++w) {
            EXPECT_TRUE(words.insert((*w)[1].str()).second) << program << " lists " << (*w)[1] << " twice";
        }
    }
    return lists;
}

// The tokenizer colours each word of the tables by exactly one list.
void CheckTokenizer(const std::string& program, const Words& expected) {
    SCOPED_TRACE("web/editor/keywords.js, " + program);
    const std::map<std::string, Words> lists = TokenizerLists(ReadSource("web/editor/keywords.js"), program);
    Words all;
    for (const auto& [name, words] : lists) {
        for (const std::string& w : words) {
            EXPECT_TRUE(all.insert(w).second) << w << " is in more than one list (again in " << name << ")";
        }
    }
    EXPECT_EQ(Show(all), Show(expected));
}

Words CtrlforgeKeywords() {
    Words words;
    for (std::string_view w : ctrlforge::KeywordWords()) words.insert(std::string(w));
    return words;
}

Words WordforgeMnemonics() {
    Words words;
    for (std::string_view w : wordforge::Mnemonics()) words.insert(std::string(w));
    return words;
}

Words WordforgeDevices() {
    Words words;
    for (std::string_view w : wordforge::DeviceNames()) words.insert(std::string(w));
    return words;
}

Words Union(Words a, const Words& b) {
    a.insert(b.begin(), b.end());
    return a;
}

TEST(KeywordLists, TheTablesAreWhatTheListsAreComparedWith) {
    // Guards against an empty or truncated table making every check below pass.
    EXPECT_EQ(CtrlforgeKeywords().size(), 59u);
    EXPECT_EQ(WordforgeMnemonics().size(), 44u);
    EXPECT_EQ(Show(WordforgeDevices()), "{CR LPT}");
}

TEST(KeywordLists, MicroprogramGrammarsNameExactlyTheKeywordTables) {
    const Words keywords = CtrlforgeKeywords();
    const Words vocabulary = Union(keywords, {std::string(1, ctrlforge::kCounterLetter)});
    for (const char* file : {"editors/vscode/syntaxes/zorvelt-micro.tmLanguage.json"}) {
        CheckGrammar(file, TextMateGroups(ReadSource(file)), keywords, vocabulary);
    }
    for (const char* file : {"editors/vim/syntax/zorvelt-micro.vim"}) {
        CheckGrammar(file, VimGroups(ReadSource(file)), keywords, vocabulary);
    }
}

TEST(KeywordLists, AssemblyGrammarsNameExactlyTheMnemonicsAndDevices) {
    const Words words = Union(WordforgeMnemonics(), WordforgeDevices());
    for (const char* file : {"editors/vscode/syntaxes/zorvelt-asm.tmLanguage.json"}) {
        CheckGrammar(file, TextMateGroups(ReadSource(file)), words, words);
    }
    for (const char* file : {"editors/vim/syntax/zorvelt-asm.vim"}) {
        CheckGrammar(file, VimGroups(ReadSource(file)), words, words);
    }
}

TEST(KeywordLists, PageTokenizerColoursEveryWordOfTheTablesOnce) {
    CheckTokenizer("ctrlforge", Union(CtrlforgeKeywords(), {std::string(1, ctrlforge::kCounterLetter)}));
    CheckTokenizer("wordforge", Union(WordforgeMnemonics(), WordforgeDevices()));
}

// The extraction itself: a misspelt word, a missing one and a short
// exclusion list are each found.
TEST(KeywordLists, TheChecksFindWrongLists) {
    const Words keywords = {"GOTO", "R0", "R1", "R2", "R3", "R4", "R5", "R6", "R7"};
    std::vector<Group> tm = TextMateGroups(R"x("(?i)(?:GOTO|R[0-7])(?![A-Z])" "(?!(?:GOTO)(?![A-Z]))")x");
    ASSERT_EQ(tm.size(), 2u);
    EXPECT_FALSE(tm[0].exclusion);
    EXPECT_EQ(Show(tm[0].words), Show(keywords));
    EXPECT_TRUE(tm[1].exclusion);
    std::vector<Group> vim = VimGroups(R"x(/\%(GOTO\|R[0-7]\)\w\@!/ /\%(\%(GOT\)\w\@!\)\@!\a\w*/)x");
    ASSERT_EQ(vim.size(), 2u);
    EXPECT_FALSE(vim[0].exclusion);
    EXPECT_EQ(Show(vim[0].words), Show(keywords));
    EXPECT_TRUE(vim[1].exclusion);
    EXPECT_EQ(Show(vim[1].words), "{GOT}");
    EXPECT_NONFATAL_FAILURE(CheckGrammar("tm", {tm[0]}, keywords, Minus(keywords, {"R7"})), "does not know: {R7}");
    EXPECT_NONFATAL_FAILURE(CheckGrammar("tm", tm, keywords, keywords), "is not the keyword table");
    EXPECT_NONFATAL_FAILURE(CheckGrammar("vim", vim, keywords, Union(keywords, {"GOT"})), "is not the keyword table");
    EXPECT_NONFATAL_FAILURE(CheckGrammar("tm", {tm[0]}, Union(keywords, {"CALL"}), Union(keywords, {"CALL"})),
                            "never names {CALL}");
}

}  // namespace
