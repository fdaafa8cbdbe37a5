#include "core/imaging/FileDigest.h"

#include <algorithm>
#include <fcntl.h>
#include <memory>
#include <openssl/evp.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vantrel {
namespace {

// Files are mapped this much at a time, so that any size fits the address space.
constexpr std::uint64_t kWindow = std::uint64_t(1) << 30;

struct MdContextFree {
    void operator()(EVP_MD_CTX* c) const { EVP_MD_CTX_free(c); }
};
using MdContext = std::unique_ptr<EVP_MD_CTX, MdContextFree>;

Md5Digest Finish(EVP_MD_CTX* context) {
    Md5Digest digest{};
    unsigned int length = 0;
    EVP_DigestFinal_ex(context, digest.data(), &length);
    return digest;
}

// Adds the content of the open file to the digest; stops quietly at the first failure, so
// that the digest then covers the windows added so far.
void AddFileContent(EVP_MD_CTX* context, int fd, std::uint64_t window) {
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size <= 0) return;
    const std::uint64_t size = static_cast<std::uint64_t>(st.st_size);
    for (std::uint64_t offset = 0; offset < size; offset += window) {
        const std::size_t length = static_cast<std::size_t>(std::min(window, size - offset));
        void* p = mmap(nullptr, length, PROT_READ, MAP_SHARED | MAP_POPULATE, fd, static_cast<off_t>(offset));
        if (p == MAP_FAILED) return;
        madvise(p, length, MADV_SEQUENTIAL);
        EVP_DigestUpdate(context, p, length);
        munmap(p, length);
    }
}

}  // namespace

Md5Digest DigestFile(const std::string& path) { return DigestFileInWindows(path, kWindow); }

Md5Digest DigestFileInWindows(const std::string& path, std::uint64_t windowBytes) {
    MdContext context(EVP_MD_CTX_new());
    EVP_DigestInit_ex(context.get(), EVP_md5(), nullptr);
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
        AddFileContent(context.get(), fd, windowBytes);
        ::close(fd);
    }
    return Finish(context.get());
}

Md5Digest DigestBytes(std::string_view bytes) {
    MdContext context(EVP_MD_CTX_new());
    EVP_DigestInit_ex(context.get(), EVP_md5(), nullptr);
    EVP_DigestUpdate(context.get(), bytes.data(), bytes.size());
    return Finish(context.get());
}

std::string DigestToHex(const Md5Digest& digest) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    text.reserve(32);
    for (const std::uint8_t byte : digest) {
        text += kDigits[byte >> 4];
        text += kDigits[byte & 15];
    }
    return text;
}

}  // namespace vantrel
