// Logisim and MIF images read back by small readers written from the formats'
// documentation, and compared word for word with the store that loading the
// words in order gives.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "image/lanes.hpp"
#include "image/logisim.hpp"
#include "image/mif.hpp"
#include "tests/image/scattered_words.hpp"

namespace {

using image::PlacedWord;
using image::Store;
using image_test::Scattered;

struct Memory {
    std::vector<std::uint64_t> words;
    std::string error;  // empty when the image read cleanly
};

std::optional<std::uint64_t> ParseHex(std::string text) {
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) text = text.substr(2);
    if (text.empty() || text.size() > 16) return std::nullopt;
    std::uint64_t value = 0;
    for (char c : text) {
        if (!std::isxdigit(static_cast<unsigned char>(c))) return std::nullopt;
        value = value * 16 + static_cast<std::uint64_t>(std::isdigit(static_cast<unsigned char>(c))
                                                            ? c - '0'
                                                            : std::toupper(static_cast<unsigned char>(c)) - 'A' + 10);
    }
    return value;
}

std::vector<std::string> LinesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

std::string Trim(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

// "v3.0 hex words addressed": the first non-blank line is the header; "#"
// starts a comment; after two blanks in a row the rest of a line is
// ignored; a line is a word address in hex (a "0x" and a colon optional)
// and words in hex, one to each group, at that address and the next ones.
// The memory starts out zero.
Memory ReadLogisim(const std::string& text, std::uint32_t depth) {
    Memory memory{std::vector<std::uint64_t>(depth, 0), {}};
    bool header = false;
    for (std::string line : LinesOf(text)) {
        line = line.substr(0, line.find('#'));
        if (!header) {
            if (Trim(line).empty()) continue;
            if (Trim(line) != "v3.0 hex words addressed") return {{}, "header: " + line};
            header = true;
            continue;
        }
        line = Trim(line.substr(0, line.find("  ")));
        if (line.empty()) continue;
        std::istringstream groups(line);
        std::string address;
        groups >> address;
        if (!address.empty() && address.back() == ':') address.pop_back();
        std::optional<std::uint64_t> at = ParseHex(address);
        if (!at) return {{}, "address: " + line};
        for (std::string group; groups >> group;) {
            std::optional<std::uint64_t> word = ParseHex(group);
            if (!word) return {{}, "word: " + line};
            if (*at >= depth) return {{}, "beyond the memory: " + line};
            memory.words[*at] = *word;
            ++*at;
        }
    }
    if (!header) return {{}, "no header"};
    return memory;
}

// MIF: "--" comments to the line end and "% ... %" comments; "DEPTH = n;",
// "WIDTH = n;", "ADDRESS_RADIX = HEX;", "DATA_RADIX = HEX;", then between
// CONTENT BEGIN and END; the lines "addr : value;" and "[a..b] : value;".
// Every address must be given exactly once.
Memory ReadMif(const std::string& text, unsigned width) {
    std::string clean;
    bool inBlock = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (inBlock) {
            if (text[i] == '%') inBlock = false;
        } else if (text[i] == '%') {
            inBlock = true;
        } else if (text.compare(i, 2, "--") == 0) {
            i = text.find('\n', i);
            if (i == std::string::npos) break;
            clean += '\n';
        } else {
            clean += text[i];
        }
    }
    // Statements end with ";"; CONTENT BEGIN stands alone.
    std::size_t begin = clean.find("CONTENT");
    if (begin == std::string::npos || clean.find("BEGIN", begin) == std::string::npos) return {{}, "no CONTENT BEGIN"};
    std::string head = clean.substr(0, begin);
    std::string body = clean.substr(clean.find("BEGIN", begin) + 5);

    std::uint64_t depth = 0;
    std::istringstream heads(head);
    bool hexAddresses = false, hexData = false;
    for (std::string statement; std::getline(heads, statement, ';');) {
        std::size_t eq = statement.find('=');
        if (eq == std::string::npos) {
            if (!Trim(statement).empty()) return {{}, "header statement: " + statement};
            continue;
        }
        std::istringstream key(statement.substr(0, eq)), value(statement.substr(eq + 1));
        std::string k, v;
        key >> k;
        value >> v;
        if (k == "DEPTH") depth = std::stoull(v);
        else if (k == "WIDTH" && std::stoul(v) != width) return {{}, "WIDTH " + v};
        else if (k == "ADDRESS_RADIX") hexAddresses = v == "HEX";
        else if (k == "DATA_RADIX") hexData = v == "HEX";
    }
    if (depth == 0 || !hexAddresses || !hexData) return {{}, "incomplete header"};

    Memory memory{std::vector<std::uint64_t>(depth, 0), {}};
    std::vector<int> given(depth, 0);
    std::istringstream entries(body);
    bool ended = false;
    for (std::string entry; std::getline(entries, entry, ';');) {
        entry = Trim(entry);
        if (entry.empty()) continue;
        if (entry == "END") {
            ended = true;
            break;
        }
        std::size_t colon = entry.find(':');
        if (colon == std::string::npos) return {{}, "entry: " + entry};
        std::string where = Trim(entry.substr(0, colon));
        std::optional<std::uint64_t> value = ParseHex(Trim(entry.substr(colon + 1)));
        std::optional<std::uint64_t> first, last;
        if (!where.empty() && where.front() == '[' && where.back() == ']') {
            std::size_t dots = where.find("..");
            if (dots == std::string::npos) return {{}, "range: " + entry};
            first = ParseHex(where.substr(1, dots - 1));
            last = ParseHex(where.substr(dots + 2, where.size() - dots - 3));
        } else {
            first = last = ParseHex(where);
        }
        if (!first || !last || !value || *first > *last || *last >= depth) return {{}, "entry: " + entry};
        for (std::uint64_t a = *first; a <= *last; ++a) {
            memory.words[a] = *value;
            ++given[a];
        }
    }
    if (!ended) return {{}, "no END"};
    for (std::uint64_t a = 0; a < depth; ++a) {
        if (given[a] != 1) return {{}, "address " + std::to_string(a) + " given " + std::to_string(given[a]) + " times"};
    }
    return memory;
}

// What loading the words in order into a store of fill words gives.
std::vector<std::uint64_t> Expected(const Store& store, const std::vector<PlacedWord>& words) {
    const std::uint64_t mask = store.wordBits == 64 ? ~0ull : (1ull << store.wordBits) - 1;
    std::vector<std::uint64_t> memory(store.depth, store.fill & mask);
    for (const PlacedWord& w : words) memory[w.address] = w.word & mask;
    return memory;
}

void ExpectSameWords(const Memory& read, const std::vector<std::uint64_t>& expected) {
    ASSERT_EQ(read.error, "");
    ASSERT_EQ(read.words.size(), expected.size());
    for (std::size_t a = 0; a < expected.size(); ++a) {
        ASSERT_EQ(read.words[a], expected[a]) << "address " << std::hex << a;
    }
}

const Store kStores[] = {
    {40, 4096, 0xFFFFFFFE00, "CONTROL"},
    {16, 65536, 0x0000, "MEMORY"},
    {16, 65536, 0xE5E5, "FILLED"},
};

TEST(Readback, LogisimImagesHoldTheLoadedStore) {
    for (const Store& store : kStores) {
        SCOPED_TRACE(store.name);
        std::vector<PlacedWord> words = Scattered(store, store.depth + store.wordBits, 600);
        ExpectSameWords(ReadLogisim(image::WriteLogisim(store, words), store.depth), Expected(store, words));
    }
}

TEST(Readback, MifImagesHoldTheLoadedStore) {
    for (const Store& store : kStores) {
        SCOPED_TRACE(store.name);
        std::vector<PlacedWord> words = Scattered(store, store.depth * 3 + store.wordBits, 600);
        ExpectSameWords(ReadMif(image::WriteMif(store, words), store.wordBits), Expected(store, words));
    }
}

TEST(Readback, LaneImagesPutTogetherGiveTheWords) {
    const Store& store = kStores[0];
    std::vector<PlacedWord> words = Scattered(store, 99, 300);
    std::vector<std::uint64_t> joinedLogisim(store.depth, 0), joinedMif(store.depth, 0);
    for (unsigned lane = 0; lane < image::LaneCount(store.wordBits); ++lane) {
        image::Lane split = image::SplitLane(store, words, lane);
        Memory logisim = ReadLogisim(image::WriteLogisim(split.store, split.words), store.depth);
        Memory mif = ReadMif(image::WriteMif(split.store, split.words), 8);
        ASSERT_EQ(logisim.error, "");
        ASSERT_EQ(mif.error, "");
        for (std::uint32_t a = 0; a < store.depth; ++a) {
            ASSERT_LE(logisim.words[a], 0xFFu);
            joinedLogisim[a] |= logisim.words[a] << (8 * lane);
            joinedMif[a] |= mif.words[a] << (8 * lane);
        }
    }
    ExpectSameWords({joinedLogisim, {}}, Expected(store, words));
    ExpectSameWords({joinedMif, {}}, Expected(store, words));
}

TEST(Readback, TheReadersThemselvesFollowTheDocumentation) {
    // The readers are checked themselves: a wrong header, a word after two
    // blanks, an address given twice, a missing END.
    EXPECT_NE(ReadLogisim("v2.0 raw\n0: 1 2\n", 4).error, "");
    Memory skipped = ReadLogisim("v3.0 hex words addressed\n# c\n0: 1  2\n2: 3\n", 4);
    ASSERT_EQ(skipped.error, "");
    EXPECT_EQ(skipped.words, (std::vector<std::uint64_t>{1, 0, 3, 0}));
    const std::string head = "DEPTH = 2;\nWIDTH = 8;\nADDRESS_RADIX = HEX;\nDATA_RADIX = HEX;\nCONTENT BEGIN\n";
    EXPECT_NE(ReadMif(head + "0 : 1;\n[0..1] : 2;\nEND;\n", 8).error, "");
    EXPECT_NE(ReadMif(head + "[0..1] : 2;\n", 8).error, "");
    Memory ok = ReadMif("% block %\n-- line\n" + head + "0 : 7; -- seven\n1 : 8;\nEND;\n", 8);
    ASSERT_EQ(ok.error, "");
    EXPECT_EQ(ok.words, (std::vector<std::uint64_t>{7, 8}));
}

}  // namespace
