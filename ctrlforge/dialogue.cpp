#include "ctrlforge/dialogue.hpp"

#include <string>

#include "common/replaced_file.hpp"
#include "common/text_file.hpp"
#include "ctrlforge/ctrlforge.hpp"

namespace ctrlforge {

namespace {

enum class Step { Go, InputEnded, OutputFailed };

// The option letters of the current run: S the listing, O the object file, M
// the map.
struct OptionSet {
    bool S = false;
    bool O = false;
    bool M = false;
};

// Each letter is looked for anywhere in the answer; everything else is
// ignored ("SOM", "m,s", "MOSS").
OptionSet ParseOptions(std::string_view answer) {
    OptionSet options;
    for (char c : answer) {
        if (c == 'S' || c == 's') options.S = true;
        if (c == 'O' || c == 'o') options.O = true;
        if (c == 'M' || c == 'm') options.M = true;
    }
    return options;
}

struct Dialogue {
    Dialogue(common::Console& c, std::ostream& e) : console(c), errors(e) {}
    common::Console& console;
    std::ostream& errors;
    bool ContinueRequested = true;
    bool RunStarted = false;
    bool SourceOpened = false;
    std::string_view question;  // the question asked last
    OptionSet options;
    std::string sourceName;
    common::FileBytes source;  // read into a buffer of its size, never copied
    // Written beside their names and renamed over them when closed, so that
    // a file's old bytes stay until its new ones are complete.
    common::ReplacedFile listing, object, map;
};

const std::string_view kContinueQuestion = "CONTINUE? ";

void Ask(Dialogue& d, std::string_view question) {
    d.question = question;
    common::Prompt(d.console, question);
}

Step OutputFailure(Dialogue& d, const common::ReplacedFile& file, int errnum) {
    d.errors << "ERROR:" << common::FailureText(errnum) << " (" << file.name << ")\n";
    d.errors.flush();
    return Step::OutputFailed;
}

Step CloseFile(Dialogue& d, common::ReplacedFile& file) {
    int errnum = 0;
    if (!file.Commit(errnum)) return OutputFailure(d, file, errnum);
    return Step::Go;
}

// Closes the previous run's files in the order listing, object file, map.
Step CloseOutputs(Dialogue& d) {
    if (d.options.S && CloseFile(d, d.listing) != Step::Go) return Step::OutputFailed;
    if (d.options.O && CloseFile(d, d.object) != Step::Go) return Step::OutputFailed;
    if (d.options.M && CloseFile(d, d.map) != Step::Go) return Step::OutputFailed;
    return Step::Go;
}

Step CreateFile(Dialogue& d, common::ReplacedFile& file, const char* extension) {
    int errnum = 0;
    if (!file.Create(d.sourceName + extension, common::Replacing::AsWrittenInPlace, errnum)) {
        return OutputFailure(d, file, errnum);
    }
    return Step::Go;
}

Step AskSourceFile(Dialogue& d) {
    d.SourceOpened = false;
    Ask(d, "SOURCE FILE NAME? ");
    if (!common::ReadAnswer(d.console, d.sourceName)) return Step::InputEnded;
    int errnum = 0;
    d.SourceOpened = true;
    if (!common::ReadWholeFile(d.sourceName, d.source, errnum)) {
        d.console.out << "ERROR:" << common::FailureText(errnum) << '\n';
        d.SourceOpened = false;
    }
    return Step::Go;
}

Step AskOptions(Dialogue& d) {
    d.options = OptionSet{};
    Ask(d, "OPTION? ");
    std::string answer;
    if (!common::ReadAnswer(d.console, answer)) return Step::InputEnded;
    d.options = ParseOptions(common::UpperCase(answer));
    return Step::Go;
}

Step RunDialogue(Dialogue& d) {
    if (!d.ContinueRequested) {
        if (d.RunStarted && CloseOutputs(d) != Step::Go) return Step::OutputFailed;
        Ask(d, kContinueQuestion);
        common::YesNo answer = common::AskYesNo(d.console);
        if (answer == common::YesNo::InputEnded) return Step::InputEnded;
        d.ContinueRequested = answer == common::YesNo::Yes;
    }
    if (!d.ContinueRequested) return Step::Go;

    if (Step s = AskSourceFile(d); s != Step::Go) return s;
    if (!d.SourceOpened) {
        d.RunStarted = false;
        return Step::Go;
    }
    if (Step s = AskOptions(d); s != Step::Go) return s;
    Ask(d, "START? ");
    common::YesNo start = common::AskYesNo(d.console);
    if (start == common::YesNo::InputEnded) return Step::InputEnded;
    if (start == common::YesNo::No) {
        d.RunStarted = false;
        return Step::Go;
    }
    d.RunStarted = true;
    if (d.options.O && CreateFile(d, d.object, ".o") != Step::Go) return Step::OutputFailed;
    if (d.options.S && CreateFile(d, d.listing, ".s") != Step::Go) return Step::OutputFailed;
    if (d.options.M && CreateFile(d, d.map, ".m") != Step::Go) return Step::OutputFailed;
    return Step::Go;
}

Step Assemble(Dialogue& d) {
    const Result result = AssembleSource(d.source.View(), {d.options.S ? &d.listing.Sink() : nullptr,
                                                           d.options.O ? &d.object.Sink() : nullptr,
                                                           d.options.M ? &d.map.Sink() : nullptr});
    // A failed write stops the program before anything more is shown.
    for (common::ReplacedFile* file : {&d.listing, &d.object, &d.map}) {
        if (file->IsOpen() && !file->Sink().Flush()) return OutputFailure(d, *file, file->Sink().errnum);
    }
    d.console.out << result.console;
    d.console.out.flush();
    return Step::Go;
}

}  // namespace

int RunCtrlforge(common::Console& console, std::ostream& errors) {
    Dialogue d(console, errors);
    console.out << "\n\n   *** ZORVELT MICROASSEMBLER for Win32(Ver. 1.0) ***\n\n";
    console.out.flush();
    d.ContinueRequested = true;
    Step step = RunDialogue(d);
    while (step == Step::Go && d.ContinueRequested) {
        if (d.RunStarted) step = Assemble(d);
        if (step != Step::Go) break;
        d.ContinueRequested = false;
        step = RunDialogue(d);
    }
    if (step == Step::OutputFailed) return 1;
    // Input ended or the user said no: the open files are closed complete.
    if (d.RunStarted && CloseOutputs(d) != Step::Go) return 1;
    // Input that ends at "CONTINUE? " right after a run leaves the work done;
    // anywhere else a question asked for more, and a script that fed too few
    // answers must not pass for a successful one.
    if (step == Step::InputEnded && !(d.question == kContinueQuestion && d.RunStarted)) {
        errors << common::InputEndedLine("ctrlforge", d.question) << '\n';
        errors.flush();
        return 1;
    }
    return 0;
}

}  // namespace ctrlforge
