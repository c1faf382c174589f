#include "ctrlforge/number_reader.hpp"

#include "ctrlforge/source_reader.hpp"

namespace ctrlforge {

void ReadNumber(CtrlRun& run, int base) {
    if (IsDigitOf(run.CurChar, base)) {
        // The first digit has been copied already.
        run.TokenValue = static_cast<std::int16_t>(DigitValue(run.CurChar));
        NextChar(run);
    }
    // Overflow: some value had bit 15 set and a later digit brought the value
    // back above zero. So 8000 to 0FFFF are 16-bit patterns, while a fifth
    // digit after 8000 to FFFF overflows unless it leaves 0.
    bool noSignSeen = true;
    bool overflow = false;
    ListingSpan copy(run);
    while (IsDigitOf(run.CurChar, base)) {
        copy.Put(run.CurChar);
        if (run.TokenValue < 0) noSignSeen = false;
        int next = static_cast<int>(static_cast<std::uint16_t>(run.TokenValue)) * base + DigitValue(run.CurChar);
        run.TokenValue = static_cast<std::int16_t>(static_cast<std::uint16_t>(next));
        if (run.TokenValue > 0 && !noSignSeen) overflow = true;
        NextChar(run);
    }
    run.TokenOverflow = overflow;
    run.TokenCode = TokNumber;
}

}  // namespace ctrlforge
