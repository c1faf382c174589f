#include "wordforge/listing_output.hpp"

#include <cstring>

#include "wordforge/diagnostic_text.hpp"
#include "wordforge/model_builder.hpp"
#include "wordforge/operand_readers.hpp"

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
    if (run.diagnostics != nullptr) RecordFlag(run, flag);
}

void ShowRestOfLine(WordRun& run) {
    ModelCommentInRest(run);
    CopyRest(run, {}, false);
}

namespace {

// Text left after a statement whose operand was read whole, which the
// listing drops without a flag. END ignores its rest by definition, and ORG
// has a warning of its own.
void CheckTrailingText(WordRun& run) {
    if (run.mnemonic == kEnd || run.mnemonic == kOrg || run.mnemonic == kNoMnemonic || run.mnemonic == kTitle) return;
    const char* flags = run.line.text.data();
    if (flags[0] == 'F' || flags[0] == 'L' || flags[1] == 'F' || flags[1] == 'L') return;
    WarnTrailingText(run);
}

}  // namespace

void FinishWithComment(WordRun& run) {
    if (run.warn.trailingText) CheckTrailingText(run);
    SkipToCommentOrLineEnd(run.reader);
    if (run.reader.current == ';') {
        ModelComment(run);
        PadOrCut(run.line, kCommentColumn - 1);
        CopyRest(run, {}, true);
    }
}

namespace {

// A stage starts small, so a short program costs no large buffer, and
// doubles with every hand-over up to its full size.
constexpr std::size_t kFirstStageSize = 1 << 14;
constexpr std::size_t kStageSize = 1 << 20;

void HandOver(OutputStage& stage, common::OutputSink& sink) {
    if (stage.used != 0) sink.WriteThrough(std::string_view(stage.bytes.data(), stage.used));
    stage.used = 0;
}

// Hands a full stage over and lets it grow. Rare, and kept out of line so
// that the callers writing every line need no registers saved for it.
[[gnu::noinline]] void RenewStage(OutputStage& stage, common::OutputSink& sink) {
    HandOver(stage, sink);
    if (stage.bytes.size() < kStageSize) {
        stage.bytes.resize(stage.bytes.empty() ? kFirstStageSize : 2 * stage.bytes.size());
    }
}

// Makes room in the stage for `count` bytes (at most a listing line's array).
inline void MakeRoom(OutputStage& stage, common::OutputSink& sink, std::size_t count) {
    if (count > stage.bytes.size() - stage.used) RenewStage(stage, sink);
}

// What an object word adds beyond its line: the overlap warning, the word
// for the memory images and the word in the source model, all asked for
// only by some callers.
[[gnu::noinline]] void NoteObjectWord(WordRun& run, std::int32_t address, std::int32_t word) {
    if (run.warn.overlap) WarnOverlap(run, address);
    if (run.placed != nullptr) {
        // The object line shows the low 16 bits of both.
        run.placed->push_back({static_cast<std::uint16_t>(address), static_cast<std::uint16_t>(word)});
    }
    ModelObjectWord(run, address, word);
}

// Puts the bytes into the stage.
inline void StageBytes(OutputStage& stage, common::OutputSink& sink, const char* bytes, std::size_t count) {
    MakeRoom(stage, sink, count);
    std::memcpy(stage.bytes.data() + stage.used, bytes, count);
    stage.used += count;
}

}  // namespace

void HandOverStaged(WordRun& run) {
    HandOver(run.listingStage, *run.listing);
    HandOver(run.objectStage, *run.object);
}

void WriteListingLine(WordRun& run) {
    // The whole array is copied, a fixed size that needs no call to the
    // library's copy, and the stage moves on by the line's own length. The
    // line end is put behind the copy in the stage: stored into the line
    // just before, it would hold up the copy's wide loads until those
    // single-byte stores had gone through.
    const ListingLine& line = run.line;
    OutputStage& stage = run.listingStage;
    MakeRoom(stage, *run.listing, sizeof line.text);
    char* at = stage.bytes.data() + stage.used;
    std::memcpy(at, line.text.data(), sizeof line.text);
    at[line.length] = '\r';
    at[line.length + 1] = '\n';
    stage.used += line.length + 2;
}

void WriteObjectLine(WordRun& run, std::int32_t address, std::int32_t word) {
    if (run.noteObjectWords) NoteObjectWord(run, address, word);
    char text[12];
    HexDigits(text, address);
    text[4] = ' ';
    text[5] = ' ';
    HexDigits(text + 6, word);
    text[10] = '\r';
    text[11] = '\n';
    StageBytes(run.objectStage, *run.object, text, 12);
}

}  // namespace wordforge
