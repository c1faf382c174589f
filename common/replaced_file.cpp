#include "common/replaced_file.hpp"

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <random>

#include "common/temporary_files.hpp"

namespace common {

namespace {

namespace fs = std::filesystem;

// As many links as the platform follows in one name before it gives up.
constexpr int kMostLinks = 40;
// The longest file name most file systems take, and what the temporary
// name adds to the final one: the leading dot, ".tmp-" and six characters.
constexpr std::size_t kLongestName = 255;
constexpr std::size_t kAddedLength = 12;
constexpr int kAttempts = 100;

// Follows the symbolic links that start at `name`; returns the file they end
// at, with its status (not_found when there is none).
fs::path Follow(const std::string& name, fs::file_status& status) {
    fs::path path(name);
    for (int hop = 0; hop < kMostLinks; ++hop) {
        std::error_code ec;
        status = fs::symlink_status(path, ec);
        if (!fs::is_symlink(status)) return path;
        fs::path next = fs::read_symlink(path, ec);
        if (ec) return path;
        path = next.is_absolute() ? next : path.parent_path() / next;
    }
    return path;  // a loop of links: opening the name reports it
}

// Six letters and digits, different in every run and every file, so that
// runs side by side never pick the same temporary name (and when one does,
// the exclusive creation refuses it and another is drawn).
std::string RandomSuffix() {
    static constexpr char kCharacters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    constexpr std::uint64_t kCount = sizeof kCharacters - 1;
    std::uint64_t bits = static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    try {
        std::random_device device;
        bits ^= (std::uint64_t{device()} << 32) ^ device();
    } catch (...) {
        // No source of randomness: the clock alone still differs from run to run.
    }
    std::string suffix(6, 'X');
    for (char& c : suffix) {
        c = kCharacters[bits % kCount];
        bits /= kCount;
    }
    return suffix;
}

}  // namespace

std::string LinkedFile(const std::string& name) {
    fs::file_status status;
    return Follow(name, status).string();
}

bool ReplacedFile::Create(const std::string& file_name, Replacing when, int& errnum) {
    End();
    name = file_name;
    target = file_name;
    rule = when;
    if (file_name.find('\0') != std::string::npos) return file.Create(file_name, errnum);  // refused there

    fs::file_status status;
    target = Follow(file_name, status).string();
    const bool exists = fs::exists(status);
    // Devices, pipes, terminals and folders are written (or refused) as
    // before.
    if (exists && !fs::is_regular_file(status)) return file.Create(file_name, errnum);
    if (exists) {
        std::error_code ec;
        if (when == Replacing::AsWrittenInPlace && fs::hard_link_count(target, ec) > 1 && !ec) {
            return file.Create(file_name, errnum);
        }
        // A file that may not be written is refused, as writing it directly
        // would refuse it, rather than replaced by way of its folder. Opened
        // to append, it is not changed.
        errno = 0;
        std::FILE* probe = std::fopen(target.c_str(), "ab");
        if (probe == nullptr) {
            errnum = errno != 0 ? errno : EIO;
            return false;
        }
        std::fclose(probe);
    }
    // A folder that takes no new file may still hold a file that may be
    // written: that one is written directly, as before.
    if (!CreateTemporary(errnum)) return file.Create(file_name, errnum);
    if (exists) {
        std::error_code ec;
        const fs::perms kept = status.permissions() & (fs::perms::owner_all | fs::perms::group_all | fs::perms::others_all);
        fs::permissions(temporary, kept, fs::perm_options::replace, ec);
    }
    return true;
}

bool ReplacedFile::CreateTemporary(int& errnum) {
    const fs::path where(target);
    std::string base = where.filename().string();
    if (base.size() > kLongestName - kAddedLength) base.resize(kLongestName - kAddedLength);
    const std::string stem = (where.parent_path() / ("." + base + ".tmp-")).string();
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        temporary = stem + RandomSuffix();
        // Noted before it exists: an interruption in between removes a name
        // that is not there yet, which does no harm.
        NoteTemporary(temporary.c_str());
        if (file.CreateNew(temporary, errnum)) return true;
        DropTemporary(temporary.c_str());
        if (errnum != EEXIST) break;
    }
    temporary.clear();
    return false;
}

bool ReplacedFile::Commit(int& errnum) {
    const bool written = file.Close();
    if (!written) errnum = file.sink.errnum;
    if (temporary.empty()) return written;
    if (!written && rule == Replacing::OnCommit) {
        Discard();
        return false;
    }
    errno = 0;
    if (std::rename(temporary.c_str(), target.c_str()) != 0) {
        if (written) errnum = errno != 0 ? errno : EIO;
        Discard();
        return false;
    }
    // Dropped after the rename: an interruption in between removes a name
    // that is gone, which does no harm.
    DropTemporary(temporary.c_str());
    temporary.clear();
    return written;
}

void ReplacedFile::Discard() {
    file.Close();
    if (temporary.empty()) return;
    std::remove(temporary.c_str());
    DropTemporary(temporary.c_str());
    temporary.clear();
}

void ReplacedFile::End() {
    if (rule == Replacing::AsWrittenInPlace) {
        int ignored = 0;
        Commit(ignored);
    } else {
        Discard();
    }
}

}  // namespace common
