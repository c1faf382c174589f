#pragma once
// Starts a program with its answers piped in, as an unprivileged user when
// the tests run as root: permissions do not stop root, so a test of an
// unreadable file would prove nothing there.
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace test_support {

struct ProgramRun {
    bool started = false;
    std::string skipReason;  // why the program was not started, when it was not
    int status = -1;         // exit status
    std::string output;      // standard output
    std::string errors;      // standard error (command-line runs)
};

inline std::string ShellQuoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        if (c == '\'') {
            quoted += "'\\''";
        } else {
            quoted += c;
        }
    }
    return quoted + "'";
}

// Runs `program` with `input` on its standard input; the answers and the
// output pass through files in `dir`. As root, the program is started through
// setpriv (util-linux) as the user nobody, with nobody's group and no
// supplementary groups.
inline ProgramRun RunUnprivileged(const std::string& program, const std::string& input,
                                  const std::filesystem::path& dir, const std::vector<std::string>& args = {}) {
    ProgramRun run;
    std::string prefix;
    if (geteuid() == 0) {
        const passwd* nobody = getpwnam("nobody");
        if (nobody == nullptr) {
            run.skipReason = "running as root, and there is no user nobody to run the program as";
            return run;
        }
        prefix = "setpriv --reuid=" + std::to_string(nobody->pw_uid) + " --regid=" + std::to_string(nobody->pw_gid) +
                 " --clear-groups ";
        if (std::system((prefix + "true >/dev/null 2>&1").c_str()) != 0) {
            run.skipReason = "running as root, and setpriv cannot start a program as the user nobody here "
                             "(is util-linux installed?)";
            return run;
        }
    }
    const std::filesystem::path answers = dir / "answers.txt";
    const std::filesystem::path console = dir / "console.txt";
    std::ofstream(answers, std::ios::binary) << input;
    const std::filesystem::path errors = dir / "errors.txt";
    std::string command = prefix + ShellQuoted(program);
    for (const std::string& arg : args) command += " " + ShellQuoted(arg);
    command += " <" + ShellQuoted(answers.string()) + " >" + ShellQuoted(console.string()) + " 2>" +
               ShellQuoted(errors.string());
    const int raw = std::system(command.c_str());
    run.started = true;
    run.status = raw != -1 && WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    auto read = [](const std::filesystem::path& path) {
        std::ifstream text(path, std::ios::binary);
        std::ostringstream bytes;
        bytes << text.rdbuf();
        return bytes.str();
    };
    run.output = read(console);
    run.errors = read(errors);
    return run;
}

}  // namespace test_support
