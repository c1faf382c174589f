#include "cli/output_files.hpp"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <utility>

#include "cli/interruption.hpp"

namespace cli {

namespace {

namespace fs = std::filesystem;

// Exclusive locks on the folders of the files, taken in the order of
// their device and inode so that two runs never wait for each other in a
// circle. A folder that cannot be opened or locked goes unlocked: the lock
// only keeps runs side by side from mixing their files, and each file is
// still replaced whole without it.
struct FolderLocks {
    std::vector<int> held;

    explicit FolderLocks(const std::vector<std::string>& files) {
        std::vector<std::pair<std::pair<dev_t, ino_t>, int>> folders;
        for (const std::string& file : files) {
            fs::path folder = fs::path(file).parent_path();
            if (folder.empty()) folder = fs::path(".");
            int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            if (fd < 0) continue;
            struct stat info {};
            if (::fstat(fd, &info) != 0) {
                ::close(fd);
                continue;
            }
            const auto key = std::make_pair(info.st_dev, info.st_ino);
            const bool known = std::any_of(folders.begin(), folders.end(), [&](const auto& f) { return f.first == key; });
            if (known) {
                ::close(fd);
            } else {
                folders.emplace_back(key, fd);
            }
        }
        std::sort(folders.begin(), folders.end());
        for (const auto& [key, fd] : folders) {
            while (::flock(fd, LOCK_EX) != 0 && errno == EINTR) {
            }
            held.push_back(fd);
        }
    }
    FolderLocks(const FolderLocks&) = delete;
    FolderLocks& operator=(const FolderLocks&) = delete;
    ~FolderLocks() {
        for (int fd : held) ::close(fd);  // closing lets go of the lock
    }
};

bool IsRegularFile(const std::string& path) {
    std::error_code ec;
    return fs::is_regular_file(fs::symlink_status(path, ec));
}

// Whether an output's file is put in place by renaming, or removed as the
// object file, map or image of a failed source. Devices, pipes and folders
// named as outputs stay as they are.
bool RenamedOrRemoved(const Output& output, bool failed) {
    if (output.toStandardOutput) return false;
    if (failed && output.planned.kind != OutputKind::Listing) return IsRegularFile(output.file.target);
    return !output.file.temporary.empty();
}

}  // namespace

bool OpenOutputs(const std::vector<PlannedOutput>& planned, Outputs& outputs, OutputFailure& failure) {
    outputs.clear();
    for (const PlannedOutput& plan : planned) {
        auto output = std::make_unique<Output>();
        output->planned = plan;
        output->toStandardOutput = plan.path == "-";
        int errnum = 0;
        if (!output->toStandardOutput && !output->file.Create(plan.path, common::Replacing::OnCommit, errnum)) {
            failure = {"create", plan.path, errnum};
            return false;
        }
        outputs.push_back(std::move(output));
    }
    return true;
}

bool CloseOutputs(Outputs& outputs, OutputFailure& failure) {
    for (auto& output : outputs) {
        if (output->toStandardOutput) continue;
        if (!output->file.Close()) {
            failure = {"write", output->planned.path, output->file.Sink().errnum};
            return false;
        }
    }
    return true;
}

bool PutInPlace(Outputs& outputs, bool failed, OutputFailure& failure) {
    std::vector<std::string> changed;
    for (const auto& output : outputs) {
        if (RenamedOrRemoved(*output, failed)) changed.push_back(output->file.target);
    }
    // Locked first, then the signals held: waiting for the lock of another
    // run may still be interrupted.
    const FolderLocks locks(changed);
    const HeldInterruptions held;
    for (auto& output : outputs) {
        if (output->toStandardOutput) continue;
        if (failed && output->planned.kind != OutputKind::Listing) {
            output->file.Discard();
            if (IsRegularFile(output->file.target)) std::remove(output->file.target.c_str());
            continue;
        }
        int errnum = 0;
        if (!output->file.Commit(errnum)) {
            failure = {"replace", output->planned.path, errnum};
            return false;
        }
    }
    return true;
}

}  // namespace cli
