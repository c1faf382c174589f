#include "generators.hpp"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string_view>

namespace bench {

namespace {

// ---------------------------------------------------------------- ctrlforge

constexpr int kStoreWords = 4095;  // addresses 0 to 4094; the blank tail takes 4095

// The label a statement carries, chosen by its address so that every aligned
// target sits on its boundary without moving any word.
enum class Kind { None, IabTarget, IopTarget, IraTarget, Branch, Subroutine };

Kind KindAt(int a) {
    if (a % 64 == 0) return Kind::IabTarget;   // address mod 64 < 4
    if (a % 16 == 0) return Kind::IopTarget;   // address mod 16 = 0
    if (a % 16 == 2) return Kind::IraTarget;   // (address div 4) mod 4 = 0
    if (a % 8 == 5) return Kind::Branch;
    if (a % 32 == 11) return Kind::Subroutine;
    return Kind::None;
}

std::string LabelName(Kind kind, int a) {
    const char* prefix = "";
    switch (kind) {
        case Kind::IabTarget: prefix = "TB"; break;
        case Kind::IopTarget: prefix = "TP"; break;
        case Kind::IraTarget: prefix = "TR"; break;
        case Kind::Branch: prefix = "L"; break;
        case Kind::Subroutine: prefix = "S"; break;
        case Kind::None: return {};
    }
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%s%03X", prefix, static_cast<unsigned>(a));
    return buffer;
}

// The label of the given kind nearest to `a` in the chosen direction, or in the
// other direction when there is none that way.
std::string Target(Kind kind, int a, bool forward) {
    for (int pass = 0; pass < 2; ++pass) {
        if (forward) {
            for (int t = a + 1; t < kStoreWords; ++t)
                if (KindAt(t) == kind) return LabelName(kind, t);
        } else {
            for (int t = a - 1; t >= 0; --t)
                if (KindAt(t) == kind) return LabelName(kind, t);
        }
        forward = !forward;
    }
    return LabelName(kind, 0);
}

struct Refs {
    std::string branch, subroutine, iop, ira, iab;
};

struct Writer {
    std::string text;
    std::size_t lines = 0;
    void Line(std::string_view line) {
        text.append(line);
        text.append("\r\n");
        ++lines;
    }
    void Line(std::string_view head, std::string_view tail, std::string_view rest = {}) {
        text.append(head);
        text.append(tail);
        text.append(rest);
        text.append("\r\n");
        ++lines;
    }
};

constexpr int kTemplates = 30;

// The clause lines of one statement. Every template obeys the combination
// rules: no non-zero literal under a branching sequencer, nothing after a long
// literal, IR/IO := register only while LB is free, C := operand only while RB
// is free, a second exception clause only after a transfer or SET form.
void Body(Writer& w, int t, const Refs& r) {
    switch (t) {
        case 0:
            w.Line("    IF ZER = 0 THEN ", r.branch, " ELSE FETCH");
            w.Line("    READ");
            w.Line("    R1 := R1 + R2");
            w.Line("    WITH CRY");
            break;
        case 1:
            w.Line("    IF NEG = 1 THEN ", r.branch);
            w.Line("    R2 := R2 - R3           ; subtract");
            w.Line("    FLAG SAVE");
            break;
        case 2:
            w.Line("    IF CRY = 0 THEN ", r.branch);
            w.Line("    WRITE");
            w.Line("    RB := R1");
            break;
        case 3:
            w.Line("    GOTO ", r.branch);
            w.Line("    READ");
            w.Line("    R3 := MM");
            w.Line("    C := R4");
            break;
        case 4:
            w.Line("    CALL ", r.subroutine);
            w.Line("    R4 := SLL R3");
            w.Line("    T := 1");
            break;
        case 5:
            w.Line("    RETURN");
            w.Line("    R5 := R1 AND 1FF        ; short literal");
            w.Line("    IRA + 1");
            break;
        case 6:
            w.Line("    IOP ", r.iop);
            w.Line("    READ");
            w.Line("    IR := MM");
            break;
        case 7:
            w.Line("    IRA ", r.ira);
            w.Line("    PC := PC + 0");
            w.Line("    IRB + 1");
            break;
        case 8:
            w.Line("    IAB ", r.iab);
            w.Line("    RA := R6 OR R7");
            w.Line("    IRB - 1");
            break;
        case 9:
            w.Line("    NSQ");
            w.Line("    R6 := R2 + : SRL R3");
            w.Line("    C - 1");
            break;
        case 10:
            w.Line("    GOTO FETCH");
            w.Line("    WRITE");
            w.Line("    RBP := R7 XOR R0");
            w.Line("    EXECUTE IO");
            break;
        case 11:
            w.Line("    NSQ");
            w.Line("    READ");
            w.Line("    R7 := R0 + ABCD         ; long literal");
            break;
        case 12:
            w.Line("    RETURN");
            w.Line("    SET BY R1 XOR B\"1010");
            w.Line("    SET OV");
            break;
        case 13:
            w.Line("    NSQ");
            w.Line("    R0 := D\"100");
            w.Line("    IO := LBUS");
            w.Line("    NEX");
            break;
        case 14:
            w.Line("    IF OV = 1 THEN ", r.branch);
            w.Line("    RAP := RA");
            w.Line("    IR := R5");
            break;
        case 15:
            w.Line("    IF T = 0 THEN ", r.branch);
            w.Line("    READ");
            w.Line("    R1 := SRA RAP");
            w.Line("    IO := FSR");
            break;
        case 16:
            w.Line("    IF CZ = 1 THEN ", r.branch);
            w.Line("    R2 := SNX R1");
            w.Line("    WITH ONE");
            break;
        case 17:
            w.Line("    NSQ");
            w.Line("    SET HLT");
            break;
        case 18:
            w.Line("    NSQ");
            w.Line("    WRITE");
            w.Line("    SET BY RA");
            w.Line("    C := RBUS");
            break;
        case 19:
            w.Line("    GOTO ", r.branch);
            w.Line("    R3 := SWP R4");
            w.Line("    T := 0");
            w.Line("    FLAG SAVE");
            break;
        case 20:
            w.Line("    READ");
            w.Line("    R4 := SLA R4");
            w.Line("    C := 1FF");
            break;
        case 21:
            w.Line("    CALL ", r.subroutine);
            w.Line("    READ");
            w.Line("    R5 := R5 $ R6");
            w.Line("    SET HLT");
            break;
        case 22:
            w.Line("    NSQ");
            w.Line("    RB := NSH IR");
            w.Line("    IRA + 1");
            break;
        case 23:
            w.Line("    IF ZER = 1 THEN ", r.branch, "   ; zero test");
            w.Line("; a comment line inside a statement");
            w.Line("    R6 := ZERO");
            w.Line("    EXECUTE IO");
            break;
        case 24:
            break;  // the heading alone: an empty word
        case 25:
            w.Line("    NSQ");
            w.Line("    PC := 0FFFF");
            break;
        case 26:
            w.Line("    RETURN");
            w.Line("    READ");
            w.Line("    R7 := R7 + 1");
            w.Line("    T := 1");
            w.Line("    IRB + 1");
            break;
        case 27:
            w.Line("    nsq");
            w.Line("    r1 := r2 or r3");
            w.Line("    with cry");
            break;
        case 28:
            w.Line("    CALL ", r.subroutine);
            w.Line("    R0 := 0");
            w.Line("    FLAG SAVE");
            break;
        default:
            w.Line("    NSQ");
            w.Line("\tR1 := R1 - 200\t\t; long literal 512");
            break;
    }
}

void WriteFillStatements(Writer& w) {
    char buffer[64];
    for (int a = 0; a < kStoreWords; ++a) {
        Kind kind = KindAt(a);
        std::string label = LabelName(kind, a);
        bool aligned = kind == Kind::IabTarget || kind == Kind::IopTarget || kind == Kind::IraTarget;
        std::string heading = "*";
        if (!label.empty()) heading += " " + label + ":";
        if (aligned || a % 128 == 77) {
            std::snprintf(buffer, sizeof buffer, " %04X", static_cast<unsigned>(a));
            heading += buffer;
        } else if (a % 256 == 200) {
            std::snprintf(buffer, sizeof buffer, " D\"%d", a);
            heading += buffer;
        }
        if (a % 7 == 3) heading += "        ; statement";
        w.Line(heading);

        int t = a % kTemplates;
        bool forward = (a / kTemplates) % 4 != 3;  // mostly forward references
        Refs refs{Target(Kind::Branch, a, forward), Target(Kind::Subroutine, a, forward),
                  Target(Kind::IopTarget, a, forward), Target(Kind::IraTarget, a, forward),
                  Target(Kind::IabTarget, a, forward)};
        Body(w, t, refs);
        if (a % 16 == 15) w.Line("");
    }
}

// The heading of statement `self` of the label-heavy program: its label and
// an address that runs through the control store and starts over at 0 after
// 4094, so that only the statement starting over is an error (17).
void LabelledHeading(Writer& w, std::size_t self) {
    char head[48];
    std::snprintf(head, sizeof head, "* L%zu: %03X", self, static_cast<unsigned>(self % kStoreWords));
    w.Line(head);
}

// One statement of the label-heavy program: heading with label `self`, a
// branch to `next` and one or two more clause lines.
void LabelledStatement(Writer& w, std::size_t self, std::size_t next) {
    char target[32];
    std::snprintf(target, sizeof target, "L%zu", next);
    LabelledHeading(w, self);
    switch (self % 4) {
        case 0:
            w.Line("    GOTO ", target);
            w.Line("    R1 := R1 + R2");
            break;
        case 1:
            w.Line("    IF ZER = 0 THEN ", target, " ELSE FETCH");
            w.Line("    READ");
            w.Line("    R3 := MM");
            break;
        case 2:
            w.Line("    CALL ", target);
            w.Line("    R4 := SLL R3            ; shift");
            break;
        default:
            w.Line("    IF NEG = 1 THEN ", target);
            w.Line("    R2 := R2 - R3");
            w.Line("    C - 1");
            break;
    }
}

void WriteTitle(Writer& w, std::string_view title) {
    w.Line("; ZORVELT control store benchmark (generated)");
    w.Line("");
    w.Line(".TITLE ", title);
}

// ---------------------------------------------------------------- wordforge

// One block of the wordforge program. Labels are defined only in block 0;
// every block starts with ORG 0, so the branches of every block lie within
// reach of the labels.
struct WordLine {
    const char* label;  // defined in block 0 only; nullptr for none
    const char* text;   // after the label field; %R register, %X index, %N byte
};

constexpr WordLine kBlock[] = {
    {nullptr, "        ORG   0                 ; block start"},
    {"W00", "ADD   %R,%N"},
    {nullptr, "        SUB   %R,%N(%X)"},
    {"W01", "AND   %R,(%X)"},
    {nullptr, "        OR    %R,B\"1010"},
    {nullptr, "        XOR   %R,O\"17(%X)"},
    {nullptr, "; group one continues"},
    {"W02", "MULT  %R,X\"A5"},
    {nullptr, "        DIV   %R,127            ; divide"},
    {nullptr, "        CMP   %R,0"},
    {nullptr, "        EX    %R,%N"},
    {"W03", "LC    %R,O\"377"},
    {nullptr, "        PUSH  %R,%N"},
    {nullptr, "        POP   %R,%N"},
    {nullptr, "        SL    %R,+4"},
    {nullptr, "        SA    %R,B\"11"},
    {nullptr, "        SC    %R,-X\"10           ; shift"},
    {"W04", "BIX   %R,-1"},
    {nullptr, "        LEA   %R,(%X)"},
    {nullptr, "        LX    %R,-128(%X)"},
    {nullptr, "        STX   %R,X\"7F(%X)"},
    {nullptr, "        L     %R,W20"},
    {nullptr, "        ST    %R,W20+1"},
    {nullptr, "        LA    %R,W00"},
    {nullptr, "        BDIS  W01"},
    {nullptr, "        BP    *"},
    {nullptr, "        BZ    *+1"},
    {nullptr, "        BM    *-1"},
    {nullptr, "        BC    W05"},
    {nullptr, "        BNP   W05-1"},
    {nullptr, "        BNZ   W02+3             ; near a label"},
    {nullptr, "        BNM   W03"},
    {nullptr, "        BNC   *+0"},
    {nullptr, "        B     W06"},
    {nullptr, "        BI    W20"},
    {nullptr, "        BSR   W07"},
    {nullptr, "        RIO   LPT"},
    {nullptr, "        WIO   CR"},
    {nullptr, "        RIO   %N"},
    {nullptr, "        WIO   %N"},
    {"W05", "RET"},
    {nullptr, "        NOP"},
    {"W06", "NOP                     ; idle"},
    {"W07", "HLT"},
    {nullptr, ";"},
    {"W10", "ADD   %R,%N(%X)"},
    {nullptr, "        SUB   %R,(%X)"},
    {nullptr, "        BZ    W10"},
    {nullptr, "        BNZ   W11"},
    {nullptr, "        CMP   %R,X\"%N"},
    {"W11", "L     %R,W21"},
    {nullptr, "        ST    %R,W22"},
    {nullptr, "        LA    %R,*+2"},
    {nullptr, "        B     W12"},
    {nullptr, "        BSR   W13           ; call"},
    {"W12", "PUSH  %R,1"},
    {nullptr, "        POP   %R,1"},
    {nullptr, "        BNC   W10"},
    {"W13", "SA    %R,-%N"},
    {nullptr, "        RET"},
    {nullptr, "        add   %R,%N         ; lower case"},
    {nullptr, "        bm    w12"},
    {nullptr, "        LEA   %R,+%N(%X)"},
    {nullptr, "        BIX   %R,%N"},
    {nullptr, "        WIO   LPT"},
    {nullptr, "        BDIS  *"},
    {nullptr, "        BI    W11+1"},
    {nullptr, "        BNP   *-4"},
    {nullptr, "        BNM   *+3"},
    {nullptr, "        B     W14"},
    {"W14", "NOP"},
    {"W20", "DC    -1"},
    {"W21", "DC    'AB"},
    {"W22", "DC    X\"41"},
    {nullptr, "        DC    W07"},
    {nullptr, "        DC    %N"},
    {"W23", "DS    2"},
    {nullptr, "        DS    1                 ; reserve"},
    {nullptr, "        DC    B\"101"},
    {nullptr, "        DC    O\"777"},
    {nullptr, "        DC    -W23"},
};

void WordLineText(Writer& w, const WordLine& line, std::size_t block, std::size_t index) {
    std::string text;
    if (line.label != nullptr) {
        std::string field;
        if (block == 0) field = std::string(line.label) + ":";
        field.resize(8, ' ');
        text = field;
    }
    unsigned seed = static_cast<unsigned>(block * 131 + index * 17);
    for (const char* p = line.text; *p != '\0'; ++p) {
        if (*p == '%' && p[1] != '\0') {
            ++p;
            char value[8];
            switch (*p) {
                case 'R': std::snprintf(value, sizeof value, "%u", seed % 4); break;
                case 'X': std::snprintf(value, sizeof value, "%u", (seed / 4) % 4); break;
                default: std::snprintf(value, sizeof value, "%u", (seed * 7) % 256); break;
            }
            text += value;
        } else {
            text += *p;
        }
    }
    w.Line(text);
}

// The words a block line produces: none for ORG and comment lines, n for
// DS n, one for every other line.
std::size_t WordsOf(const WordLine& line) {
    std::string_view text = line.text;
    text.remove_prefix(std::min(text.find_first_not_of(' '), text.size()));
    if (text.starts_with(';') || text.starts_with("ORG")) return 0;
    if (text.starts_with("DS")) {
        std::size_t n = 0;
        for (char c : text.substr(text.find_first_of("0123456789"))) {
            if (c < '0' || c > '9') break;
            n = 10 * n + static_cast<std::size_t>(c - '0');
        }
        return n;
    }
    return 1;
}

// One group of four lines of the label-heavy wordforge program: the label
// line and three more, with one reference `ahead` groups forward and one
// `back` groups backward (labels are four words apart, so both stay within
// the branch reach of -128..127).
void WordLabelGroup(Writer& w, std::size_t group, std::size_t ahead, std::size_t back) {
    char line[64];
    char label[32];
    std::snprintf(label, sizeof label, "L%zu:", group);
    unsigned r = static_cast<unsigned>(group % 4);
    unsigned n = static_cast<unsigned>((group * 37) % 256);
    switch (group % 4) {
        case 0:
            std::snprintf(line, sizeof line, "%-9sADD   %u,%u", label, r, n);
            w.Line(line);
            std::snprintf(line, sizeof line, "        BZ    L%zu", ahead);
            w.Line(line);
            std::snprintf(line, sizeof line, "        L     %u,L%zu", (r + 1) % 4, back);
            w.Line(line);
            w.Line("        SUB   1,(2)             ; step");
            break;
        case 1:
            std::snprintf(line, sizeof line, "%-9sLC    %u,X\"%02X", label, r, n);
            w.Line(line);
            std::snprintf(line, sizeof line, "        BNZ   L%zu", back);
            w.Line(line);
            w.Line("        CMP   2,0");
            std::snprintf(line, sizeof line, "        B     L%zu+1", ahead);
            w.Line(line);
            break;
        case 2:
            std::snprintf(line, sizeof line, "%-9sNOP                     ; label", label);
            w.Line(line);
            std::snprintf(line, sizeof line, "        LA    %u,L%zu", r, ahead);
            w.Line(line);
            std::snprintf(line, sizeof line, "        DC    L%zu", back);
            w.Line(line);
            std::snprintf(line, sizeof line, "        XOR   %u,%u(3)", r, n);
            w.Line(line);
            break;
        default:
            std::snprintf(line, sizeof line, "%-9sST    %u,*+2", label, r);
            w.Line(line);
            std::snprintf(line, sizeof line, "        BSR   L%zu", back);
            w.Line(line);
            std::snprintf(line, sizeof line, "        BM    L%zu", ahead);
            w.Line(line);
            w.Line("        RET");
            break;
    }
}

}  // namespace

std::string CtrlFillProgram() {
    Writer w;
    WriteTitle(w, "FILL");
    WriteFillStatements(w);
    w.Line(".END");
    w.Line("; end of the control store benchmark");
    return std::move(w.text);
}

std::string CtrlOverflowProgram(std::size_t lines) {
    Writer w;
    WriteTitle(w, "OVERFLOW");
    WriteFillStatements(w);
    // Statements past the store: headings from 1000 to 7FFF hexadecimal (error
    // 18), starting over at 1000 (error 17) so that none is ever accepted.
    Refs refs{"L005", "S00B", "TP010", "TR002", "TB000"};
    Writer statement;
    char heading[32];
    unsigned address = 0x1000;
    for (int t = 0;; t = (t + 1) % kTemplates) {
        statement.text.clear();
        statement.lines = 0;
        std::snprintf(heading, sizeof heading, "* %04X", address);
        statement.Line(heading);
        Body(statement, t, refs);
        if (w.lines + statement.lines + 1 > lines) break;
        w.text += statement.text;
        w.lines += statement.lines;
        address = address == 0x7FFF ? 0x1000 : address + 1;
    }
    while (w.lines + 1 < lines) w.Line("; padding");
    w.Line(".END");
    return std::move(w.text);
}

std::string CtrlLabelProgram(std::size_t lines) {
    Writer w;
    w.Line("; ZORVELT label-heavy microprogram benchmark (generated)");
    w.Line("");
    w.Line(".TITLE LABELS");
    Writer statement;
    std::size_t self = 0;
    // Room is kept for the last statement (two lines) and .END.
    for (;; ++self) {
        statement.text.clear();
        statement.lines = 0;
        LabelledStatement(statement, self, self + 1);
        if (w.lines + statement.lines + 3 > lines) break;
        w.text += statement.text;
        w.lines += statement.lines;
    }
    LabelledHeading(w, self);
    w.Line("    GOTO L0");
    while (w.lines + 1 < lines) w.Line("; padding");
    w.Line(".END");
    return std::move(w.text);
}

std::string WordProgram(std::size_t lines) {
    Writer w;
    w.Line("; ZORVELT instruction-set benchmark (generated)");
    w.Line("; every mnemonic, labels with branches near them, DC and DS");
    w.Line("        TITLE BENCH");
    constexpr std::size_t kBlockLines = std::size(kBlock);
    for (std::size_t block = 0;; ++block) {
        for (std::size_t i = 0; i < kBlockLines; ++i) {
            if (w.lines + 1 >= lines) {
                w.Line("        END");
                return std::move(w.text);
            }
            WordLineText(w, kBlock[i], block, i);
        }
    }
}

std::string WordProgramOfWords(std::size_t words) {
    Writer w;
    w.Line("; ZORVELT instruction-set benchmark (generated)");
    w.Line("; every mnemonic, labels with branches near them, DC and DS");
    w.Line("        TITLE BENCH");
    std::size_t placed = 0;
    for (std::size_t block = 0; placed < words; ++block) {
        for (std::size_t i = 0; i < std::size(kBlock) && placed < words; ++i) {
            const std::size_t count = WordsOf(kBlock[i]);
            // A DS too large for the rest ends the block; the next one
            // begins with single words.
            if (placed + count > words) break;
            WordLineText(w, kBlock[i], block, i);
            placed += count;
        }
    }
    w.Line("        END");
    return std::move(w.text);
}

std::string WordLabelProgram(std::size_t lines) {
    Writer w;
    w.Line("; ZORVELT label-heavy benchmark (generated)");
    w.Line("        TITLE LABELS");
    const std::size_t groups = lines >= 3 ? (lines - 3) / 4 : 0;
    for (std::size_t g = 0; g < groups; ++g) {
        std::size_t ahead = g + 1 + (g * 7) % 30;
        std::size_t back = g - std::min(g, 1 + (g * 11) % 30);
        if (ahead >= groups) ahead = back;
        if (back == g && ahead != g) back = ahead;  // the first group has nothing behind it
        WordLabelGroup(w, g, ahead, back);
    }
    while (w.lines + 1 < lines) w.Line("; padding");
    w.Line("        END");
    return std::move(w.text);
}

std::string WordFullMemoryProgram() {
    constexpr int kBlocks = 4096;
    std::string text = "; 65,536 words: every address of main memory, 16 per block\n        TITLE FULL\n";
    char label[8], next[8];
    for (int b = 0; b < kBlocks; ++b) {
        std::snprintf(label, sizeof label, "L%04X", static_cast<unsigned>(b));
        std::snprintf(next, sizeof next, "L%04X", static_cast<unsigned>(b + 1 < kBlocks ? b + 1 : b));
        text += label;
        text += ":  LC    1,5\n"
                "        ADD   3,1(2)\n"
                "        SUB   1,2\n"
                "        XOR   2,3\n"
                "        SL    1,-2\n"
                "        PUSH  1,3\n"
                "        POP   2,3\n"
                "        DC    X\"ABCD\n"
                "        MULT  1,2\n"
                "        CMP   1,3\n"
                "        LEA   2,4(1)\n"
                "        NOP\n"
                "        BNZ   ";
        text += label;
        text += "\n        BSR   ";
        text += next;
        text += "\n        B     *+1\n"
                "        WIO   LPT\n";
    }
    text += "        END\n";
    return text;
}

std::string WordMemoryProgram() {
    // Every machine instruction and DC, one word a line; a label every 32
    // words, which the relative operands of its block name.
    static constexpr const char* kForms[] = {
        "ADD   1,5(2)", "SUB   2,X\"1F",  "AND   3,(1)",    "OR    0,B\"1010", "XOR   1,O\"17",  "MULT  2,200",
        "DIV   3,7",    "CMP   0,255",    "EX    1,1(3)",   "LC    2,255",     "PUSH  3,1",      "POP   3,1",
        "SL    0,-1",   "SA    1,+4",     "SC    2,3",      "BIX   3,-2",      "LEA   1,-2(3)",  "LX    2,4(1)",
        "STX   0,(2)",  "L     1,M@",     "ST    2,M@+1",   "LA    3,*-5",     "BDIS  M@",       "BP    *+3",
        "BZ    M@",     "BM    M@+2",     "BC    *",        "BNP   M@",        "BNZ   *-1",      "BNM   M@",
        "BNC   M@+4",   "B     M@",       "BI    *+9",      "BSR   M@",        "RIO   CR",       "WIO   LPT",
        "RET",          "NOP",            "HLT",            "DC    X\"BEEF",   "DC    'AB",      "DC    -7",
    };
    constexpr std::size_t kFormCount = std::size(kForms);
    Writer w;
    w.Line("; ZORVELT main memory benchmark (generated): 65,536 words");
    w.Line("        TITLE MEMORY");
    char line[64];
    for (std::size_t address = 0; address < 65536; ++address) {
        const std::size_t block = address / 32;
        std::string form = kForms[(address * 7) % kFormCount];
        if (const std::size_t at = form.find('@'); at != std::string::npos) form.replace(at, 1, std::to_string(block));
        if (address % 32 == 0) {
            std::snprintf(line, sizeof line, "M%zu:", block);
            std::string head = line;
            head.resize(8, ' ');
            w.Line(head, form);
        } else {
            w.Line("        ", form);
        }
    }
    w.Line("        END");
    return std::move(w.text);
}

std::string GasProgram(std::size_t lines) {
    std::string text;
    text.reserve(lines * 14);
    for (std::size_t i = 0; i < lines; ++i) text += "\tadd $5, %eax\n";
    return text;
}

std::size_t CountLines(const std::string& text) {
    std::size_t count = 0;
    for (char c : text) count += c == '\n';
    return count;
}

}  // namespace bench
