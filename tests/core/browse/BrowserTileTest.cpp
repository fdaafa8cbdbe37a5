// The tiles of the folder browser: a tile from the cache is the fresh tile until the photo
// changes; the decoders hand every tile of a listing over once with its row, with placeholders for what
// cannot be shown, the rows on screen first, and a cancelled batch hands over nothing more.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <optional>

#include "core/TempFolder.h"
#include "core/browse/BrowserTile.h"
#include "core/browse/TileDecoderPool.h"
#include "core/imaging/JpegFixtures.h"
#include "core/imaging/Tiles.h"

namespace vantrel {
namespace {

bool SamePixels(const RgbBitmap& a, const RgbBitmap& b) {
    return a.Width() == b.Width() && a.Height() == b.Height() &&
           std::equal(a.Data(), a.Data() + a.ByteSize(), b.Data());
}

bool SameTile(const BrowserTile& a, const BrowserTile& b) {
    return a.path == b.path && SamePixels(a.tile, b.tile) && a.width == b.width && a.height == b.height &&
           a.size == b.size && a.placeholder == b.placeholder && a.badPicture == b.badPicture;
}

std::string WritePhoto(const test::TempFolder& folder, const std::string& name, int width, int height,
                       std::uint32_t seed) {
    return folder.Write(name, test::MakeJpeg(width, height, [seed](int x, int y) {
        return (seed * 0x3A5F17u + std::uint32_t(x) * 0x010203u + std::uint32_t(y) * 0x030201u) & 0xFFFFFF;
    }));
}

std::string PhotoName(int i) { return std::string("p").append(std::to_string(i)).append(".jpg"); }

TileDecoderSetup ForegroundDecoders(int threads) {
    TileDecoderSetup setup;
    setup.threads = threads;
    setup.lowPriority = false;
    return setup;
}

// A tile from the cache has the pixels, dimensions and size of a fresh decode; a photo
// rewritten in place gets the tile of its new content.
TEST(BrowserTile, CachedTilesAreTheFreshTilesUntilThePhotoChanges) {
    test::TempFolder photos, cacheFolder;
    TileCache cache(cacheFolder.Path(), TileCache::kDefaultLimit);
    ImageWorkspace ws;
    const std::vector<std::string> paths = {WritePhoto(photos, "wide.jpg", 900, 500, 1),
                                            WritePhoto(photos, "tall.jpg", 310, 620, 2),
                                            WritePhoto(photos, "small.jpg", 40, 30, 3)};
    for (const std::string& path : paths) {
        SCOPED_TRACE(path);
        const BrowserTile fresh = DecodeBrowserTile(ws, path);
        EXPECT_FALSE(fresh.placeholder);
        EXPECT_TRUE(SameTile(DecodeBrowserTile(ws, path, &cache), fresh));  // stored
        EXPECT_TRUE(cache.Find(path));
        EXPECT_TRUE(SameTile(DecodeBrowserTile(ws, path, &cache), fresh));  // found
    }
    const BrowserTile before = DecodeBrowserTile(ws, paths[0], &cache);
    WritePhoto(photos, "wide.jpg", 900, 500, 7);
    const timespec later[2] = {{2000000000, 0}, {2000000000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, paths[0].c_str(), later, 0), 0);
    const BrowserTile rewritten = DecodeBrowserTile(ws, paths[0], &cache);
    EXPECT_FALSE(SamePixels(rewritten.tile, before.tile));
    EXPECT_TRUE(SameTile(rewritten, DecodeBrowserTile(ws, paths[0])));
}

// Takes tiles until `count` were handed over; the rows in the order they came.
std::vector<ReadyTile> TakeAll(TileDecoderPool& pool, std::size_t count) {
    std::vector<ReadyTile> taken;
    while (taken.size() < count) {
        std::vector<ReadyTile> ready = pool.TakeReady({});
        if (ready.empty()) break;
        for (ReadyTile& tile : ready) taken.push_back(std::move(tile));
    }
    return taken;
}

TEST(TileDecoderPool, HandsEveryTileOverOnceWithItsRow) {
    test::TempFolder photos;
    std::vector<std::string> paths;
    for (int i = 0; i < 40; ++i) paths.push_back(WritePhoto(photos, PhotoName(i), 120 + i, 90, i));
    paths.push_back(photos.Write("text.jpg", "no JPEG at all"));          // bad picture
    paths.push_back(photos.File("missing.jpg"));                          // bad picture
    std::filesystem::create_directory(photos.File("folder.jpg"));
    paths.push_back(photos.File("folder.jpg"));                           // bad picture
    const std::string whole = test::MakeSolidJpeg(200, 150, 0x336699);
    paths.push_back(photos.Write("cut.jpg", whole.substr(0, whole.size() / 3)));

    ImageWorkspace ws;
    for (int threads : {1, 2, 3}) {
        SCOPED_TRACE(threads);
        TileDecoderPool pool(ForegroundDecoders(threads));
        EXPECT_EQ(pool.ThreadCount(), threads);
        pool.Start(paths);
        std::vector<std::optional<BrowserTile>> byRow(paths.size());
        for (ReadyTile& ready : TakeAll(pool, paths.size())) {
            ASSERT_LT(ready.row, paths.size());
            ASSERT_FALSE(byRow[ready.row]) << ready.row;  // once
            byRow[ready.row] = std::move(ready.tile);
        }
        for (std::size_t i = 0; i < paths.size(); ++i) {
            ASSERT_TRUE(byRow[i]) << paths[i];
            EXPECT_TRUE(SameTile(*byRow[i], DecodeBrowserTile(ws, paths[i]))) << paths[i];
        }
        EXPECT_TRUE(pool.TakeReady({}).empty());  // everything handed over
        for (std::size_t i = 40; i < 43; ++i) EXPECT_TRUE(byRow[i]->badPicture && byRow[i]->placeholder) << paths[i];
        EXPECT_EQ(byRow[0]->tile.Width(), kTileSize);
        EXPECT_EQ(byRow[0]->width, 120);
    }
}

// The rows on screen come first; rows whose tiles were let go are decoded again, those on screen
// first.
TEST(TileDecoderPool, TheRowsOnScreenComeFirstAndCanBeAskedForAgain) {
    test::TempFolder photos;
    std::vector<std::string> paths;
    for (int i = 0; i < 40; ++i) paths.push_back(WritePhoto(photos, PhotoName(i), 64, 48, i));
    TileDecoderPool pool(ForegroundDecoders(1));
    pool.Start(paths, 30, 35);
    const std::vector<ReadyTile> taken = TakeAll(pool, paths.size());
    ASSERT_EQ(taken.size(), paths.size());
    for (std::size_t i = 0; i < 5; ++i) EXPECT_EQ(taken[i].row, 30 + i);
    EXPECT_EQ(taken[5].row, 0u);

    pool.Prioritise(10, 12, {25, 11, 10});
    std::vector<std::size_t> again;
    for (const ReadyTile& ready : TakeAll(pool, 4)) {
        again.push_back(ready.row);
        EXPECT_EQ(ready.tile.path, paths[ready.row]);
    }
    EXPECT_EQ(again, (std::vector<std::size_t>{10, 11, 25}));
}

TEST(TileDecoderPool, ACancelledBatchHandsOverNothingAndANewOneStartsAfresh) {
    test::TempFolder photos;
    std::vector<std::string> paths;
    for (int i = 0; i < 4; ++i) paths.push_back(WritePhoto(photos, PhotoName(i), 64, 48, i));
    TileDecoderPool pool(ForegroundDecoders(2));

    EXPECT_TRUE(pool.TakeReady({}).empty());  // nothing started
    pool.Start(paths);
    pool.Cancel();
    EXPECT_TRUE(pool.TakeReady({}).empty());

    pool.Start(paths);
    ASSERT_FALSE(pool.TakeReady({}).empty());
    pool.Start({});
    EXPECT_TRUE(pool.TakeReady([] { return false; }).empty());  // an empty batch

    // A new batch replaces the old one from its first tile.
    pool.Start({paths[3]});
    const std::vector<ReadyTile> again = TakeAll(pool, 1);
    ASSERT_EQ(again.size(), 1u);
    EXPECT_EQ(again[0].row, 0u);
    EXPECT_EQ(again[0].tile.path, paths[3]);
}

}  // namespace
}  // namespace vantrel
