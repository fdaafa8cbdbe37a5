#include "core/imaging/MappedFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vantrel {

MappedFile::~MappedFile() {
    if (data_ != nullptr) munmap(const_cast<std::uint8_t*>(data_), size_);
}

bool MappedFile::Open(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const int error = errno ? errno : EINVAL;
        ::close(fd);
        errno = S_ISREG(st.st_mode) ? error : EISDIR;
        return false;
    }
    size_ = static_cast<std::size_t>(st.st_size);
    if (size_ > 0) {
        void* p = mmap(nullptr, size_, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
        if (p == MAP_FAILED) {
            const int error = errno;
            ::close(fd);
            size_ = 0;
            errno = error;
            return false;
        }
        data_ = static_cast<const std::uint8_t*>(p);
    }
    ::close(fd);
    return true;
}

}  // namespace vantrel
