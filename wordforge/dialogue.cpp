#include "wordforge/dialogue.hpp"

#include <cstdint>
#include <string>

#include "common/text_file.hpp"
#include "wordforge/wordforge.hpp"

namespace wordforge {

namespace {

enum class RunEnd { Finished, Failed, InputEnded };

RunEnd ReportFailure(common::Console& console, int errnum) {
    console.out << "ERROR:" << common::FailureText(errnum) << "\n";
    return RunEnd::Failed;
}

int SinkFailure(const common::OutputFile& listing, const common::OutputFile& object) {
    if (listing.sink.errnum != 0) return listing.sink.errnum;
    return object.sink.errnum;
}

// One run, from the source-name question to the deletion of the object file.
// The output files close when they go out of scope on every path.
RunEnd AssembleOneFile(common::Console& console) {
    std::string name;
    do {
        console.out << "\n";
        common::Prompt(console, " SOURCE FILE NAME ? ");
        if (!common::ReadAnswer(console, name)) return RunEnd::InputEnded;
    } while (name.empty());

    common::FileBytes source;
    int errnum = 0;
    if (!common::ReadWholeFile(name, source, errnum)) return ReportFailure(console, errnum);

    console.out << "\n";
    common::Prompt(console, " START ? ");
    console.out << "\n";

    common::OutputFile listing;
    common::OutputFile object;
    if (!listing.Create(name + ".a", errnum)) return ReportFailure(console, errnum);
    if (!object.Create(name + ".b", errnum)) return ReportFailure(console, errnum);

    const Result result = AssembleSource(source.View(), {&listing.sink, &object.sink});
    // Whatever is still buffered is written now, so a failing write stops the
    // run before its end message.
    listing.sink.Flush();
    object.sink.Flush();
    if (int failure = SinkFailure(listing, object); failure != 0) return ReportFailure(console, failure);

    console.out << result.console;

    if (!listing.Close()) return ReportFailure(console, listing.sink.errnum);
    if (!object.Close()) return ReportFailure(console, object.sink.errnum);
    if (result.failed && !common::DeleteFile(object.name, errnum)) return ReportFailure(console, errnum);
    return RunEnd::Finished;
}

}  // namespace

int RunWordforge(common::Console& console) {
    console.out << "   *** ZORVELT ASSEMBLER for Win32 (Ver. 1.0) ***\n";
    for (;;) {
        if (AssembleOneFile(console) == RunEnd::InputEnded) break;
        common::Prompt(console, " CONTINUE ? ");
        if (common::AskYesNo(console) != common::YesNo::Yes) break;
    }
    console.out.flush();
    return 0;
}

}  // namespace wordforge
