#include "cli/command_line.hpp"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "cli/arguments.hpp"
#include "cli/decode_commands.hpp"
#include "cli/diagnostic_printer.hpp"
#include "cli/image_outputs.hpp"
#include "cli/output_files.hpp"
#include "cli/output_plan.hpp"
#include "cli/standard_input.hpp"
#include "cli/warnings.hpp"

namespace cli {

namespace {

// Standard error, gathered and written in large pieces: a source with a
// million errors prints a million lines. The usual line is written straight
// into the stream's own room; carets, colour, JSON and failures are built in
// `text` first.
struct ErrorStream {
    static constexpr std::size_t kRoom = std::size_t{1} << 16;

    std::FILE* file;
    DiagnosticPrinter printer;
    std::string_view program;
    bool plain = true;  // one line per diagnostic: no caret, colour or JSON
    std::vector<char> room = std::vector<char>(kRoom);
    std::size_t used = 0;
    std::string text{};

    void Write(std::string_view bytes) {
        if (used + bytes.size() > room.size()) Flush();
        if (bytes.size() > room.size()) {
            std::fwrite(bytes.data(), 1, bytes.size(), file);
            return;
        }
        std::memcpy(room.data() + used, bytes.data(), bytes.size());
        used += bytes.size();
    }
    void Failure(std::string_view path, std::string_view message) {
        text.clear();
        AppendFailure(printer, text, program, path, message);
        Write(text);
    }
    void Diagnostic(std::string_view name, std::string_view source, const common::Diagnostic& diagnostic) {
        if (plain) {  // the usual case, kept short
            const std::size_t bound = common::DiagnosticLineBound(name, diagnostic);
            if (used + bound > room.size()) Flush();
            if (bound > room.size()) room.resize(bound);
            used = static_cast<std::size_t>(common::PutDiagnosticLine(room.data() + used, name, diagnostic) -
                                            room.data());
            return;
        }
        text.clear();
        AppendDiagnostic(printer, text, name, source, diagnostic);
        Write(text);
    }
    void Begin() {
        text.clear();
        BeginDiagnostics(printer, text);
        Write(text);
    }
    void End() {
        text.clear();
        EndDiagnostics(printer, text);
        Write(text);
    }
    void Flush() {
        if (used != 0) std::fwrite(room.data(), 1, used, file);
        used = 0;
        std::fflush(file);
    }
};

// "cannot read 'x.mic': No such file or directory"
std::string Failure(std::string_view verb, std::string_view path, int errnum) {
    std::string text{};
    text += "cannot ";
    text += verb;
    text += " '";
    text += path;
    text += "': ";
    text += std::strerror(errnum);
    return text;
}

// The images of earlier runs that a failed source leaves behind, regular
// files only.
void RemoveStaleImages(const SourceJob& job) {
    for (const std::string& path : job.staleImages) {
        std::error_code ec;
        if (!std::filesystem::is_regular_file(std::filesystem::symlink_status(path, ec))) continue;
        int errnum = 0;
        common::DeleteFile(path, errnum);
    }
}

void WriteImages(const ProgramInfo& program, const Invocation& invocation, const ImageWords& handed,
                 Outputs& outputs) {
    const LoadedImage loaded = LoadImage(program, invocation.images, handed);
    for (auto& output : outputs) {
        if (output->planned.kind == OutputKind::Image) {
            output->file.Sink().WriteThrough(ImageBytes(loaded, invocation.images, output->planned));
        }
    }
}

int RunJob(const ProgramInfo& program, const Invocation& invocation, const SourceJob& job,
           Assembler assemble, std::FILE* in, std::FILE* out, ErrorStream& err) {
    std::string text{};
    common::FileBytes bytes;
    std::string_view source;
    int errnum = 0;
    if (job.source == "-") {
        if (!ReadStandardInput(in, text, errnum)) {
            err.Failure("-", Failure("read", "-", errnum));
            return kFailure;
        }
        source = text;
    } else {
        if (!common::ReadWholeFile(job.source, bytes, errnum)) {
            err.Failure(job.source, Failure("read", job.source, errnum));
            return kFailure;
        }
        source = bytes.View();
    }

    // Every file is written aside and put in place at the end; on every
    // return before that, the old files stay as they were.
    Outputs outputs;
    OutputFailure failure;
    if (!OpenOutputs(job.outputs, outputs, failure)) {
        err.Failure(failure.path, Failure(failure.verb, failure.path, failure.errnum));
        return kFailure;
    }

    JobOutputs sinks;
    ImageWords handed;
    for (auto& output : outputs) {
        common::OutputSink* sink = &output->Sink();
        switch (output->planned.kind) {
            case OutputKind::Listing: sinks.listing = sink; break;
            case OutputKind::Object: sinks.object = sink; break;
            case OutputKind::Map: sinks.map = sink; break;
            case OutputKind::Image: sinks.image = &handed; break;
        }
    }
    // The images name the source file unless the assembler knows a title.
    if (sinks.image != nullptr) handed.name = std::filesystem::path(job.source).filename().string();

    std::size_t errors = 0;
    common::DiagnosticSink diagnostics;
    diagnostics.locator.text = source;
    diagnostics.wantsWarning = [&](std::string_view name) { return WarningEnabled(invocation.warnings, name); };
    diagnostics.emit = [&](const common::Diagnostic& diagnostic) {
        if (!Shown(invocation.warnings, diagnostic)) return;
        if (diagnostic.severity == common::Severity::Error) {
            ++errors;
            err.Diagnostic(job.display, source, diagnostic);
            return;
        }
        if (diagnostic.severity == common::Severity::Note || !invocation.warnings.asErrors) {
            err.Diagnostic(job.display, source, diagnostic);
            return;
        }
        ++errors;
        err.Diagnostic(job.display, source, AsReported(invocation.warnings, diagnostic));
    };
    sinks.diagnostics = &diagnostics;
    bool failed = assemble(source, sinks);
    failed = failed || errors > 0;
    if (!failed && sinks.image != nullptr) WriteImages(program, invocation, handed, outputs);

    if (!CloseOutputs(outputs, failure)) {
        err.Failure(failure.path, Failure(failure.verb, failure.path, failure.errnum));
        return kFailure;
    }
    err.Flush();
    // Standard output before the files go in place: when it fails, the old
    // files stay.
    for (auto& output : outputs) {
        if (!output->toStandardOutput) continue;
        if (failed && output->planned.kind != OutputKind::Listing) continue;
        const std::string& bytesOut = output->memory.buffer;
        errno = 0;
        if (std::fwrite(bytesOut.data(), 1, bytesOut.size(), out) != bytesOut.size() || std::fflush(out) != 0) {
            err.Failure("-", Failure("write", "standard output", errno != 0 ? errno : EIO));
            return kFailure;
        }
    }
    if (!PutInPlace(outputs, failed, failure)) {
        err.Failure(failure.path, Failure(failure.verb, failure.path, failure.errnum));
        return kFailure;
    }
    // A failed source leaves no image of an earlier run either, in any
    // format or lane, for nobody to program a memory from.
    if (failed) RemoveStaleImages(job);
    return failed ? kSourceErrors : kSuccess;
}

}  // namespace

int RunCommandLine(const ProgramInfo& program, Assembler assemble, int argc, const char* const* argv,
                   std::FILE* in, std::FILE* out, std::FILE* err) {
    Invocation invocation;
    std::ostringstream outText, errText;
    int status = kSuccess;
    ParseOutcome outcome = ParseArguments(program, argc, argv, invocation, outText, errText, status);
    if (outcome == ParseOutcome::Run && invocation.readBack.mode != ReadBackMode::None) {
        return RunReadBack(program, invocation, in, out, err);
    }
    std::vector<SourceJob> jobs;
    std::string problem;
    if (outcome == ParseOutcome::Run && !PlanOutputs(program, invocation, jobs, problem)) {
        status = UsageError(program, errText, problem);
        outcome = ParseOutcome::Exit;
    }
    if (outcome == ParseOutcome::Exit) {
        std::string o = outText.str(), e = errText.str();
        // What --help, --version and --word-layout print counts: when it
        // cannot be written, the run fails.
        errno = 0;
        if (std::fwrite(o.data(), 1, o.size(), out) != o.size() || std::fflush(out) != 0) {
            e += std::string(program.name) + ": " + Failure("write", "standard output", errno != 0 ? errno : EIO) + "\n";
            status = kFailure;
        }
        std::fwrite(e.data(), 1, e.size(), err);
        std::fflush(err);
        return status;
    }
    ErrorStream errors{err, {}, program.name};
    errors.printer.style = SettleStyle(invocation.diagnostics, ::isatty(::fileno(err)) != 0, std::getenv("NO_COLOR"),
                                       std::getenv("TERM"));
    errors.plain = !errors.printer.style.caret && !errors.printer.style.color && !errors.printer.style.json;
    errors.Begin();
    for (const SourceJob& job : jobs) {
        status = std::max(status, RunJob(program, invocation, job, assemble, in, out, errors));
        errors.Flush();
    }
    errors.End();
    errors.Flush();
    return status;
}

}  // namespace cli
