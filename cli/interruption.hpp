#pragma once
// What an interruption does to the files of a run. SIGINT, SIGTERM and SIGHUP
// (and SIGPIPE, a reader of standard output gone) remove the temporary files
// the run has not yet put in place, then end the program as the signal would
// have (a shell shows exit status 128 + the signal's number): the outputs'
// old bytes stay, and no part of a file is left. After SIGKILL, which no
// program sees, the old outputs are untouched as well; only temporary files
// may be left (common/replaced_file.hpp names them).
#include <signal.h>

namespace cli {

// Installs the handler for the program's whole life. A signal that was
// ignored when the program started (nohup, a background job) stays ignored.
void RemoveTemporariesOnInterruption();

// Holds those signals back while it lives, so that the files of one source
// are put in place together; a signal that came meanwhile acts at the end.
struct HeldInterruptions {
    HeldInterruptions();
    HeldInterruptions(const HeldInterruptions&) = delete;
    HeldInterruptions& operator=(const HeldInterruptions&) = delete;
    ~HeldInterruptions();

    sigset_t before;
};

}  // namespace cli
