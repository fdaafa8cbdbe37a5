#include "core/imaging/FileDigest.h"

#include <algorithm>
#include <fcntl.h>
#include <memory>
#include <openssl/evp.h>

#include "core/imaging/RegularFile.h"

namespace vantrel {
namespace {

// Large enough that system calls cost nothing beside the hashing, small enough for the caches.
constexpr std::size_t kReadChunk = 256 * 1024;

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

// Adds the content of the file to the digest with plain reads of `chunk` bytes; stops quietly
// at the first failure, so that the digest then covers what was read so far. A file that
// shrinks meanwhile simply ends sooner.
void AddFileContent(EVP_MD_CTX* context, RegularFile& file, std::size_t chunk) {
    auto buffer = std::make_unique_for_overwrite<std::uint8_t[]>(chunk);
    for (;;) {
        const long n = file.Read(buffer.get(), chunk);
        if (n <= 0) return;
        EVP_DigestUpdate(context, buffer.get(), static_cast<std::size_t>(n));
    }
}

}  // namespace

Md5Digest DigestFile(const std::string& path) { return DigestFileInChunks(path, kReadChunk); }

Md5Digest DigestFileInChunks(const std::string& path, std::size_t chunkBytes) {
    MdContext context(EVP_MD_CTX_new());
    EVP_DigestInit_ex(context.get(), EVP_md5(), nullptr);
    if (auto file = RegularFile::Open(path)) {
        posix_fadvise(file->Descriptor(), 0, 0, POSIX_FADV_SEQUENTIAL);
        AddFileContent(context.get(), *file, std::max<std::size_t>(chunkBytes, 1));
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
