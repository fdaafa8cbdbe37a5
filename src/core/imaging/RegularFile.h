#pragma once
// Opening photos and other files read from the user's folders. Only regular files are opened:
// a named pipe, socket or device that merely carries a photo's name would block the reader or
// never end, so it counts as unreadable. Reads are plain reads into memory (no mapping), so a
// file that another program shortens meanwhile only ends early instead of killing the process.

#include <cstdint>
#include <cstdio>
#include <expected>
#include <memory>
#include <string>

namespace vantrel {

// An open descriptor of a regular file, closed when the object goes.
class RegularFile {
public:
    // Opens `path` read-only without blocking (a named pipe is not waited on), then keeps it
    // only when it is a regular file. The error is an errno value: that of open(), EISDIR for a
    // folder, or ENODEV for a pipe, socket or device.
    static std::expected<RegularFile, int> Open(const std::string& path);

    RegularFile(RegularFile&& other) noexcept : fd_(other.fd_), size_(other.size_) { other.fd_ = -1; }
    RegularFile& operator=(RegularFile&& other) noexcept;
    RegularFile(const RegularFile&) = delete;
    RegularFile& operator=(const RegularFile&) = delete;
    ~RegularFile();

    int Descriptor() const { return fd_; }
    // The size when the file was opened; the content may since have shrunk or grown.
    std::uint64_t SizeAtOpen() const { return size_; }

    // Hands the descriptor to a stdio stream opened for binary reading (nullptr, the descriptor
    // closed, when the stream cannot be made). The object no longer owns it.
    std::FILE* ReleaseToStream();

    // Reads up to `count` bytes at the current position, retrying interrupted reads; fewer at
    // the end of the file; -1 with errno on a read error.
    long Read(void* into, std::size_t count);

private:
    RegularFile(int fd, std::uint64_t size) : fd_(fd), size_(size) {}
    int fd_ = -1;
    std::uint64_t size_ = 0;
};

// A regular file opened as a stdio stream for binary reading, with a read buffer large enough
// that a decoder's small reads cost few system calls. Closed when the object goes.
class PhotoStream {
public:
    // Opens as RegularFile::Open does, with the same errors.
    static std::expected<PhotoStream, int> Open(const std::string& path);

    PhotoStream(PhotoStream&& other) noexcept;
    PhotoStream& operator=(PhotoStream&&) = delete;
    PhotoStream(const PhotoStream&) = delete;
    PhotoStream& operator=(const PhotoStream&) = delete;
    ~PhotoStream();

    std::FILE* Get() const { return file_; }
    // Back to the first byte, for another pass over the file.
    void Rewind() { std::rewind(file_); }

private:
    PhotoStream(std::FILE* file, std::unique_ptr<char[]> buffer) : file_(file), buffer_(std::move(buffer)) {}
    std::FILE* file_ = nullptr;
    std::unique_ptr<char[]> buffer_;  // outlives the stream, which reads into it
};

}  // namespace vantrel
