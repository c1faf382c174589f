#pragma once
#include <cstdint>
#include <string>

#include "ctrlforge/run_state.hpp"

namespace ctrlforge {

// The source errors, by the number their listing line shows.
enum class CtrlError : std::uint8_t {
    LabelAlreadyDefined = 1,
    IllegalProgramTitle = 2,
    MissingTerminator = 3,  // something follows a complete heading, title or clause on its line
    IllegalTestCondition = 4,
    NoThenClause = 5,
    LabelExpected = 6,
    IllegalIf = 7,
    ElseNotFetch = 8,
    LtFieldDefined = 9,
    LiteralOutOfRange = 10,
    IllegalExpression = 11,
    RbFieldDefined = 12,
    IllegalException = 13,
    LbFieldDefined = 14,
    ExFieldDefined = 15,
    IllegalStatement = 16,  // a bad heading, or a line that begins no allowed clause
    AddressOverlapped = 17,
    AddressOutOfLimit = 18,
    EndExpected = 19,
    LabelNotDeclared = 20,
    IllegalProgramEnding = 21,
};

// The listing text of an error line, without its line end. `name` is used by
// LabelNotDeclared only.
std::string ErrorLine(CtrlError error, const Name* name = nullptr);

// The one place where source errors are reported: skips the rest of the line
// (except for LabelNotDeclared), writes the error line, skips to the next
// "*", ".END" or end of file, and marks the statement and the run as failed.
// Returns true, the parse routines' "an error was reported", so that they can
// end with `return ReportError(...)`. With a diagnostic sink, the error is
// also recorded at the current token, or at `at` when given.
inline constexpr std::size_t kAtToken = static_cast<std::size_t>(-1);
bool ReportError(CtrlRun& run, CtrlError error, const Name* name = nullptr, std::size_t at = kAtToken);

}  // namespace ctrlforge
