#pragma once
// The state of one ctrlforge run: the source bytes and the reader's position,
// the token attributes, the word list, the label lists and the output sinks.
// One instance is created per run and passed by reference to every routine.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/diagnostics.hpp"
#include "common/flat_name_table.hpp"
#include "common/text_file.hpp"
#include "ctrlforge/source_model.hpp"
#include "ctrlforge/tokens.hpp"
#include "image/placed_word.hpp"

namespace ctrlforge {

enum PlacementClass : std::uint8_t {
    Unlabelled = 0,
    Labelled = 1,
    BranchTarget = 2,
    IraTarget = 3,
    IopTarget = 4,
    IabTarget = 5,
};

enum RefState : std::uint8_t { Resolved = 0, Pending = 1, NoReference = 2 };

constexpr std::int32_t kNone = -1;

// The control store holds 4096 words, addresses 0 to 4095.
constexpr std::int16_t kLastAddress = 4095;

// A name significant to eight characters, blank padded.
using Name = std::array<char, 8>;

// One microinstruction. Links are indices into the run's vectors.
struct MicroWord {
    std::int16_t address = 0;
    bool addressGiven = false;
    std::uint8_t labelClass = Unlabelled;
    std::int32_t label = kNone;  // LabelEntry index
    std::uint8_t LB = LbBase, RB = RbBase, AL = AlBase, SH = ShBase, SB = SbBase, MM = MmBase, SQ = SqBase,
                 TS = TsBase, EX = ExBase;
    std::uint16_t LT = 0;
    std::uint8_t refState = NoReference;
    // Resolved: the LabelEntry index; Pending: the next word waiting for the
    // same label (kNone at the end of the chain).
    std::int32_t target = kNone;
    std::uint32_t heading = 0;  // where the statement's "*" stands in the source, for diagnostics
    std::uint32_t reference = 0;  // where the label it branches to is named, for diagnostics
};

struct LabelEntry {
    Name name;
    std::int32_t word;
};

// A label used before its definition. `linked` turns false when the label is
// defined; the vector keeps the order of first use.
struct PendingLabel {
    Name name;
    std::uint8_t maxClass;
    std::int32_t first;
    std::int32_t last;  // end of the waiting chain, so appending is direct
    bool linked;
    std::size_t firstUse;  // where the first reference stands in the source
};

// No place in the source.
inline constexpr std::size_t kNowhere = static_cast<std::size_t>(-1);

// The part of the program being read, for the messages of what goes wrong
// in it (an illegal character "cannot stand in a transfer").
enum class Reading : std::uint8_t { Title, Heading, Sequencing, Memory, Transfer, Exception, Ending };

// Where the clauses of the statement under parse begin (their first
// token), kNowhere for those it does not have (yet): the messages of its
// errors name them, and the clauses still allowed after them.
struct StatementClauses {
    std::size_t sequencing = kNowhere;
    std::size_t memory = kNowhere;
    std::size_t transfer = kNowhere;  // the destination, or the SET of SET BY
    std::size_t setPrefix = kNowhere; // a SET before the first exception clause
    std::size_t exception = kNowhere; // the first exception clause
    std::size_t second = kNowhere;    // the second one
};

// The states of the expression recogniser of a transfer; error 11's
// messages tell them apart.
enum class ExpressionState : std::uint8_t { Start, AfterShift, AfterLeft, AfterOp, AfterColonShift, Complete, Bad };

// What an error's message needs besides the run's state, filled in by the
// place that reports it just before it does.
struct ErrorDetail {
    std::size_t first = kNowhere;   // a token the message quotes besides the current one
    std::size_t second = kNowhere;  // and another
    std::int32_t value = 0;         // a number it names (an earlier address)
    std::uint8_t state = 0;         // the expression recogniser's state, and the like
    std::uint8_t code = 0;          // a token code the place expected, and the like
};

struct OptionSet {
    bool S = false;  // listing
    bool O = false;  // object file
    bool M = false;  // map
};

// What filling the source model needs besides the model itself.
struct ModelState {
    common::LineLocator locator;  // over the source, for the places of tokens and spans
    std::size_t lastEnd = 0;      // end of the latest token that is no line end or ";"
    std::size_t priorEnd = 0;     // lastEnd before that token was read
    common::FlatNameTable labels; // each name seen: its index in the model's labels
};

struct CtrlRun {
    // Source and the reader's position in it.
    std::string_view source;
    std::size_t pos = 0;
    bool pendingLineFeed = false;  // a lone line feed reads as CR then LF

    OptionSet options;
    common::OutputSink* listing = nullptr;
    common::OutputSink* object = nullptr;
    common::OutputSink* map = nullptr;
    std::string console;  // what the run shows on the console
    common::DiagnosticSink* diagnostics = nullptr;  // recorded only when the caller asks
    std::size_t tokenStart = 0;  // where the current token begins in the source
    // For the messages of diagnostics only: a second line locator for the
    // earlier places a message names (the first definition of a label), so
    // that looking back never sends the sink's own locator back.
    common::LineLocator earlier;
    Reading reading = Reading::Title;
    StatementClauses clauses;
    ErrorDetail detail;
    std::size_t leftOperandAt = kNowhere;   // what put the statement's LB in place
    std::size_t rightOperandAt = kNowhere;  // what put its RB in place
    std::size_t longLiteralAt = kNowhere;   // its long literal
    // An illegal character in mid-line drops the rest of its line with the
    // line end; the next error of the statement follows from it.
    std::size_t illegalAt = kNowhere;
    // The line that the last error found at a line end skipped whole (the
    // line after the one it names), where it starts.
    std::size_t swallowed = kNowhere;
    // The last statement with a given address, from which the following
    // ones count on: heading and address.
    std::size_t countedFrom = kNowhere;
    std::int16_t countedFromAddress = 0;
    // "Did you mean" among the defined labels compares each undefined label
    // with every defined one; this bounds the work a run spends on it.
    std::size_t suggestionBudget = std::size_t{1} << 22;
    // When set, every word the writers pack is added here, as the object
    // file lists it; memory images are made from these.
    std::vector<image::PlacedWord>* placed = nullptr;
    Name title{' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '};  // the program's title, once read
    // When set, receives what the run learns of the source; `modelState`
    // is used only then.
    SourceModel* model = nullptr;
    ModelState modelState;

    // Token attributes.
    unsigned char CurChar = 0;
    std::uint8_t TokenCode = 0;
    Name TokenName{' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '};
    std::int16_t TokenValue = 0;
    // The number token's own mark: its reading overflowed, or it was a
    // hexadecimal word of more than four digits. Set and cleared with every
    // number read; by itself it reports nothing.
    bool TokenOverflow = false;
    // An error has been reported in the statement; set only by ReportError,
    // cleared when the next statement starts.
    bool StatementError = false;
    bool AssemblyFailed = false;

    // Pass state.
    std::vector<MicroWord> words;
    std::int16_t PreviousAddress = -1;
    std::size_t placedWords = 0;  // how many words, from the first, placement gave their final address
    std::vector<LabelEntry> labels;
    std::vector<PendingLabel> pending;
    // Every name defined or used so far: a LabelEntry index (>= 0) once
    // defined, else the complement (~i) of its PendingLabel index.
    common::FlatNameTable labelIndex;

    MicroWord& CurrentWord() { return words.back(); }
    const MicroWord& CurrentWord() const { return words.back(); }
    std::int32_t CurrentIndex() const { return static_cast<std::int32_t>(words.size()) - 1; }
};

// Listing output: every write tests option S first.
inline void CopyToListing(CtrlRun& run, unsigned char c) {
    if (run.options.S) run.listing->Put(static_cast<char>(c));
}
inline void ListingText(CtrlRun& run, std::string_view text) {
    if (run.options.S) run.listing->Write(text);
}
inline void ListingLineEnd(CtrlRun& run) {
    if (run.options.S) run.listing->LineEnd();
}

// Gathers the characters that a reading loop copies to the listing one at a
// time and hands them to the listing in one write, at the latest when the
// span ends. Nothing else may write to the listing while a span is open.
class ListingSpan {
public:
    explicit ListingSpan(CtrlRun& run) : run_(run), enabled_(run.options.S) {}
    ListingSpan(const ListingSpan&) = delete;
    ListingSpan& operator=(const ListingSpan&) = delete;
    ~ListingSpan() { Flush(); }

    void Put(unsigned char c) {
        if (!enabled_) return;
        if (size_ == sizeof text_) Flush();
        text_[size_++] = static_cast<char>(c);
    }
    void Flush() {
        if (size_ != 0) run_.listing->Write(std::string_view(text_, size_));
        size_ = 0;
    }

private:
    CtrlRun& run_;
    bool enabled_;
    std::size_t size_ = 0;
    char text_[256];
};

}  // namespace ctrlforge
