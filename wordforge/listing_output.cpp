#include "listing_output.hpp"

#include "operand_readers.hpp"

namespace wordforge {

void FlagError(WordRun& run, char flag) {
    ListingLine& line = run.line;
    PadTo(line, 2);
    if (line.text[0] == ' ') {
        line.text[0] = flag;
    } else {
        line.text[1] = flag;
    }
    ++run.errorCount;
}

void ShowRestOfLine(WordRun& run) { CopyRest(run, {}, false); }

void FinishWithComment(WordRun& run) {
    SkipToCommentOrLineEnd(run.reader);
    if (run.reader.current == ';') {
        PadOrCut(run.line, kCommentColumn - 1);
        CopyRest(run, {}, true);
    }
}

void WriteListingLine(WordRun& run) {
    run.listing->Write(Text(run.line));
    run.listing->LineEnd();
}

void WriteObjectLine(WordRun& run, std::int32_t address, std::int32_t word) {
    char text[10];
    std::string hexAddress = HexWord(address);
    std::string hexWord = HexWord(word);
    for (int i = 0; i < 4; ++i) {
        text[i] = hexAddress[static_cast<std::size_t>(i)];
        text[6 + i] = hexWord[static_cast<std::size_t>(i)];
    }
    text[4] = ' ';
    text[5] = ' ';
    run.object->Write(std::string_view(text, 10));
    run.object->LineEnd();
}

}  // namespace wordforge
