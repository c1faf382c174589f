#include "ctrlforge/source_reader.hpp"

namespace ctrlforge {

// Copies the current character and always at least one more, up to and
// including the line feed or the end-of-file mark.
void SkipRestOfLine(CtrlRun& run) {
    {
        ListingSpan copy(run);
        copy.Put(run.CurChar);
        do {
            NextChar(run);
            copy.Put(run.CurChar);
        } while (run.CurChar != '\n' && run.CurChar != kEndOfFile);
    }
    if (run.CurChar == '\n') NextChar(run);
}

}  // namespace ctrlforge
