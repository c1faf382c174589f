#pragma once
// The files one source writes on the command line, replaced whole: each is
// written under a temporary name beside its final one, and they are put in
// place together once the source is done, so that a run that fails or is
// interrupted leaves the previous outputs as they were.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "cli/output_plan.hpp"
#include "common/replaced_file.hpp"
#include "common/text_file.hpp"

namespace cli {

struct Output {
    PlannedOutput planned;  // the kind and path of the file
    bool toStandardOutput = false;
    common::ReplacedFile file;
    common::OutputSink memory;  // what goes to standard output, held until the run is judged

    common::OutputSink& Sink() { return toStandardOutput ? memory : file.Sink(); }
};

// The outputs of one source, in planned order. Files not put in place are
// removed with them.
using Outputs = std::vector<std::unique_ptr<Output>>;

// What went wrong with which file: "cannot VERB 'PATH': reason".
struct OutputFailure {
    std::string_view verb;
    std::string path;
    int errnum = 0;
};

// Opens every planned output. Returns false at the first file that cannot be
// created; nothing is changed on disk then.
bool OpenOutputs(const std::vector<PlannedOutput>& planned, Outputs& outputs, OutputFailure& failure);

// Writes out and closes every file; returns false at the first failed write.
bool CloseOutputs(Outputs& outputs, OutputFailure& failure);

// Puts the closed files in place: every one for a source without errors, the
// listing alone for a failed source, whose object file, map and images are
// removed (where they are regular files, or links to regular files: the
// file is removed, the link stays). Runs writing into the same folders put
// their files in place one after another, so that the files left there all
// come from one run; interruptions wait until the files are in place.
bool PutInPlace(Outputs& outputs, bool failed, OutputFailure& failure);

}  // namespace cli
