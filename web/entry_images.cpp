#include "web/entry_images.hpp"

#include "cli/image_options.hpp"
#include "cli/image_outputs.hpp"
#include "image/image.hpp"
#include "image/lanes.hpp"

namespace web {

cli::ImageWords* StartImages(const cli::ProgramInfo& program, const EntryImages& asked,
                             std::string_view sourceName, ImageRun& run, std::string& problem) {
    // Without a format the other fields ask for nothing; the page keeps
    // them filled in while no format is chosen.
    if (asked.formats.empty()) return nullptr;
    cli::ImageArguments given;
    given.formats = asked.formats;
    given.fill = asked.fill;
    given.fillGiven = !asked.fill.empty();
    given.lanes.assign(1, '8');  // a one-character assignment GCC 12 does not misread (-Wrestrict)
    given.lanesGiven = asked.lanes;
    given.wordAddresses = asked.hexWordAddresses;
    if (!cli::SettleImages(program, given, run.choice, problem)) return nullptr;
    // The images name the source unless the assembler knows a title; the
    // command line names it by the file's own name, without its folder.
    run.words.name = std::string(sourceName.substr(sourceName.find_last_of('/') + 1));
    return &run.words;
}

void AddImageFiles(const cli::ProgramInfo& program, const ImageRun& run, std::vector<OutputFile>& files) {
    const cli::LoadedImage loaded = cli::LoadImage(program, run.choice, run.words);
    for (const cli::ImagePart& part : cli::ImageParts(program, run.choice)) {
        files.push_back({"image", image::ImageFileName("", part.format, part.lane),
                         cli::ImageBytes(loaded, run.choice, part.format, part.lane),
                         std::string(image::InfoOf(part.format).name), part.lane});
    }
}

ImageFacts FactsOf(const cli::ProgramInfo& program) {
    return {program.store.wordBits, image::LaneCount(program.store.wordBits), cli::DefaultFillDigits(program)};
}

}  // namespace web
