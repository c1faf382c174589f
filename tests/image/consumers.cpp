#include "tests/image/consumers.hpp"

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "ctrlforge/ctrlforge.hpp"
#include "image/reader.hpp"
#include "wordforge/wordforge.hpp"

namespace image_test {

std::optional<std::string> FindTool(const std::string& name) {
    const char* path = std::getenv("PATH");
    if (path == nullptr) return std::nullopt;
    std::istringstream folders(path);
    for (std::string folder; std::getline(folders, folder, ':');) {
        if (folder.empty()) continue;
        std::filesystem::path candidate = std::filesystem::path(folder) / name;
        std::error_code error;
        auto status = std::filesystem::status(candidate, error);
        if (!error && std::filesystem::is_regular_file(status) &&
            (status.permissions() & std::filesystem::perms::owner_exec) != std::filesystem::perms::none) {
            return candidate.string();
        }
    }
    return std::nullopt;
}

std::string Quote(const std::filesystem::path& path) {
    std::string quoted = "'";
    for (char c : path.string()) {
        if (c == '\'') {
            quoted += "'\\''";
        } else {
            quoted += c;
        }
    }
    return quoted + "'";
}

int Run(const std::string& command, const std::filesystem::path& output) {
    int status = std::system((command + " >" + Quote(output) + " 2>&1").c_str());
    if (status == -1 || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

std::filesystem::path FreshFolder(const std::string& name) {
    std::filesystem::path folder = std::filesystem::path(IMAGE_WORK_DIR) / name;
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder;
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path.string());
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

std::string Example(const std::string& name) { return ReadFile(std::filesystem::path(EXAMPLES_DIR) / name); }

std::string TestProgram(const std::string& name) {
    return ReadFile(std::filesystem::path(TEST_PROGRAMS_DIR) / name);
}

Program AssembleMicro(const std::string& name, const std::string& source) {
    Program program;
    program.name = name;
    ctrlforge::CtrlOutput out = ctrlforge::AssembleText(source, {.listing = false}, {.placed = &program.placed});
    if (out.failed) throw std::runtime_error(name + " did not assemble");
    program.object = out.object;
    program.map = out.map;
    program.store = {ctrlforge::kControlWordBits, ctrlforge::kControlStoreWords, ctrlforge::EmptyControlWord(), name};
    return program;
}

Program AssembleMachine(const std::string& name, const std::string& source) {
    Program program;
    program.name = name;
    wordforge::WordResult out = wordforge::AssembleText(source, {.placed = &program.placed});
    if (out.errorCount != 0) throw std::runtime_error(name + " did not assemble");
    program.object = out.object;
    program.store = {wordforge::kMemoryWordBits, wordforge::kMemoryWords, 0, name};
    return program;
}

std::string ProgramPath(Assembler assembler) {
    return assembler == Assembler::Ctrlforge ? CTRLFORGE_PROGRAM : WORDFORGE_PROGRAM;
}

int RunCommandLine(Assembler assembler, const std::filesystem::path& folder, const std::string& sourceName,
                   const std::string& source, const std::string& arguments) {
    WriteFile(folder / sourceName, source);
    return Run("cd " + Quote(folder) + " && " + Quote(ProgramPath(assembler)) + " " + arguments + " " +
                   Quote(sourceName),
               folder / "log");
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

std::map<std::uint32_t, std::uint64_t> ObjectFileWords(const std::string& object, unsigned wordBits,
                                                       std::uint32_t depth) {
    const image::ReadResult read = image::ReadImage({"object", object}, {wordBits, depth, "object", {}});
    if (read.error) throw std::runtime_error(image::FormatReadError(*read.error));
    std::map<std::uint32_t, std::uint64_t> words;
    for (const image::PlacedWord& placed : read.words) words[placed.address] = placed.word;
    return words;
}

}  // namespace image_test
