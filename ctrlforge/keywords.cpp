#include "ctrlforge/keywords.hpp"

#include <array>
#include <bit>
#include <cstring>
#include <string_view>

#include "ctrlforge/number_reader.hpp"
#include "ctrlforge/source_reader.hpp"
#include "ctrlforge/tokens.hpp"

namespace ctrlforge {

namespace {

struct Keyword {
    std::string_view word;
    std::uint8_t code;
};

constexpr Keyword kKeywordsGZ[] = {
    {"GOTO", KwGOTO}, {"HLT", KwHLT},       {"IF", KwIF},       {"IAB", KwIAB},     {"IO", KwIO},
    {"IOP", KwIOP},   {"IR", KwIR},         {"IRA", KwIRA},     {"IRB", KwIRB},     {"LBUS", KwLBUS},
    {"MM", KwMM},     {"NEG", KwNEG},       {"NEX", KwNEX},     {"NSH", KwNSH},     {"NSQ", KwNSQ},
    {"ONE", KwONE},   {"OR", KwOR},         {"OV", KwOV},       {"PC", KwPC},       {"R0", KwR0},
    {"R1", KwR1},     {"R2", KwR2},         {"R3", KwR3},       {"R4", KwR4},       {"R5", KwR5},
    {"R6", KwR6},     {"R7", KwR7},         {"RA", KwRA},       {"RAP", KwRAP},     {"RBP", KwRBP},
    {"RB", KwRB},     {"RBUS", KwRBUS},     {"READ", KwREAD},   {"RETURN", KwRETURN}, {"SAVE", KwSAVE},
    {"SET", KwSET},   {"SNX", KwSNX},       {"SLA", KwSLA},     {"SLL", KwSLL},     {"SRA", KwSRA},
    {"SRL", KwSRL},   {"SWP", KwSWP},       {"T", KwT},         {"THEN", KwTHEN},   {"WITH", KwWITH},
    {"WRITE", KwWRITE}, {"XOR", KwXOR},     {"ZER", KwZER},     {"ZERO", KwZERO},
};
static_assert(std::size(kKeywordsGZ) == 49);

constexpr Keyword kKeywordsAF[] = {
    {"AND", KwAND},   {"BY", KwBY},           {"CALL", KwCALL},   {"CRY", KwCRY},   {"CZ", KwCZ},
    {"ELSE", KwELSE}, {"EXECUTE", KwEXECUTE}, {"FETCH", KwFETCH}, {"FLAG", KwFLAG}, {"FSR", KwFSR},
};
static_assert(std::size(kKeywordsAF) == 10);

// A name packed into one 64-bit key, first character in the low byte; the
// keyword tables are packed the same way at compile time, blank padded, so a
// lookup compares all eight characters at once.
constexpr std::uint64_t PackKeyword(std::string_view word) {
    std::uint64_t key = 0;
    for (std::size_t i = 8; i-- > 0;) key = (key << 8) | static_cast<unsigned char>(i < word.size() ? word[i] : ' ');
    return key;
}

std::uint64_t PackName(const Name& name) {
    std::uint64_t key;
    std::memcpy(&key, name.data(), sizeof key);
    if constexpr (std::endian::native == std::endian::big) key = __builtin_bswap64(key);
    return key;
}

// A keyword table as an open-addressing hash table built at compile time;
// a lookup probes until it meets the name or an empty slot (key 0, which no
// blank-padded name can have). Slots is a power of two, at least twice the
// number of keywords.
template <std::size_t Slots>
struct KeywordHash {
    std::array<std::uint64_t, Slots> keys{};
    std::array<std::uint8_t, Slots> codes{};

    static constexpr std::size_t SlotOf(std::uint64_t key) {
        return static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ull) >> 40) & (Slots - 1);
    }

    std::uint8_t Find(std::uint64_t key) const {
        for (std::size_t slot = SlotOf(key);; slot = (slot + 1) & (Slots - 1)) {
            if (keys[slot] == key) return codes[slot];
            if (keys[slot] == 0) return TokIdent;
        }
    }
};

template <std::size_t Slots, std::size_t N>
constexpr KeywordHash<Slots> BuildHash(const Keyword (&table)[N]) {
    static_assert(Slots >= 2 * N && (Slots & (Slots - 1)) == 0);
    KeywordHash<Slots> hash{};
    for (const Keyword& k : table) {
        std::uint64_t key = PackKeyword(k.word);
        std::size_t slot = KeywordHash<Slots>::SlotOf(key);
        while (hash.keys[slot] != 0) slot = (slot + 1) & (Slots - 1);
        hash.keys[slot] = key;
        hash.codes[slot] = k.code;
    }
    return hash;
}

constexpr auto kHashGZ = BuildHash<128>(kKeywordsGZ);
constexpr auto kHashAF = BuildHash<32>(kKeywordsAF);

bool IsWordChar(unsigned char c) {
    return IsLetter(c) || (c >= '0' && c <= '9') || c == '_';
}

bool IsHexDigit(unsigned char c) { return IsDigitOf(c, 16); }

// Collects a word whose first letter is stored already and whose second
// character is in CurChar. Returns the number of stored characters and
// whether every stored one is a hexadecimal digit.
int CollectWord(CtrlRun& run, bool& allHex) {
    int stored = 1;
    allHex = IsHexDigit(static_cast<unsigned char>(run.TokenName[0]));
    ListingSpan copy(run);
    while (stored < 8 && IsWordChar(run.CurChar)) {
        run.TokenName[static_cast<std::size_t>(stored++)] = static_cast<char>(run.CurChar);
        if (!IsHexDigit(run.CurChar)) allHex = false;
        copy.Put(run.CurChar);
        NextChar(run);
    }
    // Characters past the eighth are consumed but not significant.
    while (IsWordChar(run.CurChar)) {
        copy.Put(run.CurChar);
        NextChar(run);
    }
    return stored;
}

void StartName(CtrlRun& run, unsigned char first) {
    run.TokenName.fill(' ');
    run.TokenName[0] = static_cast<char>(first);
}

}  // namespace

std::uint8_t LookupKeywordGZ(const Name& name) { return kHashGZ.Find(PackName(name)); }

std::vector<std::string_view> KeywordWords() {
    std::vector<std::string_view> words;
    for (const Keyword& k : kKeywordsGZ) words.push_back(k.word);
    for (const Keyword& k : kKeywordsAF) words.push_back(k.word);
    return words;
}
std::uint8_t LookupKeywordAF(const Name& name) { return kHashAF.Find(PackName(name)); }

void ReadWordGZ(CtrlRun& run) {
    StartName(run, run.CurChar);
    NextChar(run);
    bool allHex = false;
    CollectWord(run, allHex);
    run.TokenCode = LookupKeywordGZ(run.TokenName);
}

void ReadWordAF(CtrlRun& run) {
    unsigned char first = run.CurChar;
    std::uint8_t previous = run.TokenCode;
    NextChar(run);

    if (run.CurChar == '"') {
        if (first == 'B' || first == 'D') {
            CopyToListing(run, '"');
            NextChar(run);
            int base = first == 'B' ? 2 : 10;
            if (IsDigitOf(run.CurChar, base)) {
                CopyToListing(run, run.CurChar);
                ReadNumber(run, base);
            } else {
                // A prefix without a digit is the number 0; the character
                // after the quote is left to start the next token, so it
                // reaches the listing once.
                run.TokenValue = 0;
                run.TokenOverflow = false;
                run.TokenCode = TokNumber;
            }
        } else {
            SkipRestOfLine(run);
            run.TokenCode = TokSkip;
        }
        return;
    }

    StartName(run, first);
    bool allHex = false;
    int stored = CollectWord(run, allHex);
    if (!allHex) {
        run.TokenCode = LookupKeywordAF(run.TokenName);
        return;
    }

    // A word of hexadecimal digits: the keyword C, a label or a number,
    // decided by the previous token.
    bool isNumber;
    if (stored == 1 && first == kCounterLetter && (previous == TokSemicolon || previous == TokEol)) {
        run.TokenCode = TokC;
        return;
    } else if ((previous >= TokPlus && previous <= TokAt) || (previous >= KwSLL && previous <= KwNSH) ||
               previous == TokAssign) {
        isNumber = true;
    } else if (previous == KwIOP || previous == KwIRA || previous == KwIAB || previous == TokTitle ||
               previous == KwGOTO || previous == KwCALL || previous == KwTHEN) {
        isNumber = false;
    } else {
        while (run.CurChar == ' ' || run.CurChar == '\t') {
            CopyToListing(run, run.CurChar);
            NextChar(run);
        }
        isNumber = run.CurChar != ':';
    }
    if (!isNumber) {
        run.TokenCode = TokIdent;
        return;
    }
    run.TokenValue = 0;
    run.TokenOverflow = stored > 4;  // such a word keeps the value 0
    if (!run.TokenOverflow) {
        int value = 0;
        for (int i = 0; i < stored; ++i) {
            value = value * 16 + DigitValue(static_cast<unsigned char>(run.TokenName[static_cast<std::size_t>(i)]));
        }
        run.TokenValue = static_cast<std::int16_t>(static_cast<std::uint16_t>(value));
    }
    run.TokenCode = TokNumber;
}

void RecodeLeftBus(CtrlRun& run) {
    if (run.TokenCode >= KwR0 && run.TokenCode <= KwR7) {
        run.TokenCode = static_cast<std::uint8_t>(run.TokenCode - KwR0 + LbR0L);
    } else if (run.TokenCode == KwZERO) {
        run.TokenCode = LbNLB;
    }
}

void RecodeRightBus(CtrlRun& run) {
    if (run.TokenCode >= KwR0 && run.TokenCode <= KwR7) {
        run.TokenCode = static_cast<std::uint8_t>(run.TokenCode - KwR0 + RbR0R);
    }
}

void RecodeSBus(CtrlRun& run) {
    switch (run.TokenCode) {
        case KwRA: run.TokenCode = SbSA; break;
        case KwRAP: run.TokenCode = SbSAP; break;
        case KwRB: run.TokenCode = SbSB; break;
        case KwRBP: run.TokenCode = SbSBP; break;
        case KwPC: run.TokenCode = SbPCS; break;
        default:
            if (run.TokenCode >= KwR0 && run.TokenCode <= KwR7) {
                run.TokenCode = static_cast<std::uint8_t>(run.TokenCode - KwR0 + SbR0S);
            }
            break;
    }
}

}  // namespace ctrlforge
