#include "lsp/error_fixes.hpp"

#include <array>
#include <utility>

#include "cli/warnings.hpp"

namespace lsp {

namespace {

using Fix = std::pair<std::string_view, std::string_view>;

// ctrlforge, by tag (microprogramming guide, section 13).
constexpr std::array kMicroprogramFixes{
    Fix{"E1", "rename one of the labels; only their first eight characters count"},
    Fix{"E2", "start the program with `.TITLE NAME`, where NAME is no keyword"},
    Fix{"E3", "one clause per line, comments after `;`; a keyword cannot be a label"},
    Fix{"E4", "write a condition (ZER, NEG, CRY, OV, T, CZ), `=` and 0 or 1, as in `IF CRY = 1 THEN L`"},
    Fix{"E5", "add `THEN` and the label after the condition"},
    Fix{"E6", "name the target label (GOTO also takes FETCH); move `IRA + 1` after another clause line"},
    Fix{"E7", "test for 0 (`IF ZER = 0 THEN L ELSE FETCH`), or drop `ELSE FETCH`"},
    Fix{"E8", "`ELSE FETCH` is the only form; to branch elsewhere use a second statement"},
    Fix{"E9", "move the literal into a statement of its own, or use a register: the branch address takes LT"},
    Fix{"E10", "use at most four hexadecimal digits"},
    Fix{"E11", "write one of the transfer forms: `R1 := R2`, `R1 := R2 + R3`, `R1 := SLL R2`, `R1 := R2 + : SLL R3`"},
    Fix{"E12", "move one of them to another statement, or use `C := RBUS`"},
    Fix{"E13", "use one of the exception clauses: `C - 1`, `C := ...`, `FLAG SAVE`, `WITH CRY`, `T := 1`, `SET HLT` ..."},
    Fix{"E14", "use `IR := LBUS` (or `IO := LBUS`), or move the load to another statement"},
    Fix{"E15", "move the exception clause or the long literal to another statement"},
    Fix{"E16", "keep the clause order (sequencing, memory, transfer, exception) and start a new statement with `*`"},
    Fix{"E17", "give addresses in increasing order, or leave them out"},
    Fix{"E18", "keep addresses within 000..FFF"},
    Fix{"E19", "end the program with `.END` on a line of its own"},
    Fix{"E20", "define the label in a heading (`* NAME:`), or correct its spelling"},
    Fix{"E21", "remove what follows `.END`, or move `.END` to the end"},
};

// wordforge's flag F, by the start of its message (assembly guide,
// section 12).
constexpr std::array kAssemblyFixes{
    Fix{"register ", "use registers 0 to 3"},
    Fix{"missing comma", "put a comma after the register: `ADD 1,5`"},
    Fix{"an operand cannot begin", "write the operand the instruction takes (section 4 of the guide)"},
    Fix{"'\"' missing", "write the base letter with its quote: `X\"5`"},
    Fix{"operand missing", "write the number after the sign, or the constant"},
    Fix{"missing ')'", "close the index register: `5(2)`"},
    Fix{"an index register", "LEA, LX and STX need the index register: `LEA 1,5(0)`"},
    Fix{"undefined label", "define the label, or correct its spelling"},
    Fix{"unknown device", "use CR, LPT or a number 0 to 255"},
    Fix{"device ", "use CR, LPT or a number 0 to 255"},
    Fix{"DS needs", "give the count in decimal digits: `DS 5`"},
    Fix{"DS count", "give a count from 0 to 65536"},
    Fix{"unknown mnemonic", "check the spelling; mnemonics must be written exactly"},
    Fix{"label ", "add a mnemonic after the label, or put it on the next instruction"},
    Fix{"TITLE is allowed", "move TITLE to the top; only comment lines may come before it"},
    Fix{"a line must begin", "start statements with a letter, comments with `;`"},
    Fix{"blank line", "remove the empty line, or make it a comment line (`;`)"},
    Fix{"END missing", "end the program with END"},
    Fix{"the source ends", "end the program with END"},
};

// Warnings of both programs, by name (the guides' warning sections).
constexpr std::array kWarningFixes{
    Fix{"truncation", "write a value that fits the field: at most 16 bits (8 in an operand byte)"},
    Fix{"replaced-exception", "keep one exception clause per statement; put the other into a statement of its own"},
    Fix{"org", "write the address as hexadecimal digits only: `ORG 40`"},
    Fix{"overlap", "move the second part to free addresses, or remove the first word"},
    Fix{"branch-page", "keep the branch and its target in one 512-word page, or branch to a statement in this page "
                       "that holds `GOTO` to the target"},
    Fix{"trailing-text", "put notes after a `;`, and write the operand in full"},
};

template <std::size_t N>
std::string_view Lookup(const std::array<Fix, N>& fixes, std::string_view key, bool prefix) {
    for (const Fix& fix : fixes) {
        if (prefix ? key.rfind(fix.first, 0) == 0 : key == fix.first) return fix.second;
    }
    return {};
}

}  // namespace

std::string_view FixFor(Language language, const common::Diagnostic& diagnostic) {
    const std::string_view tag = diagnostic.tag;
    if (tag.rfind("-W", 0) == 0) {
        std::string_view name = cli::WarningName(diagnostic);
        if (name.rfind("error=", 0) == 0) name.remove_prefix(6);
        return Lookup(kWarningFixes, name, false);
    }
    if (language == Language::Microprogram) {
        if (!tag.empty()) return Lookup(kMicroprogramFixes, tag, false);
        // The two errors without a number: an illegal character, and a
        // heading's address that cannot be kept.
        const std::string_view message = diagnostic.message;
        if (message.find(" cannot begin a line") != std::string_view::npos ||
            message.find(" cannot stand ") != std::string_view::npos) {
            return "remove the character, or put the text after `;`";
        }
        return "leave the address out and let ctrlforge place the word, or give one that fits the alignment rules";
    }
    if (tag == "L") return "move the target closer, or branch in two steps: the displacement is -128..127";
    if (tag == "D") return "rename one of the labels; only their first eight characters count";
    return Lookup(kAssemblyFixes, diagnostic.message, true);
}

}  // namespace lsp
