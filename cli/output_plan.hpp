#pragma once
// Which files each source of a command line writes, decided before anything
// is written, so that a call that would overwrite a source or write two
// outputs to one file is refused whole.
#include <optional>
#include <string>
#include <vector>

#include "cli/invocation.hpp"

namespace cli {

struct PlannedOutput {
    OutputKind kind;
    std::string path;  // "-" is standard output
    // Images only: the format, and the lane of a lane image.
    image::Format format = image::Format::Readmemh;
    std::optional<unsigned> lane = std::nullopt;
};

struct SourceJob {
    std::string source;   // as given; "-" is standard input
    std::string display;  // the name diagnostics use
    std::vector<PlannedOutput> outputs;
    // Every other memory image the program writes for this source, in any
    // format and lane, where this call would write them: removed when the
    // source fails, so that no image of an earlier run outlives it.
    std::vector<std::string> staleImages;
};

// Builds one job per source: the listing, object file and map chosen, then
// the images, each format's whole image or its lane images in lane order.
// Returns false, with the reason in `problem`, when an output would land on a
// source or two outputs on one file: the same file by its device and inode
// (hard and symbolic links included) once it exists, by its resolved path
// before.
// A path of another job's output or of a source is never a stale image.
bool PlanOutputs(const ProgramInfo& program, const Invocation& invocation, std::vector<SourceJob>& jobs,
                 std::string& problem);

}  // namespace cli
