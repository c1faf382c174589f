// Runs one command as a whole process and reports its wall time and peak
// memory (getrusage of the child through wait4).
//   proc_timer [-i TEXT] [-o FILE] -- COMMAND [ARG...]
// TEXT is written to the command's standard input through a pipe (the pipe
// is closed after it); without -i the input is /dev/null. Standard output
// goes to FILE (default /dev/null). Prints "SECONDS MAXRSS_KB EXIT_STATUS".
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>

namespace {

int Usage() {
    std::fputs("usage: proc_timer [-i TEXT] [-o FILE] [-e FILE] -- COMMAND [ARG...]\n", stderr);
    return 2;
}

double Now() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

}  // namespace

int main(int argc, char** argv) {
    const char* input = nullptr;
    const char* output = "/dev/null";
    const char* errors = nullptr;  // standard error stays the caller's unless named
    int i = 1;
    for (; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0) {
            ++i;
            break;
        }
        if (std::strcmp(argv[i], "-i") == 0 && i + 1 < argc) {
            input = argv[++i];
        } else if (std::strcmp(argv[i], "-o") == 0 && i + 1 < argc) {
            output = argv[++i];
        } else if (std::strcmp(argv[i], "-e") == 0 && i + 1 < argc) {
            errors = argv[++i];
        } else {
            return Usage();
        }
    }
    if (i >= argc) return Usage();

    int out = open(output, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out < 0) {
        std::perror(output);
        return 1;
    }
    int err = errors != nullptr ? open(errors, O_WRONLY | O_CREAT | O_TRUNC, 0644) : -1;
    if (errors != nullptr && err < 0) {
        std::perror(errors);
        return 1;
    }
    int pipefd[2] = {-1, -1};
    if (input != nullptr && pipe(pipefd) != 0) {
        std::perror("pipe");
        return 1;
    }

    double start = Now();
    pid_t child = fork();
    if (child < 0) {
        std::perror("fork");
        return 1;
    }
    if (child == 0) {
        if (input != nullptr) {
            dup2(pipefd[0], STDIN_FILENO);
            close(pipefd[0]);
            close(pipefd[1]);
        } else {
            int null = open("/dev/null", O_RDONLY);
            if (null >= 0) dup2(null, STDIN_FILENO);
        }
        dup2(out, STDOUT_FILENO);
        close(out);
        if (err >= 0) {
            dup2(err, STDERR_FILENO);
            close(err);
        }
        execvp(argv[i], argv + i);
        std::perror(argv[i]);
        _exit(127);
    }
    if (input != nullptr) {
        std::signal(SIGPIPE, SIG_IGN);  // the parent only; the child keeps the default
        close(pipefd[0]);
        std::string text = input;
        std::size_t done = 0;
        while (done < text.size()) {
            ssize_t put = write(pipefd[1], text.data() + done, text.size() - done);
            if (put <= 0) break;  // the command stopped reading
            done += static_cast<std::size_t>(put);
        }
        close(pipefd[1]);
    }
    close(out);
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) < 0) {
        std::perror("wait4");
        return 1;
    }
    double elapsed = Now() - start;
    int exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    std::printf("%.6f %ld %d\n", elapsed, usage.ru_maxrss, exitStatus);
    return 0;
}
