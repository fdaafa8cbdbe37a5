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

#include <zlib.h>

namespace vantrel {
namespace {

namespace fs = std::filesystem;

// Entry layout: magic, the key's length and the key, width and height, the tile's side, the
// length of the compressed pixels and the pixels (each byte's difference from its Paeth
// prediction, deflated by zlib), then the MD5 of everything before it.
// The magic changes whenever tiles are drawn or stored differently: older entries are then
// simply not found, and replaced as the photos are seen again.
constexpr char kMagic[8] = {'V', 'T', 'I', 'L', 'E', '0', '0', '3'};
constexpr std::size_t kMaxKey = 8192;
constexpr int kMaxSide = 4 * kTileSize;
constexpr std::size_t kHeaderBytes = sizeof kMagic + 4;
constexpr std::size_t kFixedBytes = 4 * 4;  // width, height, side, compressed length
constexpr unsigned kTrimEvery = 64;  // stores between two checks of the total

std::size_t PixelBytes(int side) { return std::size_t(side) * std::size_t(side) * 3; }

std::string TimeText(const timespec& time) { return std::to_string(time.tv_sec) + '.' + std::to_string(time.tv_nsec); }

// The photo's identity: its path, size, modification time to the nanosecond, inode and change
// time, and the side of the tile. A photo replaced by another of the same size with its time
// kept (cp -p, rsync -t, a restored backup) has another inode or a new change time.
std::optional<std::string> KeyOf(const std::string& path, int tileSide) {
    struct stat info{};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
    return path + '\n' + std::to_string(info.st_size) + '\n' + TimeText(info.st_mtim) + '\n' +
           std::to_string(info.st_ino) + '\n' + TimeText(info.st_ctim) + '\n' + std::to_string(tileSide);
}

void PutU32(std::string& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>(v >> (8 * i)));
}
std::uint32_t GetU32(const char* p) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(p[i]);
    return v;
}

// A byte predicted from its neighbours as PNG's Paeth filter does: left, above, above left.
std::uint8_t Paeth(int left, int above, int aboveLeft) {
    const int p = left + above - aboveLeft;
    const int pa = std::abs(p - left), pb = std::abs(p - above), pc = std::abs(p - aboveLeft);
    if (pa <= pb && pa <= pc) return static_cast<std::uint8_t>(left);
    return static_cast<std::uint8_t>(pb <= pc ? above : aboveLeft);
}

// Each byte replaced by its difference from the prediction (`restore` false), or the pixels
// rebuilt from those differences in place (`restore` true): photos' neighbouring pixels are
// alike, so the differences are small and compress about twice as well. The first row is
// predicted from the left only, the first pixel of a row from above only.
void Predict(const std::uint8_t* pixels, std::uint8_t* out, int side, bool restore) {
    const std::size_t stride = std::size_t(side) * 3;
    for (int y = 0; y < side; ++y) {
        const std::size_t row = std::size_t(y) * stride;
        // Restoring reads the pixels already rebuilt: the output itself.
        const std::uint8_t* cur = (restore ? out : pixels) + row;
        const std::uint8_t* prev = y > 0 ? cur - stride : nullptr;
        std::uint8_t* to = out + row;
        for (std::size_t i = 0; i < stride; ++i) {
            std::uint8_t guess;
            if (prev == nullptr) guess = i >= 3 ? cur[i - 3] : 0;
            else if (i < 3) guess = prev[i];
            else guess = Paeth(cur[i - 3], prev[i], prev[i - 3]);
            to[i] = restore ? static_cast<std::uint8_t>(to[i] + guess) : static_cast<std::uint8_t>(pixels[row + i] - guess);
        }
    }
}

std::optional<std::string> Encode(const std::string& key, const CachedTile& tile) {
    const int side = tile.tile.Width();
    std::string residuals(PixelBytes(side), '\0');
    Predict(tile.tile.Data(), reinterpret_cast<std::uint8_t*>(residuals.data()), side, false);
    uLongf packedSize = compressBound(static_cast<uLong>(residuals.size()));
    std::string packed(packedSize, '\0');
    if (compress2(reinterpret_cast<Bytef*>(packed.data()), &packedSize, reinterpret_cast<const Bytef*>(residuals.data()),
                  static_cast<uLong>(residuals.size()), Z_DEFAULT_COMPRESSION) != Z_OK)
        return std::nullopt;
    packed.resize(packedSize);
    std::string out(kMagic, sizeof kMagic);
    PutU32(out, static_cast<std::uint32_t>(key.size()));
    out += key;
    PutU32(out, static_cast<std::uint32_t>(tile.width));
    PutU32(out, static_cast<std::uint32_t>(tile.height));
    PutU32(out, static_cast<std::uint32_t>(side));
    PutU32(out, static_cast<std::uint32_t>(packed.size()));
    out += packed;
    const Md5Digest digest = DigestBytes(out);
    out.append(reinterpret_cast<const char*>(digest.data()), digest.size());
    return out;
}

std::optional<CachedTile> Decode(const std::string& bytes, const std::string& key, int tileSide, bool withPixels) {
    const std::size_t fixed = kHeaderBytes + key.size() + kFixedBytes;
    if (bytes.size() < fixed + 16 || std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0) return std::nullopt;
    if (GetU32(bytes.data() + sizeof kMagic) != key.size()) return std::nullopt;
    if (bytes.compare(kHeaderBytes, key.size(), key) != 0) return std::nullopt;
    const char* p = bytes.data() + kHeaderBytes + key.size();
    const std::uint32_t side = GetU32(p + 8), packedSize = GetU32(p + 12);
    if (side != static_cast<std::uint32_t>(tileSide) || bytes.size() != fixed + packedSize + 16) return std::nullopt;
    const Md5Digest digest = DigestBytes(std::string_view(bytes).substr(0, bytes.size() - 16));
    if (std::memcmp(bytes.data() + bytes.size() - 16, digest.data(), 16) != 0) return std::nullopt;
    CachedTile tile;
    tile.width = static_cast<int>(GetU32(p));
    tile.height = static_cast<int>(GetU32(p + 4));
    if (!withPixels) return tile;
    if (!tile.tile.Resize(tileSide, tileSide)) return std::nullopt;
    // The pixels must fill the tile exactly: no more, no less.
    uLongf unpacked = static_cast<uLongf>(PixelBytes(tileSide));
    if (uncompress(tile.tile.Data(), &unpacked, reinterpret_cast<const Bytef*>(p + kFixedBytes), packedSize) != Z_OK ||
        unpacked != PixelBytes(tileSide))
        return std::nullopt;
    Predict(tile.tile.Data(), tile.tile.Data(), tileSide, true);
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

std::optional<CachedTile> TileCache::Find(const std::string& path, int tileSide, bool withPixels) const {
    if (folder_.empty() || tileSide < 1 || tileSide > kMaxSide) return std::nullopt;
    const auto key = KeyOf(path, tileSide);
    if (!key || key->size() > kMaxKey) return std::nullopt;
    const std::string entry = folder_ + EntryName(*key);
    const std::size_t largest = kHeaderBytes + kMaxKey + kFixedBytes + compressBound(PixelBytes(tileSide)) + 16;
    const auto bytes = ReadSmallFile(entry, largest);
    if (!bytes) return std::nullopt;
    auto tile = Decode(*bytes, *key, tileSide, withPixels);
    if (tile) ::utimensat(AT_FDCWD, entry.c_str(), nullptr, 0);  // used now: dropped last
    return tile;
}

void TileCache::Store(const std::string& path, const CachedTile& tile) {
    const int side = tile.tile.Width();
    if (folder_.empty() || side < 1 || side > kMaxSide || tile.tile.Height() != side) return;
    const auto key = KeyOf(path, side);
    if (!key || key->size() > kMaxKey) return;
    const std::string entry = folder_ + EntryName(*key);
    const auto encoded = Encode(*key, tile);
    if (!encoded) return;
    const std::string& bytes = *encoded;
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
    estimate_ += bytes.size();
    if (++stores_ % kTrimEvery == 0 && (!measured_ || estimate_ > limit_)) Trim();
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
    measured_ = true;
    estimate_ = total;
    if (total <= limit_) return;
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.used < b.used; });
    for (const Entry& entry : entries) {
        if (total <= limit_) break;
        std::error_code ignored;
        if (fs::remove(entry.path, ignored)) total -= entry.size;
    }
    estimate_ = total;
}

}  // namespace vantrel
