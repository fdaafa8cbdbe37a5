#include "core/app/WorkFolderLock.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace vantrel {

std::expected<WorkFolderLock, WorkFolderLockError> WorkFolderLock::TryAcquire(const std::string& workFolder) {
    const std::string path = workFolder + std::string(kWorkFolderLockName);
    // The file itself stays: removing it would let a third process lock a new file while a
    // second still holds the old one.
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return std::unexpected(WorkFolderLockError{false, "cannot open " + path + ": " + std::strerror(errno)});
    int locked;
    do {
        locked = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (locked != 0 && errno == EINTR);
    if (locked != 0) {
        const bool busy = errno == EWOULDBLOCK;
        std::string message = busy ? path + " is held by another process" : "cannot lock " + path + ": " + std::strerror(errno);
        ::close(fd);
        return std::unexpected(WorkFolderLockError{busy, std::move(message)});
    }
    return WorkFolderLock(fd);
}

WorkFolderLock& WorkFolderLock::operator=(WorkFolderLock&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

WorkFolderLock::~WorkFolderLock() {
    if (fd_ >= 0) ::close(fd_);  // closing the last descriptor releases the lock
}

}  // namespace vantrel
