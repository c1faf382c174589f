#pragma once
// A scratch folder to run the programs in, and what is in it afterwards:
// every file with its bytes, every folder and every link, so that a test can
// check that nothing else was written, removed or left behind.
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/child_process.hpp"
#include "tests/support/scratch_folder.hpp"

namespace cli_test {

namespace fs = std::filesystem;

inline std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// Name (relative, "/" between folders) -> the file's bytes; "name/" -> "" for
// a folder; a link -> "-> " and where it points.
using Contents = std::map<std::string, std::string>;

struct ProgramFolder {
    explicit ProgramFolder(const std::string& purpose)
        : scratch("cli-" + purpose), captures("cli-" + purpose + "-streams"), dir(scratch.Path()) {}

    void Write(const std::string& name, const std::string& bytes) const {
        std::ofstream(dir / name, std::ios::binary) << bytes;
    }
    std::string Read(const std::string& name) const { return ReadFile(dir / name); }

    Contents Snapshot() const {
        Contents contents;
        for (auto it = fs::recursive_directory_iterator(dir); it != fs::recursive_directory_iterator(); ++it) {
            const std::string name = it->path().lexically_relative(dir).generic_string();
            if (it->is_symlink()) {
                contents[name] = "-> " + fs::read_symlink(it->path()).string();
            } else if (it->is_directory()) {
                contents[name + "/"] = "";
            } else if (it->is_regular_file()) {
                contents[name] = ReadFile(it->path());
            } else {
                contents[name] = "(special)";
            }
        }
        return contents;
    }

    struct Run {
        int status = -1;  // as a shell shows it
        std::string output;
        std::string errors;
    };

    // Runs the program in the folder, standard input from /dev/null unless
    // the options say otherwise, and collects what it printed.
    Run Start(const std::string& program, const std::vector<std::string>& args,
              test_support::ChildOptions options = {}) const {
        options.folder = dir;
        const bool capture = options.output == "/dev/null";
        if (capture) options.output = (captures.Path() / "stdout").string();
        options.errors = (captures.Path() / "stderr").string();
        Run run;
        const pid_t pid = test_support::StartChild(program, args, options);
        if (pid < 0) return run;
        run.status = test_support::ShellStatus(test_support::WaitChild(pid));
        if (capture) run.output = ReadFile(options.output);
        run.errors = ReadFile(options.errors);
        return run;
    }

    test_support::ScratchFolder scratch;
    test_support::ScratchFolder captures;  // standard output and error, outside the folder looked at
    fs::path dir;
};

// Whether a name is that of a temporary file: ".NAME.tmp-" and six letters
// or digits.
inline bool IsTemporaryName(const std::string& name) {
    const std::size_t at = name.rfind(".tmp-");
    if (name.empty() || name[0] != '.' || at == std::string::npos || name.size() != at + 11) return false;
    for (std::size_t i = at + 5; i < name.size(); ++i) {
        const char c = name[i];
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))) return false;
    }
    return true;
}

}  // namespace cli_test
