// Control words read back. Worked words against their fields, meaning and
// tables as the word layout and the placement rules give them; the words no
// statement gives, each with its reason; and the round trip as a property:
// the decoded source of every golden source, of generated programs, and of
// every word the decoder calls expressible assembles to the same words.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "ctrlforge/ctrlforge.hpp"
#include "ctrlforge/decode.hpp"
#include "tests/support/golden_sources.hpp"
#include "tests/support/random_programs.hpp"

namespace {

namespace fs = std::filesystem;
using ctrlforge::DecodedWord;
using ctrlforge::DecodeWord;
using image::PlacedWord;

std::vector<std::string> Cells(const DecodedWord& d) {
    std::vector<std::string> cells;
    for (const ctrlforge::WordCell& cell : d.cells) cells.emplace_back(cell.View());
    return cells;
}

struct Assembled {
    bool failed = true;
    std::string object;
    std::string map;
    std::string title;
    std::vector<PlacedWord> placed;
};

Assembled Assemble(std::string_view source) {
    Assembled a;
    common::OutputSink object, map;
    const ctrlforge::Result result = ctrlforge::AssembleSource(source, {nullptr, &object, &map}, {.placed = &a.placed});
    a.failed = result.failed;
    a.object = std::move(object.buffer);
    a.map = std::move(map.buffer);
    a.title = result.title;
    return a;
}

// The words the decoded source of an assembled program gives: the same
// object file, byte for byte, and no word left as a comment.
void ExpectRoundTrip(const Assembled& original, const std::string& what) {
    const ctrlforge::DecodedSource decoded = ctrlforge::DecodeAsSource(original.placed, original.title);
    EXPECT_EQ(decoded.inexpressible, 0u) << what << "\n" << decoded.text;
    const Assembled again = Assemble(decoded.text);
    ASSERT_FALSE(again.failed) << what << "\n" << decoded.text;
    EXPECT_EQ(again.object, original.object) << what << "\n" << decoded.text;
}

TEST(DecodeWord, TheWorkedWordAsTheMapPrintsIt) {
    // START: R1 := R1 + R2 and GOTO LOOP at 105, TS and EX not named.
    const DecodedWord d = DecodeWord(0x121C701F05);
    EXPECT_EQ(Cells(d), (std::vector<std::string>{"R1L", "R2R", "ADD", "NSH", "R1S", "NMM", "B", "000", "NEX", "105"}));
    EXPECT_EQ(d.sequencing, ctrlforge::Sequencing::Goto);
    EXPECT_EQ(d.target, ctrlforge::TargetKind::Whole);
    EXPECT_EQ(d.targetAddress, 0x105);
    EXPECT_EQ(d.sequencingClause.View(), "GOTO 105");
    EXPECT_EQ(d.transferClause.View(), "R1 := R1 + R2");
    EXPECT_TRUE(d.memoryClause.Empty() && d.exceptionClause.Empty() && d.inexpressible.Empty());
    // The word of a statement that names no field.
    const DecodedWord empty = DecodeWord(0xFFFFFFFE00);
    EXPECT_EQ(Cells(empty), (std::vector<std::string>{"NLB", "NRB", "NAL", "NSH", "NSB", "NMM", "NSQ", "NTS", "NEX", "000"}));
    EXPECT_TRUE(empty.sequencingClause.Empty() && empty.transferClause.Empty() && empty.inexpressible.Empty());
}

TEST(DecodeWord, IopIraAndIabTargetsWithTheirTables) {
    // IOP to 230: LT holds 023, bits 3..0 are left to the table's 16 entries.
    const DecodedWord iop = DecodeWord(0xFFFFF5FE23);
    EXPECT_EQ(iop.sequencingClause.View(), "IOP 230");
    ASSERT_EQ(iop.tableEntries, 16);
    for (unsigned i = 0; i < 16; ++i) EXPECT_EQ(iop.table[i], 0x230 + i);
    // IRA to 843: TS holds bit 11, LT 013 (bits 10..4 above bits 1..0);
    // bits 3..2 pick one of four entries four apart.
    const DecodedWord ira = DecodeWord(0xFFFFF63E13);
    EXPECT_EQ(ira.sequencingClause.View(), "IRA 843");
    EXPECT_EQ(Cells(ira)[7], "001");
    ASSERT_EQ(ira.tableEntries, 4);
    EXPECT_EQ((std::array<std::uint16_t, 4>{ira.table[0], ira.table[1], ira.table[2], ira.table[3]}),
              (std::array<std::uint16_t, 4>{0x843, 0x847, 0x84B, 0x84F}));
    // IAB to 041: bits 5..2 zero by placement, LT 011.
    const DecodedWord iab = DecodeWord(0xFFFFF71E11);
    EXPECT_EQ(iab.sequencingClause.View(), "IAB 041");
    EXPECT_EQ((std::array<std::uint16_t, 4>{iab.table[0], iab.table[1], iab.table[2], iab.table[3]}),
              (std::array<std::uint16_t, 4>{0x041, 0x045, 0x049, 0x04D}));
    EXPECT_TRUE(iop.inexpressible.Empty() && ira.inexpressible.Empty() && iab.inexpressible.Empty());
}

TEST(DecodeWord, AConditionalBranchKeepsNineBitsOfItsTarget) {
    // IF ZER = 1 THEN a label at 25A: only 05A is in the word.
    const DecodedWord d = DecodeWord(0xFFFFF31E5A);
    EXPECT_EQ(d.target, ctrlforge::TargetKind::LowBits);
    EXPECT_EQ(d.targetAddress, 0x05A);
    EXPECT_EQ(d.sequencingClause.View(), "IF ZER = 1 THEN <bits 8..0 = 05A>");
    const std::string text = ctrlforge::ExplainWord(0xFFFFF31E5A);
    EXPECT_NE(text.find("  target      bits 8..0 = 05A: LT holds them; the word keeps no more of the target\n"),
              std::string::npos)
        << text;
    // IF CZ = 0 THEN ... ELSE FETCH is EI with the test; GOTO FETCH is EI
    // with NTS and an LT of 0.
    EXPECT_EQ(DecodeWord(0xFFFFF8BE5A).sequencingClause.View(), "IF CZ = 0 THEN <bits 8..0 = 05A> ELSE FETCH");
    EXPECT_EQ(DecodeWord(0xFFFFF8FE00).sequencingClause.View(), "GOTO FETCH");
}

TEST(DecodeWord, LiteralsAndTheClausesThatMoveData) {
    // R1 := 0BEEF: RB LLT, the literal over TS, EX and LT.
    const DecodedWord longLiteral = DecodeWord(0xFBFC7FBEEF);
    EXPECT_EQ(longLiteral.literal, ctrlforge::LiteralKind::Long);
    EXPECT_EQ(longLiteral.literalValue, 0xBEEF);
    EXPECT_EQ(Cells(longLiteral)[7] + Cells(longLiteral)[8] + Cells(longLiteral)[9], "00500F0EF");
    EXPECT_EQ(longLiteral.transferClause.View(), "R1 := 0BEEF");
    EXPECT_TRUE(longLiteral.exceptionClause.Empty());
    // IR := R2 alone drives LB without a transfer (LIR); with SET BY the bus
    // is named instead.
    const DecodedWord load = DecodeWord(0x2FFFFFE800);
    EXPECT_TRUE(load.transferClause.Empty());
    EXPECT_EQ(load.exceptionClause.View(), "IR := R2");
    // R3 on the right bus alone needs an operator: standing first it would
    // be read as a left operand.
    const DecodedWord right = DecodeWord(0xF3FC7FFE00);
    EXPECT_EQ(right.transferClause.View(), "R1 := ZERO @ R3");
    // IRA + 1 on a statement's first clause line would be the sequencing
    // clause IRA.
    EXPECT_EQ(DecodeWord(0xFFFFFFF400).exceptionClause.View(), "SET IRA + 1");
    EXPECT_EQ(DecodeWord(0xFFFFCFF400).exceptionClause.View(), "IRA + 1");
}

TEST(DecodeWord, SaysWhyNoStatementGivesAWord) {
    const std::pair<std::uint64_t, const char*> cases[] = {
        {0xFFFFFFFFFF, "LT holds bits without a literal or a branch target to give them"},
        {0xFCFFFFFE00, "RB holds C, a value without a mnemonic, which no clause gives"},
        {0xFFDFFFFE00, "AL holds 6, a value without a mnemonic, which no clause gives"},
        {0xFFFBFFFE00, "SH holds 6, a value without a mnemonic, which no clause gives"},
        {0xFFFF7FFE00, "SB holds D, a value without a mnemonic, which no clause gives"},
        {0xFFFFEFFE00, "MM holds 2, a value without a mnemonic, which no clause gives"},
        {0xFFFFF9FE00, "SQ holds 9, a value without a mnemonic, which no clause gives"},
        {0xFFFFFFDE00, "TS holds 6, a value without a mnemonic, which no clause gives"},
        {0xFFFFFF1E00, "TS holds a test, which only IF sets"},
        {0xFFFFF3FE05, "IF needs a test, but TS holds NTS"},
        {0xFAFFF01E05, "a literal cannot stand beside a branch: the branch takes LT"},
        {0xFAFFFFFE00, "RB says SLT, but a short literal is 1 to 1FF and LT holds 0"},
        {0xFBFC7F0005, "RB says LLT, but a literal below 200 is short or none"},
        {0xFFFFF5FF00, "the IOP target lies beyond the control store"},
        {0xFFFFF65E00, "the target lies beyond the control store"},
        {0xFFFFF71E04, "an IAB target has bits 5..4 zero, and this word's are not"},
        {0xFFFFF8FE01, "LT holds bits without a literal or a branch target to give them"},
    };
    for (const auto& [word, why] : cases) {
        EXPECT_EQ(DecodeWord(word).inexpressible.View(), why) << std::hex << word;
    }
    const std::string text = ctrlforge::ExplainWord(0xFFFFF9FE00);
    EXPECT_NE(text.find("\n  source      none: SQ holds 9, a value without a mnemonic, which no clause gives\n"),
              std::string::npos)
        << text;
}

TEST(DecodeAsSource, HeadingsLabelsPagesAndTheWordsLeftAsComments) {
    const std::vector<PlacedWord> image = {
        {0x000, 0x121C701E02},  // GOTO 002 with R1 := R1 + R2
        {0x001, 0xFFFFF31E5A},  // IF ZER = 1 THEN ...05A: no word at 05A, the next page has one
        {0x002, 0xFFFFFFFE00}, {0x25A, 0xFFFFFFFE00}, {0x65A, 0xFFFFFFFE00},
        {0x003, 0xFFFFF01F00},  // GOTO 100, which holds no word
        {0x004, 0xFFFFF01E03},  // GOTO 003, which is left out
        {0x005, 0xFFFFF9FE00},  // SQ 9
        {0xFFF, 0xFFFFFFFE00},
    };
    const ctrlforge::DecodedSource decoded = ctrlforge::DecodeAsSource(image, "DEMO");
    EXPECT_EQ(decoded.text,
              ".TITLE DEMO\r\n"
              "* 000           ; 121C701E02\r\n"
              "    GOTO L002\r\n"
              "    R1 := R1 + R2\r\n"
              "* 001           ; FFFFF31E5A\r\n"
              "    IF ZER = 1 THEN L25A\r\n"
              "* L002: 002     ; FFFFFFFE00\r\n"
              "; 003  FFFFF01F00  not written as source: the target 100 holds no word\r\n"
              "; 004  FFFFF01E03  not written as source: the target 003 holds a word written as a comment\r\n"
              "; 005  FFFFF9FE00  not written as source: SQ holds 9, a value without a mnemonic, which no clause gives\r\n"
              "* L25A: 25A     ; FFFFFFFE00\r\n"
              "* 65A           ; FFFFFFFE00\r\n"
              "; FFF  FFFFFFFE00  not written as source: the last address; a program's last word lies at FFE at most\r\n"
              ".END\r\n");
    EXPECT_EQ(decoded.inexpressible, 4u);
    const Assembled again = Assemble(decoded.text);
    EXPECT_EQ(again.object,
              "CM   DEMO    \r\n000  121C701E02\r\n001  FFFFF31E5A\r\n002  FFFFFFFE00\r\n"
              "25A  FFFFFFFE00\r\n65A  FFFFFFFE00\r\n");
    // The own page wins over a nearer address elsewhere.
    const std::vector<PlacedWord> paged = {{0x201, 0xFFFFF31E5A}, {0x05A, 0xFFFFFFFE00}, {0x25A, 0xFFFFFFFE00}};
    EXPECT_NE(ctrlforge::DecodeAsSource(paged, "P").text.find("IF ZER = 1 THEN L25A"), std::string::npos);
    // An IOP label that is an IAB target too is placed by the IAB rule
    // (mod 64 below 4): IOP 041 keeps only 04 and gives the word of IOP 040.
    const std::vector<PlacedWord> shared = {{0x000, 0xFFFFF5FE04}, {0x001, 0xFFFFF71E11}, {0x041, 0xFFFFFFFE00}};
    const ctrlforge::DecodedSource both = ctrlforge::DecodeAsSource(shared, "P");
    EXPECT_NE(both.text.find("    IOP L041\r\n"), std::string::npos) << both.text;
    EXPECT_EQ(Assemble(both.text).placed.size(), 3u);
    const std::vector<PlacedWord> alone = {{0x000, 0xFFFFF5FE04}, {0x041, 0xFFFFFFFE00}};
    EXPECT_NE(ctrlforge::DecodeAsSource(alone, "P").text.find("the target 040 holds no word"), std::string::npos);
    // A title the heading would refuse, and of two words at one address the
    // later one.
    const std::vector<PlacedWord> twice = {{0x0A0, 0x121C701E02}, {0x0A0, 0xFFFFFFFE00}};
    EXPECT_EQ(ctrlforge::DecodeAsSource(twice, "GOTO").text, ".TITLE DECODED\r\n* 0A0           ; FFFFFFFE00\r\n.END\r\n");
    EXPECT_EQ(ctrlforge::DecodeAsSource({}, "").text, ".TITLE DECODED\r\n.END\r\n");
}

TEST(DecodeWord, FieldsAreTheMapsCellsOnEveryGoldenSource) {
    std::size_t words = 0;
    for (const fs::path& path : test_support::GoldenSources(GOLDEN_DIR, "ctrlforge")) {
        const Assembled a = Assemble(test_support::ReadBytes(path));
        if (a.failed) continue;
        std::size_t at = a.map.find("\r\n", a.map.find("\r\n") + 2) + 2;  // after the two heading lines
        for (const PlacedWord& placed : a.placed) {
            const std::string line = a.map.substr(at, 61);
            at += 63;
            const DecodedWord d = DecodeWord(placed.word);
            for (std::size_t f = 0; f < ctrlforge::kWordFields; ++f) {
                std::string cell = line.substr(13 + 4 * f, 3);
                cell.erase(0, cell.find_first_not_of(' '));
                EXPECT_EQ(d.cells[f].View(), cell) << path << " " << line;
            }
            ++words;
        }
    }
    EXPECT_GT(words, 4000u);
}

TEST(DecodeAsSource, EveryGoldenSourceComesBackByteForByte) {
    std::size_t programs = 0;
    for (const fs::path& path : test_support::GoldenSources(GOLDEN_DIR, "ctrlforge")) {
        const Assembled a = Assemble(test_support::ReadBytes(path));
        if (a.failed) continue;
        ExpectRoundTrip(a, path.string());
        ++programs;
    }
    EXPECT_GT(programs, 20u);
}

TEST(DecodeAsSource, TenThousandGeneratedProgramsComeBackByteForByte) {
    std::mt19937 random(24);
    std::size_t words = 0, redrawn = 0;
    // Which value of each field the programs gave: every one with a
    // mnemonic should turn up.
    std::array<std::array<bool, 16>, ctrlforge::kWordFields> seen{};
    for (int i = 0; i < 10000; ++i) {
        Assembled a;
        std::string source;
        for (;;) {
            source = test_support::RandomMicroprogram(random);
            a = Assemble(source);
            if (!a.failed) break;
            ++redrawn;
        }
        ExpectRoundTrip(a, source);
        if (::testing::Test::HasFailure()) return;
        words += a.placed.size();
        for (const PlacedWord& placed : a.placed) {
            const DecodedWord d = DecodeWord(placed.word);
            for (std::size_t f = 0; f + 1 < ctrlforge::kWordFields; ++f) seen[f][d.bits[f] & 15u] = true;
        }
    }
    EXPECT_GT(words, 100000u);
    EXPECT_LT(redrawn, 4000u);  // the generator means to write valid programs
    const char* const fields[] = {"LB", "RB", "AL", "SH", "SB", "MM", "SQ", "TS", "EX"};
    for (std::size_t f = 0; f + 1 < ctrlforge::kWordFields; ++f) {
        const unsigned values = 1u << (ctrlforge::kFieldBits[f].high - ctrlforge::kFieldBits[f].low + 1);
        for (unsigned v = 0; v < values; ++v) {
            const std::uint64_t probe = std::uint64_t{v} << ctrlforge::kFieldBits[f].low;
            const bool named = !DecodeWord(probe).cells[f].View().starts_with("#");
            EXPECT_EQ(seen[f][v], named) << fields[f] << " " << v;
        }
    }
}

// An image of words under test at odd addresses; every even address holds
// an empty word, so that targets kept even always find one.
std::vector<PlacedWord> ImageOf(const std::vector<std::uint64_t>& words, std::size_t& next) {
    std::vector<PlacedWord> image;
    for (std::uint32_t address = 0; address <= 0xFFE; ++address) {
        if (address % 2 == 0) {
            image.push_back({address, 0xFFFFFFFE00});
        } else if (next < words.size()) {
            image.push_back({address, words[next++]});
        }
    }
    return image;
}

// Every word the decoder gives a statement for is given back by that
// statement: the decoded source of images holding them assembles to the
// same words, and only the words said to be inexpressible are left out.
void ExpectEveryExpressibleWordComesBack(const std::vector<std::uint64_t>& words) {
    for (std::size_t next = 0; next < words.size();) {
        const std::vector<PlacedWord> image = ImageOf(words, next);
        const ctrlforge::DecodedSource decoded = ctrlforge::DecodeAsSource(image, "ALL");
        const Assembled again = Assemble(decoded.text);
        ASSERT_FALSE(again.failed) << decoded.text;
        std::vector<PlacedWord> expected;
        for (const PlacedWord& placed : image) {
            if (DecodeWord(placed.word).inexpressible.Empty()) expected.push_back(placed);
        }
        ASSERT_EQ(again.placed.size(), expected.size());
        for (std::size_t i = 0; i < expected.size(); ++i) {
            ASSERT_EQ(again.placed[i].address, expected[i].address);
            ASSERT_EQ(again.placed[i].word, expected[i].word) << std::hex << expected[i].address;
        }
    }
}

unsigned Draw(std::mt19937& random, unsigned n) { return static_cast<unsigned>(random() % n); }

std::uint64_t Word(unsigned lb, unsigned rb, unsigned al, unsigned sh, unsigned sb, unsigned mm, unsigned sq,
                   unsigned ts, unsigned ex, unsigned lt) {
    return (std::uint64_t{lb} << 36) | (std::uint64_t{rb} << 32) | (std::uint64_t{al} << 29) |
           (std::uint64_t{sh} << 26) | (std::uint64_t{sb} << 22) | (std::uint64_t{mm} << 20) |
           (std::uint64_t{sq} << 16) | (ts << 13) | (ex << 9) | lt;
}

TEST(DecodeAsSource, EveryDataPathTheGrammarAllowsComesBack) {
    // Every LB, RB, AL and SH, against destinations of each kind (a
    // register, SA, PCS, one without a mnemonic, none), without sequencing;
    // each with its literal where RB names one.
    std::vector<std::uint64_t> words;
    std::mt19937 random(7);
    for (unsigned lb = 0; lb < 16; ++lb)
        for (unsigned rb = 0; rb < 16; ++rb)
            for (unsigned al = 0; al < 8; ++al)
                for (unsigned sh = 0; sh < 8; ++sh)
                    for (unsigned sb : {0u, 7u, 8u, 12u, 13u, 15u}) {
                        unsigned ts = 7, ex = 15, lt = 0;
                        if (rb == 10) lt = 1 + Draw(random, 511);
                        if (rb == 11) {
                            const unsigned literal = 512 + Draw(random, 65536 - 512);
                            ts = literal >> 13, ex = (literal >> 9) & 15, lt = literal & 511;
                        }
                        words.push_back(Word(lb, rb, al, sh, sb, 3, 15, ts, ex, lt));
                    }
    ExpectEveryExpressibleWordComesBack(words);
}

TEST(DecodeAsSource, EveryBusAndExceptionCombinationComesBack) {
    // The exception clauses that drive the buses without a transfer (IR :=,
    // IO :=, C :=) against every LB, RB and SB, with memory access.
    std::vector<std::uint64_t> words;
    for (unsigned lb = 0; lb < 16; ++lb)
        for (unsigned rb = 0; rb < 16; ++rb)
            for (unsigned sb = 0; sb < 16; sb += 3)
                for (unsigned ex = 0; ex < 16; ++ex)
                    for (unsigned mm : {1u, 3u}) {
                        if (rb == 11) continue;  // a long literal fills EX
                        words.push_back(Word(lb, rb, 7, 7, sb, mm, 15, 7, ex, rb == 10 ? 0x1F : 0));
                    }
    ExpectEveryExpressibleWordComesBack(words);
}

TEST(DecodeAsSource, EverySequencingWithItsTestsAndTargetsComesBack) {
    std::vector<std::uint64_t> words;
    std::mt19937 random(11);
    for (unsigned sq = 0; sq < 16; ++sq)
        for (unsigned ts = 0; ts < 8; ++ts)
            for (unsigned ex = 0; ex < 16; ++ex)
                for (unsigned rb : {2u, 10u, 15u}) {
                    // Even targets, which the image fills: a B/BP address, an
                    // IRA/IAB LT with bit 0 clear, an IOP LT, bits 8..0.
                    unsigned lt = Draw(random, 256) * 2;
                    if (sq == 5) lt = Draw(random, 256);
                    if (sq == 7) lt &= ~0xCu;
                    if (sq == 2 || sq == 15 || (sq == 8 && ts == 7)) lt = rb == 10 ? 0x44 : 0;
                    words.push_back(Word(Draw(random, 16), rb, 7, 7, 4, Draw(random, 2) * 2 + 1, sq, ts, ex, lt));
                }
    ExpectEveryExpressibleWordComesBack(words);
}

TEST(DecodeAsSource, RandomWordsComeBackWhereTheyAreExpressible) {
    std::mt19937_64 random(13);
    std::vector<std::uint64_t> words;
    std::size_t expressible = 0;
    while (words.size() < 40000) {
        std::uint64_t word = random() & 0xFFFFFFFFFF;
        // Even branch targets, as the image fills them.
        const DecodedWord d = DecodeWord(word);
        if (d.target != ctrlforge::TargetKind::None) word &= ~std::uint64_t{1};
        expressible += DecodeWord(word).inexpressible.Empty();
        words.push_back(word);
    }
    EXPECT_GT(expressible, 100u);
    ExpectEveryExpressibleWordComesBack(words);
}

}  // namespace
