#pragma once
// A scratch folder for one test: made fresh in the temp folder under a name
// no other test or run can have, and removed with all it holds when the test
// is done, so that runs side by side never meet and a run leaves nothing
// behind.
#include <stdlib.h>

#include <filesystem>
#include <string>
#include <string_view>

namespace test_support {

class ScratchFolder {
public:
    // `purpose` names the folder ("zorvelt-PURPOSE-XXXXXX"), to tell whose
    // it is should one ever be left behind.
    explicit ScratchFolder(std::string_view purpose) {
        std::string pattern =
            (std::filesystem::temp_directory_path() / ("zorvelt-" + std::string(purpose) + "-XXXXXX")).string();
        if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    ~ScratchFolder() {
        std::error_code ignored;
        if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
    }

    // Empty when the folder could not be made.
    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path operator/(const std::filesystem::path& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

}  // namespace test_support
