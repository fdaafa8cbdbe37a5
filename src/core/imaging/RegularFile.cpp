#include "core/imaging/RegularFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vantrel {

std::expected<RegularFile, int> RegularFile::Open(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return std::unexpected(errno);
    struct stat st {};
    int error = 0;
    if (fstat(fd, &st) != 0) error = errno;
    else if (S_ISDIR(st.st_mode)) error = EISDIR;
    else if (!S_ISREG(st.st_mode)) error = ENODEV;
    // Reads of a regular file never block; the flag only served the open.
    else if (fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) error = errno;
    if (error != 0) {
        ::close(fd);
        return std::unexpected(error);
    }
    return RegularFile(fd, static_cast<std::uint64_t>(st.st_size));
}

RegularFile& RegularFile::operator=(RegularFile&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = other.fd_;
        size_ = other.size_;
        other.fd_ = -1;
    }
    return *this;
}

RegularFile::~RegularFile() {
    if (fd_ >= 0) ::close(fd_);
}

std::FILE* RegularFile::ReleaseToStream() {
    std::FILE* stream = fdopen(fd_, "rb");
    if (stream == nullptr) {
        const int error = errno;
        ::close(fd_);
        errno = error;
    }
    fd_ = -1;
    return stream;
}

long RegularFile::Read(void* into, std::size_t count) {
    for (;;) {
        const ssize_t n = ::read(fd_, into, count);
        if (n >= 0 || errno != EINTR) return static_cast<long>(n);
    }
}

namespace {
constexpr std::size_t kStreamBuffer = 256 * 1024;
}  // namespace

std::expected<PhotoStream, int> PhotoStream::Open(const std::string& path) {
    auto file = RegularFile::Open(path);
    if (!file) return std::unexpected(file.error());
    std::FILE* stream = file->ReleaseToStream();
    if (stream == nullptr) return std::unexpected(errno);
    auto buffer = std::make_unique_for_overwrite<char[]>(kStreamBuffer);
    setvbuf(stream, buffer.get(), _IOFBF, kStreamBuffer);
    return PhotoStream(stream, std::move(buffer));
}

PhotoStream::PhotoStream(PhotoStream&& other) noexcept : file_(other.file_), buffer_(std::move(other.buffer_)) {
    other.file_ = nullptr;
}

PhotoStream::~PhotoStream() {
    if (file_ != nullptr) std::fclose(file_);
}

}  // namespace vantrel
