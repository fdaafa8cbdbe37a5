// The tile cache: a stored tile comes back with the same pixels while the photo is unchanged;
// a rewritten photo, a damaged entry or another photo's entry gives nothing; the folder stays
// within its limit by dropping the entries used longest ago.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "core/TempFolder.h"
#include "core/imaging/FileDigest.h"
#include "core/browse/TileCache.h"
#include "core/imaging/JpegFixtures.h"
#include "core/imaging/Tiles.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;

CachedTile TileOf(std::uint32_t seed) {
    CachedTile tile;
    tile.tile.Resize(kTileSize, kTileSize);
    for (int y = 0; y < kTileSize; ++y)
        for (int x = 0; x < kTileSize; ++x) tile.tile.SetPixel(x, y, (seed * 2654435761u + x * 131 + y * 977) & 0xFFFFFF);
    tile.width = 4000 + int(seed);
    tile.height = 3000;
    return tile;
}

bool SameTile(const CachedTile& a, const CachedTile& b) {
    return a.width == b.width && a.height == b.height && a.tile.ByteSize() == b.tile.ByteSize() &&
           std::equal(a.tile.Data(), a.tile.Data() + a.tile.ByteSize(), b.tile.Data());
}

void SetModified(const std::string& path, long seconds, long nanoseconds = 0) {
    const timespec times[2] = {{seconds, nanoseconds}, {seconds, nanoseconds}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

std::vector<fs::path> Entries(const std::string& folder) {
    std::vector<fs::path> entries;
    for (const auto& entry : fs::directory_iterator(folder)) entries.push_back(entry.path());
    return entries;
}

TEST(TileCache, ATileComesBackOnlyForThePhotoAsItWas) {
    test::TempFolder photos, cacheFolder;
    TileCache cache(cacheFolder.File("vantrel"), TileCache::kDefaultLimit);
    const std::string photo = photos.Write("a.jpg", "first content");
    SetModified(photo, 1700000000, 5);
    EXPECT_FALSE(cache.Find(photo));
    cache.Store(photo, TileOf(1));
    auto found = cache.Find(photo);
    ASSERT_TRUE(found);
    EXPECT_TRUE(SameTile(*found, TileOf(1)));

    // Rewritten: another size, or the same size with another modification time, down to the
    // nanosecond; the same photo under another name has its own entry.
    struct Change {
        const char* what;
        std::string content;
        long nanoseconds;
    };
    for (const Change& change : {Change{"longer", "first content, longer", 5}, Change{"same size", "other content", 6}}) {
        SCOPED_TRACE(change.what);
        photos.Write("a.jpg", change.content);
        SetModified(photo, 1700000000, change.nanoseconds);
        EXPECT_FALSE(cache.Find(photo));
        cache.Store(photo, TileOf(2));
        ASSERT_TRUE(cache.Find(photo));
        EXPECT_TRUE(SameTile(*cache.Find(photo), TileOf(2)));
    }
    const std::string copy = photos.Write("b.jpg", "other content");
    SetModified(copy, 1700000000, 6);
    EXPECT_FALSE(cache.Find(copy));
    EXPECT_FALSE(cache.Find(photos.File("missing.jpg")));

    // Replaced by another photo of the same size with the same time (cp -p, rsync -t, a restored
    // backup): a new file moved over it, or the same file rewritten with its time put back.
    const std::string replacement = photos.Write("c.jpg", "OTHER CONTENT");
    SetModified(replacement, 1700000000, 6);
    fs::rename(replacement, photo);
    EXPECT_FALSE(cache.Find(photo));
    cache.Store(photo, TileOf(3));
    struct stat before{};
    ASSERT_EQ(::stat(photo.c_str(), &before), 0);
    photos.Write("a.jpg", "OTHER-CONTENT");
    SetModified(photo, 1700000000, 6);
    struct stat after{};
    // The change time moves on with the clock's tick: wait until it has.
    while (::stat(photo.c_str(), &after) == 0 && after.st_ctim.tv_sec == before.st_ctim.tv_sec &&
           after.st_ctim.tv_nsec == before.st_ctim.tv_nsec)
        ASSERT_EQ(::chmod(photo.c_str(), 0644), 0);
    EXPECT_FALSE(cache.Find(photo));
}

// An entry's name taken by a named pipe (or anything but a regular file) is no entry, and the
// lookup does not wait on it.
TEST(TileCache, AnEntryThatIsNoRegularFileIsIgnoredWithoutWaiting) {
    test::TempFolder photos, cacheFolder;
    TileCache cache(cacheFolder.Path(), TileCache::kDefaultLimit);
    const std::string photo = photos.Write("a.jpg", "content");
    cache.Store(photo, TileOf(4));
    const auto entries = Entries(cacheFolder.Path());
    ASSERT_EQ(entries.size(), 1u);
    fs::remove(entries[0]);
    ASSERT_EQ(::mkfifo(entries[0].c_str(), 0600), 0);
    EXPECT_FALSE(cache.Find(photo));
    fs::remove(entries[0]);
    fs::create_directory(entries[0]);
    EXPECT_FALSE(cache.Find(photo));
}

TEST(TileCache, DamagedEntriesAreIgnored) {
    test::TempFolder photos, cacheFolder;
    TileCache cache(cacheFolder.Path(), TileCache::kDefaultLimit);
    const std::string photo = photos.Write("a.jpg", "content");
    const std::string other = photos.Write("b.jpg", "content of b");
    cache.Store(other, TileOf(9));
    cache.Store(photo, TileOf(3));
    auto entries = Entries(cacheFolder.Path());
    ASSERT_EQ(entries.size(), 2u);
    // Find which entry is the photo's: the one that changes the answer when removed.
    std::string photoEntry, otherEntry;
    for (const auto& path : entries) {
        const std::string saved = test::ReadFile(path.string());
        fs::remove(path);
        if (!cache.Find(photo)) photoEntry = path.string();
        else otherEntry = path.string();
        std::ofstream(path, std::ios::binary) << saved;
    }
    ASSERT_FALSE(photoEntry.empty());
    ASSERT_FALSE(otherEntry.empty());
    const std::string good = test::ReadFile(photoEntry);
    std::vector<std::pair<const char*, std::string>> damaged = {
        {"empty", ""},
        {"cut", good.substr(0, good.size() - 1)},
        {"longer", good + "x"},
        {"garbage", std::string(good.size(), '\x5A')},
        {"another photo's entry", test::ReadFile(otherEntry)},
    };
    for (std::size_t at : {std::size_t(0), std::size_t(20), good.size() / 2, good.size() - 1}) {
        std::string flipped = good;
        flipped[at] = static_cast<char>(flipped[at] ^ 0x01);
        damaged.push_back({"a flipped bit", flipped});
    }
    for (const auto& [what, bytes] : damaged) {
        SCOPED_TRACE(what);
        std::ofstream(photoEntry, std::ios::binary | std::ios::trunc) << bytes;
        EXPECT_FALSE(cache.Find(photo));
    }
    std::ofstream(photoEntry, std::ios::binary | std::ios::trunc) << good;
    EXPECT_TRUE(cache.Find(photo));
}

// A tile as a photo gives it: smooth shades, which compress well.
CachedTile PhotoLikeTile(int side) {
    CachedTile tile;
    tile.tile.Resize(side, side);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) tile.tile.SetPixel(x, y, std::uint32_t(x * 255 / side) << 16 | std::uint32_t(y * 255 / side) << 8 | 0x40);
    tile.width = 6000;
    tile.height = 4000;
    return tile;
}

// Entries are compressed and give the same pixels back; the tile's side (the screen's pixel
// ratio) is part of the key; an entry whose compressed pixels are damaged, even with a checksum
// made to match, gives nothing.
TEST(TileCache, CompressedEntriesComeBackWithTheSamePixelsForTheirSideOnly) {
    test::TempFolder photos, cacheFolder;
    TileCache cache(cacheFolder.Path(), TileCache::kDefaultLimit);
    const std::string photo = photos.Write("a.jpg", "content");
    for (int side : {kTileSize, 2 * kTileSize}) {
        SCOPED_TRACE(side);
        cache.Store(photo, PhotoLikeTile(side));
        const auto found = cache.Find(photo, side);
        ASSERT_TRUE(found);
        EXPECT_TRUE(SameTile(*found, PhotoLikeTile(side)));
    }
    const auto dimensions = cache.Find(photo, kTileSize, false);  // without unpacking the pixels
    ASSERT_TRUE(dimensions);
    EXPECT_EQ(dimensions->width, 6000);
    EXPECT_TRUE(dimensions->tile.Empty());
    EXPECT_FALSE(cache.Find(photo, 3 * kTileSize));
    EXPECT_FALSE(cache.Find(photo, TileSideFor(1.5)));
    const auto entries = Entries(cacheFolder.Path());
    ASSERT_EQ(entries.size(), 2u);
    const std::uintmax_t raw = std::uintmax_t(kTileSize) * kTileSize * 3 * 5;  // both tiles' pixels
    EXPECT_LT(fs::file_size(entries[0]) + fs::file_size(entries[1]), raw / 4);

    // The 96-pixel entry: the one whose removal loses that tile.
    std::string entry;
    for (const auto& path : entries) {
        const std::string saved = test::ReadFile(path.string());
        fs::remove(path);
        if (!cache.Find(photo, kTileSize)) entry = path.string();
        std::ofstream(path, std::ios::binary) << saved;
    }
    ASSERT_FALSE(entry.empty());
    const std::string good = test::ReadFile(entry);
    auto withChecksum = [](std::string body) {
        const Md5Digest digest = DigestBytes(body);
        return body.append(reinterpret_cast<const char*>(digest.data()), digest.size());
    };
    const std::string body = good.substr(0, good.size() - 16);
    ASSERT_EQ(withChecksum(body), good);
    std::string flipped = body;
    flipped[body.size() - 40] = static_cast<char>(flipped[body.size() - 40] ^ 0x10);
    std::ofstream(entry, std::ios::binary | std::ios::trunc) << withChecksum(flipped);
    EXPECT_FALSE(cache.Find(photo, kTileSize));
    std::ofstream(entry, std::ios::binary | std::ios::trunc) << good;
    EXPECT_TRUE(cache.Find(photo, kTileSize));
}

TEST(TileCache, TheLeastRecentlyUsedEntriesGoFirst) {
    test::TempFolder photos, cacheFolder;
    std::vector<std::string> paths;
    for (int i = 0; i < 6; ++i) paths.push_back(photos.Write("p" + std::to_string(i) + ".jpg", std::string(i + 1, 'x')));
    TileCache probe(cacheFolder.File("probe"), TileCache::kDefaultLimit);
    probe.Store(paths[0], TileOf(0));
    const std::uint64_t entrySize = fs::file_size(Entries(cacheFolder.File("probe"))[0]);

    TileCache cache(cacheFolder.File("bounded"), entrySize * 4 + entrySize / 2);  // room for four
    for (int i = 0; i < 6; ++i) {
        cache.Store(paths[i], TileOf(i));
        // Each entry older than the next, whatever the clock's resolution.
        for (const auto& entry : Entries(cache.Folder()))
            if (fs::last_write_time(entry) > fs::file_time_type::clock::now() - std::chrono::hours(1))
                fs::last_write_time(entry, fs::file_time_type::clock::now() - std::chrono::hours(100 - i));
    }
    // Photo 1 is looked at again: it is now the most recently used. Half-written entries of a
    // killed process go once they are old; a fresh one may still be being written.
    ASSERT_TRUE(cache.Find(paths[1]));
    const std::string stale = cache.Folder() + "0123.tile.a1B2c3", fresh = cache.Folder() + "4567.tile.d4E5f6";
    std::ofstream(stale) << "half";
    std::ofstream(fresh) << "half";
    fs::last_write_time(stale, fs::file_time_type::clock::now() - std::chrono::hours(2));
    cache.Trim();
    EXPECT_FALSE(fs::exists(stale));
    EXPECT_TRUE(fs::exists(fresh));
    fs::remove(fresh);
    for (int i : {1, 3, 4, 5}) EXPECT_TRUE(cache.Find(paths[i])) << i;
    for (int i : {0, 2}) EXPECT_FALSE(cache.Find(paths[i])) << i;
}

TEST(TileCache, FolderFollowsTheDesktopRules) {
    const std::string savedCache = std::getenv("XDG_CACHE_HOME") ? std::getenv("XDG_CACHE_HOME") : "";
    const std::string savedHome = std::getenv("HOME") ? std::getenv("HOME") : "";
    ::setenv("XDG_CACHE_HOME", "/tmp/cache-here", 1);
    ::setenv("HOME", "/home/someone", 1);
    EXPECT_EQ(TileCache::UserFolder(), "/tmp/cache-here/vantrel/");
    ::setenv("XDG_CACHE_HOME", "relative", 1);  // not absolute: ignored, as the rules say
    EXPECT_EQ(TileCache::UserFolder(), "/home/someone/.cache/vantrel/");
    ::unsetenv("XDG_CACHE_HOME");
    EXPECT_EQ(TileCache::UserFolder(), "/home/someone/.cache/vantrel/");
    savedCache.empty() ? ::unsetenv("XDG_CACHE_HOME") : ::setenv("XDG_CACHE_HOME", savedCache.c_str(), 1);
    ::setenv("HOME", savedHome.c_str(), 1);
}

}  // namespace
}  // namespace vantrel
