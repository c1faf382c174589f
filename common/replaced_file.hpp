#pragma once
// Output files replaced whole. Where a name stands for a regular file, or for
// no file yet, the bytes go to a temporary file ".NAME.tmp-XXXXXX" in the
// folder of that file (X a letter or digit), which is renamed over it once
// complete: a reader sees the old file or the new one, never a part, and an
// interrupted run leaves the old file as it was. Any other file (a device
// such as /dev/null, a pipe, a terminal) is written directly, as is a file in
// a folder that takes no new file.
#include <string>

#include "common/text_file.hpp"

namespace common {

// How a replaced file stands in for writing its name directly.
enum class Replacing {
    // The command line: only Commit puts a file in place. A file ended
    // without it is removed, and the old one stays.
    OnCommit,
    // The dialogues: every name ends as writing it directly would leave it,
    // only the moment its bytes appear changes. A file ended without Commit
    // is committed with what it holds, and a file with further hard links is
    // written directly, so that those links see the new bytes as before.
    AsWrittenInPlace,
};

// The file a name stands for: where the chain of symbolic links that starts
// at the name ends (that file need not exist), or the name itself when it is
// no link. The folders on the way stay as written.
std::string LinkedFile(const std::string& name);

struct ReplacedFile {
    std::string name;       // as given, for messages
    std::string target;     // the file replaced: `name` with its links followed
    std::string temporary;  // where the bytes go until Commit; empty when written directly
    OutputFile file;        // the temporary file, or the target written directly
    Replacing rule = Replacing::OnCommit;

    ReplacedFile() = default;
    ReplacedFile(const ReplacedFile&) = delete;
    ReplacedFile& operator=(const ReplacedFile&) = delete;
    ~ReplacedFile() { End(); }

    // Opens the named file for writing. Fails, with errnum, wherever creating
    // the name directly would: a missing folder, a folder or a file that may
    // not be written, a name that is a folder. A replaced regular file's
    // permissions carry over to the new one; a new file gets those of any
    // newly created file.
    bool Create(const std::string& file_name, Replacing when, int& errnum);
    bool IsOpen() const { return file.IsOpen(); }
    OutputSink& Sink() { return file.sink; }
    // Writes out what is buffered and closes; false when a write failed (the
    // failure is in Sink().errnum). The file is not yet in place.
    bool Close() { return file.Close(); }
    // Closes the file and puts it under its name. Returns false, with errnum,
    // when a write or the rename failed; under OnCommit the temporary file is
    // then removed and the old file stays.
    bool Commit(int& errnum);
    // Closes the file and removes the temporary one; the old file stays.
    void Discard();

private:
    bool CreateTemporary(int& errnum);
    // Ends an open or uncommitted file as its rule says.
    void End();
};

}  // namespace common
