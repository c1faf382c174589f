// The language server's latency as an editor sees it: the built zorvelt-lsp
// started as a child process on pipes, and the time from writing a
// didChange to reading the publishDiagnostics it causes, on a full control
// store (FILL.MIC, 4,095 statements) and a wordforge program of 65,536
// words. Each change alternately puts an error into a line (a letter before
// its first word) and takes it out, so that the diagnostics differ every
// time, and each publication is checked for it. Then the memory of the
// server with ten such documents open.
//   lsp_latency SERVER [CHANGES]
// Prints Markdown tables; exits 1 when the server misbehaves.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "generators.hpp"

namespace {

struct ServerProcess {
    pid_t pid = -1;
    int toServer = -1;
    int fromServer = -1;
    std::string buffer;
};

[[noreturn]] void Fail(const std::string& why) {
    std::fprintf(stderr, "lsp_latency: %s\n", why.c_str());
    std::exit(1);
}

void Start(const char* program, ServerProcess& server) {
    int in[2], out[2];
    if (pipe(in) != 0 || pipe(out) != 0) Fail("pipe");
    server.pid = fork();
    if (server.pid < 0) Fail("fork");
    if (server.pid == 0) {
        dup2(in[0], STDIN_FILENO);
        dup2(out[1], STDOUT_FILENO);
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, STDERR_FILENO);
        close(in[1]);
        close(out[0]);
        execl(program, program, static_cast<char*>(nullptr));
        _exit(127);
    }
    close(in[0]);
    close(out[1]);
    server.toServer = in[1];
    server.fromServer = out[0];
}

void Send(ServerProcess& server, const std::string& body) {
    std::string frame = "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
    std::size_t done = 0;
    while (done < frame.size()) {
        const ssize_t wrote = write(server.toServer, frame.data() + done, frame.size() - done);
        if (wrote <= 0) Fail("the server stopped reading");
        done += static_cast<std::size_t>(wrote);
    }
}

// The next message body from the server.
std::string Receive(ServerProcess& server) {
    for (;;) {
        const std::size_t headerEnd = server.buffer.find("\r\n\r\n");
        if (headerEnd != std::string::npos) {
            const std::size_t field = server.buffer.find("Content-Length: ");
            if (field == std::string::npos || field > headerEnd) Fail("a header without Content-Length");
            const std::size_t length = std::strtoul(server.buffer.c_str() + field + 16, nullptr, 10);
            if (server.buffer.size() >= headerEnd + 4 + length) {
                std::string body = server.buffer.substr(headerEnd + 4, length);
                server.buffer.erase(0, headerEnd + 4 + length);
                return body;
            }
        }
        char chunk[1 << 16];
        const ssize_t got = read(server.fromServer, chunk, sizeof chunk);
        if (got <= 0) Fail("the server ended");
        server.buffer.append(chunk, static_cast<std::size_t>(got));
    }
}

std::string WaitFor(ServerProcess& server, std::string_view needle) {
    for (;;) {
        std::string body = Receive(server);
        if (body.find(needle) != std::string::npos) return body;
    }
}

std::string Escaped(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    for (char c : text) {
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\r': out += "\\r"; break;
            case '\n': out += "\\n"; break;
            case '\t': out += "\\t"; break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char code[8];
                    std::snprintf(code, sizeof code, "\\u%04x", static_cast<unsigned>(c));
                    out += code;
                } else {
                    out += c;
                }
        }
    }
    return out;
}

double Now() {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

std::string Open(std::string_view uri, std::string_view text) {
    return "{\"jsonrpc\":\"2.0\",\"method\":\"textDocument/didOpen\",\"params\":{\"textDocument\":{\"uri\":\"" +
           std::string(uri) + "\",\"languageId\":\"\",\"version\":1,\"text\":\"" + Escaped(text) + "\"}}}";
}

std::string Change(std::string_view uri, int version, const std::string& change) {
    return "{\"jsonrpc\":\"2.0\",\"method\":\"textDocument/didChange\",\"params\":{\"textDocument\":{\"uri\":\"" +
           std::string(uri) + "\",\"version\":" + std::to_string(version) + "},\"contentChanges\":[" + change + "]}}";
}

std::string Range(int line, int from, int to) {
    return "\"range\":{\"start\":{\"line\":" + std::to_string(line) + ",\"character\":" + std::to_string(from) +
           "},\"end\":{\"line\":" + std::to_string(line) + ",\"character\":" + std::to_string(to) + "}}";
}

std::string Hover(int id, std::string_view uri, int line) {
    return "{\"jsonrpc\":\"2.0\",\"id\":" + std::to_string(id) +
           ",\"method\":\"textDocument/hover\",\"params\":{\"textDocument\":{\"uri\":\"" + std::string(uri) +
           "\"},\"position\":{\"line\":" + std::to_string(line) + ",\"character\":9}}}";
}

struct Case {
    const char* label;
    std::string uri;
    std::string text;
    int line;       // the line the error goes into
    int column;     // before its first word
    const char* error;  // what the diagnostics hold with the error in
};

struct Times {
    std::vector<double> in, out, full, hover;
};

double Percentile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    const std::size_t rank = static_cast<std::size_t>(p * static_cast<double>(values.size()) + 0.999999);
    return values[std::min(values.size() - 1, rank == 0 ? 0 : rank - 1)];
}

std::vector<double> Both(const Times& times) {
    std::vector<double> all = times.in;
    all.insert(all.end(), times.out.begin(), times.out.end());
    return all;
}

Times Measure(ServerProcess& server, const Case& c, int changes, int& id) {
    Send(server, Open(c.uri, c.text));
    WaitFor(server, "publishDiagnostics");
    Times times;
    int version = 1;
    constexpr int kWarmUp = 10;
    for (int i = 0; i < changes + kWarmUp; ++i) {
        const bool in = i % 2 == 0;
        std::string change = "{";
        change += Range(c.line, c.column, in ? c.column : c.column + 1);
        change += in ? ",\"text\":\"X\"}" : ",\"text\":\"\"}";
        const double start = Now();
        Send(server, Change(c.uri, ++version, change));
        const std::string published = WaitFor(server, "publishDiagnostics");
        const double took = Now() - start;
        if ((published.find(c.error) != std::string::npos) != in) Fail(std::string("wrong diagnostics for ") + c.label);
        if (i >= kWarmUp) (in ? times.in : times.out).push_back(took);
        // Now and then the model too: a hover right after the change.
        if (i >= kWarmUp && i % 10 == 1) {
            const double asked = Now();
            Send(server, Hover(++id, c.uri, c.line));
            WaitFor(server, "\"id\":" + std::to_string(id));
            times.hover.push_back(Now() - asked);
        }
    }
    // The whole text each time, as a client without incremental changes
    // sends it: a tenth as many.
    for (int i = 0; i < changes / 10; ++i) {
        const double start = Now();
        Send(server, Change(c.uri, ++version, "{\"text\":\"" + Escaped(c.text) + "\"}"));
        WaitFor(server, "publishDiagnostics");
        times.full.push_back(Now() - start);
    }
    return times;
}

// The server's resident memory now and at its peak, in MiB.
void Memory(pid_t pid, double& now, double& peak) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    now = peak = 0;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) now = std::strtod(line.c_str() + 6, nullptr) / 1024;
        if (line.rfind("VmHWM:", 0) == 0) peak = std::strtod(line.c_str() + 6, nullptr) / 1024;
    }
}

void Stop(ServerProcess& server) {
    Send(server, "{\"jsonrpc\":\"2.0\",\"id\":999999,\"method\":\"shutdown\"}");
    WaitFor(server, "\"id\":999999");
    Send(server, "{\"jsonrpc\":\"2.0\",\"method\":\"exit\"}");
    int status = 0;
    waitpid(server.pid, &status, 0);
    close(server.toServer);
    close(server.fromServer);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) Fail("the server did not end with status 0");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs("usage: lsp_latency SERVER [CHANGES]\n", stderr);
        return 2;
    }
    const int changes = argc > 2 ? std::atoi(argv[2]) : 1000;
    signal(SIGPIPE, SIG_IGN);
    setvbuf(stdout, nullptr, _IOLBF, 0);
    // Line 5 of FILL.MIC (index 4) is the first clause line of the first
    // statement (IF ...); line 5 of the wordforge program the SUB of the
    // first block. A letter before either makes error 16 or flag F.
    const std::vector<Case> cases = {
        {"ctrlforge, FILL.MIC (4,095 statements)", "file:///bench/FILL.MIC", bench::CtrlFillProgram(), 4, 4, "\"E16\""},
        {"wordforge, 65,536 words", "file:///bench/FULL.ASM", bench::WordFullMemoryProgram(), 4, 8,
         "unknown mnemonic"},
    };
    std::printf("Changes per case: %d (half putting an error in, half taking it out), %d with the whole text;\n"
                "times in ms from writing didChange to reading its publishDiagnostics\n\n",
                changes, changes / 10);
    std::printf("| source | lines | median | 99th percentile | max | error in / out (medians) | whole text (median) "
                "| hover after a change (median) | goal |\n");
    std::printf("|---|---:|---:|---:|---:|---:|---:|---:|---|\n");
    int id = 1;
    for (const Case& c : cases) {
        ServerProcess server;
        Start(argv[1], server);
        Send(server, "{\"jsonrpc\":\"2.0\",\"id\":0,\"method\":\"initialize\",\"params\":{\"capabilities\":{}}}");
        WaitFor(server, "\"capabilities\"");
        const Times times = Measure(server, c, changes, id);
        const std::vector<double> all = Both(times);
        const double median = Percentile(all, 0.5), p99 = Percentile(all, 0.99);
        std::printf("| %s | %zu | %.2f | %.2f | %.2f | %.2f / %.2f | %.1f | %.1f | median <= 10, p99 <= 20: %s |\n",
                    c.label, bench::CountLines(c.text), median, p99, Percentile(all, 1.0), Percentile(times.in, 0.5),
                    Percentile(times.out, 0.5), Percentile(times.full, 0.5), Percentile(times.hover, 0.5),
                    median <= 10 && p99 <= 20 ? "met" : "MISSED");
        Stop(server);
    }

    // Ten documents open at once: ten of each kind, and five of each.
    std::printf("\n| documents open | resident MiB | peak MiB | limit MiB | verdict |\n|---|---:|---:|---:|---|\n");
    for (int mix = 0; mix < 3; ++mix) {
        ServerProcess server;
        Start(argv[1], server);
        Send(server, "{\"jsonrpc\":\"2.0\",\"id\":0,\"method\":\"initialize\",\"params\":{\"capabilities\":{}}}");
        WaitFor(server, "\"capabilities\"");
        for (int d = 0; d < 10; ++d) {
            const Case& c = cases[mix == 2 ? static_cast<std::size_t>(d % 2) : static_cast<std::size_t>(mix)];
            // Another folder for each copy: the name keeps its extension,
            // which tells the server the language.
            std::string uri = c.uri;
            const std::string folder = std::to_string(d);
            uri.insert(uri.rfind('/') + 1, 1, '/');
            uri.insert(uri.rfind('/'), folder);
            Send(server, Open(uri, c.text));
            WaitFor(server, "publishDiagnostics");
            // Each one asked about once, as an editor showing it does.
            Send(server, Hover(++id, uri, c.line));
            WaitFor(server, "\"id\":" + std::to_string(id));
        }
        double now = 0, peak = 0;
        Memory(server.pid, now, peak);
        const char* label = mix == 0 ? "ten FILL.MIC" : mix == 1 ? "ten of 65,536 words" : "five of each";
        std::printf("| %s | %.1f | %.1f | 64 | %s |\n", label, now, peak, peak <= 64 ? "met" : "MISSED");
        Stop(server);
    }
    return 0;
}
