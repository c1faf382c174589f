#include "wordforge/pass1.hpp"

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

}  // namespace

void Pass1(WordRun& run) {
    SourceReader& reader = run.reader;
    Rewind(reader);
    run.location = 0;
    run.titleFirst = false;
    bool statementSeen = false;  // a line other than a comment line has been read
    for (;;) {
        NextChar(reader);
        SkipBlanks(reader);
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
                SkipBlanks(reader);
            }
            mnemonic = LookUpMnemonic(word);
            bool firstStatement = !statementSeen;
            statementSeen = true;
            if (mnemonic == kDs) {
                std::int32_t count = ReadDecimal(run, false);
                if (StorageCountInRange(count)) run.location = WrapAdd(run.location, count);
            } else if (mnemonic == kOrg) {
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
