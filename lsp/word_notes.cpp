#include "lsp/word_notes.hpp"

#include <array>
#include <utility>

namespace lsp {

namespace {

using Note = std::pair<std::string_view, std::string_view>;

// From the microprogramming guide: the clauses (section 5), the data path
// (section 4) and the fields each word sets (section 6).
constexpr std::array kMicroprogramNotes{
    Note{"*", "statement heading: `*` [label`:`] [address]; every statement becomes one 40-bit word"},
    Note{".TITLE", "title line: `.TITLE` name; the name heads the object file and the map"},
    Note{".END", "ends the program; only empty lines and comments may follow"},
    Note{":=", "transfer: destination `:=` expression"},
    Note{"=", "in `IF` cond `=` 0 or 1: the value the condition is tested for"},
    Note{":", "in a heading, ends the label; in a transfer, `left op : shift right` shifts the right operand"},
    Note{"+", "ALU operator ADD (AL ADD); `IRA + 1`, `IRB + 1` are exception clauses"},
    Note{"-", "ALU operator SUB (AL SUB); `C - 1`, `IRB - 1` are exception clauses"},
    Note{"$", "ALU operator IAL (AL IAL)"},
    Note{"@", "ALU operator NAL, no ALU operation (AL NAL)"},
    Note{"AND", "ALU operator AND (AL AND)"},
    Note{"OR", "ALU operator OR (AL OR)"},
    Note{"XOR", "ALU operator XOR (AL XOR)"},
    Note{"BY", "`SET BY` expression: a transfer whose result goes to no register (SB NSB)"},
    Note{"CALL", "`CALL` L: call the microsubroutine at L (SQ BP)"},
    Note{"GOTO", "`GOTO` L: branch to L (SQ B); `GOTO FETCH`: go to the instruction fetch (SQ EI)"},
    Note{"IF", "`IF` cond `= 1 THEN` L (SQ BT) or `= 0 THEN` L (SQ BF, with `ELSE FETCH` EI): conditional branch"},
    Note{"THEN", "`IF` cond `=` n `THEN` L: the label branched to"},
    Note{"ELSE", "`ELSE FETCH` after `IF` cond `= 0 THEN` L: otherwise go to the instruction fetch (SQ EI)"},
    Note{"FETCH", "the instruction fetch: `GOTO FETCH`, `ELSE FETCH` (SQ EI)"},
    Note{"RETURN", "`RETURN`: return from a microsubroutine (SQ RTN)"},
    Note{"IOP", "`IOP` L: multiway branch into a table at L, 16-word aligned (SQ IOP)"},
    Note{"IRA", "`IRA` L: multiway branch into a table at L, IRA-aligned (SQ IRA); `IRA + 1`: exception INA"},
    Note{"IAB", "`IAB` L: multiway branch into a table at L, 64-word aligned (SQ IAB)"},
    Note{"NSQ", "`NSQ`: no sequencing action, written explicitly (SQ NSQ)"},
    Note{"READ", "memory clause: read main memory (MM RM); the data is on the left bus as `MM`"},
    Note{"WRITE", "memory clause: write main memory (MM WM)"},
    Note{"SET", "`SET BY` expression, `SET HLT`, `SET OV`, or `SET` before an exception clause"},
    Note{"R0", "register R0: left bus R0L, right bus R0R, destination R0S"},
    Note{"R1", "register R1: left bus R1L, right bus R1R, destination R1S"},
    Note{"R2", "register R2: left bus R2L, right bus R2R, destination R2S"},
    Note{"R3", "register R3: left bus R3L, right bus R3R, destination R3S"},
    Note{"R4", "register R4: left bus R4L, right bus R4R, destination R4S"},
    Note{"R5", "register R5: left bus R5L, right bus R5R, destination R5S"},
    Note{"R6", "register R6: left bus R6L, right bus R6R, destination R6S"},
    Note{"R7", "register R7: left bus R7L, right bus R7R, destination R7S"},
    Note{"RA", "register RA: right bus only (RB RA), destination SA"},
    Note{"RAP", "register RAP: right bus only (RB RAP), destination SAP"},
    Note{"RB", "register RB: left bus only (LB RB), destination SB"},
    Note{"RBP", "register RBP: left bus only (LB RBP), destination SBP"},
    Note{"PC", "register PC: left bus only (LB PC), destination PCS"},
    Note{"IO", "IO on the left bus (LB IO); `IO :=` LBUS or a source: exception LIO; `EXECUTE IO`: EIO"},
    Note{"IR", "IR on the left bus (LB IR); `IR :=` LBUS or a source: exception LIR"},
    Note{"MM", "the main-memory data on the left bus (LB MM), as a `READ` clause fetches it"},
    Note{"FSR", "FSR on the left bus (LB FSR)"},
    Note{"ZERO", "nothing on the left bus (LB NLB)"},
    Note{"LBUS", "in `IR := LBUS`, `IO := LBUS`: what the transfer puts on the left bus"},
    Note{"RBUS", "in `C := RBUS`: what the transfer puts on the right bus (EX SC)"},
    Note{"SLL", "shift SLL (SH SLL)"},
    Note{"SRL", "shift SRL (SH SRL)"},
    Note{"SLA", "shift SLA (SH SLA)"},
    Note{"SRA", "shift SRA (SH SRA)"},
    Note{"SNX", "shift SNX (SH SNX)"},
    Note{"SWP", "shift SWP (SH SWP)"},
    Note{"NSH", "no shift (SH NSH)"},
    Note{"ZER", "test condition ZER, after `IF` (TS ZER)"},
    Note{"NEG", "test condition NEG, after `IF` (TS NEG)"},
    Note{"CRY", "test condition CRY, after `IF` (TS CRY); `WITH CRY`: exception ASC"},
    Note{"OV", "test condition OV, after `IF` (TS OV); `SET OV`: exception OV"},
    Note{"T", "test condition T, after `IF` (TS T); `T := 1`: exception ST, `T := 0`: RT"},
    Note{"CZ", "test condition CZ, after `IF` (TS CZ)"},
    Note{"C", "the counter, at the start of a clause line: `C - 1` (EX CM1), `C :=` RBUS, register or number (EX SC)"},
    Note{"FLAG", "`FLAG SAVE`: exception FLS"},
    Note{"SAVE", "`FLAG SAVE`: exception FLS"},
    Note{"WITH", "`WITH CRY` (EX ASC), `WITH ONE` (EX AS1)"},
    Note{"ONE", "`WITH ONE`: exception AS1"},
    Note{"EXECUTE", "`EXECUTE IO`: exception EIO"},
    Note{"IRB", "`IRB + 1` (EX INB), `IRB - 1` (EX DCB)"},
    Note{"HLT", "`SET HLT`: exception HLT"},
    Note{"NEX", "`NEX`: no exception, written explicitly (EX NEX)"},
};

// From the assembly guide: the operands and encodings (section 4) and the
// pseudo-instructions (section 5). r register, x index register, n number,
// a address (stored as a displacement from the instruction), dev device.
constexpr std::array kAssemblyNotes{
    Note{"ADD", "`ADD r,n(x)`: operation 0, modifier x, register r, operand byte n"},
    Note{"SUB", "`SUB r,n(x)`: operation 1, modifier x, register r, operand byte n"},
    Note{"AND", "`AND r,n(x)`: operation 2, modifier x, register r, operand byte n"},
    Note{"OR", "`OR r,n(x)`: operation 3, modifier x, register r, operand byte n"},
    Note{"XOR", "`XOR r,n(x)`: operation 4, modifier x, register r, operand byte n"},
    Note{"MULT", "`MULT r,n(x)`: operation 6, modifier x, register r, operand byte n"},
    Note{"DIV", "`DIV r,n(x)`: operation 7, modifier x, register r, operand byte n"},
    Note{"CMP", "`CMP r,n(x)`: operation 8, modifier x, register r, operand byte n"},
    Note{"EX", "`EX r,n(x)`: operation F, modifier x, register r, operand byte n"},
    Note{"LC", "`LC r,n`: operation 9, modifier 3, register r, unsigned operand byte n"},
    Note{"PUSH", "`PUSH r,n`: operation D, modifier 0, register r, unsigned operand byte n"},
    Note{"POP", "`POP r,n`: operation D, modifier 1, register r, unsigned operand byte n"},
    Note{"SL", "`SL r,±n`: operation 5, modifier 0, register r, signed operand byte n"},
    Note{"SA", "`SA r,±n`: operation 5, modifier 1, register r, signed operand byte n"},
    Note{"SC", "`SC r,±n`: operation 5, modifier 2, register r, signed operand byte n"},
    Note{"BIX", "`BIX r,±n`: operation D, modifier 2, register r, signed operand byte n"},
    Note{"LEA", "`LEA r,±n(x)`: operation A, modifier x, register r, operand byte n; the index register is required"},
    Note{"LX", "`LX r,±n(x)`: operation B, modifier x, register r, operand byte n; the index register is required"},
    Note{"STX", "`STX r,±n(x)`: operation C, modifier x, register r, operand byte n; the index register is required"},
    Note{"L", "`L r,a`: operation 9, modifier 0, register r, displacement to a"},
    Note{"ST", "`ST r,a`: operation 9, modifier 1, register r, displacement to a"},
    Note{"LA", "`LA r,a`: operation 9, modifier 2, register r, displacement to a"},
    Note{"BDIS", "`BDIS a`: operation D, modifier 3, displacement to a"},
    Note{"BP", "`BP a`: branch, word E0 and the displacement to a"},
    Note{"BZ", "`BZ a`: branch, word E1 and the displacement to a"},
    Note{"BM", "`BM a`: branch, word E2 and the displacement to a"},
    Note{"BC", "`BC a`: branch, word E3 and the displacement to a"},
    Note{"BNP", "`BNP a`: branch, word E4 and the displacement to a"},
    Note{"BNZ", "`BNZ a`: branch, word E5 and the displacement to a"},
    Note{"BNM", "`BNM a`: branch, word E6 and the displacement to a"},
    Note{"BNC", "`BNC a`: branch, word E7 and the displacement to a"},
    Note{"B", "`B a`: branch, word E8 and the displacement to a"},
    Note{"BI", "`BI a`: branch, word E9 and the displacement to a"},
    Note{"BSR", "`BSR a`: branch to a subroutine, word EA and the displacement to a"},
    Note{"RET", "`RET`: return from a subroutine, word EB00"},
    Note{"RIO", "`RIO dev`: input from a device (CR, LPT or 0..255), word EC and the device"},
    Note{"WIO", "`WIO dev`: output to a device (CR, LPT or 0..255), word ED and the device"},
    Note{"NOP", "`NOP`: no operation, word EE00"},
    Note{"HLT", "`HLT`: halt, word EF00"},
    Note{"DC", "`DC` constant: one word holding a number, a label's address or two characters"},
    Note{"DS", "`DS n`: n words of 0000; n in decimal, 0 to 65536"},
    Note{"ORG", "`ORG hex`: sets the location counter (hexadecimal digits, no X\"); no word"},
    Note{"TITLE", "`TITLE name`: names the program; only as the first statement"},
    Note{"END", "`END`: the last statement; lines after it are not read"},
    Note{"CR", "device CR, number 0, for `RIO` and `WIO`"},
    Note{"LPT", "device LPT, number 1, for `RIO` and `WIO`"},
};

template <std::size_t N>
std::string_view Find(const std::array<Note, N>& notes, std::string_view word) {
    for (const Note& note : notes) {
        if (note.first == word) return note.second;
    }
    return {};
}

}  // namespace

std::string_view MicroprogramNote(std::string_view word) { return Find(kMicroprogramNotes, word); }

std::string_view AssemblyNote(std::string_view word) { return Find(kAssemblyNotes, word); }

}  // namespace lsp
