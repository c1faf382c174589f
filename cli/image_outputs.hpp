#pragma once
// The memory images of one source, made after its assembly from the words
// the assembler handed over.
#include <optional>
#include <string>
#include <vector>

#include "cli/assembly.hpp"
#include "cli/invocation.hpp"
#include "cli/output_plan.hpp"
#include "image/store.hpp"

namespace cli {

// The store the images describe and the words it holds, one per used
// address: every format and lane is written from these.
struct LoadedImage {
    image::Store store;
    std::vector<image::PlacedWord> words;
};

LoadedImage LoadImage(const ProgramInfo& program, const ImageChoice& images, const ImageWords& handed);

// The bytes of one image: the format's whole image, or one lane of it.
std::string ImageBytes(const LoadedImage& loaded, const ImageChoice& images, image::Format format,
                       std::optional<unsigned> lane);

// The bytes of one planned image file.
std::string ImageBytes(const LoadedImage& loaded, const ImageChoice& images, const PlannedOutput& output);

}  // namespace cli
