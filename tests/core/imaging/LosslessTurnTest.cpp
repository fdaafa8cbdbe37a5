// Turns of a photo's working copy: lossless when the blocks allow it (the same pixels as
// jpegtran's), re-encoded at high quality otherwise, and in both cases, as in a retouch save,
// keeping the photo's metadata with its EXIF made upright.
#include <gtest/gtest.h>

#include "ExifFixtureBuilder.h"
#include "JpegFixtures.h"
#include "core/imaging/Bitmap32.h"
#include "core/imaging/ExifOrientation.h"
#include "core/imaging/ExifRewrite.h"
#include "core/imaging/FileBytes.h"
#include "core/imaging/ImageFileOps.h"
#include "core/imaging/JpegDecoder.h"
#include "core/imaging/TimgData.h"
#include "core/support/CliRunner.h"

using namespace vantrel;
using namespace vantrel::test;

namespace {

RgbBitmap Decoded(const std::string& path) {
    ImageWorkspace ws;
    EXPECT_EQ(LoadImage(ws, path).outcome, DecodeOutcome::Ok) << path;
    return ws.workBitmap;
}

// The number of pixels that differ, or -1 when the sizes differ.
long DifferentPixels(const RgbBitmap& a, const RgbBitmap& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height()) return -1;
    long count = 0;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x) count += a.Pixel(x, y) != b.Pixel(x, y);
    return count;
}

// The first value of the file's first quantisation table: 2 for the codec's quality 95, 1 from 98.
int FirstQuantiser(const std::string& jpeg) {
    const std::size_t at = jpeg.find("\xFF\xDB");
    return at == std::string::npos || at + 5 >= jpeg.size() ? -1 : static_cast<std::uint8_t>(jpeg[at + 5]);
}

constexpr char kThumbnail[] = "OLD-SIDEWAYS-THUMBNAIL";

// An EXIF block as cameras write it: make, model, orientation and date in the first directory,
// the date taken and the pixel size in the EXIF directory, and a thumbnail directory.
std::string CameraExif(int orientation, int width, int height) {
    const exif_fixture::Tiff t{true};
    const std::vector<exif_fixture::Entry> ifd0 = {
        t.Ascii(0x010F, "Maker"), t.Ascii(0x0110, "Model 7"), t.Short(0x0112, {std::uint32_t(orientation)}),
        t.Ascii(0x0132, "2024:05:06 07:08:09"),
        t.SubDirectory(0x8769, {t.Ascii(0x9003, "2024:05:06 07:08:09"), t.Long(0xA002, {std::uint32_t(width)}),
                                t.Short(0xA003, {std::uint32_t(height)})})};
    std::string block = t.Block(ifd0);
    const auto ifd1 = static_cast<std::uint32_t>(block.size());
    block.replace(8 + 2 + 12 * ifd0.size(), 4, t.U32(ifd1));
    const std::uint32_t thumbnailAt = ifd1 + 2 + 2 * 12 + 4;
    block += t.Directory({t.Long(0x0201, {thumbnailAt}), t.Long(0x0202, {sizeof kThumbnail - 1})}, ifd1);
    return std::string("Exif\0\0", 6) + block + kThumbnail;
}

const std::string kIccFirst = std::string("ICC_PROFILE\0\x01\x02", 14) + "first half of a profile";
const std::string kIccSecond = std::string("ICC_PROFILE\0\x02\x02", 14) + "second half";
const std::string kIptc = std::string("Photoshop 3.0\0", 14) + "8BIM\x04\x04 iptc";
const std::string kXmp = std::string("http://ns.adobe.com/xap/1.0/\0", 29) + "<x:xmpmeta/>";

FixtureOptions CameraSegments(int orientation, int width, int height) {
    FixtureOptions options;
    options.segments = {{0xE1, CameraExif(orientation, width, height)},
                        {0xE2, kIccFirst},
                        {0xE2, kIccSecond},
                        {0xED, kIptc},
                        {0xE1, kXmp}};
    return options;
}

}  // namespace

TEST(LosslessTurn, PixelsAreJpegtransAndFourTurnsGiveThemBack) {
    TempFolder dir;
    struct Case {
        TurnDirection direction;
        const char* jpegtranRotation;
    };
    for (const Case& c : {Case{TurnDirection::Clockwise, "90"}, Case{TurnDirection::CounterClockwise, "270"}}) {
        SCOPED_TRACE(c.jpegtranRotation);
        const std::string photo = MakeJpeg(64, 48, Noisy(7), CameraSegments(1, 64, 48));
        const std::string original = dir.Write("original.jpg", photo);
        const std::string path = dir.Write("turned.jpg", photo);
        const std::string reference = dir.File("jpegtran.jpg");
        ASSERT_EQ(RunShell("jpegtran -rotate " + std::string(c.jpegtranRotation) + " -copy all -outfile '" +
                           reference + "' '" + original + "'").status, 0);
        ImageWorkspace ws;
        const auto turned = RotateImageFile(ws, path, c.direction, 80);
        ASSERT_TRUE(turned.has_value());
        EXPECT_TRUE(turned->lossless) << turned->reencodedBecause;
        EXPECT_EQ(turned->size, (PictureSize{48, 64}));
        EXPECT_EQ(ws.workBitmap.Width(), 96);  // the new tile
        EXPECT_EQ(DifferentPixels(Decoded(path), Decoded(reference)), 0);
        for (int more = 0; more < 3; ++more) ASSERT_TRUE(RotateImageFile(ws, path, c.direction, 80)->lossless);
        EXPECT_EQ(DifferentPixels(Decoded(path), Decoded(original)), 0);
        EXPECT_EQ(ReadFile(original), photo);  // the file beside is never touched
    }
}

TEST(LosslessTurn, UnevenBlocksAreReencodedKeepingEveryPixel) {
    TempFolder dir;
    for (int quality : {80, 98}) {
        SCOPED_TRACE(quality);
        const std::string path = dir.Write("odd.jpg", MakeJpeg(61, 45, Noisy(3), CameraSegments(1, 61, 45)));
        RgbBitmap expected(45, 61);
        const RgbBitmap before = Decoded(path);
        for (int y = 0; y < 45; ++y)
            for (int x = 0; x < 61; ++x) expected.SetPixel(44 - y, x, before.Pixel(x, y));
        ImageWorkspace ws;
        const auto turned = RotateImageFile(ws, path, TurnDirection::Clockwise, quality);
        ASSERT_TRUE(turned.has_value());
        EXPECT_FALSE(turned->lossless);
        EXPECT_EQ(turned->reencodedBecause, "the size is not a multiple of the 16x16 blocks");
        EXPECT_EQ(turned->size, (PictureSize{45, 61}));
        EXPECT_EQ(FirstQuantiser(ReadFile(path)), quality == 80 ? 2 : 1);
        const RgbBitmap after = Decoded(path);
        ASSERT_EQ(after.Width(), 45);
        ASSERT_EQ(after.Height(), 61);
        long error = 0;
        for (int y = 0; y < 61; ++y)
            for (int x = 0; x < 45; ++x) {
                const std::uint32_t a = after.Pixel(x, y), b = expected.Pixel(x, y);
                error += std::abs(Red(a) - Red(b)) + std::abs(Green(a) - Green(b)) + std::abs(Blue(a) - Blue(b));
            }
        EXPECT_LT(error / (45 * 61 * 3), 4);
    }
}

// A turn (lossless or not) and a retouch save keep the EXIF date, camera, ICC profile, IPTC and
// XMP in their order, say Orientation 1 with the new pixel size, and drop the old thumbnail.
TEST(LosslessTurn, MetadataSurvivesTurnsAndRetouchSaves) {
    TempFolder dir;
    enum class Operation { LosslessTurn, ReencodedTurn, RetouchSave };
    struct Case {
        Operation operation;
        int width, height;       // the photo as stored (Orientation 6: shown height x width)
        PictureSize expected;    // the picture afterwards
    };
    const Case cases[] = {{Operation::LosslessTurn, 64, 48, {64, 48}},
                          {Operation::ReencodedTurn, 61, 45, {61, 45}},
                          {Operation::RetouchSave, 64, 48, {40, 30}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.operation));
        const std::string path =
            dir.Write("p.jpg", MakeJpeg(c.width, c.height, Noisy(5), CameraSegments(6, c.width, c.height)));
        ImageWorkspace ws;
        if (c.operation == Operation::RetouchSave) {
            ASSERT_TRUE(SaveEditedJpegKeepingMetadata(ws, Bitmap32(40, 30, 0xFF808080), path, 90).has_value());
        } else {
            const auto turned = RotateImageFile(ws, path, TurnDirection::Clockwise, 80);
            ASSERT_TRUE(turned.has_value());
            EXPECT_EQ(turned->lossless, c.operation == Operation::LosslessTurn);
            EXPECT_EQ(turned->size, c.expected);
        }
        ImageWorkspace check;
        ASSERT_TRUE(ReadImageHeader(check, path));
        EXPECT_EQ(check.params.width, c.expected.width);
        const auto& segments = check.params.metadata;
        std::vector<int> markers;
        for (const MetadataSegment& s : segments) markers.push_back(s.marker);
        EXPECT_EQ(markers, (std::vector<int>{0xE1, 0xE2, 0xE2, 0xED, 0xE1}));
        if (segments.size() != 5) continue;
        EXPECT_EQ(segments[1].data, kIccFirst);
        EXPECT_EQ(segments[2].data, kIccSecond);
        EXPECT_EQ(segments[3].data, kIptc);
        EXPECT_EQ(segments[4].data, kXmp);
        EXPECT_EQ(ExifOrientation(segments), 1);
        EXPECT_EQ(segments[0].data.find(kThumbnail), std::string::npos);
        TimgData scan;
        ASSERT_TRUE(scan.ScanFile(path));
        ASSERT_NE(scan.ExifInfo(), nullptr);
        EXPECT_EQ(scan.ExifInfo()->DateText(), "2024:05:06 07:08:09");
        EXPECT_EQ(scan.ExifInfo()->CameraModel(), "Model 7");
        EXPECT_EQ(scan.ExifInfo()->Width(), c.expected.width);
        EXPECT_EQ(scan.ExifInfo()->Height(), c.expected.height);
    }
}

// EXIF that cannot be read is left out; the photo still turns and keeps its other segments.
// Every cut of a real block is rewritten or dropped without reading outside it.
TEST(LosslessTurn, GarbageExifIsDroppedAndThePhotoStillTurns) {
    TempFolder dir;
    FixtureOptions options;
    options.segments = {{0xE1, std::string("Exif\0\0data", 10)}, {0xED, kIptc}, {0xE1, std::string("Exif\0\0MM\0\x2a\xff\xff\xff\xff", 14)}};
    for (const auto& [width, height] : {std::pair{64, 48}, std::pair{61, 45}}) {
        const std::string path = dir.Write("g.jpg", MakeJpeg(width, height, Noisy(1), options));
        ImageWorkspace ws;
        const auto turned = RotateImageFile(ws, path, TurnDirection::CounterClockwise, 90);
        ASSERT_TRUE(turned.has_value());
        EXPECT_EQ(turned->size, (PictureSize{height, width}));
        ImageWorkspace check;
        ASSERT_TRUE(ReadImageHeader(check, path));
        ASSERT_EQ(check.params.metadata.size(), 1u);
        EXPECT_EQ(check.params.metadata[0].data, kIptc);
    }
    const std::string whole = CameraExif(6, 64, 48);
    for (std::size_t size = 0; size <= whole.size(); ++size) {
        const auto rewritten = UprightExifSegment(whole.substr(0, size), 48, 64);
        EXPECT_TRUE(!rewritten || rewritten->size() == size);
    }
}

// Whatever the photo's orientation, the lossless turn shows what turning the upright picture
// shows, as the re-encoding turn always did (orientation 8 turned right moves no block at all).
TEST(LosslessTurn, TheTurnStartsFromThePhotoAsShown) {
    TempFolder dir;
    const PixelSource quadrants = [](int x, int y) -> std::uint32_t {
        return x < 32 ? (y < 16 ? 0xE01010u : 0x10E010u) : (y < 16 ? 0x1010E0u : 0xE0E0E0u);
    };
    for (int orientation = 1; orientation <= 8; ++orientation)
        for (const bool clockwise : {true, false}) {
            SCOPED_TRACE(std::to_string(orientation) + (clockwise ? " right" : " left"));
            FixtureOptions options;
            options.segments = {{0xE1, CameraExif(orientation, 64, 32)}};
            const std::string path = dir.Write("o.jpg", MakeJpeg(64, 32, quadrants, options));
            RgbBitmap expected = Decoded(path), scratch;
            OrientUpright(expected, scratch, orientation);
            ImageWorkspace ws;
            const auto turned =
                RotateImageFile(ws, path, clockwise ? TurnDirection::Clockwise : TurnDirection::CounterClockwise, 80);
            ASSERT_TRUE(turned.has_value());
            EXPECT_TRUE(turned->lossless);
            const RgbBitmap after = Decoded(path);
            ASSERT_EQ(after.Width(), expected.Height());
            ASSERT_EQ(after.Height(), expected.Width());
            // The centres of the four quadrants, each found where the turn takes it.
            const int w = expected.Width(), h = expected.Height();
            for (const auto& [x, y] : {std::pair{w / 4, h / 4}, std::pair{3 * w / 4, h / 4}, std::pair{w / 4, 3 * h / 4},
                                       std::pair{3 * w / 4, 3 * h / 4}}) {
                const int tx = clockwise ? h - 1 - y : y, ty = clockwise ? x : w - 1 - x;
                EXPECT_TRUE(Near(after.Pixel(tx, ty), expected.Pixel(x, y), 24)) << x << "," << y;
            }
        }
}
