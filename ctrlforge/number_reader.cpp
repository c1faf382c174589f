#include "ctrlforge/number_reader.hpp"

#include <string>

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
    // The whole value, to tell a number that loses digits without the mark.
    std::uint32_t whole = static_cast<std::uint16_t>(run.TokenValue);
    ListingSpan copy(run);
    while (IsDigitOf(run.CurChar, base)) {
        copy.Put(run.CurChar);
        if (run.TokenValue < 0) noSignSeen = false;
        int next = static_cast<int>(static_cast<std::uint16_t>(run.TokenValue)) * base + DigitValue(run.CurChar);
        run.TokenValue = static_cast<std::int16_t>(static_cast<std::uint16_t>(next));
        if (run.TokenValue > 0 && !noSignSeen) overflow = true;
        whole = whole > 0xFFFFu ? whole : whole * static_cast<std::uint32_t>(base) + static_cast<std::uint32_t>(DigitValue(run.CurChar));
        NextChar(run);
    }
    run.TokenOverflow = overflow;
    run.TokenCode = TokNumber;
    if (whole > 0xFFFFu && !overflow && run.diagnostics != nullptr && common::WantsWarning(*run.diagnostics, "truncation")) {
        WarnTruncation(run);
    }
}

namespace {

std::string Hex4(std::uint16_t value) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string text(4, '0');
    for (int i = 3; i >= 0; --i, value = static_cast<std::uint16_t>(value >> 4)) text[static_cast<std::size_t>(i)] = kHex[value & 0xF];
    return text;
}

}  // namespace

void WarnTruncation(CtrlRun& run) {
    std::string digits;
    for (std::size_t at = run.tokenStart; at < run.source.size() && at < CurCharOffset(run); ++at) {
        char c = run.source[at];
        digits += c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    }
    common::Record(*run.diagnostics, run.tokenStart, common::Severity::Warning, "-Wtruncation",
                   "number " + digits + " does not fit in 16 bits; " +
                       Hex4(static_cast<std::uint16_t>(run.TokenValue)) + " is used");
}

}  // namespace ctrlforge
