#pragma once
// One writer per work folder: the window and `vantrel-cli send` each hold an exclusive lock on
// the lock file of the work folder for as long as they may write there. The lock is the
// kernel's (flock), so a crash or a kill releases it with the process.

#include <expected>
#include <string>
#include <string_view>

#include "core/app/WorkFolderFiles.h"

namespace vantrel {

struct WorkFolderLockError {
    bool busy = false;    // another process holds the lock; otherwise the lock file could not be opened
    std::string message;  // the cause, for the log or the terminal
};

class WorkFolderLock {
public:
    // Takes the lock of `workFolder` (ending in "/", existing) without waiting. Fails with busy
    // set when another process holds it.
    static std::expected<WorkFolderLock, WorkFolderLockError> TryAcquire(const std::string& workFolder);

    WorkFolderLock(WorkFolderLock&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    WorkFolderLock& operator=(WorkFolderLock&& other) noexcept;
    WorkFolderLock(const WorkFolderLock&) = delete;
    WorkFolderLock& operator=(const WorkFolderLock&) = delete;
    ~WorkFolderLock();

private:
    explicit WorkFolderLock(int fd) : fd_(fd) {}
    int fd_ = -1;
};

}  // namespace vantrel
