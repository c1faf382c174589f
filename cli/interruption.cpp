#include "cli/interruption.hpp"

#include <unistd.h>

#include "common/temporary_files.hpp"

namespace cli {

namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGPIPE};

sigset_t HandledSignals() {
    sigset_t set;
    sigemptyset(&set);
    for (int signal_number : kSignals) sigaddset(&set, signal_number);
    return set;
}

void RemoveName(const char* name) { ::unlink(name); }

// Only async-signal-safe calls: unlink, sigaction, sigprocmask, raise and
// _exit, and the lock-free reads of the table of temporary files.
extern "C" void OnInterruption(int signal_number) {
    common::VisitTemporaries(&RemoveName);
    // Ended by the signal itself, not by exit(128 + n), so that a shell
    // running a loop of these programs sees the interruption and stops too.
    struct sigaction plain {};
    plain.sa_handler = SIG_DFL;
    sigemptyset(&plain.sa_mask);
    sigaction(signal_number, &plain, nullptr);
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, signal_number);
    raise(signal_number);  // pending until unblocked: the handler blocks it
    sigprocmask(SIG_UNBLOCK, &only, nullptr);
    _exit(128 + signal_number);  // not reached
}

}  // namespace

void RemoveTemporariesOnInterruption() {
    struct sigaction handler {};
    handler.sa_handler = &OnInterruption;
    handler.sa_mask = HandledSignals();  // one handler at a time
    for (int signal_number : kSignals) {
        struct sigaction before {};
        if (sigaction(signal_number, nullptr, &before) != 0) continue;
        if (before.sa_handler == SIG_IGN) continue;
        sigaction(signal_number, &handler, nullptr);
    }
}

HeldInterruptions::HeldInterruptions() {
    const sigset_t held = HandledSignals();
    sigprocmask(SIG_BLOCK, &held, &before);
}

HeldInterruptions::~HeldInterruptions() { sigprocmask(SIG_SETMASK, &before, nullptr); }

}  // namespace cli
