#include "core/browse/TileCache.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

#include "core/imaging/FileDigest.h"
#include "core/imaging/Tiles.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;

// Entry layout: magic, the key's length and the key, width and height, the 96 x 96 RGB tile,
// then the MD5 of everything before it. The magic changes whenever tiles are drawn differently.
constexpr char kMagic[8] = {'V', 'T', 'I', 'L', 'E', '0', '0', '2'};
constexpr std::size_t kTileBytes = std::size_t(kTileSize) * kTileSize * 3;
constexpr std::size_t kMaxKey = 8192;
constexpr unsigned kTrimEvery = 64;  // stores between two checks of the total

std::string TimeText(const timespec& time) { return std::to_string(time.tv_sec) + '.' + std::to_string(time.tv_nsec); }

// The photo's identity: its path, size, modification time to the nanosecond, inode and change
// time. A photo replaced by another of the same size with its time kept (cp -p, rsync -t, a
// restored backup) has another inode or a new change time.
std::optional<std::string> KeyOf(const std::string& path) {
    struct stat info{};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
    return path + '\n' + std::to_string(info.st_size) + '\n' + TimeText(info.st_mtim) + '\n' +
           std::to_string(info.st_ino) + '\n' + TimeText(info.st_ctim);
}

void PutU32(std::string& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>(v >> (8 * i)));
}
std::uint32_t GetU32(const char* p) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(p[i]);
    return v;
}

std::string Encode(const std::string& key, const CachedTile& tile) {
    std::string out(kMagic, sizeof kMagic);
    PutU32(out, static_cast<std::uint32_t>(key.size()));
    out += key;
    PutU32(out, static_cast<std::uint32_t>(tile.width));
    PutU32(out, static_cast<std::uint32_t>(tile.height));
    out.append(reinterpret_cast<const char*>(tile.tile.Data()), kTileBytes);
    const Md5Digest digest = DigestBytes(out);
    out.append(reinterpret_cast<const char*>(digest.data()), digest.size());
    return out;
}

std::optional<CachedTile> Decode(const std::string& bytes, const std::string& key) {
    const std::size_t expected = sizeof kMagic + 4 + key.size() + 8 + kTileBytes + 16;
    if (bytes.size() != expected || std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0) return std::nullopt;
    if (GetU32(bytes.data() + sizeof kMagic) != key.size()) return std::nullopt;
    if (bytes.compare(sizeof kMagic + 4, key.size(), key) != 0) return std::nullopt;
    const Md5Digest digest = DigestBytes(std::string_view(bytes).substr(0, expected - 16));
    if (std::memcmp(bytes.data() + expected - 16, digest.data(), 16) != 0) return std::nullopt;
    const char* p = bytes.data() + sizeof kMagic + 4 + key.size();
    CachedTile tile;
    tile.width = static_cast<int>(GetU32(p));
    tile.height = static_cast<int>(GetU32(p + 4));
    if (!tile.tile.Resize(kTileSize, kTileSize)) return std::nullopt;
    std::memcpy(tile.tile.Data(), p + 8, kTileBytes);
    return tile;
}

// The file of a key's entry: its digest, so that any path makes a short, safe name.
std::string EntryName(const std::string& key) { return DigestToHex(DigestBytes(key)) + ".tile"; }

// Reads a whole small regular file; nothing when it cannot be read, is no regular file or is
// larger than `limit`. Opened without blocking: a named pipe at the entry's name is never waited on.
std::optional<std::string> ReadSmallFile(const std::string& path, std::size_t limit) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0) return std::nullopt;
    struct stat info{};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return std::nullopt;
    }
    std::string bytes(limit + 1, '\0');
    std::size_t got = 0;
    while (got < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        got += static_cast<std::size_t>(n);
    }
    ::close(fd);
    if (got > limit) return std::nullopt;
    bytes.resize(got);
    return bytes;
}

}  // namespace

TileCache::TileCache(std::string folder, std::uint64_t limitBytes) : folder_(std::move(folder)), limit_(limitBytes) {
    if (folder_.empty()) return;
    if (folder_.back() != '/') folder_ += '/';
    std::error_code ignored;
    fs::create_directories(folder_, ignored);
}

std::string TileCache::UserFolder() {
    const char* cache = std::getenv("XDG_CACHE_HOME");
    if (cache != nullptr && cache[0] == '/') return std::string(cache) + "/vantrel/";
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') return std::string(home) + "/.cache/vantrel/";
    return {};
}

std::optional<CachedTile> TileCache::Find(const std::string& path) const {
    if (folder_.empty()) return std::nullopt;
    const auto key = KeyOf(path);
    if (!key || key->size() > kMaxKey) return std::nullopt;
    const std::string entry = folder_ + EntryName(*key);
    const auto bytes = ReadSmallFile(entry, sizeof kMagic + 4 + kMaxKey + 8 + kTileBytes + 16);
    if (!bytes) return std::nullopt;
    auto tile = Decode(*bytes, *key);
    if (tile) ::utimensat(AT_FDCWD, entry.c_str(), nullptr, 0);  // used now: dropped last
    return tile;
}

void TileCache::Store(const std::string& path, const CachedTile& tile) {
    if (folder_.empty() || tile.tile.Width() != kTileSize || tile.tile.Height() != kTileSize) return;
    const auto key = KeyOf(path);
    if (!key || key->size() > kMaxKey) return;
    const std::string entry = folder_ + EntryName(*key);
    const std::string bytes = Encode(*key, tile);
    // Written beside the entry and renamed over it: a reader sees the old entry or the new one.
    std::string temporary = entry + ".XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) return;
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        written += static_cast<std::size_t>(n);
    }
    const bool complete = ::close(fd) == 0 && written == bytes.size();
    if (!complete || ::rename(temporary.c_str(), entry.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return;
    }
    if (++stores_ % kTrimEvery == 0) Trim();
}

void TileCache::Trim() const {
    if (folder_.empty()) return;
    struct Entry {
        fs::path path;
        std::uint64_t size;
        std::int64_t used;
    };
    std::vector<Entry> entries;
    std::uint64_t total = 0;
    std::error_code error;
    for (fs::directory_iterator it(folder_, error), end; !error && it != end; it.increment(error)) {
        struct stat info{};
        if (::lstat(it->path().c_str(), &info) != 0) continue;
        if (it->path().extension() != ".tile") {
            // A half-written entry of a process that was killed: gone after an hour.
            const bool stale = info.st_mtim.tv_sec + 3600 < ::time(nullptr);
            if (stale && it->path().filename().string().find(".tile.") != std::string::npos) {
                std::error_code ignored;
                fs::remove(it->path(), ignored);
            }
            continue;
        }
        entries.push_back({it->path(), static_cast<std::uint64_t>(info.st_size),
                           std::int64_t(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec});
        total += static_cast<std::uint64_t>(info.st_size);
    }
    if (total <= limit_) return;
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.used < b.used; });
    for (const Entry& entry : entries) {
        if (total <= limit_) break;
        std::error_code ignored;
        if (fs::remove(entry.path, ignored)) total -= entry.size;
    }
}

}  // namespace vantrel
