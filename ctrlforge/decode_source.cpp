// A microprogram that assembles back to a set of control words. Every
// statement names its address, so placement keeps each word where it was;
// a label stands on every branch target. A word can only be written when
// its target holds a word that is written too, so words are dropped until
// every branch that is left finds its label.
#include <algorithm>
#include <array>
#include <vector>

#include "ctrlforge/ctrlforge.hpp"
#include "ctrlforge/decode.hpp"
#include "ctrlforge/decode_clauses.hpp"
#include "ctrlforge/keywords.hpp"

namespace ctrlforge {

namespace {

// The last word a program can have lies at FFE: the blank word that ends
// every word list is placed after it.
constexpr std::uint32_t kLastWritable = kControlStoreWords - 2;
constexpr std::int32_t kNoWord = -1;

// Why a word is left as a comment.
enum class Left : std::uint8_t {
    No,            // it is written as a statement
    Inexpressible, // no statement gives it (the decoder says why)
    LastAddress,   // it stands at FFF
    BeyondStore,   // its address lies beyond the control store
    NoTarget,      // its target carries no label
};

// What the placement of labels needs of a word; the word is decoded again
// when it is written, so that a full store's decodings need not be kept.
struct Entry {
    std::uint32_t address;
    std::uint64_t word;
    Sequencing sequencing = Sequencing::Next;
    TargetKind kind = TargetKind::None;
    std::uint16_t targetAddress = 0;
    Left left = Left::No;
    std::int32_t target = kNoWord;  // the address its label stands at
};

// A title the heading reader takes: a word that begins with a letter, of
// letters, digits and "_", significant to 8 characters, and no keyword.
bool AcceptedTitle(std::string_view title) {
    if (title.empty() || title.size() > 8 || title[0] < 'A' || title[0] > 'Z') return false;
    Name name;
    name.fill(' ');
    for (std::size_t i = 0; i < title.size(); ++i) {
        const char c = title[i];
        if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_')) return false;
        name[i] = c;
    }
    const std::uint8_t code = title[0] <= 'F' ? LookupKeywordAF(name) : LookupKeywordGZ(name);
    return code == TokIdent;
}

// Where the label of a word's branch can stand: the target itself, or for a
// conditional branch, which keeps only bits 8..0, a word with those bits in
// the branching word's page or the nearest page that has one. An IOP word
// keeps bits 11..4 of its target, which lies on a 16-word boundary unless
// its label is an IAB target as well: then the IAB rule alone places it
// (address mod 64 below 4), so a label 1 to 3 words past a 64-word boundary
// also gives the word.
std::int32_t FindTarget(const Entry& entry, const std::vector<Entry>& entries, const std::vector<std::int32_t>& at,
                        const std::vector<bool>& iabTargets) {
    auto writable = [&](std::uint32_t address) {
        return address < kControlStoreWords && at[address] != kNoWord &&
               entries[static_cast<std::size_t>(at[address])].left == Left::No;
    };
    if (entry.kind == TargetKind::Whole) {
        if (writable(entry.targetAddress)) return static_cast<std::int32_t>(entry.targetAddress);
        if (entry.sequencing == Sequencing::Iop && entry.targetAddress % 64 == 0) {
            for (std::uint32_t address = entry.targetAddress + 1u; address < entry.targetAddress + 4u; ++address) {
                if (writable(address) && iabTargets[address]) return static_cast<std::int32_t>(address);
            }
        }
        return kNoWord;
    }
    const int own = static_cast<int>(entry.address / 512);
    for (int distance = 0; distance < 8; ++distance) {
        for (int page : {own - distance, own + distance}) {
            if (page < 0 || page > 7) continue;
            const std::uint32_t address = static_cast<std::uint32_t>(page) * 512u + entry.targetAddress;
            if (writable(address)) return static_cast<std::int32_t>(address);
            if (distance == 0) break;
        }
    }
    return kNoWord;
}

// Why a word is left as a comment, for its comment line.
ReasonText WhyLeft(const Entry& entry, const std::vector<std::int32_t>& at) {
    ReasonText why;
    switch (entry.left) {
        case Left::Inexpressible: return DecodeWord(entry.word).inexpressible;
        case Left::LastAddress: why.Add("the last address; a program's last word lies at FFE at most"); break;
        case Left::BeyondStore: why.Add("the address lies beyond the control store"); break;
        case Left::NoTarget:
            if (entry.kind == TargetKind::LowBits) {
                why.Add("no word that can carry the label stands at an address with bits 8..0 = ");
                why.AddHex(entry.targetAddress, 3);
            } else {
                why.Add("the target ");
                why.AddHex(entry.targetAddress, 3);
                const bool holds = entry.targetAddress < kControlStoreWords && at[entry.targetAddress] != kNoWord;
                why.Add(holds ? " holds a word written as a comment" : " holds no word");
            }
            break;
        case Left::No: break;
    }
    return why;
}

// An address in a heading: a number, so it begins with a digit.
void AppendHeadingAddress(std::string& out, std::uint32_t address) {
    ShortText text;
    if (address >= 0xA00) text.Add('0');
    text.AddHex(address, 3);
    out.append(text.View());
}

void AppendLabel(std::string& out, std::uint32_t address) {
    ShortText text;
    text.Add('L');
    text.AddHex(address, 3);
    out.append(text.View());
}

void AppendWordHex(std::string& out, std::uint64_t word) {
    ShortText text;
    text.AddHex(static_cast<unsigned>(word >> 32), 2);
    text.AddHex(static_cast<unsigned>(word & 0xFFFFFFFFu) >> 16, 4);
    text.AddHex(static_cast<unsigned>(word & 0xFFFFu), 4);
    out.append(text.View());
}

void AppendClause(std::string& out, const ShortText& clause) {
    if (clause.Empty()) return;
    out.append("    ");
    out.append(clause.View());
    out.append("\r\n");
}

void AppendStatement(std::string& out, const Entry& entry, const DecodedWord& d, bool labelled) {
    const std::size_t start = out.size();
    out.append("* ");
    if (labelled) {
        AppendLabel(out, entry.address);
        out.append(": ");
    }
    AppendHeadingAddress(out, entry.address);
    const std::size_t width = out.size() - start;
    out.append(width < 16 ? 16 - width : 1, ' ');
    out.append("; ");
    AppendWordHex(out, entry.word);
    out.append("\r\n");
    ShortText sequencing;
    if (d.target != TargetKind::None) {
        ShortText label;
        label.Add('L');
        label.AddHex(static_cast<unsigned>(entry.target), 3);
        AddSequencingClause(sequencing, d, label.View());
    } else {
        AddSequencingClause(sequencing, d, "");
    }
    AppendClause(out, sequencing);
    AppendClause(out, d.memoryClause);
    AppendClause(out, d.transferClause);
    AppendClause(out, d.exceptionClause);
}

void AppendComment(std::string& out, const Entry& entry, const ReasonText& why) {
    ShortText address;
    address.AddHex(entry.address, entry.address > 0xFFFu ? 4 : 3);
    out.append("; ");
    out.append(address.View());
    out.append("  ");
    AppendWordHex(out, entry.word);
    out.append("  not written as source: ");
    out.append(why.View());
    out.append("\r\n");
}

}  // namespace

std::size_t DecodeAsSource(std::span<const image::PlacedWord> words, std::string_view title, common::OutputSink& out) {
    // The words by address; of two at one address, the later one.
    std::vector<Entry> entries;
    entries.reserve(words.size());
    std::vector<std::int32_t> at(kControlStoreWords, kNoWord);
    for (const image::PlacedWord& placed : image::LastByAddress(words)) {
        Entry entry{placed.address, placed.word};
        const DecodedWord d = DecodeWord(placed.word);
        entry.sequencing = d.sequencing;
        entry.kind = d.target;
        entry.targetAddress = d.targetAddress;
        if (entry.address >= kControlStoreWords) {
            entry.left = Left::BeyondStore;
        } else if (entry.address > kLastWritable) {
            entry.left = Left::LastAddress;
        } else if (!d.inexpressible.Empty()) {
            entry.left = Left::Inexpressible;
        }
        if (entry.address < kControlStoreWords) at[entry.address] = static_cast<std::int32_t>(entries.size());
        entries.push_back(entry);
    }
    // Drop the branches whose target carries no label, until none is left.
    // A pass that drops nothing found every target against the words that
    // stay, the IAB targets among them included.
    std::vector<bool> iabTargets(kControlStoreWords, false);
    for (bool dropped = true; dropped;) {
        dropped = false;
        std::fill(iabTargets.begin(), iabTargets.end(), false);
        for (const Entry& entry : entries) {
            if (entry.left == Left::No && entry.sequencing == Sequencing::Iab) iabTargets[entry.targetAddress] = true;
        }
        for (Entry& entry : entries) {
            if (entry.left != Left::No || entry.kind == TargetKind::None) continue;
            entry.target = FindTarget(entry, entries, at, iabTargets);
            if (entry.target == kNoWord) {
                entry.left = Left::NoTarget;
                dropped = true;
            }
        }
    }
    std::vector<bool> labelled(kControlStoreWords, false);
    for (const Entry& entry : entries) {
        if (entry.left == Left::No && entry.target != kNoWord) labelled[static_cast<std::size_t>(entry.target)] = true;
    }

    std::size_t inexpressible = 0;
    std::string text = ".TITLE ";
    text.append(AcceptedTitle(title) ? title : std::string_view("DECODED"));
    text.append("\r\n");
    out.Write(text);
    for (const Entry& entry : entries) {
        text.clear();
        if (entry.left == Left::No) {
            AppendStatement(text, entry, DecodeWord(entry.word), labelled[entry.address]);
        } else {
            AppendComment(text, entry, WhyLeft(entry, at));
            ++inexpressible;
        }
        out.Write(text);
    }
    out.Write(".END\r\n");
    return inexpressible;
}

DecodedSource DecodeAsSource(std::span<const image::PlacedWord> words, std::string_view title) {
    common::OutputSink out;
    out.buffer.reserve(64 + words.size() * 64);
    DecodedSource result;
    result.inexpressible = DecodeAsSource(words, title, out);
    result.text = std::move(out.buffer);
    return result;
}

}  // namespace ctrlforge
