#include "token_reader.hpp"

#include "keywords.hpp"

namespace ctrlforge {

bool IsLetter(unsigned char c) { return c >= 'A' && c <= 'Z'; }

int DigitValue(unsigned char c) { return c <= '9' ? c - '0' : c - 'A' + 10; }

bool IsDigitOf(unsigned char c, int base) {
    switch (base) {
        case 2: return c == '0' || c == '1';
        case 10: return c >= '0' && c <= '9';
        default: return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
    }
}

// The source ends at its physical end or at the first byte 26; from there on
// every read yields 26. A line feed not directly preceded by a carriage return
// reads as a carriage return followed by that line feed, so a source with
// LF-only line ends reads exactly like its CR LF twin.
void NextChar(CtrlRun& run) {
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

// Copies the current character and always at least one more, up to and
// including the line feed or the end-of-file mark.
void SkipRestOfLine(CtrlRun& run) {
    CopyToListing(run, run.CurChar);
    do {
        NextChar(run);
        CopyToListing(run, run.CurChar);
    } while (run.CurChar != '\n' && run.CurChar != kEndOfFile);
    if (run.CurChar == '\n') NextChar(run);
}

void ReadNumber(CtrlRun& run, int base) {
    if (IsDigitOf(run.CurChar, base)) {
        // The first digit has been copied already.
        run.TokenValue = static_cast<std::int16_t>(DigitValue(run.CurChar));
        NextChar(run);
    }
    bool noSignSeen = true;
    while (IsDigitOf(run.CurChar, base)) {
        CopyToListing(run, run.CurChar);
        if (run.TokenValue < 0) noSignSeen = false;
        int next = static_cast<int>(static_cast<std::uint16_t>(run.TokenValue)) * base + DigitValue(run.CurChar);
        run.TokenValue = static_cast<std::int16_t>(static_cast<std::uint16_t>(next));
        if (run.TokenValue > 0 && !noSignSeen) run.StatementError = true;
        NextChar(run);
    }
    run.TokenCode = TokNumber;
}

void ReadDirective(CtrlRun& run) {
    NextChar(run);
    char word[6] = {' ', ' ', ' ', ' ', ' ', ' '};
    int count = 0;
    while (IsLetter(run.CurChar) && count < 5) {
        word[count++] = static_cast<char>(run.CurChar);
        CopyToListing(run, run.CurChar);
        NextChar(run);
    }
    std::string_view text(word, 6);
    if (text == "TITLE ") {
        run.TokenCode = TokTitle;
    } else if (text == "END   ") {
        run.TokenCode = TokEnd;
    } else {
        // Any other ".word" line is ignored like a comment.
        SkipRestOfLine(run);
        run.TokenCode = TokSkip;
    }
}

namespace {

bool IsTokenStart(unsigned char c) {
    switch (c) {
        case '$': case '*': case '+': case '-': case '.': case ':': case ';': case '=': case '@':
            return true;
        default:
            return (c >= '0' && c <= '9') || IsLetter(c);
    }
}

void Simple(CtrlRun& run, std::uint8_t code) {
    run.TokenCode = code;
    NextChar(run);
}

}  // namespace

void ReadToken(CtrlRun& run) {
    for (;;) {
        while (run.CurChar == ' ' || run.CurChar == '\t') {
            CopyToListing(run, run.CurChar);
            NextChar(run);
        }
        if (run.CurChar == kEndOfFile) {
            run.TokenCode = TokEof;
            ListingLineEnd(run);
            return;
        }
        if (run.CurChar == '\r') {
            run.TokenCode = TokEol;
            NextChar(run);  // the line feed, neither examined nor copied
            ListingLineEnd(run);
            NextChar(run);
            return;
        }
        if (!IsTokenStart(run.CurChar)) {
            // Reported in the listing only; the run does not fail.
            SkipRestOfLine(run);
            ListingText(run, "ERROR: ILLEGAL CHARACTER");
            ListingLineEnd(run);
            run.TokenCode = TokSkip;
            continue;
        }
        CopyToListing(run, run.CurChar);
        switch (run.CurChar) {
            case '+': Simple(run, TokPlus); break;
            case '-': Simple(run, TokMinus); break;
            case '$': Simple(run, TokDollar); break;
            case '@': Simple(run, TokAt); break;
            case '*': Simple(run, TokStar); break;
            case '=': Simple(run, TokEqual); break;
            case ':':
                NextChar(run);
                if (run.CurChar == '=') {
                    NextChar(run);
                    CopyToListing(run, '=');
                    run.TokenCode = TokAssign;
                } else {
                    run.TokenCode = TokColon;
                }
                break;
            case ';':
                run.TokenCode = TokSemicolon;
                NextChar(run);
                SkipRestOfLine(run);
                break;
            case '.':
                ReadDirective(run);
                break;
            default:
                if (run.CurChar <= '9') {
                    ReadNumber(run, 16);
                } else if (run.CurChar <= 'F') {
                    ReadWordAF(run);
                } else {
                    ReadWordGZ(run);
                }
                break;
        }
        if (run.TokenCode != TokSkip) return;
    }
}

}  // namespace ctrlforge
