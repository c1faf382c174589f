#include "common/text_file.hpp"

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "common/console.hpp"

namespace common {

namespace {

// An array whose bytes are left uncleared, as make_unique_for_overwrite
// gives; spelled out because the WebAssembly tool chain's library lacks it.
std::unique_ptr<char[]> UnclearedChars(std::size_t count) {
    return std::unique_ptr<char[]>(new char[count]);
}

}  // namespace

std::string FailureText(int errnum) {
    return UpperCase(std::strerror(errnum));
}

bool ReadWholeFile(const std::string& name, FileBytes& bytes, int& errnum) {
    bytes = FileBytes{};
    if (name.find('\0') != std::string::npos) {
        errnum = EINVAL;
        return false;
    }
    errno = 0;
    std::FILE* file = std::fopen(name.c_str(), "rb");
    if (file == nullptr) {
        errnum = errno != 0 ? errno : EIO;
        return false;
    }
    // A regular file is read straight into a buffer of its size: one
    // allocation, no clearing, no copies. Whatever else there is (a file that
    // grew, a pipe) follows in chunks.
    std::size_t expected = 0;
    std::error_code size_error;
    if (std::filesystem::is_regular_file(name, size_error)) {
        std::uintmax_t size = std::filesystem::file_size(name, size_error);
        if (!size_error) expected = static_cast<std::size_t>(size);
    }
    bytes.data = UnclearedChars(expected + 1);
    bytes.size = expected == 0 ? 0 : std::fread(bytes.data.get(), 1, expected, file);
    if (bytes.size == expected) {
        std::string more;
        char chunk[4096];
        for (;;) {
            std::size_t got = std::fread(chunk, 1, sizeof chunk, file);
            more.append(chunk, got);
            if (got < sizeof chunk) break;
        }
        if (!more.empty()) {
            auto grown = UnclearedChars(bytes.size + more.size());
            std::memcpy(grown.get(), bytes.data.get(), bytes.size);
            std::memcpy(grown.get() + bytes.size, more.data(), more.size());
            bytes.data = std::move(grown);
            bytes.size += more.size();
        }
    }
    bool failed = std::ferror(file) != 0;
    int read_errno = errno;
    std::fclose(file);
    if (failed) {
        errnum = read_errno != 0 ? read_errno : EIO;
        bytes = FileBytes{};
        return false;
    }
    return true;
}

bool ReadWholeFile(const std::string& name, std::string& bytes, int& errnum) {
    FileBytes whole;
    bool ok = ReadWholeFile(name, whole, errnum);
    bytes.assign(whole.View());
    return ok;
}

bool OutputSink::Flush() {
    if (file != nullptr && !buffer.empty() && errnum == 0) {
        errno = 0;
        std::size_t put = std::fwrite(buffer.data(), 1, buffer.size(), file);
        if (put != buffer.size()) errnum = errno != 0 ? errno : EIO;
    }
    if (file != nullptr) buffer.clear();
    return errnum == 0;
}

void OutputSink::WriteThrough(std::string_view text) {
    if (discard) return;
    if (file == nullptr) {
        buffer.append(text);
        return;
    }
    Flush();
    if (errnum == 0 && !text.empty()) {
        errno = 0;
        std::size_t put = std::fwrite(text.data(), 1, text.size(), file);
        if (put != text.size()) errnum = errno != 0 ? errno : EIO;
    }
}

bool OutputFile::Create(const std::string& file_name, int& errnum) {
    return Open(file_name, "wb", errnum);
}

bool OutputFile::CreateNew(const std::string& file_name, int& errnum) {
    return Open(file_name, "wbx", errnum);
}

bool OutputFile::Open(const std::string& file_name, const char* mode, int& errnum) {
    Close();
    name = file_name;
    sink = OutputSink{};
    if (file_name.find('\0') != std::string::npos) {
        errnum = EINVAL;
        return false;
    }
    errno = 0;
    sink.file = std::fopen(file_name.c_str(), mode);
    if (sink.file == nullptr) {
        errnum = errno != 0 ? errno : EIO;
        return false;
    }
    // The sink buffers already; each flush goes straight to the file, so a
    // failing write shows at once.
    std::setvbuf(sink.file, nullptr, _IONBF, 0);
    // Room for a full buffer and the line that fills it, so the buffer is
    // allocated once rather than grown by copying.
    sink.buffer.reserve(OutputSink::kFlushSize + 4096);
    return true;
}

bool OutputFile::Close() {
    if (sink.file == nullptr) return sink.errnum == 0;
    sink.Flush();
    errno = 0;
    if (std::fflush(sink.file) != 0 && sink.errnum == 0) sink.errnum = errno != 0 ? errno : EIO;
    if (std::fclose(sink.file) != 0 && sink.errnum == 0) sink.errnum = errno != 0 ? errno : EIO;
    sink.file = nullptr;
    return sink.errnum == 0;
}

bool DeleteFile(const std::string& name, int& errnum) {
    errno = 0;
    if (std::remove(name.c_str()) != 0) {
        errnum = errno != 0 ? errno : EIO;
        return false;
    }
    return true;
}

}  // namespace common
