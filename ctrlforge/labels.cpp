#include "ctrlforge/labels.hpp"

#include "ctrlforge/error_report.hpp"

namespace ctrlforge {

// The lists keep the behaviour of a linear scan in insertion order (first
// definition wins, first-use order of pending labels, waiting chains in
// reference order) behind hashed lookups.

void DefineLabel(CtrlRun& run) {
    const Name name = run.TokenName;
    if (run.labelIndex.count(name) != 0) {
        ReportError(run, CtrlError::LabelAlreadyDefined);
        return;
    }
    const std::int32_t entry = static_cast<std::int32_t>(run.labels.size());
    std::uint8_t placementClass = Labelled;
    auto waiting = run.pendingIndex.find(name);
    if (waiting != run.pendingIndex.end()) {
        PendingLabel& label = run.pending[static_cast<std::size_t>(waiting->second)];
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
        run.pendingIndex.erase(waiting);
    }
    run.labels.push_back(LabelEntry{name, run.CurrentIndex()});
    run.labelIndex.emplace(name, entry);
    MicroWord& current = run.CurrentWord();
    current.label = entry;
    current.labelClass = placementClass;
}

void ReferenceLabel(CtrlRun& run, std::uint8_t placementClass) {
    const Name name = run.TokenName;
    MicroWord& current = run.CurrentWord();
    auto defined = run.labelIndex.find(name);
    if (defined != run.labelIndex.end()) {
        current.refState = Resolved;
        current.target = defined->second;
        MicroWord& labelled = run.words[static_cast<std::size_t>(run.labels[static_cast<std::size_t>(defined->second)].word)];
        if (labelled.labelClass < placementClass) labelled.labelClass = placementClass;
        return;
    }
    current.refState = Pending;
    current.target = kNone;
    const std::int32_t self = run.CurrentIndex();
    auto waiting = run.pendingIndex.find(name);
    if (waiting != run.pendingIndex.end()) {
        PendingLabel& label = run.pending[static_cast<std::size_t>(waiting->second)];
        run.words[static_cast<std::size_t>(label.last)].target = self;
        label.last = self;
        if (label.maxClass < placementClass) label.maxClass = placementClass;
        return;
    }
    run.pendingIndex.emplace(name, static_cast<std::int32_t>(run.pending.size()));
    run.pending.push_back(PendingLabel{name, placementClass, self, self, true, run.tokenStart});
}

void ReportUndefinedLabels(CtrlRun& run) {
    for (const PendingLabel& label : run.pending) {
        if (label.linked) ReportError(run, CtrlError::LabelNotDeclared, &label.name, label.firstUse);
    }
}

}  // namespace ctrlforge
