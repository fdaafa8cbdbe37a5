#pragma once
// Tiles of photos already seen, kept on disk so that a folder visited again fills at once: one
// small file per tile in the cache folder, found by the photo's path, size, modification time,
// inode and change time, so that a photo rewritten or replaced in any way gets a new tile, and by
// the tile's side (a screen scaled 2x has tiles of 192 pixels). The pixels are compressed
// without loss (zlib). The folder is bounded: when it grows past its limit the entries used
// longest ago are dropped first. An entry that is cut, damaged, of an older format or made for
// another photo is ignored (and rebuilt by the next store); entries are written whole or not at all.

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>

#include "core/imaging/RgbBitmap.h"
#include "core/imaging/Tiles.h"

namespace vantrel {

struct CachedTile {
    RgbBitmap tile;  // square, as the browser shows it (upright)
    int width = 0;   // the photo's dimensions as shown
    int height = 0;
};

class TileCache {
public:
    // `folder` ends in "/" and is made when missing; `limitBytes` bounds the entries' total.
    TileCache(std::string folder, std::uint64_t limitBytes);

    // $XDG_CACHE_HOME/vantrel/ (else ~/.cache/vantrel/); an empty folder, which disables the
    // cache, when neither is known.
    static std::string UserFolder();
    // Room for far more than 20,000 compressed tiles of 96 pixels (about 10 KB each).
    static constexpr std::uint64_t kDefaultLimit = 512ull * 1024 * 1024;

    // The tile of `tileSide` pixels stored for the photo at `path` as it is now on disk; nothing
    // when there is none or the entry does not hold together. A hit marks the entry as used.
    // Without `withPixels` only the dimensions are read (the tile stays empty), which is quicker.
    // Safe from any thread.
    std::optional<CachedTile> Find(const std::string& path, int tileSide = kTileSize, bool withPixels = true) const;
    // Stores the tile of the photo at `path` (its size, times and inode read now). Failures
    // are silent: the cache only saves time. Safe from any thread.
    void Store(const std::string& path, const CachedTile& tile);
    // Drops the entries used longest ago until the total is within the limit.
    void Trim() const;

    const std::string& Folder() const { return folder_; }

private:
    std::string folder_;
    std::uint64_t limit_;
    std::atomic<unsigned> stores_{0};
    // The folder's total as the last trim found it plus what was stored since (an estimate
    // from above): the folder is only read again once it may be over the limit.
    mutable std::atomic<std::uint64_t> estimate_{0};
    mutable std::atomic<bool> measured_{false};
};

}  // namespace vantrel
