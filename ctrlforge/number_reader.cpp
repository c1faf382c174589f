#include "ctrlforge/number_reader.hpp"

#include "ctrlforge/source_reader.hpp"

namespace ctrlforge {

void ReadNumber(CtrlRun& run, int base) {
    if (IsDigitOf(run.CurChar, base)) {
        // The first digit has been copied already.
        run.TokenValue = static_cast<std::int16_t>(DigitValue(run.CurChar));
        NextChar(run);
    }
    bool noSignSeen = true;
    ListingSpan copy(run);
    while (IsDigitOf(run.CurChar, base)) {
        copy.Put(run.CurChar);
        if (run.TokenValue < 0) noSignSeen = false;
        int next = static_cast<int>(static_cast<std::uint16_t>(run.TokenValue)) * base + DigitValue(run.CurChar);
        run.TokenValue = static_cast<std::int16_t>(static_cast<std::uint16_t>(next));
        if (run.TokenValue > 0 && !noSignSeen) run.StatementError = true;
        NextChar(run);
    }
    run.TokenCode = TokNumber;
}

}  // namespace ctrlforge
