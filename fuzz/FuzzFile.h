#pragma once
// The readers that take a file name get the fuzz input through an in-memory file, named by its
// /proc/self/fd path, so that no run touches the disk.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace vantrel::fuzz {

class MemoryFile {
public:
    MemoryFile() : fd_(memfd_create("fuzz-input", MFD_CLOEXEC)), path_("/proc/self/fd/" + std::to_string(fd_)) {}
    ~MemoryFile() { close(fd_); }

    // Replaces the content and returns the path that opens it.
    const std::string& Write(const std::uint8_t* data, std::size_t size) {
        if (ftruncate(fd_, 0) != 0) return path_;
        for (std::size_t done = 0; done < size;) {
            const ssize_t n = pwrite(fd_, data + done, size - done, static_cast<off_t>(done));
            if (n <= 0) break;
            done += static_cast<std::size_t>(n);
        }
        return path_;
    }

private:
    int fd_;
    std::string path_;
};

}  // namespace vantrel::fuzz
