#include "wordforge/pass1.hpp"

#include <algorithm>

#include "wordforge/operand_readers.hpp"

namespace wordforge {

namespace {

void DefineLineLabel(WordRun& run, const Word& name) {
    if (!DefineLabel(run.symbols, name, run.location)) {
        run.duplicateLines.push_back(run.reader.line);
        ++run.errorCount;
    } else if (run.diagnostics != nullptr) {
        common::FindOrAddName(run.definitionLines, LabelKey(name), run.reader.line);
    }
}

// How many labels the source may define: every definition has its colon,
// so the colons bound them (those in comments and text only add room). Past
// one colon in 16 bytes the table grows as needed instead, so that a source
// full of colons costs no outsized table.
std::size_t EstimateLabelCount(std::string_view text) {
    // Counted in blocks small enough for a one-byte count, which the compiler
    // keeps in vector lanes 16 bytes at a time.
    constexpr std::size_t kBlock = 240;
    std::size_t colons = 0;
    for (std::size_t start = 0; start < text.size(); start += kBlock) {
        const std::size_t end = std::min(text.size(), start + kBlock);
        std::uint8_t inBlock = 0;
        for (std::size_t i = start; i < end; ++i) inBlock = static_cast<std::uint8_t>(inBlock + (text[i] == ':'));
        colons += inBlock;
    }
    return std::min(colons, text.size() / 16);
}

// Only DS, ORG, TITLE and END take other than one address (or stop the
// pass), so only a word beginning as they do needs looking up; any other
// word, a mnemonic or not, takes one address.
bool MayCountOtherwise(char first) {
    return first == 'D' || first == 'O' || first == 'T' || first == 'E';
}

// The commonest line, a statement without label whose word cannot be DS,
// ORG, TITLE or END, passed over on the raw bytes: blanks, a word that
// begins with a letter, blanks and then no colon. Such a line takes one
// address, and the reader is put on its line end only once the line is
// known to be one; for any other line (and the last one, which may end
// the text) it returns false with the reader untouched.
bool PassPlainLine(WordRun& run, bool& statementSeen) {
    SourceReader& reader = run.reader;
    const std::string_view text = reader.text;
    const std::size_t first = BlanksEnd(text, reader.position);
    if (first >= text.size()) return false;
    const char letter = UpperCase(text[first]);
    if (!IsLetter(letter) || MayCountOtherwise(letter)) return false;
    std::size_t after = first + 1;
    while (after < text.size() && IsClass(text[after], kWordByte)) ++after;
    const std::size_t next = BlanksEnd(text, after);
    if (next >= text.size() || text[next] == ':') return false;
    const std::size_t end = LineEndFrom(text, next);
    if (end >= text.size()) return false;
    statementSeen = true;
    run.location = WrapAdd(run.location, 1);
    StepOntoLineEnd(reader, end);
    return true;
}

}  // namespace

void Pass1(WordRun& run) {
    SourceReader& reader = run.reader;
    Rewind(reader);
    ReserveLabels(run.symbols, EstimateLabelCount(reader.text));
    run.location = 0;
    run.titleFirst = false;
    bool statementSeen = false;  // a line other than a comment line has been read
    for (;;) {
        if (PassPlainLine(run, statementSeen)) continue;
        NextCharSkippingBlanks(reader);
        int mnemonic = kNoMnemonic;
        if (IsLetter(reader.current)) {
            Word word;
            ReadWord(reader, word);
            SkipBlanks(reader);
            bool labelled = false;
            if (reader.current == ':') {
                labelled = true;
                DefineLineLabel(run, word);
                NextChar(reader);
                SkipBlanks(reader);
                ReadWord(reader, word);
            }
            if (MayCountOtherwise(word.text[0])) mnemonic = LookUpMnemonic(word);
            bool firstStatement = !statementSeen;
            statementSeen = true;
            // Only DS and ORG read on, so only they skip the blanks before
            // their operand; every other line is left as it stands.
            if (mnemonic == kDs) {
                SkipBlanks(reader);
                std::int32_t count = ReadDecimal(run, false);
                if (StorageCountInRange(count)) run.location = WrapAdd(run.location, count);
            } else if (mnemonic == kOrg) {
                SkipBlanks(reader);
                run.location = ReadHex(run, false);
            } else if (mnemonic == kTitle && firstStatement && !labelled) {
                run.titleFirst = true;  // the title line takes no address
            } else {
                run.location = WrapAdd(run.location, 1);
            }
        } else if (reader.current != ';') {
            // An error line in pass 2, which gives it one address.
            statementSeen = true;
            run.location = WrapAdd(run.location, 1);
        }
        SkipToLineEnd(reader);
        if (mnemonic == kEnd || reader.current == kFileEnd) break;
    }
}

}  // namespace wordforge
