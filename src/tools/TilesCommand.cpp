// vantrel-cli tiles DIR OUTDIR: the folder browser's tile of every photo of DIR, written as
// PPM files, with the count and the time taken.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>

#include "core/imaging/BrowserThumb.h"
#include "core/imaging/ExifOrientation.h"
#include "core/imaging/JpegNamePattern.h"
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

int RunTiles(const std::vector<std::string>& args) {
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: vantrel-cli tiles DIR OUTDIR\n");
        return 2;
    }
    namespace fs = std::filesystem;
    std::error_code error;
    std::vector<fs::path> photos;
    for (const auto& entry : fs::directory_iterator(args[0], error))
        if (entry.is_regular_file(error) && MatchesJpegPattern(entry.path().filename().string()))
            photos.push_back(entry.path());
    if (error) {
        std::fprintf(stderr, "cannot list %s: %s\n", args[0].c_str(), error.message().c_str());
        return 1;
    }
    std::sort(photos.begin(), photos.end());
    fs::create_directories(args[1], error);
    ImageWorkspace ws;
    int bad = 0;
    const auto start = std::chrono::steady_clock::now();
    for (const fs::path& photo : photos) {
        if (MakeBrowserThumb(ws, photo.string()) != BrowserThumbResult::Tile) ++bad;
        else OrientUpright(ws.workBitmap, ws.scratch, ExifOrientation(ws.params.metadata));
        if (!WritePpm((fs::path(args[1]) / photo.filename()).string() + ".ppm", ws.workBitmap)) {
            std::fprintf(stderr, "cannot write a tile into %s\n", args[1].c_str());
            return 1;
        }
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%zu tiles (%d placeholders) in %.3f s\n", photos.size(), bad, seconds);
    return 0;
}

const CliCommandRegistration reg("tiles", {"tiles DIR OUTDIR        browser tiles of the photos of DIR as PPM files", RunTiles});

}  // namespace
}  // namespace vantrel::cli
