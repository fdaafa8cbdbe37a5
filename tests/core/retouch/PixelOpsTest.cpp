#include <gtest/gtest.h>

#include "core/retouch/ColourOps.h"
#include "core/retouch/Convolution.h"
#include "core/retouch/RetouchTestSupport.h"

namespace vantrel {
namespace {

using test::Grey;
using test::PhotoOf;
using test::Rgb;

TEST(RetouchPixels, IntensityWeights) {
    const struct {
        std::uint32_t pixel;
        int expected;
    } cases[] = {
        {Rgb(255, 0, 0), 60}, {Rgb(0, 255, 0), 173}, {Rgb(0, 0, 255), 20},
        {Rgb(255, 255, 255), 255}, {Rgb(0, 0, 0), 0}, {Grey(77), 77}, {Rgb(10, 20, 30), 18},
    };
    for (const auto& c : cases) EXPECT_EQ(Intensity(c.pixel), c.expected) << std::hex << c.pixel;
}

TEST(RetouchColours, BlackAndWhiteNegativeAndTint) {
    Bitmap32 photo = PhotoOf(3, {MakeArgb(0x80, 255, 0, 0), Rgb(10, 20, 30), Rgb(255, 255, 255)});

    Bitmap32 grey = photo;
    MakeBlackAndWhite(grey);
    EXPECT_EQ(grey.Pixel(0, 0), Grey(60));  // alpha becomes 255
    EXPECT_EQ(grey.Pixel(1, 0), Grey(18));

    Bitmap32 negative = photo;
    MakeNegative(negative);
    EXPECT_EQ(negative.Pixel(0, 0), MakeArgb(0x80, 0, 255, 255));  // alpha kept
    EXPECT_EQ(negative.Pixel(1, 0), Rgb(245, 235, 225));

    Bitmap32 tinted = PhotoOf(3, {Rgb(255, 255, 255), Rgb(0, 0, 0), MakeArgb(0x10, 128, 128, 128)});
    ApplyTint(tinted, kInitialTintColour);
    EXPECT_EQ(tinted.Pixel(0, 0), Rgb(255, 202, 149));
    EXPECT_EQ(tinted.Pixel(1, 0), Rgb(0, 0, 0));
    EXPECT_EQ(tinted.Pixel(2, 0), Rgb(128, 101, 74));  // truncated: 101.39, 74.79
}

TEST(RetouchColours, TintTablesNeverFallShort) {
    // The float factor must not let i x c / 255 drop below its exact value for whole results.
    for (int c : {1, 51, 149, 202, 254, 255}) {
        const TintTables t = BuildTintTables(std::uint32_t(c) << 8);
        for (int i = 0; i < 256; ++i) ASSERT_EQ(t.green[i], i * c / 255) << c << " " << i;
    }
}

TEST(RetouchTurns, QuarterTurnsSwapTheSides) {
    // 3 x 2:  1 2 3 / 4 5 6
    Bitmap32 photo = PhotoOf(3, {1, 2, 3, 4, 5, 6});
    Bitmap32 right = photo;
    TurnPhotoClockwise(right);
    EXPECT_TRUE(test::SamePixels(right, PhotoOf(2, {4, 1, 5, 2, 6, 3})));
    Bitmap32 left = photo;
    TurnPhotoCounterClockwise(left);
    EXPECT_TRUE(test::SamePixels(left, PhotoOf(2, {3, 6, 2, 5, 1, 4})));
}

TEST(RetouchFilters, HandComputedCentres) {
    // Red of the nine pixels: 10 20 30 / 40 c 50 / 60 70 80; green and blue vary apart.
    auto make = [](int centreRed) {
        return PhotoOf(3, {Rgb(10, 0, 255), Rgb(20, 0, 255), Rgb(30, 0, 255),
                           Rgb(40, 0, 255), MakeArgb(0x33, centreRed, 100, 0), Rgb(50, 0, 255),
                           Rgb(60, 0, 255), Rgb(70, 0, 255), Rgb(80, 0, 255)});
    };
    Bitmap32 soft = make(200);
    SoftenPhoto(soft);
    // (2 x 360) / 16 = 45; green 0; blue 2 x 8 x 255 / 16 = 255. The centre is ignored.
    EXPECT_EQ(soft.Pixel(1, 1), MakeArgb(0x33, 45, 0, 255));

    Bitmap32 sharp = make(100);
    SharpenPhoto(sharp);
    // Red (1200 - 20 - 40 - 50 - 70) / 8 = 127 (127.5 truncated); green 1200 / 8 -> 150;
    // blue -4 x 255 / 8 -> 0.
    EXPECT_EQ(sharp.Pixel(1, 1), MakeArgb(0x33, 127, 150, 0));

    Bitmap32 bright = make(255);
    SharpenPhoto(bright);
    EXPECT_EQ(RedOf(bright.Pixel(1, 1)), 255);  // limited
}

// The filter written the plain way, against which the row-wise one is checked.
Bitmap32 PlainFilter(const Bitmap32& in, const Kernel3x3& k) {
    Bitmap32 out = in;
    for (int y = 1; y + 1 < in.Height(); ++y)
        for (int x = 1; x + 1 < in.Width(); ++x) {
            int ch[3];
            for (int c = 0; c < 3; ++c) {
                int s = 0;
                for (int j = 0; j < 3; ++j)
                    for (int i = 0; i < 3; ++i)
                        s += k.weight[j * 3 + i] * int((in.Pixel(x + i - 1, y + j - 1) >> (16 - 8 * c)) & 0xFF);
                s /= k.divisor;
                ch[c] = s < 0 ? 0 : (s > 255 ? 255 : s);
            }
            out.SetPixel(x, y, MakeArgb(AlphaOf(in.Pixel(x, y)), ch[0], ch[1], ch[2]));
        }
    return out;
}

TEST(RetouchFilters, WholePhotoMatchesThePlainFilterAndKeepsTheBorder) {
    const struct {
        int w, h;
    } sizes[] = {{3, 3}, {4, 5}, {37, 6}, {70, 3}};
    for (const auto& size : sizes) {
        const Bitmap32 original = test::NoisePhoto(size.w, size.h, unsigned(size.w * 100 + size.h), true);
        Bitmap32 soft = original, sharp = original;
        SoftenPhoto(soft);
        SharpenPhoto(sharp);
        EXPECT_TRUE(test::SamePixels(soft, PlainFilter(original, kSoftenKernel))) << size.w << "x" << size.h;
        EXPECT_TRUE(test::SamePixels(sharp, PlainFilter(original, kSharpenKernel))) << size.w << "x" << size.h;
        for (int x = 0; x < size.w; ++x) {
            EXPECT_EQ(soft.Pixel(x, 0), original.Pixel(x, 0));
            EXPECT_EQ(soft.Pixel(x, size.h - 1), original.Pixel(x, size.h - 1));
        }
        for (int y = 0; y < size.h; ++y) {
            EXPECT_EQ(sharp.Pixel(0, y), original.Pixel(0, y));
            EXPECT_EQ(sharp.Pixel(size.w - 1, y), original.Pixel(size.w - 1, y));
        }
    }
}

TEST(RetouchFilters, TooSmallPhotosAreUnchanged) {
    for (auto [w, h] : {std::pair{0, 0}, {2, 9}, {9, 2}, {1, 1}}) {
        const Bitmap32 original = test::NoisePhoto(w, h, 7);
        Bitmap32 photo = original;
        SoftenPhoto(photo);
        SharpenPhoto(photo);
        EXPECT_TRUE(test::SamePixels(photo, original)) << w << "x" << h;
    }
}

}  // namespace
}  // namespace vantrel

#include "core/retouch/TintIcon.h"

namespace vantrel {
namespace {

TEST(RetouchTintIcon, RepaintsTheCentrePatchAndTheBackground) {
    // A 32 x 32 picture: white background, a black ring, grey inside; a grey dot outside the
    // ring touching it only by a corner stays grey.
    const std::uint32_t white = test::Grey(255), black = test::Grey(0), grey = test::Grey(128);
    Bitmap32 icon(32, 32, white);
    for (int y = 8; y < 24; ++y)
        for (int x = 8; x < 24; ++x) icon.SetPixel(x, y, (x == 8 || x == 23 || y == 8 || y == 23) ? black : grey);
    icon.SetPixel(7, 7, grey);
    icon.SetPixel(9, 9, grey);

    PaintTintIcon(icon, kInitialTintColour);
    EXPECT_EQ(icon.Pixel(15, 15), test::Rgb(255, 202, 149));
    EXPECT_EQ(icon.Pixel(9, 9), test::Rgb(255, 202, 149));
    EXPECT_EQ(icon.Pixel(8, 8), black);
    EXPECT_EQ(icon.Pixel(7, 7), grey);
    EXPECT_EQ(icon.Pixel(0, 0), kIconTransparentColour);
    EXPECT_EQ(icon.Pixel(31, 31), kIconTransparentColour);

    // Shown again with another colour: the patch (now the old tint) takes the new one.
    PaintTintIcon(icon, 0x0000FF);
    EXPECT_EQ(icon.Pixel(20, 20), test::Rgb(0, 0, 255));
    EXPECT_EQ(icon.Pixel(0, 0), kIconTransparentColour);

    Bitmap32 tiny(4, 4, white);
    PaintTintIcon(tiny, 0x123456);  // (15, 15) lies outside: only the background changes
    EXPECT_EQ(tiny.Pixel(3, 3), kIconTransparentColour);
}

}  // namespace
}  // namespace vantrel
