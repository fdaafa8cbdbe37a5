#include <gtest/gtest.h>

#include "JpegFixtures.h"
#include "core/imaging/ExifOrientation.h"
#include "core/imaging/ImageFileOps.h"
#include "core/imaging/JpegDecoder.h"

using namespace vantrel;
using namespace vantrel::test;

namespace {

// An APP1 EXIF segment's data whose first directory holds `before` other entries, then the
// orientation entry (tag 0x0112 of `type`, one value).
std::string ExifWithOrientation(int value, bool motorola = true, int before = 0, int type = 3) {
    auto u16 = [motorola](unsigned v) {
        return motorola ? std::string{char(v >> 8), char(v)} : std::string{char(v), char(v >> 8)};
    };
    auto u32 = [&](unsigned v) { return motorola ? u16(v >> 16) + u16(v & 0xFFFF) : u16(v & 0xFFFF) + u16(v >> 16); };
    std::string tiff = std::string(motorola ? "MM" : "II") + u16(42) + u32(8) + u16(before + 1);
    for (int i = 0; i < before; ++i) tiff += u16(0x010F) + u16(2) + u32(4) + "Make";
    tiff += u16(0x0112) + u16(type) + u32(1) + u16(value) + u16(0);
    tiff += u32(0);
    return std::string("Exif\0\0", 6) + tiff;
}

// A photo of width x height whose left half is red and right half blue, with an orientation.
std::string SidewaysPhoto(int width, int height, int orientation) {
    FixtureOptions options;
    options.segments.push_back({0xE1, ExifWithOrientation(orientation)});
    return MakeJpeg(width, height, [width](int x, int) { return x < width / 2 ? 0xE00000u : 0x0000E0u; }, options);
}

bool IsRed(std::uint32_t c) { return Red(c) > 150 && Blue(c) < 100; }
bool IsBlue(std::uint32_t c) { return Blue(c) > 150 && Red(c) < 100; }

}  // namespace

TEST(ExifOrientation, ReadFromTheFirstDirectory) {
    for (bool motorola : {true, false})
        for (int value = 1; value <= 8; ++value)
            EXPECT_EQ(ExifOrientationOfSegment(ExifWithOrientation(value, motorola, 3)), value) << motorola << value;
    struct Case { std::string segment; int expected; };
    const Case cases[] = {
        {ExifWithOrientation(0), 1},                          // out of range
        {ExifWithOrientation(9), 1},
        {ExifWithOrientation(6, true, 0, 4), 1},              // not a SHORT
        {"Exif\0\0MM\0\x2a\xff\xff\xff\xff", 1},              // directory beyond the end
        {"XMP data", 1},
        {"", 1},
    };
    for (const Case& c : cases) EXPECT_EQ(ExifOrientationOfSegment(c.segment), c.expected);
    // Cut short anywhere, the segment reads as upright and nothing outside it is touched.
    const std::string whole = ExifWithOrientation(6, false, 2);
    for (std::size_t length = 0; length < whole.size() - 4; ++length)
        EXPECT_EQ(ExifOrientationOfSegment(whole.substr(0, length)), 1) << length;
    // Only an EXIF APP1 segment counts.
    EXPECT_EQ(ExifOrientation({{0xE2, ExifWithOrientation(6)}, {0xE1, "http://ns.adobe.com"}}), 1);
    EXPECT_EQ(ExifOrientation({{0xE1, "http://ns.adobe.com"}, {0xE1, ExifWithOrientation(8)}}), 8);
}

// Every orientation as the EXIF standard defines it: where stored pixels (0,0), (1,0) and (0,1)
// show on the upright picture; the other pixels follow by the same turn and mirror.
TEST(ExifOrientation, EveryPixelLandsWhereTheStandardSays) {
    constexpr int W = 5, H = 3;
    struct P { int x, y; };
    struct Case { int orientation; int width, height; P p00, p10, p01; };
    const Case cases[] = {
        {1, W, H, {0, 0}, {1, 0}, {0, 1}},         {2, W, H, {W - 1, 0}, {W - 2, 0}, {W - 1, 1}},
        {3, W, H, {W - 1, H - 1}, {W - 2, H - 1}, {W - 1, H - 2}},
        {4, W, H, {0, H - 1}, {1, H - 1}, {0, H - 2}}, {5, H, W, {0, 0}, {0, 1}, {1, 0}},
        {6, H, W, {H - 1, 0}, {H - 1, 1}, {H - 2, 0}}, {7, H, W, {H - 1, W - 1}, {H - 1, W - 2}, {H - 2, W - 1}},
        {8, H, W, {0, W - 1}, {0, W - 2}, {1, W - 1}},
    };
    for (const Case& c : cases) {
        RgbBitmap bitmap(W, H), scratch;
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) bitmap.SetPixel(x, y, std::uint32_t(y * 16 + x));
        OrientUpright(bitmap, scratch, c.orientation);
        ASSERT_EQ(bitmap.Width(), c.width) << c.orientation;
        ASSERT_EQ(bitmap.Height(), c.height) << c.orientation;
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) {
                const int ux = c.p00.x + x * (c.p10.x - c.p00.x) + y * (c.p01.x - c.p00.x);
                const int uy = c.p00.y + x * (c.p10.y - c.p00.y) + y * (c.p01.y - c.p00.y);
                EXPECT_EQ(bitmap.Pixel(ux, uy), std::uint32_t(y * 16 + x)) << c.orientation << " " << x << "," << y;
            }
    }
}

// The upload's scaled copy is upright; a turn starts from the upright picture and the file it
// writes (without metadata) looks the same to any viewer.
TEST(ExifOrientation, ScaledCopiesAndTurnsStartUpright) {
    TempFolder dir;
    ImageWorkspace ws;
    const std::string photo = dir.Write("p.jpg", SidewaysPhoto(64, 32, 6));
    const std::string copy = dir.File("p.s.jpg");
    ASSERT_TRUE(SaveScaledJpeg(ws, photo, copy, 32).has_value());
    ASSERT_NE(LoadImage(ws, copy).outcome, DecodeOutcome::Unreadable);
    ASSERT_EQ(ws.workBitmap.Width(), 16);
    ASSERT_EQ(ws.workBitmap.Height(), 32);
    EXPECT_TRUE(IsRed(ws.workBitmap.Pixel(8, 2)));   // the stored left half is the top once upright
    EXPECT_TRUE(IsBlue(ws.workBitmap.Pixel(8, 29)));
    EXPECT_EQ(ExifOrientation(ws.params.metadata), 1);

    const auto turned = RotateImageFile(ws, photo, TurnDirection::Clockwise, 90);
    ASSERT_TRUE(turned.has_value());
    EXPECT_EQ(turned->size, (PictureSize{64, 32}));
    ReadImageHeader(ws, photo);
    ASSERT_NE(LoadImage(ws, photo).outcome, DecodeOutcome::Unreadable);
    EXPECT_EQ(ExifOrientation(ws.params.metadata), 1);
    EXPECT_TRUE(IsBlue(ws.workBitmap.Pixel(4, 16)));  // upright top (red) turned to the right
    EXPECT_TRUE(IsRed(ws.workBitmap.Pixel(60, 16)));
}
