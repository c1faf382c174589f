#pragma once
// Starts a program as a child process, so that a test can signal it, run
// several side by side, or limit what it may write. The child starts with
// every signal at its default action (whatever the test runner ignores), in
// the given folder, with its standard streams on the given files.
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace test_support {

struct ChildOptions {
    std::filesystem::path folder;    // where the program runs
    std::string input = "/dev/null"; // standard input
    std::string output = "/dev/null";
    std::string errors = "/dev/null";
    long fileSizeLimit = -1;         // RLIMIT_FSIZE in bytes; writes beyond it fail with EFBIG
    int umask = -1;                  // the file mode creation mask, when set
    std::vector<int> ignored;        // signals the program starts with ignored, as nohup does
};

// Returns the child's process id, or -1 when it could not be started.
inline pid_t StartChild(const std::string& program, const std::vector<std::string>& args, const ChildOptions& options) {
    std::vector<std::string> words{program};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    const pid_t pid = fork();
    if (pid != 0) return pid;
    // The child: only calls that are safe after fork, then exec.
    for (int s = 1; s < NSIG; ++s) signal(s, SIG_DFL);
    for (int s : options.ignored) signal(s, SIG_IGN);
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    if (options.fileSizeLimit >= 0) {
        // A write past the limit fails with EFBIG instead of ending the
        // program with SIGXFSZ: the way a full disk shows.
        signal(SIGXFSZ, SIG_IGN);
        rlimit limit{static_cast<rlim_t>(options.fileSizeLimit), static_cast<rlim_t>(options.fileSizeLimit)};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    if (options.umask >= 0) ::umask(static_cast<mode_t>(options.umask));
    if (!options.folder.empty() && chdir(options.folder.c_str()) != 0) _exit(126);
    auto redirect = [](const std::string& path, int flags, int fd) {
        int opened = open(path.c_str(), flags, 0644);
        if (opened < 0) _exit(126);
        dup2(opened, fd);
        close(opened);
    };
    redirect(options.input, O_RDONLY, 0);
    redirect(options.output, O_WRONLY | O_CREAT | O_TRUNC, 1);
    redirect(options.errors, O_WRONLY | O_CREAT | O_TRUNC, 2);
    execv(program.c_str(), argv.data());
    _exit(127);
}

// Waits for the child; returns the raw wait status.
inline int WaitChild(pid_t pid) {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return -1;
    }
    return status;
}

// The exit status as a shell shows it: 128 + the signal's number for a
// program ended by a signal.
inline int ShellStatus(int raw) {
    if (WIFEXITED(raw)) return WEXITSTATUS(raw);
    if (WIFSIGNALED(raw)) return 128 + WTERMSIG(raw);
    return -1;
}

}  // namespace test_support
