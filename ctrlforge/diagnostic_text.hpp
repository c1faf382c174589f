#pragma once
// The messages of ctrlforge's diagnostics: each names what was found, quoted
// as the user wrote it, why it cannot stand there and, where one fix is
// likely, that fix. The listing keeps its fixed error lines; only the
// diagnostics speak this way. Called only when the run has a sink; every
// message is built in the sink's room, so printing one costs no allocation.
#include <cstddef>
#include <cstdint>

#include "ctrlforge/error_codes.hpp"
#include "ctrlforge/run_state.hpp"

namespace ctrlforge {

// The bytes of the token that begins at `offset`, as the token reader takes
// it: a word, a number with its base prefix (B"1010), ":=", a character
// (a multi-byte one whole), or nothing at a line end or the end of the
// source.
std::size_t TokenLength(std::string_view source, std::size_t offset);

// An error found at the current token (or at `at`), with the message of the
// place that found it. `name` is error 20's label.
void RecordError(CtrlRun& run, CtrlError error, Cause cause, const Name* name, std::size_t at);

// A character that starts no token, at `offset`.
void RecordIllegalCharacter(CtrlRun& run, std::size_t offset);

// Why placement could not place a word.
enum class PlacementProblem : std::uint8_t {
    Misaligned,  // a given address that breaks the alignment its label needs
    Taken,       // a given address below the next free one
    PastStore,   // the word would land above FFF
};

// A word that cannot be placed at `address`; `nextFree` is the lowest address
// it could have had, and `moved`, when not null, the last word that alignment
// moved up before it.
void RecordPlacementFailure(CtrlRun& run, const MicroWord& word, PlacementProblem problem, int address, int nextFree,
                            const MicroWord* moved);

// A conditional branch whose target lies in another 512-word page: the word
// holds only the low 9 bits of `target`.
void WarnBranchPage(CtrlRun& run, const MicroWord& word, std::uint16_t target);

}  // namespace ctrlforge
