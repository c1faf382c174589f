#include "ctrlforge/labels.hpp"

#include "ctrlforge/error_report.hpp"
#include "ctrlforge/model_builder.hpp"

namespace ctrlforge {

// The lists keep the behaviour of a linear scan in insertion order (first
// definition wins, first-use order of pending labels, waiting chains in
// reference order); one probe of the name table tells whether a name is
// defined, waiting or new.

namespace {

std::uint64_t KeyOf(const Name& name) { return common::PaddedNameKey(name.data(), ' '); }

bool IsDefined(std::int32_t state) { return state >= 0; }
std::size_t PendingOf(std::int32_t state) { return static_cast<std::size_t>(~state); }
std::int32_t PendingState(std::size_t index) { return ~static_cast<std::int32_t>(index); }

}  // namespace

void DefineLabel(CtrlRun& run) {
    const Name name = run.TokenName;
    const std::int32_t entry = static_cast<std::int32_t>(run.labels.size());
    const common::NameLookup found = common::FindOrAddName(run.labelIndex, KeyOf(name), entry);
    std::uint8_t placementClass = Labelled;
    if (!found.added) {
        if (IsDefined(*found.value)) {
            const LabelEntry& first = run.labels[static_cast<std::size_t>(*found.value)];
            run.detail.first = run.words[static_cast<std::size_t>(first.word)].heading;
            ReportError(run, CtrlError::LabelAlreadyDefined, Cause::LabelTwice);
            return;
        }
        PendingLabel& label = run.pending[PendingOf(*found.value)];
        std::int32_t w = label.first;
        while (w != kNone) {
            MicroWord& word = run.words[static_cast<std::size_t>(w)];
            std::int32_t next = word.target;
            word.refState = Resolved;
            word.target = entry;
            w = next;
        }
        placementClass = label.maxClass;
        label.linked = false;
        // A label defined right after its first use leaves nothing behind:
        // the record is the newest one, and no later record follows it in
        // first-use order.
        if (PendingOf(*found.value) + 1 == run.pending.size()) run.pending.pop_back();
        *found.value = entry;
    }
    run.labels.push_back(LabelEntry{name, run.CurrentIndex()});
    if (run.model != nullptr) ModelLabelDefined(run);
    MicroWord& current = run.CurrentWord();
    current.label = entry;
    current.labelClass = placementClass;
}

void ReferenceLabel(CtrlRun& run, std::uint8_t placementClass) {
    const Name name = run.TokenName;
    MicroWord& current = run.CurrentWord();
    current.reference = static_cast<std::uint32_t>(run.tokenStart);
    const common::NameLookup found =
        common::FindOrAddName(run.labelIndex, KeyOf(name), PendingState(run.pending.size()));
    if (!found.added && IsDefined(*found.value)) {
        current.refState = Resolved;
        current.target = *found.value;
        MicroWord& labelled = run.words[static_cast<std::size_t>(run.labels[static_cast<std::size_t>(*found.value)].word)];
        if (labelled.labelClass < placementClass) labelled.labelClass = placementClass;
        return;
    }
    current.refState = Pending;
    current.target = kNone;
    const std::int32_t self = run.CurrentIndex();
    if (!found.added) {
        PendingLabel& label = run.pending[PendingOf(*found.value)];
        run.words[static_cast<std::size_t>(label.last)].target = self;
        label.last = self;
        if (label.maxClass < placementClass) label.maxClass = placementClass;
        return;
    }
    run.pending.push_back(PendingLabel{name, placementClass, self, self, true, run.tokenStart});
}

void ReportUndefinedLabels(CtrlRun& run) {
    for (const PendingLabel& label : run.pending) {
        if (label.linked) ReportError(run, CtrlError::LabelNotDeclared, Cause::Undeclared, &label.name, label.firstUse);
    }
}

}  // namespace ctrlforge
