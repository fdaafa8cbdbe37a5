// vantrel-cli tiles DIR OUTDIR: the folder browser's tile of every photo of DIR, written as
// PPM files, with the count and the time taken. The photos are found by the browser's own
// listing (regular files only, in name order) and decoded by its tile decoders, without the
// tile cache so that the time is the decoding's.
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "core/browse/FolderListing.h"
#include "core/browse/TileDecoderPool.h"
#include "tools/CliCommand.h"

namespace vantrel::cli {
namespace {

bool WritePpm(const std::string& path, const RgbBitmap& bitmap) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return false;
    std::fprintf(f, "P6\n%d %d\n255\n", bitmap.Width(), bitmap.Height());
    const bool ok = std::fwrite(bitmap.Data(), 1, bitmap.ByteSize(), f) == bitmap.ByteSize();
    return std::fclose(f) == 0 && ok;
}

// The listed photos of `folder` that are regular files (links followed), sorted by path.
std::vector<std::string> PhotoFilesOf(const std::string& folder, const FileNames& names) {
    std::vector<std::string> photos;
    for (std::string& path : PathsOfListing(folder, names)) {
        std::error_code error;
        if (std::filesystem::is_regular_file(path, error)) photos.push_back(std::move(path));
    }
    std::sort(photos.begin(), photos.end());
    return photos;
}

int RunTiles(const std::vector<std::string>& args) {
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: vantrel-cli tiles DIR OUTDIR\n");
        return 2;
    }
    namespace fs = std::filesystem;
    FileNames names;
    if (!ListPhotoFolder(args[0], names, [] { return true; })) {
        const std::error_code error(errno, std::system_category());
        std::fprintf(stderr, "cannot list %s: %s\n", args[0].c_str(), error.message().c_str());
        return 1;
    }
    const std::vector<std::string> photos = PhotoFilesOf(args[0], names);
    std::error_code error;
    fs::create_directories(args[1], error);
    int bad = 0;
    const auto start = std::chrono::steady_clock::now();
    // One decoder at normal priority: the time compares with a plain decode of each file.
    TileDecoderSetup setup;
    setup.lowPriority = false;
    TileDecoderPool decoders(setup);
    decoders.Start(photos);
    for (std::size_t taken = 0; taken < photos.size();) {
        const std::vector<ReadyTile> tiles = decoders.TakeReady({});
        if (tiles.empty()) break;  // cannot happen: the batch is never cancelled
        taken += tiles.size();
        for (const ReadyTile& ready : tiles) {
            const BrowserTile& tile = ready.tile;
            if (tile.placeholder) ++bad;
            if (!WritePpm((fs::path(args[1]) / fs::path(tile.path).filename()).string() + ".ppm", tile.tile)) {
                std::fprintf(stderr, "cannot write a tile into %s\n", args[1].c_str());
                return 1;
            }
        }
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%zu tiles (%d placeholders) in %.3f s\n", photos.size(), bad, seconds);
    return 0;
}

const CliCommandRegistration reg("tiles", {"tiles DIR OUTDIR", "browser tiles of the photos of DIR as PPM files", RunTiles});

}  // namespace
}  // namespace vantrel::cli
