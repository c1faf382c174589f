#include "ctrlforge/diagnostic_text.hpp"

#include <charconv>
#include <cstring>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

#include "common/suggestion.hpp"
#include "ctrlforge/token_classes.hpp"
#include "ctrlforge/tokens.hpp"

namespace ctrlforge {

namespace {

// ---------------------------------------------------------------- words

using Words = std::span<const std::string_view>;

constexpr std::string_view kSequencingWords[] = {"IF", "GOTO", "CALL", "RETURN", "IOP", "IRA", "IAB", "NSQ"};
constexpr std::string_view kMemoryWords[] = {"READ", "WRITE"};
constexpr std::string_view kDestinations[] = {"R0", "R1", "R2", "R3", "R4", "R5", "R6",
                                              "R7", "RA", "RAP", "RB", "RBP", "PC"};
constexpr std::string_view kSetWords[] = {"SET"};
constexpr std::string_view kExceptionWords[] = {"IO",   "IR",  "IRA",     "T",    "FLAG", "NEX",
                                                "C",    "SET", "EXECUTE", "WITH", "IRB"};
constexpr std::string_view kAfterSet[] = {"BY",  "HLT", "OV",   "IO",      "IR",   "IRA", "T",
                                          "FLAG", "NEX", "SET", "EXECUTE", "WITH", "IRB"};
constexpr std::string_view kConditions[] = {"ZER", "NEG", "CRY", "OV", "T", "CZ"};
constexpr std::string_view kLeftOperands[] = {"R0", "R1", "R2", "R3", "R4", "R5", "R6", "R7",
                                              "RB", "RBP", "PC", "IO", "MM", "IR", "FSR", "ZERO"};
constexpr std::string_view kRightRegisters[] = {"R0", "R1", "R2", "R3", "R4", "R5", "R6", "R7", "RA", "RAP"};
constexpr std::string_view kShifts[] = {"SLL", "SRL", "SLA", "SRA", "SNX", "SWP", "NSH"};
constexpr std::string_view kLbus[] = {"LBUS"};
constexpr std::string_view kRbus[] = {"RBUS"};
constexpr std::string_view kLaterSet[] = {"HLT", "OV"};
constexpr std::string_view kWithWords[] = {"CRY", "ONE"};
constexpr std::string_view kThen[] = {"THEN"};
constexpr std::string_view kElse[] = {"ELSE"};
constexpr std::string_view kFetch[] = {"FETCH"};
constexpr std::string_view kSave[] = {"SAVE"};
constexpr std::string_view kIo[] = {"IO"};

constexpr std::string_view kLeftList = "R0..R7, RB, RBP, PC, IO, MM, IR, FSR or ZERO";
constexpr std::string_view kRightList = "R0..R7, RA, RAP or a literal";
constexpr std::string_view kConditionList = "ZER, NEG, CRY, OV, T, CZ";
constexpr std::string_view kOperatorList = "+, -, AND, OR, XOR, $ or @";
constexpr std::string_view kShiftList = "SLL, SRL, SLA, SRA, SNX, SWP or NSH";
constexpr std::string_view kDestinationList = "R0..R7, RA, RAP, RB, RBP or PC";
constexpr std::string_view kComment = " (a comment begins with ';')";

bool IsWordByte(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}
bool IsLetterByte(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsDigitByte(unsigned char c) { return c >= '0' && c <= '9'; }
bool IsHexByte(unsigned char c) { return IsDigitByte(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }
char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool SameWord(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (Upper(a[i]) != Upper(b[i])) return false;
    }
    return true;
}

// The length of a well-formed UTF-8 sequence at `at`, or 0.
std::size_t Utf8Length(std::string_view text, std::size_t at) {
    const unsigned char c = static_cast<unsigned char>(text[at]);
    std::size_t n = c >= 0xF0 && c <= 0xF4 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 && c <= 0xDF ? 2 : 0;
    if (c > 0xF4) n = 0;
    if (n == 0 || at + n > text.size()) return 0;
    for (std::size_t i = 1; i < n; ++i) {
        if ((static_cast<unsigned char>(text[at + i]) & 0xC0) != 0x80) return 0;
    }
    return n;
}

}  // namespace

std::size_t TokenLength(std::string_view source, std::size_t offset) {
    if (offset >= source.size()) return 0;
    const unsigned char c = static_cast<unsigned char>(source[offset]);
    if (c == '\r' || c == '\n' || c == 26) return 0;
    std::size_t end = offset + 1;
    if (IsLetterByte(c)) {
        const char first = Upper(static_cast<char>(c));
        if ((first == 'B' || first == 'D') && end < source.size() && source[end] == '"') {
            ++end;
            while (end < source.size() && (first == 'B' ? source[end] == '0' || source[end] == '1'
                                                        : IsDigitByte(static_cast<unsigned char>(source[end])))) {
                ++end;
            }
            return end - offset;
        }
        while (end < source.size() && IsWordByte(static_cast<unsigned char>(source[end]))) ++end;
        return end - offset;
    }
    if (IsDigitByte(c)) {
        while (end < source.size() && IsHexByte(static_cast<unsigned char>(source[end]))) ++end;
        return end - offset;
    }
    if (c == ':' && end < source.size() && source[end] == '=') return 2;
    if (c == '.') {  // a directive: the dot and up to five letters
        while (end < source.size() && end - offset <= 5 && IsLetterByte(static_cast<unsigned char>(source[end]))) ++end;
        return end - offset;
    }
    if (c >= 0x80) {
        const std::size_t n = Utf8Length(source, offset);
        return n == 0 ? 1 : n;
    }
    return 1;
}

namespace {

// ---------------------------------------------------------------- pieces

// A message under construction, with the place it names and its fix. It
// is built on the stack; only a message longer than that room (a long word
// quoted) moves on into the sink's string, which keeps its room from one
// diagnostic to the next. Either way no diagnostic allocates once the
// first few have.
struct Message {
    Message(CtrlRun& r, std::string& longer, std::size_t place, std::size_t bytes)
        : run(r), spill(longer), at(place), length(bytes) {}

    CtrlRun& run;
    std::string& spill;
    std::size_t at;
    std::size_t length;
    std::string_view fix = {};
    std::size_t size = 0;
    bool spilled = false;
    char room[384];  // left unset: only the first `size` bytes are read

    // Inlined, so that the copy of a fixed text is a few moves.
    [[gnu::always_inline]] void Put(std::string_view piece) {
        if (!spilled && size + piece.size() <= sizeof room) {
            std::memcpy(room + size, piece.data(), piece.size());
            size += piece.size();
            return;
        }
        PutLong(piece);
    }
    [[gnu::always_inline]] void Put(char c) {
        if (!spilled && size < sizeof room) {
            room[size++] = c;
            return;
        }
        PutLong(std::string_view(&c, 1));
    }
    void PutLong(std::string_view piece) {
        if (!spilled) {
            spill.assign(room, size);
            spilled = true;
        }
        spill.append(piece);
    }
    void Quote(std::string_view piece) {
        Put('\'');
        Put(piece);
        Put('\'');
    }
    std::string_view Text() const { return spilled ? std::string_view(spill) : std::string_view(room, size); }
};

std::string_view TokenAt(const CtrlRun& run, std::size_t offset) {
    if (offset >= run.source.size()) return {};
    return run.source.substr(offset, TokenLength(run.source, offset));
}

std::string_view Current(const CtrlRun& run) { return TokenAt(run, run.tokenStart); }

// At least `digits` upper-case hexadecimal digits of the value.
void PutHex(Message& m, unsigned value, int digits = 1) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    char buffer[8];
    char* const end = buffer + sizeof buffer;
    char* p = end;
    do {
        *--p = kHex[value & 15u];
        value >>= 4;
    } while (value != 0 && p != buffer);
    while (end - p < digits && p != buffer) *--p = '0';
    m.Put(std::string_view(p, static_cast<std::size_t>(end - p)));
}

void PutDecimal(Message& m, long long value) {
    char digits[24];
    const char* end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    m.Put(std::string_view(digits, static_cast<std::size_t>(end - digits)));
}

// What stands at `offset`, as the message shows it: the token quoted as the
// user wrote it, or the line end, the end of the source, or a byte that
// cannot be shown.
void PutFound(Message& m, std::size_t offset) {
    const std::string_view source = m.run.source;
    if (offset >= source.size() || source[offset] == 26) {
        m.Put("the end of the source");
        return;
    }
    const unsigned char c = static_cast<unsigned char>(source[offset]);
    if (c == '\r' || c == '\n') {
        m.Put("the line end");
        return;
    }
    if (c < 32 || c == 127 || (c >= 0x80 && Utf8Length(source, offset) == 0)) {
        m.Put("the byte 0x");
        PutHex(m, c, 2);
        return;
    }
    m.Quote(TokenAt(m.run, offset));
}

void PutCurrent(Message& m) { PutFound(m, m.run.tokenStart); }

// The line of a place a message names. A place at or after the line of the
// last diagnostic is counted on from there (the previous statement, a
// clause of this one); one before it by the second locator, which keeps
// its own marks, so that neither has to count far.
int LineOf(CtrlRun& run, std::size_t offset) {
    const common::LineLocator& own = run.diagnostics->locator;
    if (offset >= own.lineStart && own.text.data() == run.source.data()) {
        common::LineLocator ahead;
        ahead.text = own.text;
        ahead.lineStart = own.lineStart;
        ahead.line = own.line;
        return common::Locate(ahead, offset).line;
    }
    if (run.earlier.text.data() != run.source.data() || run.earlier.text.size() != run.source.size()) {
        run.earlier = common::LineLocator{};
        run.earlier.text = run.source;
    }
    return common::Locate(run.earlier, offset).line;
}

void PutLine(Message& m, std::size_t offset) {
    m.Put("line ");
    PutDecimal(m, LineOf(m.run, offset));
}

// The first word of a heading line: its label.
std::size_t LabelOfHeading(const CtrlRun& run, std::size_t heading) {
    std::size_t at = heading + 1;
    while (at < run.source.size() && (run.source[at] == ' ' || run.source[at] == '\t')) ++at;
    return at;
}

// The first character after the token at `offset` and the blanks behind it.
char After(const CtrlRun& run, std::size_t offset) {
    std::size_t at = offset + TokenLength(run.source, offset);
    while (at < run.source.size() && (run.source[at] == ' ' || run.source[at] == '\t')) ++at;
    return at < run.source.size() ? run.source[at] : '\r';
}

// The word after the token at `offset`, upper case not required.
std::string_view WordAfter(const CtrlRun& run, std::size_t offset) {
    std::size_t at = offset + TokenLength(run.source, offset);
    while (at < run.source.size() && (run.source[at] == ' ' || run.source[at] == '\t')) ++at;
    return TokenAt(run, at);
}

bool FollowedByAssign(const CtrlRun& run, std::size_t offset) {
    std::size_t at = offset + TokenLength(run.source, offset);
    while (at < run.source.size() && (run.source[at] == ' ' || run.source[at] == '\t')) ++at;
    return at + 1 < run.source.size() && run.source[at] == ':' && run.source[at + 1] == '=';
}

bool IsWordToken(std::string_view token) {
    return !token.empty() && IsLetterByte(static_cast<unsigned char>(token[0]));
}

// A word the reader took as a keyword.
bool IsKeyword(const CtrlRun& run) {
    return IsWordToken(Current(run)) && run.TokenCode != TokIdent && run.TokenCode != TokNumber;
}

// A word the reader took as an identifier or, made of hexadecimal digits, as
// a number: a word that is no keyword.
bool IsPlainWord(const CtrlRun& run) {
    const std::string_view token = Current(run);
    return IsWordToken(token) && (run.TokenCode == TokIdent || run.TokenCode == TokNumber) &&
           !(token.size() > 1 && token[1] == '"');
}

bool StartsWithDigit(std::string_view token) {
    return !token.empty() && IsDigitByte(static_cast<unsigned char>(token[0]));
}

// The clearly nearest of the candidates to the written word, or empty.
std::string_view Nearest(std::string_view written, std::initializer_list<Words> lists) {
    char upper[16];
    if (written.empty() || written.size() > sizeof upper) return {};
    for (std::size_t i = 0; i < written.size(); ++i) upper[i] = Upper(written[i]);
    common::Nearest nearest = common::NearestTo(std::string_view(upper, written.size()));
    for (Words list : lists) {
        for (std::string_view candidate : list) common::Consider(nearest, candidate);
    }
    return common::Suggestion(nearest);
}

// "; did you mean 'GOTO'?" when one candidate is clearly meant; then the
// diagnostic carries it as its fix. Returns whether it suggested.
bool Suggest(Message& m, std::string_view written, std::initializer_list<Words> lists) {
    const std::string_view best = Nearest(written, lists);
    if (best.empty()) return false;
    m.Put("; did you mean ");
    m.Quote(best);
    m.Put("?");
    m.fix = best;
    return true;
}

// How the word of a clause is shown: the clause's first token as written.
void PutClause(Message& m, std::size_t start) { m.Quote(TokenAt(m.run, start)); }

// The end of a message about a line that goes on after a complete clause:
// what follows, and what to do about it.
void PutGoesOn(Message& m) {
    const CtrlRun& run = m.run;
    if (run.TokenCode == TokEof) {
        m.Put("; the source ends without a line end after it, and every line must end with one");
        return;
    }
    const std::uint8_t code = run.TokenCode;
    if (IsKeyword(run) && (IsSequencingStart(code) || IsMemoryStart(code) || IsDestination(code) ||
                           IsExceptionStarter(code) || code == KwSET)) {
        m.Put("; ");
        PutCurrent(m);
        m.Put(" begins another clause, which goes on a line of its own");
        return;
    }
    m.Put("; found ");
    PutCurrent(m);
    m.Put(" after it");
    m.Put(kComment);
}

std::string_view DigitCountWord(std::size_t n) {
    static constexpr std::string_view kWords[] = {"no", "one", "two", "three", "four", "five", "six",
                                                  "seven", "eight", "nine", "ten", "eleven", "twelve"};
    return n < std::size(kWords) ? kWords[n] : std::string_view{};
}

// Whether the line that the last error at a line end skipped begins with
// `what` (".END", "*"): the reader never saw it.
bool SwallowedLineBegins(const CtrlRun& run, std::string_view what) {
    if (run.swallowed == kNowhere) return false;
    std::size_t at = run.swallowed;
    while (at < run.source.size() && (run.source[at] == ' ' || run.source[at] == '\t')) ++at;
    const std::size_t end = at + what.size();
    return SameWord(run.source.substr(at, what.size()), what) &&
           (what != ".END" || end >= run.source.size() || !IsLetterByte(static_cast<unsigned char>(run.source[end])));
}

// "; this follows the error on line 3: found at its line end, ..."
void PutSwallowed(Message& m, std::string_view what) {
    const int line = LineOf(m.run, m.run.swallowed);
    m.Put("the ");
    m.Put(what);
    m.Put(" on line ");
    PutDecimal(m, line);
    m.Put(" was skipped with the error on line ");
    PutDecimal(m, line - 1);
    m.Put(", which was found at that line's end; correct that error");
}

// ---------------------------------------------------------------- errors

// 1
void LabelTwice(Message& m) {
    CtrlRun& run = m.run;
    const std::size_t first = LabelOfHeading(run, run.detail.first);
    m.Put("label ");
    m.Quote(Current(run));
    m.Put(" is already defined on ");
    PutLine(m, first);
    const std::string_view earlier = TokenAt(run, first);
    if (!SameWord(earlier, Current(run))) {
        m.Put(" as ");
        m.Quote(earlier);
        m.Put(": only the first eight characters of a label count");
    }
    if (After(run, first) != ':') m.Put(" (that heading lacks the ':' after it, but defines the label all the same)");
    m.Put("; rename one of them");
}

// 2
void TitleMissing(Message& m) {
    const CtrlRun& run = m.run;
    if (run.TokenCode == TokEof) {
        m.Put("the source holds no program: a program begins with its title line '.TITLE NAME'");
        return;
    }
    if (SameWord(Current(run), "TITLE")) {
        m.Put("the title line begins with '.TITLE'; found ");
        PutCurrent(m);
        m.Put(" without its '.'");
        m.fix = ".TITLE";
        return;
    }
    m.Put("a program begins with its title line '.TITLE NAME'");
    if (run.TokenCode == TokStar) {
        m.Put(", before the first statement");
        return;
    }
    m.Put("; found ");
    PutCurrent(m);
}

void TitleName(Message& m) {
    const CtrlRun& run = m.run;
    if (IsTerminator(run.TokenCode) || run.TokenCode == TokEof) {
        m.Put("the program's name is missing after '.TITLE'");
    } else if (IsKeyword(run)) {
        PutCurrent(m);
        m.Put(" is a keyword and cannot be the title; choose another name");
    } else if (run.TokenCode == TokNumber) {
        m.Put("a title is a name that begins with a letter; found the number ");
        PutCurrent(m);
    } else {
        m.Put("'.TITLE' must be followed by the program's name; found ");
        PutCurrent(m);
    }
}

// 3
void TitleEnd(Message& m) {
    m.Put("the title is a single name, so the line ends after ");
    m.Quote(TokenAt(m.run, m.run.detail.first));
    PutGoesOn(m);
}

void HeadingEnd(Message& m) {
    CtrlRun& run = m.run;
    const MicroWord& word = run.CurrentWord();
    const bool bare = word.label == kNone && !word.addressGiven && run.tokenStart == LabelOfHeading(run, word.heading);
    if (bare && IsKeyword(run) && After(run, run.tokenStart) == ':' && !FollowedByAssign(run, run.tokenStart)) {
        PutCurrent(m);
        m.Put(" is a keyword and cannot be a label; choose another name");
        return;
    }
    if (word.addressGiven && run.TokenCode == TokIdent && After(run, run.tokenStart) == ':') {
        m.Put("in a heading the label comes before the address: write '* ");
        m.Put(Current(run));
        m.Put(": ");
        m.Put(TokenAt(run, run.detail.first));
        m.Put("'");
        return;
    }
    m.Put("a heading line holds only '*', a label with its ':' and an address");
    if (word.addressGiven && run.TokenCode == TokNumber) {
        m.Put("; found a second address, ");
        PutCurrent(m);
        return;
    }
    PutGoesOn(m);
}

void SequencingEnd(Message& m) {
    const CtrlRun& run = m.run;
    if (run.CurrentWord().SQ == SqBF && IsPlainWord(run)) {
        m.Put("the IF clause ends after its label or 'ELSE FETCH'; found ");
        PutCurrent(m);
        Suggest(m, Current(run), {kElse});
        return;
    }
    m.Put("the ");
    PutClause(m, run.clauses.sequencing);
    m.Put(" clause is complete");
    PutGoesOn(m);
}

void MemoryEnd(Message& m) {
    PutClause(m, m.run.clauses.memory);
    m.Put(" stands alone on its line");
    PutGoesOn(m);
}

void TransferEnd(Message& m) {
    const CtrlRun& run = m.run;
    const ErrorDetail& d = run.detail;
    const std::string_view last = TokenAt(run, d.first);
    if ((d.code & 1) != 0 && IsOperator(run.TokenCode)) {
        if (StartsWithDigit(last) || run.CurrentWord().RB == RbSLT || run.CurrentWord().RB == RbLLT ||
            run.CurrentWord().RB == RbNRB) {
            m.Put("the literal ");
            m.Quote(last);
            m.Put(" travels on the right bus");
        } else {
            m.Quote(last);
            m.Put(" can drive only the right bus");
        }
        m.Put(", so it cannot be the left operand of ");
        PutCurrent(m);
        m.Put("; the left operand must be ");
        m.Put(kLeftList);
        return;
    }
    if ((d.code & 2) != 0 && IsOperator(run.TokenCode)) {
        m.Put("a leading shift takes a single operand, so the expression is complete after ");
        m.Quote(last);
        m.Put("; to shift the result of an operation, put the shift after the operator and a ':', as in "
              "'R1 := R2 + : SLL R3'");
        return;
    }
    if (d.second != kNowhere && IsOperator(run.TokenCode)) {
        m.Put("an expression has one operator, so the transfer is complete after ");
        m.Quote(last);
        m.Put("; found ");
        PutCurrent(m);
        m.Put("; split the work over two statements");
        return;
    }
    m.Put("the transfer is complete after ");
    m.Quote(last);
    if (IsLeftOperand(run.TokenCode) || IsRightOperand(run.TokenCode)) {
        m.Put("; found ");
        PutCurrent(m);
        m.Put(" after it, but an expression has at most two operands, with an operator between them");
        return;
    }
    PutGoesOn(m);
}

void ExceptionEnd(Message& m) {
    const CtrlRun& run = m.run;
    const std::size_t clause = run.clauses.second != kNowhere ? run.clauses.second : run.clauses.exception;
    m.Put("the exception clause ");
    PutClause(m, clause);
    m.Put(" is complete");
    PutGoesOn(m);
}

// 4
void IfCondition(Message& m) {
    const CtrlRun& run = m.run;
    if (IsTerminator(run.TokenCode) || run.TokenCode == TokEof) {
        m.Put("a condition must follow 'IF': ");
        m.Put(kConditionList);
        return;
    }
    PutCurrent(m);
    if (SameWord(Current(run), "C")) {
        m.Put(" is no condition (the carry condition is CRY); the conditions are ");
        m.Put(kConditionList);
        m.fix = "CRY";
        return;
    }
    m.Put(" is no condition; the conditions are ");
    m.Put(kConditionList);
    if (IsWordToken(Current(run))) Suggest(m, Current(run), {kConditions});
}

void IfEqual(Message& m) {
    const CtrlRun& run = m.run;
    if (run.TokenCode == TokAssign) {
        m.Put("a test is written with '=', not ':='");
        m.fix = "=";
        return;
    }
    if (run.TokenCode == TokNumber && StartsWithDigit(Current(run))) {
        m.Put("'=' is missing between ");
        m.Quote(TokenAt(run, run.detail.first));
        m.Put(" and ");
        PutCurrent(m);
        return;
    }
    m.Put("the condition ");
    m.Quote(TokenAt(run, run.detail.first));
    m.Put(" must be followed by '= 0' or '= 1'; found ");
    PutCurrent(m);
}

void IfValue(Message& m) {
    m.Put("a condition is tested for 0 or 1; found ");
    PutCurrent(m);
}

// 5
void IfThen(Message& m) {
    const CtrlRun& run = m.run;
    if (run.TokenCode == TokIdent && !Nearest(Current(run), {kThen}).empty()) {
        m.Put("'THEN' must follow the test; found ");
        PutCurrent(m);
        Suggest(m, Current(run), {kThen});
        return;
    }
    if (run.TokenCode == TokIdent) {
        m.Put("'THEN' is missing before the label ");
        PutCurrent(m);
        return;
    }
    m.Put("'THEN' and a label must follow the test; found ");
    PutCurrent(m);
}

// 6
void PutNotALabel(Message& m) {
    const CtrlRun& run = m.run;
    if (IsKeyword(run)) {
        PutCurrent(m);
        m.Put(" is a keyword and cannot be a label");
    } else if (StartsWithDigit(Current(run))) {
        PutCurrent(m);
        m.Put(" begins with a digit and cannot be a label");
    } else {
        m.Put("found ");
        PutCurrent(m);
    }
}

void IfLabel(Message& m) {
    const CtrlRun& run = m.run;
    if (IsTerminator(run.TokenCode) || run.TokenCode == TokEof) {
        m.Put("the label after 'THEN' is missing");
        return;
    }
    if (run.TokenCode == KwFETCH) {
        m.Put("'THEN' needs a label, and 'FETCH' is a keyword; only GOTO goes to FETCH directly, and "
              "'ELSE FETCH' may follow the label");
        return;
    }
    m.Put("'THEN' needs a label; ");
    PutNotALabel(m);
}

void BranchLabel(Message& m) {
    const CtrlRun& run = m.run;
    const std::string_view clause = TokenAt(run, run.clauses.sequencing);
    if (SameWord(clause, "IRA") && run.TokenCode == TokPlus) {
        m.Put("as the first clause line 'IRA' is the branch 'IRA label'; the exception clause 'IRA + 1' must "
              "follow another clause line");
        return;
    }
    m.Quote(clause);
    if (IsTerminator(run.TokenCode) || run.TokenCode == TokEof) {
        m.Put(" needs the label to branch to");
        return;
    }
    if (run.TokenCode == KwFETCH) {
        m.Put(" needs a label: only GOTO goes to FETCH");
        return;
    }
    m.Put(" needs a label; ");
    PutNotALabel(m);
}

// 7, 8
void ElseAfterOne(Message& m) {
    m.Put("'ELSE FETCH' may follow only a test for 0 ('IF ");
    m.Put(TokenAt(m.run, m.run.detail.first));
    m.Put(" = 0 THEN ...'); after '= 1' drop it");
}

void ElseNotFetch(Message& m) {
    const CtrlRun& run = m.run;
    m.Put("'ELSE' must be followed by 'FETCH'; found ");
    PutCurrent(m);
    if (!(IsPlainWord(run) && Suggest(m, Current(run), {kFetch}))) {
        m.Put("; to branch elsewhere, use a statement of its own");
    }
}

// 9, 10
void LiteralUnderBranch(Message& m) {
    CtrlRun& run = m.run;
    const MicroWord& word = run.CurrentWord();
    m.Put("the literal ");
    PutCurrent(m);
    m.Put(" needs the LT field, which ");
    if (word.SQ == SqEI && word.TS == TsNTS) {
        m.Put("a statement with 'GOTO FETCH' (");
        PutLine(m, run.clauses.sequencing);
        m.Put(") cannot give to a literal");
    } else {
        m.Put("the ");
        PutClause(m, run.clauses.sequencing);
        m.Put(" branch on ");
        PutLine(m, run.clauses.sequencing);
        m.Put(" already uses for its target");
    }
    m.Put("; move the literal to a statement of its own, or use a register");
}

void LiteralOverflow(Message& m) {
    const std::string_view token = Current(m.run);
    PutCurrent(m);
    const char first = token.empty() ? ' ' : Upper(token[0]);
    if (token.size() > 1 && token[1] == '"') {
        m.Put(first == 'D' ? " does not fit in 16 bits; a decimal literal is at most D\"65535"
                           : " does not fit in 16 bits; a binary literal has at most 16 digits");
        return;
    }
    if (!StartsWithDigit(token)) {
        const std::string_view count = DigitCountWord(token.size());
        m.Put(" has ");
        if (count.empty()) {
            PutDecimal(m, static_cast<long long>(token.size()));
        } else {
            m.Put(count);
        }
        m.Put(" hexadecimal digits; a literal has at most four (FFFF)");
        return;
    }
    m.Put(" does not fit in 16 bits; a literal is at most FFFF");
}

// 11
void PutWrongAssign(Message& m, std::string_view what) {
    const CtrlRun& run = m.run;
    if (run.TokenCode == TokEqual) {
        m.Put(what);
        m.Put(" with ':=', not '='");
        m.fix = ":=";
        return;
    }
    if (run.TokenCode == TokColon && After(run, run.tokenStart) == '=') {
        m.Put("write ':=' without a blank between ':' and '='");
        return;
    }
    m.Put(what);
    m.Put(" with ':='; found ");
    PutCurrent(m);
}

void TransferAssign(Message& m) {
    const CtrlRun& run = m.run;
    if (IsTerminator(run.TokenCode) || run.TokenCode == TokEof) {
        m.Quote(TokenAt(run, run.detail.first));
        m.Put(" begins a transfer: ':=' and an expression must follow it");
        return;
    }
    PutWrongAssign(m, "a transfer assigns");
}

// What may stand where an operand is missing or wrong.
void PutOperandProblem(Message& m, std::string_view where, Words candidates, std::string_view allowed) {
    const CtrlRun& run = m.run;
    if (IsTerminator(run.TokenCode) || run.TokenCode == TokEof) {
        m.Put("the operand ");
        m.Put(where);
        m.Put(" is missing; it must be ");
        m.Put(allowed);
        return;
    }
    PutCurrent(m);
    m.Put(" cannot stand ");
    m.Put(where);
    m.Put("; it must be ");
    m.Put(allowed);
    if (IsPlainWord(run)) Suggest(m, Current(run), {candidates});
}

void PutRightOperandProblem(Message& m, std::string_view after) {
    const CtrlRun& run = m.run;
    const std::uint8_t code = run.TokenCode;
    if (IsLeftOperand(code)) {
        PutCurrent(m);
        m.Put(" can drive only the left bus, so it cannot be the right operand after ");
        m.Quote(after);
        m.Put("; the right operand must be ");
        m.Put(kRightList);
        return;
    }
    if (IsOperator(code)) {
        m.Put("two operators in a row: ");
        m.Quote(after);
        m.Put(" and ");
        PutCurrent(m);
        return;
    }
    if (IsShift(code)) {
        m.Put("a shift after an operator follows a ':', as in '+ : SLL R3'; found ");
        PutCurrent(m);
        m.Put(" directly after ");
        m.Quote(after);
        return;
    }
    char where[48] = "after '";
    std::size_t n = 7;
    for (char c : after.substr(0, 32)) where[n++] = c;
    where[n++] = '\'';
    PutOperandProblem(m, std::string_view(where, n), kRightRegisters, kRightList);
}

void Expression(Message& m) {
    const CtrlRun& run = m.run;
    const ErrorDetail& d = run.detail;
    const std::string_view previous = TokenAt(run, d.first);
    switch (static_cast<ExpressionState>(d.state)) {
        case ExpressionState::Start: {
            if (IsTerminator(run.TokenCode) || run.TokenCode == TokEof) {
                m.Put("the expression after ");
                m.Quote(previous);
                m.Put(" is missing");
                return;
            }
            PutCurrent(m);
            m.Put(" cannot begin an expression; it begins with a shift, an operand of the left bus (");
            m.Put(kLeftList);
            m.Put(") or of the right bus (");
            m.Put(kRightList);
            m.Put(")");
            if (IsPlainWord(run)) Suggest(m, Current(run), {kLeftOperands, kRightRegisters, kShifts});
            return;
        }
        case ExpressionState::AfterShift: {
            if (IsTerminator(run.TokenCode) || run.TokenCode == TokEof) {
                m.Put("the shift ");
                m.Quote(previous);
                m.Put(" needs an operand after it");
                return;
            }
            m.Put("the shift ");
            m.Quote(previous);
            m.Put(" needs an operand after it; found ");
            PutCurrent(m);
            if (IsPlainWord(run)) Suggest(m, Current(run), {kLeftOperands, kRightRegisters});
            return;
        }
        case ExpressionState::AfterOp:
        case ExpressionState::AfterColonShift:
            PutRightOperandProblem(m, previous);
            return;
        default:
            break;
    }
    if (d.code == 1) {
        m.Put("after ':' a shift must follow (");
        m.Put(kShiftList);
        m.Put("); found ");
        PutCurrent(m);
        if (IsPlainWord(run)) Suggest(m, Current(run), {kShifts});
        return;
    }
    if (d.state == static_cast<std::uint8_t>(ExpressionState::Bad) && run.CurrentWord().SH != ShBase &&
        d.second == kNowhere) {
        m.Quote(previous);
        m.Put(" completes the shifted expression; ");
        PutCurrent(m);
        m.Put(" cannot follow it");
        return;
    }
    m.Put("an operator (");
    m.Put(kOperatorList);
    m.Put(") must stand between ");
    m.Quote(previous);
    m.Put(" and ");
    PutCurrent(m);
}

void LoadAssign(Message& m) {
    char what[24] = "'";
    std::size_t n = 1;
    for (char c : TokenAt(m.run, m.run.detail.first).substr(0, 8)) what[n++] = c;
    const std::string_view loaded = "' is loaded";
    for (char c : loaded) what[n++] = c;
    PutWrongAssign(m, std::string_view(what, n));
}

void LoadSource(Message& m) {
    const CtrlRun& run = m.run;
    const std::string_view clause = TokenAt(run, run.detail.first);
    const std::string_view sources = run.detail.code == KwIR ? "R0..R7, RB, RBP, PC, IO, MM, FSR or ZERO"
                                                             : "R0..R7, RB, RBP, PC, MM, IR, FSR or ZERO";
    auto putLoad = [&] {
        m.Put('\'');
        m.Put(clause);
        m.Put(" :='");
    };
    if (IsTerminator(run.TokenCode) || run.TokenCode == TokEof) {
        putLoad();
        m.Put(" needs LBUS or a left operand (");
        m.Put(sources);
        m.Put(")");
        return;
    }
    if (run.TokenCode == run.detail.code) {
        m.Quote(clause);
        m.Put(" cannot be loaded from itself; take LBUS or another left operand");
        return;
    }
    PutCurrent(m);
    if (IsRightOperand(run.TokenCode)) {
        m.Put(" can drive only the right bus; ");
    } else {
        m.Put(" is no left operand; ");
    }
    putLoad();
    m.Put(" takes LBUS or a left operand (");
    m.Put(sources);
    m.Put(")");
    if (IsPlainWord(run)) Suggest(m, Current(run), {kLbus, kLeftOperands});
}

void FlagAssign(Message& m) { PutWrongAssign(m, "'T' is set"); }

void FlagNotNumber(Message& m) {
    m.Put("'T :=' takes 0 or 1; found ");
    PutCurrent(m);
}

// 12, 14
void BusTaken(Message& m, std::string_view bus, std::size_t by, std::string_view load, std::string_view whole) {
    m.Put(load);
    m.Put(" needs the ");
    m.Put(bus);
    m.Put(", which ");
    m.Quote(TokenAt(m.run, by));
    m.Put(" on ");
    PutLine(m, by);
    m.Put(" already drives; write '");
    m.Put(whole);
    m.Put("' to take what that bus carries, or move one of them to another statement");
}

void CounterRightBus(Message& m) { BusTaken(m, "right bus", m.run.rightOperandAt, "'C :='", "C := RBUS"); }

void LoadLeftBus(Message& m) {
    const std::string_view clause = TokenAt(m.run, m.run.detail.first);
    char load[16];
    std::size_t n = 0;
    load[n++] = '\'';
    for (char c : clause.substr(0, 8)) load[n++] = c;
    for (char c : std::string_view(" :='")) load[n++] = c;
    char whole[24];
    std::size_t w = 0;
    for (char c : clause.substr(0, 8)) whole[w++] = Upper(c);
    for (char c : std::string_view(" := LBUS")) whole[w++] = c;
    BusTaken(m, "left bus", m.run.leftOperandAt, std::string_view(load, n), std::string_view(whole, w));
}

// 13
void SetWord(Message& m) {
    const CtrlRun& run = m.run;
    if (IsTerminator(run.TokenCode) || run.TokenCode == TokEof) {
        m.Put("'SET' needs a word after it: 'SET BY' and an expression, 'SET HLT', 'SET OV' or an exception clause");
        return;
    }
    m.Put("'SET' must be followed by BY, HLT, OV or an exception clause; found ");
    PutCurrent(m);
    if (IsPlainWord(run)) Suggest(m, Current(run), {kAfterSet});
}

void SetLater(Message& m) {
    CtrlRun& run = m.run;
    if (run.TokenCode == KwBY) {
        m.Put("'SET BY' is a transfer");
        if (run.clauses.transfer != kNowhere) {
            m.Put(", and the statement has one already, on ");
            PutLine(m, run.clauses.transfer);
        } else {
            m.Put(", which must come before the exception clauses");
        }
        return;
    }
    m.Put("an exception line that begins with 'SET' is 'SET HLT' or 'SET OV'; found ");
    PutCurrent(m);
    if (IsPlainWord(run)) Suggest(m, Current(run), {kLaterSet});
}

void CounterForm(Message& m) {
    const CtrlRun& run = m.run;
    if (run.TokenCode == TokEqual) {
        m.Put("the counter is loaded with ':=', not '='");
        m.fix = ":=";
        return;
    }
    if (run.TokenCode == TokPlus) {
        m.Put("the counter only counts down: 'C - 1'");
        return;
    }
    m.Put("'C' is followed by '- 1' or ':='; found ");
    PutCurrent(m);
}

void CounterStep(Message& m) {
    m.Put("the counter counts down by 1: write 'C - 1'; found ");
    PutCurrent(m);
}

void CounterSource(Message& m) {
    const CtrlRun& run = m.run;
    if (IsTerminator(run.TokenCode) || run.TokenCode == TokEof) {
        m.Put("'C :=' needs RBUS, R0..R7, RA, RAP or a literal");
        return;
    }
    PutCurrent(m);
    if (IsLeftOperand(run.TokenCode)) {
        m.Put(" can drive only the left bus; ");
    } else {
        m.Put(" cannot be loaded into the counter; ");
    }
    m.Put("'C :=' takes RBUS, R0..R7, RA, RAP or a literal");
    if (IsPlainWord(run)) Suggest(m, Current(run), {kRbus, kRightRegisters});
}

void KeywordPair(Message& m) {
    const CtrlRun& run = m.run;
    const bool save = run.detail.code == KwSAVE;
    m.Quote(TokenAt(run, run.detail.first));
    m.Put(save ? " is followed by 'SAVE'; found " : " is followed by 'IO'; found ");
    PutCurrent(m);
    if (IsPlainWord(run)) Suggest(m, Current(run), {save ? Words(kSave) : Words(kIo)});
}

void WithWord(Message& m) {
    const CtrlRun& run = m.run;
    m.Put("'WITH' is followed by 'CRY' or 'ONE'; found ");
    PutCurrent(m);
    if (IsPlainWord(run)) Suggest(m, Current(run), {kWithWords});
}

void FlagValue(Message& m) {
    m.Put("'T :=' takes 0 or 1; found ");
    PutCurrent(m);
}

void StepSign(Message& m) {
    const CtrlRun& run = m.run;
    if (run.detail.code == KwIRA) {
        m.Put("as an exception clause 'IRA' is 'IRA + 1'; found ");
        PutCurrent(m);
        if (run.TokenCode == TokIdent) m.Put(" (the branch 'IRA label' must be the first clause line)");
        return;
    }
    m.Put("'IRB' is followed by '+ 1' or '- 1'; found ");
    PutCurrent(m);
}

void StepOne(Message& m) {
    const CtrlRun& run = m.run;
    m.Quote(TokenAt(run, run.detail.first));
    m.Put(" steps by 1 only: write '");
    for (char c : TokenAt(run, run.detail.first)) m.Put(Upper(c));
    m.Put(" ");
    m.Put(TokenAt(run, run.detail.second));
    m.Put(" 1'; found ");
    PutCurrent(m);
}

// 15
void AfterLongLiteral(Message& m) {
    CtrlRun& run = m.run;
    m.Put("the long literal ");
    m.Quote(TokenAt(run, run.longLiteralAt));
    m.Put(" on ");
    PutLine(m, run.longLiteralAt);
    m.Put(" fills the EX field too, so no exception clause can follow it; move ");
    PutCurrent(m);
    m.Put(" to another statement, or keep the literal within 1FF");
}

void CounterLiteral(Message& m) {
    m.Put("'C :=' takes a literal up to 1FF; ");
    PutCurrent(m);
    m.Put(" would be a long literal, which needs the EX field that 'C :=' fills");
}

// 16
void HeadingColon(Message& m) {
    const CtrlRun& run = m.run;
    const std::string_view label = TokenAt(run, run.detail.first);
    m.Put("a label in a heading ends with ':'; write '* ");
    m.Put(label);
    m.Put(":");
    if (run.TokenCode == TokNumber) {
        m.Put(" ");
        m.Put(Current(run));
    }
    m.Put("'");
}

void BeforeFirstHeading(Message& m) {
    const CtrlRun& run = m.run;
    if (run.TokenCode == TokEnd) {
        if (SwallowedLineBegins(run, "*")) {
            m.Put("no statement is left before '.END': ");
            PutSwallowed(m, "heading");
            return;
        }
        m.Put("the program has no statement: at least one statement ('*' and its clauses) must come before '.END'");
        return;
    }
    if (run.TokenCode == TokTitle) {
        m.Put("a program has one title line, and it has been read");
        return;
    }
    m.Put("a statement begins with its heading line '*'; found ");
    PutCurrent(m);
    m.Put(" before the first heading");
}

// The kinds of clause, in the order a statement holds them.
enum class ClauseKind : std::uint8_t { Sequencing, Memory, Transfer, Exception, None };

constexpr std::string_view kKindNames[] = {"sequencing clause", "memory clause", "transfer", "exception clause"};

ClauseKind KindOf(const CtrlRun& run) {
    const std::uint8_t code = run.TokenCode;
    if (!IsKeyword(run)) return ClauseKind::None;
    if (code == KwIRA) return ClauseKind::Exception;  // here it can no longer begin the statement
    if (IsSequencingStart(code)) return ClauseKind::Sequencing;
    if (IsMemoryStart(code)) return ClauseKind::Memory;
    if (IsDestination(code)) return ClauseKind::Transfer;
    if (code == KwSET) {
        return SameWord(WordAfter(run, run.tokenStart), "BY") ? ClauseKind::Transfer : ClauseKind::Exception;
    }
    if (IsExceptionStarter(code)) return ClauseKind::Exception;
    return ClauseKind::None;
}

std::size_t ClauseAt(const StatementClauses& c, ClauseKind kind) {
    switch (kind) {
        case ClauseKind::Sequencing: return c.sequencing;
        case ClauseKind::Memory: return c.memory;
        case ClauseKind::Transfer: return c.transfer;
        case ClauseKind::Exception: return c.exception;
        case ClauseKind::None: break;
    }
    return kNowhere;
}

// The clauses still allowed after those the statement holds, as words.
void AllowedWords(const StatementClauses& c, Words (&lists)[5], std::size_t& n) {
    n = 0;
    const bool transferOrSet = c.transfer != kNowhere || c.setPrefix != kNowhere;
    if (c.sequencing == kNowhere && c.memory == kNowhere && c.transfer == kNowhere && c.exception == kNowhere) {
        lists[n++] = kSequencingWords;
    }
    if (c.memory == kNowhere && c.transfer == kNowhere && c.exception == kNowhere) lists[n++] = kMemoryWords;
    if (c.transfer == kNowhere && c.exception == kNowhere) {
        lists[n++] = kDestinations;
        lists[n++] = kSetWords;
    }
    if (c.exception == kNowhere || (c.second == kNowhere && transferOrSet)) lists[n++] = kExceptionWords;
}

void LineBeginsNoClause(Message& m) {
    CtrlRun& run = m.run;
    const StatementClauses& c = run.clauses;
    const std::string_view token = Current(run);
    if (run.TokenCode == TokTitle) {
        m.Put("a program has one title line: '.TITLE' may only begin it");
        return;
    }
    const ClauseKind kind = KindOf(run);
    if (kind != ClauseKind::None) {
        const std::size_t same = ClauseAt(c, kind);
        if (kind == ClauseKind::Exception && same != kNowhere) {
            if (c.second != kNowhere) {
                m.Put("a statement has at most two exception clauses, and this one has ");
                PutClause(m, c.exception);
                m.Put(" and ");
                PutClause(m, c.second);
                m.Put(" already; start a new statement with '*' for ");
                PutCurrent(m);
            } else {
                m.Put("without a transfer or SET a statement has one exception clause, and this one has ");
                PutClause(m, c.exception);
                m.Put(" on ");
                PutLine(m, c.exception);
                m.Put(" already; start a new statement with '*' for ");
                PutCurrent(m);
            }
            return;
        }
        if (same != kNowhere) {
            m.Put("a statement has one ");
            m.Put(kKindNames[static_cast<int>(kind)]);
            m.Put(", and this one has ");
            PutClause(m, same);
            m.Put(" on ");
            PutLine(m, same);
            m.Put(" already; start a new statement with '*' for ");
            PutCurrent(m);
            return;
        }
        // A clause kind the statement has passed: name the first later one.
        for (int later = static_cast<int>(kind) + 1; later <= static_cast<int>(ClauseKind::Exception); ++later) {
            std::size_t at = ClauseAt(c, static_cast<ClauseKind>(later));
            if (later == static_cast<int>(ClauseKind::Exception) && c.setPrefix != kNowhere) at = c.setPrefix;
            if (at == kNowhere) continue;
            m.Put("clauses come in the order sequencing, memory, transfer, exception; ");
            PutCurrent(m);
            m.Put(" must come before ");
            PutClause(m, at);
            m.Put(" (");
            PutLine(m, at);
            m.Put(")");
            return;
        }
    }
    if (run.TokenCode == KwHLT || run.TokenCode == KwOV) {
        PutCurrent(m);
        m.Put(" begins no clause by itself; write 'SET ");
        m.Put(run.TokenCode == KwHLT ? "HLT'" : "OV'");
        m.fix = run.TokenCode == KwHLT ? "SET HLT" : "SET OV";
        return;
    }
    if (IsPlainWord(run) && After(run, run.tokenStart) == ':' && !FollowedByAssign(run, run.tokenStart)) {
        m.Put("a label is defined in a heading line: write '* ");
        m.Put(token);
        m.Put(":'");
        return;
    }
    if (IsWordToken(token) && FollowedByAssign(run, run.tokenStart) && !IsDestination(run.TokenCode)) {
        PutCurrent(m);
        m.Put(IsKeyword(run) ? " cannot be assigned to" : " is no register");
        m.Put("; a transfer's destination is ");
        m.Put(kDestinationList);
        if (IsPlainWord(run) && c.transfer == kNowhere && c.exception == kNowhere) Suggest(m, token, {kDestinations});
        return;
    }
    if (IsPlainWord(run)) {
        Words lists[5];
        std::size_t n = 0;
        AllowedWords(c, lists, n);
        char upper[16];
        common::Nearest nearest = common::NearestTo({});
        if (token.size() <= sizeof upper) {
            for (std::size_t i = 0; i < token.size(); ++i) upper[i] = Upper(token[i]);
            nearest = common::NearestTo(std::string_view(upper, token.size()));
            for (std::size_t i = 0; i < n; ++i) {
                for (std::string_view candidate : lists[i]) common::Consider(nearest, candidate);
            }
            // HLT and OV begin no line, but SET HLT and SET OV do.
            if (n > 0 && lists[n - 1].data() == std::data(kExceptionWords)) {
                for (std::string_view candidate : kLaterSet) common::Consider(nearest, candidate);
            }
        }
        PutCurrent(m);
        m.Put(" begins no clause");
        std::string_view best = common::Suggestion(nearest);
        if (best == "HLT" || best == "OV") best = best == "HLT" ? "SET HLT" : "SET OV";
        if (!best.empty()) {
            m.Put("; did you mean ");
            m.Quote(best);
            m.Put("?");
            m.fix = best;
            return;
        }
        m.Put("; a clause line begins with a word such as GOTO, READ, a register or C, and a new statement with '*'");
        return;
    }
    if (IsKeyword(run)) {
        PutCurrent(m);
        m.Put(" begins no clause; a clause line begins with a word such as GOTO, READ, a register or C, and a new "
              "statement with '*'");
        return;
    }
    m.Put("a clause line cannot begin with ");
    if (run.TokenCode == TokNumber) m.Put("the number ");
    PutCurrent(m);
}

// 17, 18
void PutAddress(Message& m, std::int32_t address) { PutHex(m, static_cast<std::uint16_t>(address)); }

void AddressOrder(Message& m) {
    CtrlRun& run = m.run;
    const MicroWord& word = run.CurrentWord();
    const std::int32_t previous = run.detail.value;
    const std::size_t index = run.words.size() - 1;
    m.Put("address ");
    PutAddress(m, word.address);
    if (!word.addressGiven) {
        m.Put(", counted on from ");
        PutAddress(m, previous);
        m.Put(", wraps past 7FFF and counts as negative; the control store runs from 000 to FFF");
        return;
    }
    if (word.address < 0) {
        m.Put(" is 8000 or more, which counts as negative");
        if (index == 0 || previous < 0) {
            m.Put("; the control store runs from 000 to FFF");
            return;
        }
        m.Put(", so it does not lie above ");
    } else {
        m.Put(" does not lie above ");
    }
    PutAddress(m, previous);
    m.Put(", the address of the statement on ");
    PutLine(m, run.words[index - 1].heading);
    m.Put("; addresses must increase from statement to statement, or be left out");
}

void AddressTooLong(Message& m) {
    m.Put("address ");
    PutCurrent(m);
    m.Put(" is too long: a control-store address has at most three hexadecimal digits (000..FFF)");
}

void AddressPastStore(Message& m) {
    CtrlRun& run = m.run;
    const MicroWord& word = run.CurrentWord();
    m.Put("address ");
    PutAddress(m, word.address);
    m.Put(" is past the control store (000..FFF)");
    if (word.addressGiven) return;
    if (run.countedFrom == kNowhere) {
        m.Put(": the program has more statements than the store has words");
        return;
    }
    m.Put("; it follows the statement on ");
    PutLine(m, run.countedFrom);
    if (run.countedFromAddress > kLastAddress) {
        m.Put(", whose address ");
        PutAddress(m, run.countedFromAddress);
        m.Put(" is past the store already");
    } else {
        m.Put(" at ");
        PutAddress(m, run.countedFromAddress);
        m.Put(", counting on from it");
    }
}

// 19
void NoEnd(Message& m) {
    if (SwallowedLineBegins(m.run, ".END")) {
        m.Put("the source ends without a '.END' that was read: ");
        PutSwallowed(m, "'.END'");
        return;
    }
    m.Put("the source ends without '.END'; end the program with a line '.END'");
}

// 20
void Undeclared(Message& m, const Name* name) {
    CtrlRun& run = m.run;
    const std::string_view written = TokenAt(run, m.at);
    m.Put("label ");
    m.Quote(written);
    m.Put(" is used but no heading defines it");
    std::size_t size = 8;
    while (size > 0 && (*name)[size - 1] == ' ') --size;
    const std::string_view stored(name->data(), size);
    if (written.size() > 8) {
        m.Put(" (only its first eight characters, ");
        m.Quote(stored);
        m.Put(", count)");
    }
    common::Nearest nearest = common::NearestTo(stored);
    for (const LabelEntry& label : run.labels) {
        if (run.suggestionBudget == 0) return;
        --run.suggestionBudget;
        std::size_t n = 8;
        while (n > 0 && label.name[n - 1] == ' ') --n;
        common::Consider(nearest, std::string_view(label.name.data(), n));
    }
    const std::string_view best = common::Suggestion(nearest);
    if (best.empty()) return;
    m.Put("; did you mean ");
    m.Quote(best);
    m.Put("?");
    m.fix = best;
}

// 21
void AfterEnd(Message& m) {
    m.Put("only empty lines and comments may follow '.END'; found ");
    PutCurrent(m);
    if (m.run.TokenCode == TokStar) m.Put(": move '.END' after the last statement");
}

void Explain(Message& m, Cause cause, const Name* name) {
    switch (cause) {
        case Cause::LabelTwice: return LabelTwice(m);
        case Cause::TitleMissing: return TitleMissing(m);
        case Cause::TitleName: return TitleName(m);
        case Cause::TitleEnd: return TitleEnd(m);
        case Cause::HeadingEnd: return HeadingEnd(m);
        case Cause::SequencingEnd: return SequencingEnd(m);
        case Cause::MemoryEnd: return MemoryEnd(m);
        case Cause::TransferEnd: return TransferEnd(m);
        case Cause::ExceptionEnd: return ExceptionEnd(m);
        case Cause::IfCondition: return IfCondition(m);
        case Cause::IfEqual: return IfEqual(m);
        case Cause::IfValue: return IfValue(m);
        case Cause::IfThen: return IfThen(m);
        case Cause::IfLabel: return IfLabel(m);
        case Cause::BranchLabel: return BranchLabel(m);
        case Cause::ElseAfterOne: return ElseAfterOne(m);
        case Cause::ElseNotFetch: return ElseNotFetch(m);
        case Cause::LiteralUnderBranch: return LiteralUnderBranch(m);
        case Cause::LiteralOverflow: return LiteralOverflow(m);
        case Cause::TransferAssign: return TransferAssign(m);
        case Cause::Expression: return Expression(m);
        case Cause::LoadAssign: return LoadAssign(m);
        case Cause::LoadSource: return LoadSource(m);
        case Cause::FlagAssign: return FlagAssign(m);
        case Cause::FlagNotNumber: return FlagNotNumber(m);
        case Cause::CounterRightBus: return CounterRightBus(m);
        case Cause::SetWord: return SetWord(m);
        case Cause::SetLater: return SetLater(m);
        case Cause::CounterForm: return CounterForm(m);
        case Cause::CounterStep: return CounterStep(m);
        case Cause::CounterSource: return CounterSource(m);
        case Cause::KeywordPair: return KeywordPair(m);
        case Cause::WithWord: return WithWord(m);
        case Cause::FlagValue: return FlagValue(m);
        case Cause::StepSign: return StepSign(m);
        case Cause::StepOne: return StepOne(m);
        case Cause::LoadLeftBus: return LoadLeftBus(m);
        case Cause::AfterLongLiteral: return AfterLongLiteral(m);
        case Cause::CounterLiteral: return CounterLiteral(m);
        case Cause::HeadingColon: return HeadingColon(m);
        case Cause::BeforeFirstHeading: return BeforeFirstHeading(m);
        case Cause::LineBeginsNoClause: return LineBeginsNoClause(m);
        case Cause::AddressOrder: return AddressOrder(m);
        case Cause::AddressTooLong: return AddressTooLong(m);
        case Cause::AddressPastStore: return AddressPastStore(m);
        case Cause::NoEnd: return NoEnd(m);
        case Cause::Undeclared: return Undeclared(m, name);
        case Cause::AfterEnd: return AfterEnd(m);
    }
}

// ".END EXPECTED." names the source's last line, at its end: the end of the
// file stands past that line's line end.
std::size_t EndOfLastLine(const CtrlRun& run, std::size_t end) {
    if (end > 0 && run.source[end - 1] == '\n') --end;
    if (end > 0 && run.source[end - 1] == '\r') --end;
    return end;
}

}  // namespace

void RecordError(CtrlRun& run, CtrlError error, Cause cause, const Name* name, std::size_t at) {
    if (at == kAtToken) at = run.tokenStart;
    if (error == CtrlError::EndExpected) at = EndOfLastLine(run, at);
    common::DiagnosticSink& sink = *run.diagnostics;
    Message m{run, sink.text, at, TokenLength(run.source, at)};
    Explain(m, cause, name);
    // An illegal character in mid-line hid the rest of its line and the line
    // end, so the statement ran on into the next line.
    if (run.illegalAt != kNowhere && at >= run.illegalAt && error != CtrlError::LabelNotDeclared &&
        error != CtrlError::IllegalProgramEnding) {
        m.Put("; this follows the illegal character on ");
        PutLine(m, run.illegalAt);
        m.Put(", which dropped the rest of that line with its line end");
    }
    static constexpr std::string_view kTags[] = {"",    "E1",  "E2",  "E3",  "E4",  "E5",  "E6",  "E7",
                                                 "E8",  "E9",  "E10", "E11", "E12", "E13", "E14", "E15",
                                                 "E16", "E17", "E18", "E19", "E20", "E21"};
    common::Record(sink, m.at, common::Severity::Error, kTags[static_cast<int>(error)], m.Text(), m.length, m.fix);
}

namespace {

std::string_view ReadingName(Reading reading) {
    switch (reading) {
        case Reading::Title: return "in the title line";
        case Reading::Heading: return "in a heading";
        case Reading::Sequencing: return "in a sequencing clause";
        case Reading::Memory: return "after READ or WRITE";
        case Reading::Transfer: return "in a transfer";
        case Reading::Exception: return "in an exception clause";
        case Reading::Ending: return "after '.END'";
    }
    return "here";
}

}  // namespace

void RecordIllegalCharacter(CtrlRun& run, std::size_t offset) {
    common::DiagnosticSink& sink = *run.diagnostics;
    Message m{run, sink.text, offset, TokenLength(run.source, offset)};
    std::size_t start = offset;
    while (start > 0 && (run.source[start - 1] == ' ' || run.source[start - 1] == '\t')) --start;
    const bool lineStart = start == 0 || run.source[start - 1] == '\n' || run.source[start - 1] == '\r';
    const char c = run.source[offset];
    PutFound(m, offset);
    if (lineStart) {
        m.Put(" cannot begin a line");
        if (c == '#' || c == '/' || c == '!') m.Put("; a comment begins with ';'");
        m.Put(", so the line is ignored");
    } else {
        m.Put(" cannot stand ");
        m.Put(ReadingName(run.reading));
        m.Put(", so the rest of the line is ignored, with its line end");
        run.illegalAt = offset;
    }
    if (c == '"') m.Put(" (a double quote stands only after B or D, as in B\"1010 or D\"99)");
    if (c == '_') m.Put(" (a word begins with a letter)");
    if (c == ',' && !lineStart) m.Put(" (operands are not separated by commas)");
    common::Record(sink, offset, common::Severity::Error, "", m.Text(), m.length);
}

namespace {

std::string_view ClassName(std::uint8_t placementClass) {
    switch (placementClass) {
        case IraTarget: return "IRA";
        case IopTarget: return "IOP";
        case IabTarget: return "IAB";
        default: return "branch";
    }
}

// The lowest address at or above `from` that the class accepts.
int NextAligned(std::uint8_t placementClass, int from) {
    int a = from;
    switch (placementClass) {
        case IraTarget: while ((a / 4) % 4 != 0) ++a; break;
        case IopTarget: while (a % 16 != 0) ++a; break;
        case IabTarget: while (a % 64 >= 4) ++a; break;
        default: break;
    }
    return a;
}

}  // namespace

void RecordPlacementFailure(CtrlRun& run, const MicroWord& word, PlacementProblem problem, int address, int nextFree,
                            const MicroWord* moved) {
    common::DiagnosticSink& sink = *run.diagnostics;
    Message m{run, sink.text, word.heading, TokenLength(run.source, word.heading)};
    const bool last = &word == &run.words.back();
    switch (problem) {
        case PlacementProblem::Misaligned: {
            m.Put("the ");
            m.Put(ClassName(word.labelClass));
            m.Put(" target ");
            m.Quote(TokenAt(run, LabelOfHeading(run, word.heading)));
            m.Put(" cannot stand at ");
            PutHex(m, static_cast<unsigned>(address));
            switch (word.labelClass) {
                case IraTarget: m.Put(": an IRA target needs an address whose bits 3-2 are 0"); break;
                case IopTarget: m.Put(": an IOP target needs an address on a 16-word boundary"); break;
                default: m.Put(": an IAB target needs one of the first four addresses of a 64-word block"); break;
            }
            const int fit = NextAligned(word.labelClass, address < nextFree ? nextFree : address);
            if (fit <= kLastAddress) {
                m.Put("; give ");
                PutHex(m, static_cast<unsigned>(fit));
                m.Put(" or leave the address out");
            } else {
                m.Put("; leave the address out");
            }
            break;
        }
        case PlacementProblem::Taken:
            m.Put("address ");
            PutHex(m, static_cast<unsigned>(address));
            m.Put(" is no longer free: the words before it reach up to ");
            PutHex(m, static_cast<unsigned>(nextFree - 1));
            if (moved != nullptr) {
                m.Put(", since the ");
                m.Put(ClassName(moved->labelClass));
                m.Put(" target ");
                m.Quote(TokenAt(run, LabelOfHeading(run, moved->heading)));
                m.Put(" on ");
                PutLine(m, moved->heading);
                m.Put(" was moved up to ");
                PutHex(m, static_cast<unsigned>(static_cast<std::uint16_t>(moved->address)));
                m.Put(" for its alignment");
            }
            m.Put("; give ");
            PutHex(m, static_cast<unsigned>(nextFree));
            m.Put(" or more, or leave the address out");
            break;
        case PlacementProblem::PastStore:
            if (last) {
                m.Put("the empty word that follows the last statement would land at ");
                PutHex(m, static_cast<unsigned>(address));
                m.Put(", past the control store (000..FFF): the last statement may stand at FFE at most");
            } else {
                m.Put("this statement would be placed at ");
                PutHex(m, static_cast<unsigned>(address));
                m.Put(", past the control store (000..FFF)");
                if (moved != nullptr) m.Put(", after alignment moved words up");
            }
            m.Put(" (ADRS OVER)");
            break;
    }
    common::Record(sink, word.heading, common::Severity::Error, "", m.Text(), m.length);
}

void WarnBranchPage(CtrlRun& run, const MicroWord& word, std::uint16_t target) {
    common::DiagnosticSink& sink = *run.diagnostics;
    Message m{run, sink.text, word.reference, TokenLength(run.source, word.reference)};
    m.Put("the branch target ");
    m.Quote(TokenAt(run, word.reference));
    m.Put(" at ");
    PutHex(m, target, 3);
    m.Put(" lies in another 512-word page than this word at ");
    PutHex(m, static_cast<std::uint16_t>(word.address), 3);
    m.Put("; a conditional branch keeps only the low 9 bits of its target, so the word holds ");
    PutHex(m, target & 0x1FFu, 3);
    common::Record(sink, word.reference, common::Severity::Warning, "-Wbranch-page", m.Text(), m.length);
}

}  // namespace ctrlforge
