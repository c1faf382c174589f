#pragma once
// The sources the golden cases of a program assemble: each case's input
// files and its standard input (which the dialogue cases fill with answers,
// the command-line cases with a source), read as bytes.
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

// Every file under <golden>/<program>/*/input and every <case>/stdin.
inline std::vector<std::filesystem::path> GoldenSources(const std::filesystem::path& golden, const std::string& program) {
    namespace fs = std::filesystem;
    std::vector<fs::path> sources;
    for (const auto& entry : fs::directory_iterator(golden / program)) {
        if (fs::exists(entry.path() / "stdin")) sources.push_back(entry.path() / "stdin");
        if (!fs::exists(entry.path() / "input")) continue;
        for (const auto& file : fs::recursive_directory_iterator(entry.path() / "input")) {
            if (file.is_regular_file() && file.path().filename() != ".keep") sources.push_back(file.path());
        }
    }
    return sources;
}

}  // namespace test_support
