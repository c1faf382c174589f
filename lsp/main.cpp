// zorvelt-lsp: the language server of both assemblers, speaking the
// Language Server Protocol over standard input and output. It ends when the
// client sends exit (status 0 after shutdown, 1 without) or closes the
// input.
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <string>
#include <string_view>

#include "lsp/framing.hpp"
#include "lsp/server.hpp"

namespace {

// Writes all of `bytes`; false when the descriptor refuses them.
bool WriteAll(int fd, std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t wrote = write(fd, bytes.data() + done, bytes.size() - done);
        if (wrote < 0 && errno == EINTR) continue;
        if (wrote <= 0) return false;
        done += static_cast<std::size_t>(wrote);
    }
    bytes.clear();
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1) {
        const std::string_view option = argv[1];
        if (option == "--version") {
            std::string text = "zorvelt-lsp " ZORVELT_VERSION "\n";
            return WriteAll(STDOUT_FILENO, text) ? 0 : 2;
        }
        std::string text = option == "--help" || option == "-h"
                               ? std::string("Usage: zorvelt-lsp [--stdio]\n"
                                             "The language server of ctrlforge and wordforge: speaks the Language "
                                             "Server Protocol\non standard input and output. See zorvelt-lsp(1).\n")
                               : std::string();
        if (!text.empty()) return WriteAll(STDOUT_FILENO, text) ? 0 : 2;
        // --stdio, which clients pass by habit, is the only transport.
        if (option != "--stdio") {
            text = "zorvelt-lsp: unknown option '" + std::string(option) + "'\nTry 'zorvelt-lsp --help'.\n";
            WriteAll(STDERR_FILENO, text);
            return 2;
        }
    }
    // A client that goes away while an answer is written ends the server
    // through the failed write, not through a signal.
    std::signal(SIGPIPE, SIG_IGN);

    lsp::Server server;
    lsp::FrameReader reader;
    std::string chunk(1 << 16, '\0');
    while (server.phase != lsp::Phase::Exited) {
        const ssize_t got = read(STDIN_FILENO, chunk.data(), chunk.size());
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) {
            lsp::InputEnded(server);
            break;
        }
        lsp::Feed(reader, std::string_view(chunk.data(), static_cast<std::size_t>(got)));
        lsp::HandleFrames(server, reader);
        // Every message read so far is handled: the documents they changed
        // are assembled once each.
        lsp::PublishPending(server);
        WriteAll(STDERR_FILENO, server.log);
        server.log.clear();
        if (!WriteAll(STDOUT_FILENO, server.outgoing)) {
            server.exitStatus = 1;
            break;
        }
    }
    WriteAll(STDERR_FILENO, server.log);
    WriteAll(STDOUT_FILENO, server.outgoing);
    return server.exitStatus;
}
