// The restore's check of a queued photo without tiles judges every photo as the full decode does,
// also when photos are judged ahead on other threads.
#include <gtest/gtest.h>

#include "core/TempFolder.h"
#include "core/albums/JpegPhotoImaging.h"
#include "core/imaging/JpegFixtures.h"

namespace vantrel {
namespace {

using namespace test;

TEST(JpegPhotoImaging, WithoutTilesEveryPhotoIsJudgedAsByTheFullDecode) {
    TempFolder folder;
    const auto pixels = [](int x, int y) { return std::uint32_t(x * 7 + y * 3) * 0x010203u & 0xFFFFFFu; };
    std::string cut = MakeJpeg(800, 600, pixels);
    cut.resize(cut.size() / 3);
    std::string broken = MakeJpeg(800, 600, pixels).substr(0, 300) + std::string(2000, '\x33');
    const std::vector<std::pair<std::string, std::string>> photos = {
        {"large.jpg", MakeJpeg(1000, 700, pixels)},
        {"small.jpg", MakeJpeg(50, 90, pixels)},
        {"cmyk.jpg", MakeJpeg(400, 300, pixels, Options(FixtureColour::CMYK))},
        {"cut.jpg", cut},
        {"broken.jpg", broken},
        {"text.jpg", "not a photo at all"},
    };
    std::vector<std::string> paths;
    for (const auto& [name, bytes] : photos) paths.push_back(folder.Write(name, bytes));
    paths.push_back(folder.File("missing.jpg"));

    ImageWorkspace fullSpace, quickSpace, aheadSpace;
    JpegPhotoImaging full(fullSpace, {}, {});
    JpegPhotoImaging quick(quickSpace, {}, {});
    quick.SetTilesUnused(true);
    // The same judged ahead on other threads, but for the last photo, which is judged when asked.
    JpegPhotoImaging ahead(aheadSpace, {}, {});
    ahead.SetTilesUnused(true);
    ahead.LookAhead(std::vector<std::string>(paths.begin(), paths.end() - 1));
    for (const std::string& path : paths) {
        SCOPED_TRACE(path);
        const PhotoLoad expected = full.LoadPhoto(path);
        for (JpegPhotoImaging* imaging : {&quick, &ahead}) {
            const PhotoLoad got = imaging->LoadPhoto(path);
            EXPECT_EQ(got.status, expected.status);
            EXPECT_EQ(got.width, expected.width);
            EXPECT_EQ(got.height, expected.height);
            EXPECT_EQ(got.error, expected.error);
        }
    }
}

}  // namespace
}  // namespace vantrel
