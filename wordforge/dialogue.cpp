#include "wordforge/dialogue.hpp"

#include <cstdint>
#include <string>

#include "common/replaced_file.hpp"
#include "common/text_file.hpp"
#include "wordforge/wordforge.hpp"

namespace wordforge {

namespace {

enum class RunEnd { Finished, Failed, InputEnded };

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
        common::Prompt(console, " SOURCE FILE NAME ? ");
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
