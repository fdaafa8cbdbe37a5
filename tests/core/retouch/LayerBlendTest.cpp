#include <gtest/gtest.h>

#include "core/retouch/LayerBlend.h"
#include "core/retouch/TitlePlacement.h"
#include "core/retouch/RetouchTestSupport.h"

namespace vantrel {
namespace {

using test::Rgb;

TEST(RetouchBlend, MixesByTheLayersAlpha) {
    const struct {
        std::uint32_t photo, layer, expected;
    } cases[] = {
        {Rgb(10, 20, 30), MakeArgb(255, 200, 100, 0), Rgb(200, 100, 0)},   // opaque replaces
        {Rgb(10, 20, 30), MakeArgb(0, 200, 100, 0), Rgb(10, 20, 30)},      // transparent leaves
        {Rgb(0, 100, 255), MakeArgb(128, 255, 200, 0), Rgb(128, 150, 127)}, // 255 x 128 / 255 ...
        {Rgb(100, 100, 100), MakeArgb(64, 200, 0, 100), Rgb(125, 75, 100)}, // 100 + 100 x 64 / 255
        {MakeArgb(0x20, 0, 0, 0), MakeArgb(255, 9, 9, 9), MakeArgb(0x20, 9, 9, 9)},  // photo alpha kept
    };
    for (const auto& c : cases) {
        Bitmap32 photo(1, 1, c.photo);
        BlendLayer(photo, Bitmap32(1, 1, c.layer), 0, 0);
        EXPECT_EQ(photo.Pixel(0, 0), c.expected) << std::hex << c.photo << " " << c.layer;
    }
}

TEST(RetouchBlend, LayerIsClippedToThePhoto) {
    const std::uint32_t bg = Rgb(1, 1, 1), ink = MakeArgb(255, 9, 9, 9);
    const struct {
        int x, y;
        int inked;  // pixels of the 4 x 3 photo that take the 2 x 2 layer
    } cases[] = {{0, 0, 4}, {-1, -1, 1}, {3, 2, 1}, {-2, 0, 0}, {4, 0, 0}, {1, -5, 0}, {2, 1, 4}};
    for (const auto& c : cases) {
        Bitmap32 photo(4, 3, bg);
        BlendLayer(photo, Bitmap32(2, 2, ink), c.x, c.y);
        int inked = 0;
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 4; ++x) {
                const bool inside = x >= c.x && x < c.x + 2 && y >= c.y && y < c.y + 2;
                EXPECT_EQ(photo.Pixel(x, y), inside ? Rgb(9, 9, 9) : bg);
                inked += inside;
            }
        EXPECT_EQ(inked, c.inked);
    }
    Bitmap32 photo(4, 3, bg);
    BlendLayer(photo, Bitmap32(), 1, 1);  // an empty layer
    EXPECT_EQ(photo.Pixel(1, 1), bg);
}

TEST(RetouchTitle, PlacementGeometry) {
    EXPECT_EQ(TitlePictureSize(80, 20), (PixelPoint{90, 30}));
    const FrameBounds frame = TitleFrame(10.5, 3.5, 80, 20);
    EXPECT_DOUBLE_EQ(frame.right, 110.5);
    EXPECT_DOUBLE_EQ(frame.bottom, 43.5);
    EXPECT_EQ(TitleTextOrigin(frame), (PixelPoint{16, 8}));  // 15.5 -> 16, 8.5 -> 8
    EXPECT_EQ(TitleTextOrigin(TitleFrame(-7.2, 0.4, 1, 1)), (PixelPoint{-2, 5}));
}

TEST(RetouchTitle, TextLandsAtTheFramesOrigin) {
    // A 1 x 1 "text" drawn at (5, 5) of its 11 x 11 picture.
    Bitmap32 picture(11, 11, 0);
    picture.SetPixel(5, 5, MakeArgb(255, 255, 0, 0));
    Bitmap32 photo(30, 20, Rgb(0, 0, 0));
    ApplyTitle(photo, picture, TitleFrame(10.5, 3.5, 1, 1));
    EXPECT_EQ(photo.Pixel(16, 8), Rgb(255, 0, 0));
    int red = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 30; ++x) red += photo.Pixel(x, y) != Rgb(0, 0, 0);
    EXPECT_EQ(red, 1);
}

}  // namespace
}  // namespace vantrel
