#include "cli/file_identity.hpp"

#include <sys/stat.h>

#include <filesystem>

#include "common/replaced_file.hpp"

namespace cli {

std::string FileKey(const std::string& path) {
    if (path == "-") return path;
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0) {
        std::string key(1, '#');  // no path begins so
        key += std::to_string(info.st_dev);
        key += ':';
        key += std::to_string(info.st_ino);
        return key;
    }
    // No file yet: where its name leads, so that a link to a file still to
    // be written and that file's own name agree. Every existing folder and
    // link on the way is resolved.
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path absolute = fs::absolute(fs::path(common::LinkedFile(path)), ec);
    if (ec) return path;
    fs::path canonical = fs::weakly_canonical(absolute, ec);
    if (ec) return absolute.lexically_normal().string();
    return canonical.string();
}

}  // namespace cli
