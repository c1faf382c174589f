#pragma once
// Which files each source of a command line writes, decided before anything
// is written, so that a call that would overwrite a source or write two
// outputs to one path is refused whole.
#include <string>
#include <vector>

#include "cli/invocation.hpp"

namespace cli {

struct PlannedOutput {
    OutputKind kind;
    std::string path;  // "-" is standard output
};

struct SourceJob {
    std::string source;   // as given; "-" is standard input
    std::string display;  // the name diagnostics use
    std::vector<PlannedOutput> outputs;
};

// Builds one job per source. Returns false, with the reason in `problem`,
// when an output would land on a source or two outputs on one path.
bool PlanOutputs(const ProgramInfo& program, const Invocation& invocation, std::vector<SourceJob>& jobs,
                 std::string& problem);

}  // namespace cli
