#include "ctrlforge/placement.hpp"

#include <string>

#include "ctrlforge/diagnostic_text.hpp"
#include "ctrlforge/tokens.hpp"

namespace ctrlforge {

namespace {

void PlacementFailed(CtrlRun& run, const MicroWord& word, PlacementProblem problem, int address, int nextFree,
                     const MicroWord* moved) {
    if (run.diagnostics != nullptr) RecordPlacementFailure(run, word, problem, address, nextFree, moved);
    if (run.options.S) {
        // Written where the listing stands, with no line end before it.
        run.listing->Write("ERROR: INVALID SPECIFIED ADDRESS IN ");
        run.listing->Write(std::to_string(word.address));
        run.listing->LineEnd();
    }
    run.AssemblyFailed = true;
}

}  // namespace

// A given address must be at least nextFree and obey the word's class; a word
// without one is placed by its class. The four alignment rules:
// - unlabelled, labelled, or the target of GOTO, CALL or IF: any address;
//   placed at nextFree;
// - IRA target: (address div 4) mod 4 = 0; placed in the next 16-word block,
//   keeping the low two bits of nextFree;
// - IOP target: address mod 16 = 0; placed at the start of the next 16-word
//   block;
// - IAB target: address mod 64 < 4; placed at the start of the next 64-word
//   block.
// An aligned target placed by its class always moves on to the next block,
// even when nextFree is on a boundary already.
void PlaceWords(CtrlRun& run) {
    if (run.words.empty()) return;
    // Counts in int: a word may land above the store before the check.
    int nextFree = run.words.front().address;
    const MicroWord* moved = nullptr;  // the last word alignment moved up, for the messages
    for (MicroWord& word : run.words) {
        int address = word.address;
        bool fail = false;
        bool aligned = false;
        switch (word.labelClass) {
            case IraTarget:
                if (word.addressGiven) {
                    fail = address < nextFree || (address / 4) % 4 != 0;
                } else {
                    address = nextFree - nextFree % 16 + 16 + nextFree % 4;
                    aligned = true;
                }
                break;
            case IopTarget:
                if (word.addressGiven) {
                    fail = address < nextFree || address % 16 != 0;
                } else {
                    address = nextFree - nextFree % 16 + 16;
                    aligned = true;
                }
                break;
            case IabTarget:
                if (word.addressGiven) {
                    fail = address < nextFree || address % 64 >= 4;
                } else {
                    address = nextFree - nextFree % 64 + 64;
                    aligned = true;
                }
                break;
            default:
                if (word.addressGiven) {
                    fail = address < nextFree;
                } else {
                    address = nextFree;
                }
                break;
        }
        if (fail) {
            PlacementFailed(run, word, address < nextFree ? PlacementProblem::Taken : PlacementProblem::Misaligned,
                            address, nextFree, moved);
            return;
        }
        word.address = static_cast<std::int16_t>(address);
        if (aligned) moved = &word;
        nextFree = address + 1;
        if (nextFree - 1 > kLastAddress) {
            run.console += "ADRS OVER\n";
            PlacementFailed(run, word, PlacementProblem::PastStore, address, nextFree, moved);
            return;
        }
        ++run.placedWords;
    }
}

}  // namespace ctrlforge
