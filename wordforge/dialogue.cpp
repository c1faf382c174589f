#include "wordforge/dialogue.hpp"

#include <cstdint>
#include <string>
#include <string_view>

#include "common/replaced_file.hpp"
#include "common/text_file.hpp"
#include "wordforge/wordforge.hpp"

namespace wordforge {

namespace {

enum class RunEnd { Finished, Failed, InputEnded };

const std::string_view kSourceQuestion = " SOURCE FILE NAME ? ";
const std::string_view kContinueQuestion = " CONTINUE ? ";

int InputEnded(std::ostream& errors, std::string_view question) {
    errors << common::InputEndedLine("wordforge", question) << '\n';
    errors.flush();
    return 1;
}

RunEnd ReportFailure(common::Console& console, int errnum) {
    console.out << "ERROR:" << common::FailureText(errnum) << "\n";
    return RunEnd::Failed;
}

int SinkFailure(common::ReplacedFile& listing, common::ReplacedFile& object) {
    if (listing.Sink().errnum != 0) return listing.Sink().errnum;
    return object.Sink().errnum;
}

// One run, from the source-name question to the deletion of the object file.
// The output files are written beside their names and renamed over them when
// closed, so that a file's old bytes stay until its new ones are complete;
// they close when they go out of scope on every path, holding what was
// written.
RunEnd AssembleOneFile(common::Console& console) {
    std::string name;
    do {
        console.out << "\n";
        common::Prompt(console, kSourceQuestion);
        if (!common::ReadAnswer(console, name)) return RunEnd::InputEnded;
    } while (name.empty());

    common::FileBytes source;
    int errnum = 0;
    if (!common::ReadWholeFile(name, source, errnum)) return ReportFailure(console, errnum);

    console.out << "\n";
    common::Prompt(console, " START ? ");
    console.out << "\n";

    common::ReplacedFile listing;
    common::ReplacedFile object;
    if (!listing.Create(name + ".a", common::Replacing::AsWrittenInPlace, errnum)) return ReportFailure(console, errnum);
    if (!object.Create(name + ".b", common::Replacing::AsWrittenInPlace, errnum)) return ReportFailure(console, errnum);

    const Result result = AssembleSource(source.View(), {&listing.Sink(), &object.Sink()});
    // Whatever is still buffered is written now, so a failing write stops the
    // run before its end message.
    listing.Sink().Flush();
    object.Sink().Flush();
    if (int failure = SinkFailure(listing, object); failure != 0) return ReportFailure(console, failure);

    console.out << result.console;

    if (!listing.Commit(errnum)) return ReportFailure(console, errnum);
    if (!object.Commit(errnum)) return ReportFailure(console, errnum);
    if (result.failed && !common::DeleteFile(object.name, errnum)) return ReportFailure(console, errnum);
    return RunEnd::Finished;
}

}  // namespace

int RunWordforge(common::Console& console, std::ostream& errors) {
    console.out << "   *** ZORVELT ASSEMBLER for Win32 (Ver. 1.0) ***\n";
    int status = 0;
    for (;;) {
        const RunEnd end = AssembleOneFile(console);
        if (end == RunEnd::InputEnded) {
            status = InputEnded(errors, kSourceQuestion);
            break;
        }
        common::Prompt(console, kContinueQuestion);
        const common::YesNo answer = common::AskYesNo(console);
        // Input may end at the continue question once a run is done; after a
        // failure the question still asks what to do next.
        if (answer == common::YesNo::InputEnded && end != RunEnd::Finished) {
            status = InputEnded(errors, kContinueQuestion);
        }
        if (answer != common::YesNo::Yes) break;
    }
    console.out.flush();
    return status;
}

}  // namespace wordforge
