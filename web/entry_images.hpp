#pragma once
// The memory images of an in-memory run, made as the command line makes
// them: the options settled by its rules, the words handed over by the same
// assembly, each file written by the same call.
#include <string>
#include <string_view>
#include <vector>

#include "cli/command_line.hpp"
#include "cli/invocation.hpp"
#include "web/entry.hpp"

namespace web {

struct ImageRun {
    cli::ImageChoice choice;
    cli::ImageWords words;  // filled by the assembly
};

// Settles the images asked for. Returns where the assembly hands its words,
// or null when no image is asked for or the options are refused (the reason
// then in `problem`).
cli::ImageWords* StartImages(const cli::ProgramInfo& program, const EntryImages& asked,
                             std::string_view sourceName, ImageRun& run, std::string& problem);

// Appends the image files of a run without errors.
void AddImageFiles(const cli::ProgramInfo& program, const ImageRun& run, std::vector<OutputFile>& files);

ImageFacts FactsOf(const cli::ProgramInfo& program);

}  // namespace web
