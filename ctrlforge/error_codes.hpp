#pragma once
// The numbers of ctrlforge's source errors, and the places that find them.
#include <cstddef>
#include <cstdint>

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

// The place that found an error: it chooses the diagnostic's message (one
// error number may have several), never the listing's error line.
enum class Cause : std::uint8_t {
    LabelTwice,                                     // 1
    TitleMissing, TitleName,                        // 2
    TitleEnd, HeadingEnd, SequencingEnd, MemoryEnd, TransferEnd, ExceptionEnd,  // 3
    IfCondition, IfEqual, IfValue,                  // 4
    IfThen,                                         // 5
    IfLabel, BranchLabel,                           // 6
    ElseAfterOne,                                   // 7
    ElseNotFetch,                                   // 8
    LiteralUnderBranch,                             // 9
    LiteralOverflow,                                // 10
    TransferAssign, Expression, LoadAssign, LoadSource, FlagAssign, FlagNotNumber,  // 11
    CounterRightBus,                                // 12
    SetWord, SetLater, CounterForm, CounterStep, CounterSource, KeywordPair, WithWord, FlagValue,
    StepSign, StepOne,                              // 13
    LoadLeftBus,                                    // 14
    AfterLongLiteral, CounterLiteral,               // 15
    HeadingColon, BeforeFirstHeading, LineBeginsNoClause,  // 16
    AddressOrder,                                   // 17
    AddressTooLong, AddressPastStore,               // 18
    NoEnd,                                          // 19
    Undeclared,                                     // 20
    AfterEnd,                                       // 21
};

// An error reported at the current token, not at a place given.
inline constexpr std::size_t kAtToken = static_cast<std::size_t>(-1);

}  // namespace ctrlforge
