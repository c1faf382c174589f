#include "cli/command_line.hpp"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "cli/arguments.hpp"
#include "cli/image_outputs.hpp"
#include "cli/output_files.hpp"
#include "cli/output_plan.hpp"
#include "cli/warnings.hpp"

namespace cli {

namespace {

// Standard error, gathered and written in large pieces: a source with a
// million errors prints a million lines.
struct ErrorStream {
    std::FILE* file;
    std::string buffer;

    void Line(std::string_view text) {
        buffer.append(text);
        buffer.push_back('\n');
        if (buffer.size() >= (1u << 16)) Flush();
    }
    void Diagnostic(std::string_view name, const common::Diagnostic& diagnostic) {
        common::AppendDiagnosticLine(buffer, name, diagnostic);
        if (buffer.size() >= (1u << 16)) Flush();
    }
    void Flush() {
        if (!buffer.empty()) std::fwrite(buffer.data(), 1, buffer.size(), file);
        buffer.clear();
        std::fflush(file);
    }
};

std::string Failure(const ProgramInfo& program, std::string_view verb, std::string_view path, int errnum) {
    std::string text(program.name);
    text += ": cannot ";
    text += verb;
    text += " '";
    text += path;
    text += "': ";
    text += std::strerror(errnum);
    return text;
}

bool ReadStandardInput(std::FILE* in, std::string& bytes, int& errnum) {
    char chunk[1 << 16];
    for (;;) {
        std::size_t got = std::fread(chunk, 1, sizeof chunk, in);
        bytes.append(chunk, got);
        if (got < sizeof chunk) break;
    }
    if (std::ferror(in)) {
        errnum = errno != 0 ? errno : EIO;
        return false;
    }
    return true;
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
    std::string text;
    common::FileBytes bytes;
    std::string_view source;
    int errnum = 0;
    if (job.source == "-") {
        if (!ReadStandardInput(in, text, errnum)) {
            err.Line(Failure(program, "read", "-", errnum));
            return kFailure;
        }
        source = text;
    } else {
        if (!common::ReadWholeFile(job.source, bytes, errnum)) {
            err.Line(Failure(program, "read", job.source, errnum));
            return kFailure;
        }
        source = bytes.View();
    }

    // Every file is written aside and put in place at the end; on every
    // return before that, the old files stay as they were.
    Outputs outputs;
    OutputFailure failure;
    if (!OpenOutputs(job.outputs, outputs, failure)) {
        err.Line(Failure(program, failure.verb, failure.path, failure.errnum));
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
            err.Diagnostic(job.display, diagnostic);
            return;
        }
        if (!invocation.warnings.asErrors) {
            err.Diagnostic(job.display, diagnostic);
            return;
        }
        ++errors;
        common::Diagnostic promoted = diagnostic;
        promoted.severity = common::Severity::Error;
        promoted.tag = "-Werror=" + std::string(WarningName(diagnostic));
        err.Diagnostic(job.display, promoted);
    };
    sinks.diagnostics = &diagnostics;
    bool failed = assemble(source, sinks);
    failed = failed || errors > 0;
    if (!failed && sinks.image != nullptr) WriteImages(program, invocation, handed, outputs);

    if (!CloseOutputs(outputs, failure)) {
        err.Line(Failure(program, failure.verb, failure.path, failure.errnum));
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
            err.Line(Failure(program, "write", "standard output", errno != 0 ? errno : EIO));
            return kFailure;
        }
    }
    if (!PutInPlace(outputs, failed, failure)) {
        err.Line(Failure(program, failure.verb, failure.path, failure.errnum));
        return kFailure;
    }
    return failed ? kSourceErrors : kSuccess;
}

}  // namespace

int RunCommandLine(const ProgramInfo& program, Assembler assemble, int argc, const char* const* argv,
                   std::FILE* in, std::FILE* out, std::FILE* err) {
    Invocation invocation;
    std::ostringstream outText, errText;
    int status = kSuccess;
    ParseOutcome outcome = ParseArguments(program, argc, argv, invocation, outText, errText, status);
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
            e += Failure(program, "write", "standard output", errno != 0 ? errno : EIO) + "\n";
            status = kFailure;
        }
        std::fwrite(e.data(), 1, e.size(), err);
        std::fflush(err);
        return status;
    }
    ErrorStream errors{err, {}};
    for (const SourceJob& job : jobs) {
        status = std::max(status, RunJob(program, invocation, job, assemble, in, out, errors));
        errors.Flush();
    }
    return status;
}

}  // namespace cli
