#include "ctrlforge/terminators.hpp"

#include "ctrlforge/error_report.hpp"
#include "ctrlforge/token_classes.hpp"
#include "ctrlforge/token_reader.hpp"

namespace ctrlforge {

void SkipTerminators(CtrlRun& run) {
    while (IsTerminator(run.TokenCode)) ReadToken(run);
}

bool EndClause(CtrlRun& run, Cause cause) {
    if (!IsTerminator(run.TokenCode)) return ReportError(run, CtrlError::MissingTerminator, cause);
    SkipTerminators(run);
    return false;
}

}  // namespace ctrlforge
