// The scaled copy and the thumbnail sent with a photo, byte for byte: whatever way the upload
// decodes the photo, the copies equal those made from one plain full decode, point-sampled from
// the upright picture and written with the plain encoder at quality 90.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "core/TempFolder.h"
#include "core/imaging/ImageFileOps.h"
#include "core/service/UploadPackage.h"
#include "core/imaging/JpegFixtures.h"
#include "core/support/ReferenceCopy.h"

namespace vantrel {
namespace {

using namespace test;

// Camera-like content: smooth gradients with noise, so that every row and column differs.
PixelSource Noisy(unsigned seed) {
    auto random = std::make_shared<std::mt19937>(seed);
    return [random](int x, int y) {
        const std::uint32_t noise = (*random)() & 0x1F1F1Fu;
        return ((std::uint32_t(x * 3) & 0xFF) << 16 | (std::uint32_t(y * 5) & 0xFF) << 8 | std::uint32_t(x + y) & 0xFF) ^
               noise;
    };
}

std::string ExifOrientationSegment(int value) {
    const std::string tiff = std::string("MM\0\x2A\0\0\0\x08\0\x01\x01\x12\0\x03\0\0\0\x01\0", 19) + char(value) +
                             std::string(6, '\0');
    return std::string("Exif\0\0", 6) + tiff;
}

struct PhotoCase {
    const char* name;
    std::string bytes;
    bool rejected;  // with warning codes "85,123" refused
};

std::vector<PhotoCase> PhotoTable() {
    std::vector<PhotoCase> photos;
    photos.push_back({"colour", MakeJpeg(333, 211, Noisy(1)), false});
    photos.push_back({"colour progressive", MakeJpeg(217, 301, Noisy(2), Options(FixtureColour::YCbCr, true)), false});
    photos.push_back({"grey", MakeJpeg(190, 260, Noisy(3), Options(FixtureColour::Grey)), false});
    photos.push_back({"cmyk", MakeJpeg(250, 170, Noisy(4), Options(FixtureColour::CMYK)), false});
    photos.push_back({"ycck", MakeJpeg(171, 171, Noisy(5), Options(FixtureColour::YCCK)), false});
    std::string cut = MakeJpeg(320, 240, Noisy(6));
    cut.resize(cut.size() / 2);  // decodes with the end-of-data warning, its lower half grey
    photos.push_back({"damaged", cut, true});
    std::string garbage = MakeJpeg(64, 64, Noisy(7)).substr(0, 200);
    garbage += std::string(300, '\x55');
    photos.push_back({"undecodable", garbage, true});
    for (int orientation : {3, 6, 8}) {
        FixtureOptions options;
        options.segments.push_back({0xE1, ExifOrientationSegment(orientation)});
        photos.push_back({orientation == 6 ? "exif 6" : orientation == 3 ? "exif 3" : "exif 8",
                          MakeJpeg(300, 180, Noisy(10 + orientation), options), false});
    }
    return photos;
}

std::string ReadBytes(const std::string& path) { return ReadFile(path); }

TEST(UploadCopies, TheUploadMakesTheSameBytesAsAFullDecode) {
    TempFolder folder;
    ImageWorkspace ws;
    const TUploadImaging imaging = UploadImagingFor(ws);
    for (const PhotoCase& photo : PhotoTable()) {
        SCOPED_TRACE(photo.name);
        const std::string path = folder.Write(std::string(photo.name) + ".jpg", photo.bytes);
        auto rejected = imaging.isRejected(path, "85,123");
        ASSERT_TRUE(rejected.has_value());
        EXPECT_EQ(*rejected, photo.rejected);
        for (int size : {120, 48, 7, 500}) {  // 500 enlarges every photo of the table
            SCOPED_TRACE(size);
            const std::string target = folder.File("copy.jpg");
            ASSERT_TRUE(imaging.saveScaled(path, target, size).has_value());
            EXPECT_TRUE(ReadBytes(target) == ReferenceCopy(path, size));
        }
    }
}

}  // namespace
}  // namespace vantrel
