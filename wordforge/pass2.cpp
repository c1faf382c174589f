#include "wordforge/pass2.hpp"

#include <algorithm>
#include <cstring>
#include <string>

#include "wordforge/diagnostic_text.hpp"
#include "wordforge/encoders.hpp"
#include "wordforge/listing_output.hpp"
#include "wordforge/model_builder.hpp"
#include "wordforge/operand_readers.hpp"
#include "wordforge/pseudo_instructions.hpp"

namespace wordforge {

namespace {

constexpr std::size_t kTextColumn = 24;      // comment lines and error-line text
constexpr std::size_t kMnemonicWidth = 6;
constexpr std::size_t kLabelWidth = 8;
constexpr std::size_t kLabelColumn = 15;     // the label field's first column, counted from 0

// Leading comment lines (case kept, written as read), the object file's
// first line "MM " with the title, and the title line.
void WriteTitlePrologue(WordRun& run) {
    SourceReader& reader = run.reader;
    common::OutputSink& listing = *run.listing;
    ModelLineStart(run);
    NextChar(reader);
    SkipBlanks(reader);
    while (reader.current == ';') {
        ModelComment(run);
        listing.Write(Blanks(kTextColumn - 1));
        reader.keepCase = true;
        while (!IsLineOver(reader.current)) {
            listing.Put(reader.current);
            NextChar(reader);
        }
        reader.keepCase = false;
        listing.LineEnd();
        ModelPrologueLineEnd(run, LineOpening::Comment);
        ModelLineStart(run);
        NextChar(reader);
        SkipBlanks(reader);
    }
    Word word;
    const std::size_t wordStart = CurrentOffset(reader);
    ReadWord(reader, word);  // TITLE
    ModelMnemonic(run, word, kTitle, wordStart);
    SkipBlanks(reader);
    Word& title = run.title;
    ModelWordToken(run, CurrentOffset(reader), common::TokenKind::Title);
    ReadWord(reader, title);
    ModelCommentInRest(run);
    run.object->Write("MM ");
    run.object->Write(View(title));
    run.object->LineEnd();
    listing.Write(Blanks(kTextColumn - 1));
    listing.Write("TITLE ");
    listing.Write(View(title));
    listing.LineEnd();
    SkipToLineEnd(reader);
    ModelPrologueLineEnd(run, LineOpening::Statement);
}

bool IsDuplicateLine(const WordRun& run, std::int32_t line) {
    return std::binary_search(run.duplicateLines.begin(), run.duplicateLines.end(), line);
}

// Stores the word's 8 character places at `at`, places beyond its length as
// blanks (a word holds no zero byte, and its unused places are zero).
void StoreWordPlaces(char* at, const Word& word) {
    constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Full;
    std::uint64_t places;
    std::memcpy(&places, word.text.data(), 8);
    std::uint64_t zeros = ~(((places & kLow7) + kLow7) | places | kLow7);  // 0x80 per zero byte
    places |= zeros >> 2;                                                  // 0x80 >> 2 is a blank
    std::memcpy(at, &places, 8);
}

// Columns 1-29 of a statement line: two blanks, the location, blanks, the
// label field (label and colon, or blanks) and the mnemonic field.
void StartStatementLine(ListingLine& line, std::int32_t location, const Word* label, const Word& mnemonic) {
    char* text = line.text.data();
    std::memset(text, ' ', kLabelColumn);
    HexDigits(text + 2, location);
    if (label != nullptr) {
        StoreWordPlaces(text + kLabelColumn, *label);
        if (label->length < kLabelWidth) text[kLabelColumn + label->length] = ':';
    } else {
        std::memset(text + kLabelColumn, ' ', kLabelWidth);
    }
    // Up to 8 places are stored; the line ends after the first 6.
    StoreWordPlaces(text + kLabelColumn + kLabelWidth, mnemonic);
    line.length = kLabelColumn + kLabelWidth + kMnemonicWidth;
}

void AssembleInstruction(WordRun& run, int mnemonic) {
    std::uint16_t word = 0;
    switch (EncodeInstruction(run, mnemonic, word)) {
        case EncodeOutcome::Encoded:
            ShowWordFields(run.line, word);
            WriteObjectLine(run, run.location, word);
            break;
        case EncodeOutcome::FormatError:
            FlagError(run, 'F');
            ShowRestOfLine(run);
            break;
        case EncodeOutcome::RangeError:
            FlagError(run, 'L');
            ShowRestOfLine(run);
            break;
        case EncodeOutcome::DeviceError:
            FlagError(run, 'F');  // the comment is still aligned
            break;
    }
}

// A line that begins with a letter: optional label, mnemonic, operand.
void AssembleStatement(WordRun& run) {
    SourceReader& reader = run.reader;
    ListingLine& line = run.line;
    std::size_t wordStart = CurrentOffset(reader);
    run.statementStart = wordStart;
    run.statementLine = reader.line;
    run.overlapWarned = false;
    run.currentTaken = false;
    Word word;
    ReadWord(reader, word);
    SkipBlanks(reader);
    Word label;
    if (reader.current == ':') {
        label = word;
        std::size_t labelStart = wordStart;
        bool duplicate = IsDuplicateLine(run, reader.line);
        ModelLabelDefined(run, label, labelStart);
        NextChar(reader);
        SkipBlanks(reader);
        wordStart = CurrentOffset(reader);
        ReadWord(reader, word);
        SkipBlanks(reader);
        StartStatementLine(line, run.location, &label, word);
        if (duplicate) {
            line.text[0] = 'D';
            if (run.diagnostics != nullptr) RecordDuplicate(run, label, labelStart);
        }
    } else {
        StartStatementLine(line, run.location, nullptr, word);
    }
    int mnemonic = LookUpMnemonic(word);
    run.mnemonic = mnemonic;
    ModelMnemonic(run, word, mnemonic, wordStart);

    if (mnemonic < kFirstPseudo) {
        AssembleInstruction(run, mnemonic);
    } else {
        switch (mnemonic) {
            case kDc: AssembleConstant(run); break;
            case kDs: AssembleStorage(run); break;
            case kOrg: AssembleOrigin(run); break;
            case kEnd: SetColumns(line, 3, "    "); break;
            default:  // unknown word, lone label, misplaced TITLE
                if (mnemonic == kTitle) {
                    NoteFault(run, Fault::Title, wordStart);
                } else if (word.length == 0) {
                    NoteFault(run, Fault::LoneLabel, wordStart);
                    run.fault.name = label;
                } else {
                    NoteFault(run, Fault::UnknownMnemonic, wordStart);
                    run.fault.name = word;
                }
                FlagError(run, 'F');
                break;
        }
    }
    if (mnemonic != kDs && mnemonic != kOrg && mnemonic != kEnd) {
        run.location = WrapAdd(run.location, 1);
    }
    FinishWithComment(run);
}

// A comment line: the comment from its ";" at column 24, case kept.
void AssembleCommentLine(WordRun& run) {
    Clear(run.line);
    Append(run.line, Blanks(kTextColumn - 1));
    ModelComment(run);
    CopyRest(run, {}, true);
}

// A line that begins with anything but a letter or ";", an empty line and
// the end of the source included. It is counted and takes one address.
void AssembleErrorLine(WordRun& run) {
    static constexpr std::string_view kTextStops = " :;";
    // After the colon of a label the text runs on over further colons.
    static constexpr std::string_view kLabelledTextStops = " ;";
    ListingLine& line = run.line;
    SourceReader& reader = run.reader;
    Clear(line);
    Append(line, "F ");
    char digits[4];
    HexDigits(digits, run.location);
    Append(line, std::string_view(digits, 4));
    Append(line, Blanks(17));
    ++run.errorCount;
    if (run.diagnostics != nullptr) RecordErrorLine(run);
    run.location = WrapAdd(run.location, 1);

    CopyRest(run, kTextStops, false);
    char stop = reader.current;
    if (stop == ' ' || stop == ':') {
        SkipBlanks(reader);
        if (reader.current == ':') {
            // The text was meant as a label: it moves to the label field.
            RemoveColumns(line, 7, 14);
            Append(line, ':');
            PadTo(line, 23);
            NextChar(reader);
            SkipBlanks(reader);
            CopyRest(run, kLabelledTextStops, false);
        }
        // The cut may drop the end of the text, a trailing colon included;
        // the rest of the line follows from the character that stopped it.
        PadOrCut(line, 29);
        ShowRestOfLine(run);
    } else if (stop == ';') {
        PadOrCut(line, kCommentColumn - 1);
        ModelComment(run);
    }
    CopyRest(run, {}, true);
}

void WriteErrorSummary(WordRun& run) {
    common::OutputSink& listing = *run.listing;
    if (run.errorCount == 0) {
        listing.Write("THERE WERE NO ERRORS.");
    } else if (run.errorCount == 1) {
        listing.Write("THERE WAS ONE ERROR.");
    } else {
        listing.Write("THERE WERE ");
        listing.Write(std::to_string(run.errorCount));
        listing.Write(" ERRORS.");
    }
    listing.LineEnd();
}

}  // namespace

void Pass2(WordRun& run) {
    SourceReader& reader = run.reader;
    Rewind(reader);
    run.location = 0;
    if (run.titleFirst) {
        WriteTitlePrologue(run);
    } else {
        run.object->Write("MM");
        run.object->LineEnd();
    }

    bool ended = false;
    for (;;) {
        ModelLineStart(run);
        NextCharSkippingBlanks(reader);
        run.mnemonic = kNoMnemonic;
        if (IsLetter(reader.current)) {
            AssembleStatement(run);
            ModelLineEnd(run, LineOpening::Statement);
        } else if (reader.current == ';') {
            AssembleCommentLine(run);
            ModelLineEnd(run, LineOpening::Comment);
        } else {
            AssembleErrorLine(run);
            ModelLineEnd(run, LineOpening::Other);
        }
        WriteListingLine(run);
        if (run.mnemonic == kEnd) {
            ended = true;
            break;
        }
        if (reader.current == kFileEnd) break;
    }

    HandOverStaged(run);
    if (!ended) {
        if (run.diagnostics != nullptr) RecordMissingEnd(run);
        run.listing->Write("F");
        run.listing->LineEnd();
        ++run.errorCount;
    }
    run.listing->LineEnd();
    WriteErrorSummary(run);
    WriteLabelListing(run.symbols, *run.listing);
}

}  // namespace wordforge
