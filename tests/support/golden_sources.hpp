#pragma once
// The sources of the golden cases, for the tests that check a property of
// every one: each case's input files and its standard input (which for the
// dialogue cases holds answers, not a source), in name order.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace test_support {

inline std::string ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// `folder` is the program's folder of cases (tests/golden/ctrlforge).
inline std::vector<std::filesystem::path> GoldenSources(const std::filesystem::path& folder) {
    namespace fs = std::filesystem;
    std::vector<fs::path> sources;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (fs::exists(entry.path() / "stdin")) sources.push_back(entry.path() / "stdin");
        if (!fs::exists(entry.path() / "input")) continue;
        for (const auto& file : fs::recursive_directory_iterator(entry.path() / "input")) {
            if (file.is_regular_file() && file.path().filename() != ".keep") sources.push_back(file.path());
        }
    }
    std::sort(sources.begin(), sources.end());
    return sources;
}

}  // namespace test_support
