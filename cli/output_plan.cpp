#include "cli/output_plan.hpp"

#include <filesystem>
#include <map>

#include "cli/file_identity.hpp"
#include "cli/image_options.hpp"
#include "image/lanes.hpp"

namespace cli {

namespace {

namespace fs = std::filesystem;

// The path of an output named after its source ("prog.mic.o"), in the
// output folder when one is given.
std::string DefaultPath(const Invocation& invocation, const std::string& name) {
    if (invocation.outputDir.empty()) return name;
    return (fs::path(invocation.outputDir) / fs::path(name).filename()).string();
}

void AddOutput(const Invocation& invocation, SourceJob& job, OutputKind kind, const OutputChoice& choice,
               std::string_view extension) {
    if (!choice.chosen) return;
    if (!choice.name.empty()) {
        job.outputs.push_back({kind, choice.name});
    } else if (job.source != "-") {
        // Standard input has no name to derive one from: only named files.
        job.outputs.push_back({kind, DefaultPath(invocation, job.source + std::string(extension))});
    }
}

// Images have no option that names them, so standard input gets none.
void AddImages(const ProgramInfo& program, const Invocation& invocation, SourceJob& job) {
    if (job.source == "-") return;
    for (const ImagePart& part : ImageParts(program, invocation.images)) {
        job.outputs.push_back({OutputKind::Image,
                               DefaultPath(invocation, image::ImageFileName(job.source, part.format, part.lane)),
                               part.format, part.lane});
    }
}

// Every image file name of the source, whole and in lanes, in every format.
void AddStaleImages(const ProgramInfo& program, const Invocation& invocation, SourceJob& job) {
    if (job.source == "-") return;
    const unsigned lanes = image::LaneCount(program.store.wordBits);
    for (const image::FormatInfo& info : image::Formats()) {
        job.staleImages.push_back(DefaultPath(invocation, image::ImageFileName(job.source, info.format)));
        for (unsigned lane = 0; lane < lanes; ++lane) {
            job.staleImages.push_back(DefaultPath(invocation, image::ImageFileName(job.source, info.format, lane)));
        }
    }
}

}  // namespace

bool PlanOutputs(const ProgramInfo& program, const Invocation& invocation, std::vector<SourceJob>& jobs,
                 std::string& problem) {
    jobs.clear();
    for (const std::string& source : invocation.sources) {
        SourceJob job;
        job.source = source;
        job.display = source == "-" ? "<stdin>" : source;
        AddOutput(invocation, job, OutputKind::Listing, invocation.listing, program.listingExtension);
        AddOutput(invocation, job, OutputKind::Object, invocation.object, program.objectExtension);
        if (program.hasMap) AddOutput(invocation, job, OutputKind::Map, invocation.map, program.mapExtension);
        AddImages(program, invocation, job);
        AddStaleImages(program, invocation, job);
        jobs.push_back(std::move(job));
    }

    std::map<std::string, std::string> sources;  // file key -> the source as given
    for (const std::string& source : invocation.sources) {
        if (source != "-") sources.emplace(FileKey(source), source);
    }
    std::map<std::string, std::string> taken;  // file key -> the output as planned
    for (const SourceJob& job : jobs) {
        for (const PlannedOutput& output : job.outputs) {
            std::string key = FileKey(output.path);
            if (auto s = sources.find(key); s != sources.end()) {
                problem = "output '" + output.path + "' would overwrite the source '" + s->second + "'";
                return false;
            }
            auto [at, fresh] = taken.emplace(key, output.path);
            if (!fresh) {
                problem = output.path == "-" ? std::string("two outputs would go to standard output")
                                             : "two outputs would be written to '" + output.path + "'";
                return false;
            }
        }
    }
    // A stale image is no file this call reads or writes.
    for (SourceJob& job : jobs) {
        std::erase_if(job.staleImages, [&](const std::string& path) {
            const std::string key = FileKey(path);
            return sources.count(key) > 0 || taken.count(key) > 0;
        });
    }
    return true;
}

}  // namespace cli
