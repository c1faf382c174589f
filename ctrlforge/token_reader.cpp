#include "ctrlforge/token_reader.hpp"

#include "ctrlforge/diagnostic_text.hpp"
#include "ctrlforge/keywords.hpp"
#include "ctrlforge/model_builder.hpp"
#include "ctrlforge/number_reader.hpp"
#include "ctrlforge/source_reader.hpp"

namespace ctrlforge {

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
        if (run.CurChar == ' ' || run.CurChar == '\t') {
            ListingSpan copy(run);
            do {
                copy.Put(run.CurChar);
                NextChar(run);
            } while (run.CurChar == ' ' || run.CurChar == '\t');
        }
        run.tokenStart = CurCharOffset(run);
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
            // Reported in the listing only; the run does not fail. The
            // command line still counts it: the rest of the line is lost.
            if (run.diagnostics != nullptr) RecordIllegalCharacter(run, run.tokenStart);
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
        if (run.TokenCode != TokSkip) {
            if (run.model != nullptr) ModelTokenRead(run);
            return;
        }
        // A line the reader passes over without a token: a "." line, or a
        // word with a quote after it.
        if (run.model != nullptr) ModelIgnoredLine(run);
    }
}

}  // namespace ctrlforge
