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

std::string ImageBytes(const LoadedImage& loaded, const ImageChoice& images, image::Format format,
                       std::optional<unsigned> lane) {
    const image::HexAddressing addressing =
        images.wordAddresses ? image::HexAddressing::Words : image::HexAddressing::Bytes;
    if (!lane) return image::WriteImage(format, loaded.store, loaded.words, addressing);
    const image::Lane split = image::SplitLane(loaded.store, loaded.words, *lane);
    return image::WriteImage(format, split.store, split.words, addressing);
}

std::string ImageBytes(const LoadedImage& loaded, const ImageChoice& images, const PlannedOutput& output) {
    return ImageBytes(loaded, images, output.format, output.lane);
}

}  // namespace cli
