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

// Exclusive locks on the folders the files go to, taken in the order of
// their device and inode so that two runs never wait for each other in a
// circle. A folder that cannot be opened or locked goes unlocked: the lock
// only keeps runs side by side from mixing their files, and each file is
// still replaced whole without it.
struct FolderLocks {
    std::vector<int> held;

    explicit FolderLocks(const Outputs& outputs) {
        std::vector<std::pair<std::pair<dev_t, ino_t>, int>> folders;
        for (const auto& output : outputs) {
            if (output->toStandardOutput) continue;
            fs::path folder = fs::path(output->file.target).parent_path();
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

// Removes the file an output's name stands for, where that is a regular
// file: a device, a pipe or a folder named as an output stays.
void RemoveRegularFile(const std::string& target) {
    std::error_code ec;
    if (!fs::is_regular_file(fs::symlink_status(target, ec))) return;
    std::remove(target.c_str());
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
    const HeldInterruptions held;
    const FolderLocks locks(outputs);
    for (auto& output : outputs) {
        if (output->toStandardOutput) continue;
        if (failed && output->planned.kind != OutputKind::Listing) {
            output->file.Discard();
            RemoveRegularFile(output->file.target);
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
