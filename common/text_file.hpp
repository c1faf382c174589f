#pragma once
// Text-file layer shared by both programs: whole-file source reads, buffered
// output files, and the platform's failure text in upper case.
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace common {

// The platform's description of an errno value, upper-cased
// ("NO SUCH FILE OR DIRECTORY").
std::string FailureText(int errnum);

// The bytes of a whole file, in a buffer that is filled without being
// cleared first.
struct FileBytes {
    std::unique_ptr<char[]> data;
    std::size_t size = 0;
    std::string_view View() const { return {data.get(), size}; }
};

// Reads the whole file into bytes. On failure returns false and sets errnum.
// A name holding a NUL byte is refused with EINVAL rather than shortened.
bool ReadWholeFile(const std::string& name, FileBytes& bytes, int& errnum);
bool ReadWholeFile(const std::string& name, std::string& bytes, int& errnum);

// Where an assembly writes one of its output files. With no file bound, the
// bytes stay in `buffer` (tests read them there); with a file, the buffer is
// written out whenever it grows large and at Flush, one write per buffer.
struct OutputSink {
    std::string buffer;
    std::FILE* file = nullptr;
    int errnum = 0;  // first write failure, 0 while none
    // A sink for a file nobody keeps: the large pieces WriteThrough hands
    // it are dropped at once instead of gathered (the few small writes
    // still gather).
    bool discard = false;

    void Put(char c) {
        buffer.push_back(c);
        if (file != nullptr && buffer.size() >= kFlushSize) Flush();
    }
    void Write(std::string_view text) {
        buffer.append(text);
        if (file != nullptr && buffer.size() >= kFlushSize) Flush();
    }
    void LineEnd() { Write("\r\n"); }
    // Writes a large piece of output: with a file bound, what is buffered
    // and then the piece go straight to the file, sparing the copy into the
    // buffer; otherwise the piece joins the buffer.
    void WriteThrough(std::string_view text);
    // Writes the buffer to the file; returns false once any write failed.
    bool Flush();

    static constexpr std::size_t kFlushSize = 1 << 16;
};

// An output file owned for the length of one run; closes on destruction.
struct OutputFile {
    std::string name;
    OutputSink sink;

    OutputFile() = default;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    ~OutputFile() { Close(); }

    // Creates (or truncates) the named file. Returns false and sets errnum on
    // failure.
    bool Create(const std::string& file_name, int& errnum);
    // Creates the named file only where no file of that name exists (EEXIST
    // otherwise), so that a file another run made is never taken over.
    bool CreateNew(const std::string& file_name, int& errnum);
    bool IsOpen() const { return sink.file != nullptr; }
    // Flushes and closes. Returns false when a write or the close failed; the
    // failure is left in sink.errnum.
    bool Close();

private:
    bool Open(const std::string& file_name, const char* mode, int& errnum);
};

// Deletes a file by name; returns false and sets errnum on failure.
bool DeleteFile(const std::string& name, int& errnum);

}  // namespace common
