#include "core/service/FileWriteError.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "core/app/FormatPattern.h"

namespace vantrel {

FileWriteError::FileWriteError(WriteError failure)
    : std::runtime_error("cannot write " + failure.path + ": " + failure.reason), failure_(std::move(failure)) {}

std::expected<void, WriteError> WriteWholeFile(const std::string& path, std::string_view content) {
    auto failed = [&path](int error) { return std::unexpected(WriteError{path, std::strerror(error)}); };
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) return failed(errno);
    // A file made by an older version, or by hand, is made private too: some of these files hold
    // the service's FTP login.
    if (::fchmod(fd, 0600) != 0) {
        const int error = errno;
        ::close(fd);
        return failed(error);
    }
    while (!content.empty()) {
        const ssize_t written = ::write(fd, content.data(), content.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) {
            const int error = written < 0 ? errno : ENOSPC;
            ::close(fd);
            return failed(error);
        }
        content.remove_prefix(static_cast<std::size_t>(written));
    }
    if (::close(fd) != 0) return failed(errno);
    return {};
}

std::string WriteFailureMessage(const WriteError& failure,
                                const std::function<std::string(std::string_view)>& translate) {
    return FormatPattern(translate("WriteFileErr"), {failure.path, failure.reason});
}

}  // namespace vantrel
