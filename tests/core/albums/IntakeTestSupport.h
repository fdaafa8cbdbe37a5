#pragma once
// Photo intake on real JPEG files made in the test: a work folder, a photo folder, the
// codec's workspace and a content image list that only collects tiles.

#include <chrono>

#include "core/albums/AlbumTestSupport.h"
#include "core/albums/JpegPhotoImaging.h"
#include "core/albums/PhotoIntake.h"
#include "core/imaging/JpegEncoder.h"

namespace vantrel::albumtest {

// Writes a width x height JPEG of one colour; four components (CMYK) when `cmyk`.
inline void WriteJpeg(const std::string& path, int width, int height, bool cmyk = false, int quality = 95) {
    RgbBitmap picture(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) picture.SetPixel(x, y, static_cast<std::uint32_t>((x * 7) << 16 | (y * 5) << 8 | 0x40));
    ImageParams params;
    params.width = width;
    params.height = height;
    params.quality = quality;
    params.colourModel = cmyk ? ColourModel::CMYK : ColourModel::YCbCr;
    auto encoded = cmyk ? EncodeWorkingCopyJpeg(picture, params) : EncodeBaselineJpeg(picture, quality);
    ASSERT_TRUE(encoded.has_value());
    WriteFile(path, std::string(encoded->Bytes()));
}

struct IntakeBench {
    ScratchFolder work;
    ScratchFolder photos;
    RecordingList r;
    ImageWorkspace workspace;
    std::vector<RgbBitmap> tiles;  // the content image list
    bool refuseTiles = false;
    int saves = 0;
    JpegPhotoImaging imaging{workspace, [] { return 50; }, [this](const RgbBitmap& tile) -> std::expected<int, std::string> {
                                  if (refuseTiles) return std::unexpected(std::string("image list full"));
                                  tiles.push_back(tile);
                                  return static_cast<int>(tiles.size()) - 1;
                              }};
    PhotoIntake intake{r.list, imaging, work.path(), FrenchMonths()};

    IntakeBench() {
        intake.Hooks.Today = [] { return std::chrono::year{2007} / 12 / 9; };
        intake.Hooks.FormatCaption = [](const std::string& path, std::int64_t size, int w, int h) {
            return FileNameOf(path) + "|" + std::to_string(size) + "|" + std::to_string(w) + "x" + std::to_string(h);
        };
        intake.Hooks.SaveTransferList = [this] { ++saves; };
    }
    // A photo in the photo folder.
    std::string Photo(const std::string& name, int width = 40, int height = 30, bool cmyk = false) {
        std::string path = photos / name;
        WriteJpeg(path, width, height, cmyk);
        return path;
    }
};

}  // namespace vantrel::albumtest
