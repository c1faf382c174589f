#pragma once
// Reading the source one character at a time: the look-ahead CurChar, the
// character classes, and the skip over the rest of a line.
#include "ctrlforge/run_state.hpp"

namespace ctrlforge {

constexpr unsigned char kEndOfFile = 26;

inline bool IsLetter(unsigned char c) { return c >= 'A' && c <= 'Z'; }

inline int DigitValue(unsigned char c) { return c <= '9' ? c - '0' : c - 'A' + 10; }

inline bool IsDigitOf(unsigned char c, int base) {
    switch (base) {
        case 2: return c == '0' || c == '1';
        case 10: return c >= '0' && c <= '9';
        default: return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
    }
}

// Reads one character of the source into CurChar, upper-cased. The source
// ends at its physical end or at the first byte 26; from there on every read
// yields 26. A line feed not directly preceded by a carriage return reads as
// a carriage return followed by that line feed, so a source with LF-only line
// ends reads exactly like its CR LF twin.
inline void NextCharFull(CtrlRun& run) {
    if (run.pendingLineFeed) {
        run.pendingLineFeed = false;
        run.CurChar = '\n';
        return;
    }
    if (run.pos >= run.source.size()) {
        run.CurChar = kEndOfFile;
        return;
    }
    unsigned char c = static_cast<unsigned char>(run.source[run.pos]);
    if (c == kEndOfFile) {
        run.CurChar = kEndOfFile;
        return;
    }
    ++run.pos;
    if (c == '\n' && (run.pos < 2 || run.source[run.pos - 2] != '\r')) {
        run.pendingLineFeed = true;
        run.CurChar = '\r';
        return;
    }
    if (c >= 'a' && c <= 'z') c = static_cast<unsigned char>(c - 'a' + 'A');
    run.CurChar = c;
}

// Bytes that NextCharFull passes through unchanged: all but the lower-case
// letters, the line feed and the end-of-file mark.
struct PlainBytes {
    bool plain[256];
    constexpr PlainBytes() : plain{} {
        for (int c = 0; c < 256; ++c) plain[c] = !(c >= 'a' && c <= 'z') && c != '\n' && c != kEndOfFile;
    }
};
inline constexpr PlainBytes kPlainBytes{};

// Where CurChar stands in the source: the byte it was read from (the line
// feed for the carriage return a lone line feed reads as), or the end.
inline std::size_t CurCharOffset(const CtrlRun& run) {
    return run.CurChar == kEndOfFile || run.pos == 0 ? run.pos : run.pos - 1;
}

// NextCharFull with a short path for the common case.
inline void NextChar(CtrlRun& run) {
    if (!run.pendingLineFeed && run.pos < run.source.size()) {
        unsigned char c = static_cast<unsigned char>(run.source[run.pos]);
        if (kPlainBytes.plain[c]) {
            ++run.pos;
            run.CurChar = c;
            return;
        }
    }
    NextCharFull(run);
}

// Consumes the rest of the line CurChar stands on, copying it to the listing
// with its line end; CurChar is then the first character of the next line.
void SkipRestOfLine(CtrlRun& run);

}  // namespace ctrlforge
