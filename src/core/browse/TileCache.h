#pragma once
// Tiles of photos already seen, kept on disk so that a folder visited again fills at once: one
// small file per tile in the cache folder, found by the photo's path, size, modification time,
// inode and change time, so that a photo rewritten or replaced in any way gets a new tile. The folder is bounded: when it
// grows past its limit the entries used longest ago are dropped first. An entry that is cut,
// damaged or made for another photo is ignored; entries are written whole or not at all.

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>

#include "core/imaging/RgbBitmap.h"

namespace vantrel {

struct CachedTile {
    RgbBitmap tile;  // 96 x 96, as the browser shows it (upright)
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
    static constexpr std::uint64_t kDefaultLimit = 64ull * 1024 * 1024;

    // The tile stored for the photo at `path` as it is now on disk; nothing when there is none
    // or the entry does not hold together. A hit marks the entry as used. Safe from any thread.
    std::optional<CachedTile> Find(const std::string& path) const;
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
};

}  // namespace vantrel
