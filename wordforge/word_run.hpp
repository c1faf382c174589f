#pragma once
// Everything one assembly run works on, created afresh for each run and
// handed by reference to the passes, readers and encoders.
#include <cstdint>
#include <string>
#include <vector>

#include "wordforge/listing_line.hpp"
#include "wordforge/mnemonic_table.hpp"
#include "wordforge/source_reader.hpp"
#include "wordforge/symbol_table.hpp"
#include "common/diagnostics.hpp"
#include "common/flat_name_table.hpp"
#include "common/text_file.hpp"
#include "image/placed_word.hpp"

namespace wordforge {

struct ModelLine;
struct SourceModel;

// Output bytes gathered in memory and handed to their sink in large pieces,
// so that a line costs one copy and no string growth.
struct OutputStage {
    std::string bytes;      // allocated at the first write; `used` of them hold output
    std::size_t used = 0;
};

// Why a reader or encoder gave up on a line: noted where the fault is found,
// so that a diagnostic can name it. The listing shows only the flag.
enum class Fault : std::uint8_t {
    OperandStart,     // the operand begins with a character that begins no operand
    UnknownMnemonic,
    LoneLabel,        // a label with no mnemonic after it
    Register,         // a register number outside 0..3
    Comma,            // no comma after the register
    Quote,            // no double quote after a base letter
    IndexOpen,        // an index register is required and no "(" stands there
    IndexClose,       // no ")" after the index register
    UndefinedLabel,
    Device,
    StorageCount,
    Title,            // TITLE anywhere but as the first statement
};

struct FaultNote {
    Fault cause = Fault::OperandStart;
    std::size_t offset = 0;  // where the token at fault begins
    Word name;               // the label, mnemonic or device word
    std::int32_t value = 0;  // the register or device number
    bool constant = false;   // an undefined label stood where a constant may
};

// What the source model's builder keeps from one hook to the next.
struct ModelCursor {
    std::size_t lineStart = 0;     // the source line being modelled: where it starts
    std::int32_t line = 1;         // and its number
    std::size_t lines = 0;         // the model's lines filled so far; those after them are kept from
                                   // an earlier run, to be filled again without new room for their words
    ModelLine* current = nullptr;  // the last of them, the line being modelled
    std::size_t tokensEnd = 0;     // where the last token ends: tokens never overlap
    common::FlatNameTable labels;  // a label's name key to its index in the model
};

struct WordRun {
    SourceReader reader;
    ListingLine line;                         // the listing line under construction
    SymbolTable symbols;                      // filled by pass 1
    std::vector<std::int32_t> duplicateLines; // ascending line numbers of repeated definitions
    std::int32_t errorCount = 0;
    std::int32_t location = 0;                // the location counter
    int mnemonic = kNoMnemonic;               // the current statement's mnemonic index
    bool titleFirst = false;                  // the source begins with TITLE (found by pass 1)
    Word title;                               // its title word, read by pass 2
    common::OutputSink* listing = nullptr;    // written by pass 2
    common::OutputSink* object = nullptr;     // written by pass 2
    OutputStage listingStage;                 // listing lines not yet handed to `listing`
    OutputStage objectStage;                  // object lines not yet handed to `object`
    // Diagnostics, recorded only when the caller hands a sink.
    common::DiagnosticSink* diagnostics = nullptr;
    FaultNote fault;                          // the last fault found on the line
    common::FlatNameTable definitionLines;    // with diagnostics: each label's defining line
    std::vector<std::int32_t> wordLines;      // with diagnostics: the line that wrote each address, 0 = none
    std::size_t statementStart = 0;           // where the current line's statement begins
    std::int32_t statementLine = 0;           // the current statement's line
    bool overlapWarned = false;               // the current statement has warned of an overlap
    bool endReported = false;                 // the error line at the end of the source said END is missing
    std::string suggestion;                   // the fix a diagnostic suggests, when it is built
    // "Did you mean" among the labels compares an undefined label with every
    // defined one; this bounds the work a run spends on it.
    std::size_t suggestionBudget = std::size_t{1} << 22;
    bool currentTaken = false;                // a character literal used the current character
    struct {
        bool truncation = false, org = false, overlap = false, trailingText = false;
    } warn;                                   // the warnings the sink keeps, decided once a run
    // When set, every word written to the object file is added here, in the
    // same order; memory images are made from these.
    std::vector<image::PlacedWord>* placed = nullptr;
    // When set, filled by pass 2 (wordforge/model_builder.hpp).
    SourceModel* model = nullptr;
    ModelCursor modelCursor;
    // Someone wants each object word beyond its line: the overlap warning,
    // `placed` or `model`; decided once a run.
    bool noteObjectWords = false;
};

inline void NoteFault(WordRun& run, Fault cause, std::size_t offset) {
    run.fault.cause = cause;
    run.fault.offset = offset;
}

// Arithmetic on values and counters wraps in 32 bits.
inline std::int32_t WrapAdd(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}
inline std::int32_t WrapSub(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
}
inline std::int32_t WrapNegate(std::int32_t a) { return WrapSub(0, a); }

}  // namespace wordforge
