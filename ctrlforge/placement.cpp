#include "ctrlforge/placement.hpp"

#include <string>

#include "ctrlforge/tokens.hpp"

namespace ctrlforge {

namespace {

void PlacementFailed(CtrlRun& run, const MicroWord& word) {
    if (run.options.S) {
        // Written where the listing stands, with no line end before it.
        run.listing->Write("ERROR: INVALID SPECIFIED ADDRESS IN ");
        run.listing->Write(std::to_string(word.address));
        run.listing->LineEnd();
    }
    run.AssemblyFailed = true;
}

}  // namespace

void PlaceWords(CtrlRun& run) {
    if (run.words.empty()) return;
    // Counts in int: a word may land above the store before the check.
    int nextFree = run.words.front().address;
    for (MicroWord& word : run.words) {
        int address = word.address;
        bool fail = false;
        switch (word.labelClass) {
            case IraTarget:
                if (word.addressGiven) {
                    fail = address < nextFree || (address / 4) % 4 != 0;
                } else {
                    address = nextFree - nextFree % 16 + 16 + nextFree % 4;
                }
                break;
            case IopTarget:
                if (word.addressGiven) {
                    fail = address < nextFree || address % 16 != 0;
                } else {
                    address = nextFree - nextFree % 16 + 16;
                }
                break;
            case IabTarget:
                if (word.addressGiven) {
                    fail = address < nextFree || address % 64 >= 4;
                } else {
                    address = nextFree - nextFree % 64 + 64;
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
            PlacementFailed(run, word);
            return;
        }
        word.address = static_cast<std::int16_t>(address);
        nextFree = address + 1;
        if (nextFree - 1 > kLastAddress) {
            run.console += "ADRS OVER\n";
            PlacementFailed(run, word);
            return;
        }
    }
}

}  // namespace ctrlforge
