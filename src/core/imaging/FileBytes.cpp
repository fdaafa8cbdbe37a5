#include "core/imaging/FileBytes.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/base/AtomicFile.h"
#include "core/imaging/RegularFile.h"

namespace vantrel {
namespace {

// Closes a descriptor when the scope ends.
struct Fd {
    int fd = -1;
    ~Fd() {
        if (fd >= 0) ::close(fd);
    }
};

bool WriteAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

std::expected<void, ImageFileError> CopyFileBytes(const std::string& source, const std::string& destination) {
    auto opened = RegularFile::Open(source);
    if (!opened) return std::unexpected(FileErrorFromErrno("cannot open", source, opened.error()));
    const int in = opened->Descriptor();
    struct stat sourceStat {}, destinationStat {};
    if (fstat(in, &sourceStat) == 0 && ::stat(destination.c_str(), &destinationStat) == 0 &&
        sourceStat.st_dev == destinationStat.st_dev && sourceStat.st_ino == destinationStat.st_ino)
        return {};  // emptying the destination would destroy the source
    Fd out{::open(destination.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600)};
    if (out.fd < 0) return std::unexpected(FileErrorFromErrno("cannot create", destination, errno));
    static thread_local char buffer[1 << 16];
    for (;;) {
        const ssize_t n = ::read(in, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            return std::unexpected(FileErrorFromErrno("cannot read", source, errno));
        }
        if (n == 0) break;
        if (!WriteAll(out.fd, buffer, static_cast<std::size_t>(n)))
            return std::unexpected(FileErrorFromErrno("cannot write", destination, errno));
    }
    const int fd = out.fd;
    out.fd = -1;
    if (::close(fd) != 0) return std::unexpected(FileErrorFromErrno("cannot write", destination, errno));
    return {};
}

std::uint64_t FileSizeOf(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return 0;
    return static_cast<std::uint64_t>(st.st_size);
}

std::expected<void, ImageFileError> WriteFileBytes(const std::string& path, std::string_view bytes) {
    Fd out{::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600)};
    if (out.fd < 0) return std::unexpected(FileErrorFromErrno("cannot create", path, errno));
    if (!WriteAll(out.fd, bytes.data(), bytes.size()))
        return std::unexpected(FileErrorFromErrno("cannot write", path, errno));
    const int fd = out.fd;
    out.fd = -1;
    if (::close(fd) != 0) return std::unexpected(FileErrorFromErrno("cannot write", path, errno));
    return {};
}

std::expected<void, ImageFileError> ReplaceFileBytes(const std::string& path, std::string_view bytes) {
    auto written = WriteFileAtomically(path, bytes);
    if (!written) return std::unexpected(ImageFileError{ImageFileError::Kind::FileError, errno, written.error()});
    return {};
}

}  // namespace vantrel
