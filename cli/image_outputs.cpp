#include "cli/image_outputs.hpp"

#include "image/image.hpp"
#include "image/lanes.hpp"

namespace cli {

LoadedImage LoadImage(const ProgramInfo& program, const ImageChoice& images, const ImageWords& handed) {
    LoadedImage loaded;
    loaded.store = {program.store.wordBits, program.store.depth, images.fill, handed.name};
    // A program may write an address many times over; the images need only
    // the last word at each, and cutting lanes then touches each address once.
    loaded.words = image::UsedWords(image::Load(loaded.store, handed.words));
    return loaded;
}

std::string ImageBytes(const LoadedImage& loaded, const ImageChoice& images, const PlannedOutput& output) {
    const image::HexAddressing addressing =
        images.wordAddresses ? image::HexAddressing::Words : image::HexAddressing::Bytes;
    if (!output.lane) return image::WriteImage(output.format, loaded.store, loaded.words, addressing);
    const image::Lane lane = image::SplitLane(loaded.store, loaded.words, *output.lane);
    return image::WriteImage(output.format, lane.store, lane.words, addressing);
}

}  // namespace cli
