#include <gtest/gtest.h>

#include <string>

#include "core/retouch/RedEye.h"
#include "core/retouch/RetouchTestSupport.h"

namespace vantrel {
namespace {

using test::Rgb;

TEST(RetouchRedEye, CorrectionFormulaOnSinglePixels) {
    const struct {
        std::uint32_t in, expected;
    } cases[] = {
        {Rgb(200, 40, 40), Rgb(0, 30, 20)},       // c = 2.5: red gone, blue halved, green x 0.75
        {Rgb(100, 100, 100), Rgb(100, 100, 100)}, // c = 0.5: not red
        {Rgb(120, 60, 60), Rgb(72, 54, 48)},      // c = 1: k = 0.775^2 = 0.600625
        {Rgb(50, 1, 4), Rgb(0, 1, 2)},            // G <= 1: s = sqrt(4) limited to 1.5
        {Rgb(50, 0, 0), Rgb(0, 0, 0)},            // e at least 1, s at least 0.5
        {Rgb(200, 40, 5), Rgb(0, 30, 2)},         // blue 2.5 rounds to even
        {Rgb(0, 0, 0), Rgb(0, 0, 0)},
        {MakeArgb(0x40, 200, 40, 40), MakeArgb(0x40, 0, 30, 20)},  // alpha kept
    };
    for (const auto& c : cases)
        EXPECT_EQ(CorrectRedEyePixel(c.in), c.expected) << std::hex << c.in;
}

const std::uint32_t kRed = Rgb(200, 40, 40);
const std::uint32_t kFixed = Rgb(0, 30, 20);

// The rows of the photo as text: 'X' for a corrected pixel, '.' for an untouched one.
std::string Marks(const Bitmap32& photo) {
    std::string s;
    for (int y = 0; y < photo.Height(); ++y) {
        for (int x = 0; x < photo.Width(); ++x) s += photo.Pixel(x, y) == kFixed ? 'X' : '.';
        s += '\n';
    }
    return s;
}

TEST(RetouchRedEye, CorrectsInsideTheEllipseOnly) {
    const char* expected =
        ".........\n"
        ".........\n"
        "...XXX...\n"
        "..XXXXX..\n"
        "..XXXXX..\n"
        "..XXXXX..\n"
        "...XXX...\n"
        ".........\n";
    // Dragged either way, the same selection gives the same correction.
    const std::pair<PixelPoint, PixelPoint> drags[] = {
        {{2, 2}, {7, 7}}, {{7, 7}, {2, 2}}, {{7, 2}, {2, 7}}, {{2, 7}, {7, 2}}};
    for (const auto& [start, end] : drags) {
        Bitmap32 photo(9, 8, kRed);
        ASSERT_TRUE(CorrectRedEye(photo, start, end));
        EXPECT_EQ(Marks(photo), expected);
    }
}

TEST(RetouchRedEye, LeavesSkinAlone) {
    Bitmap32 photo(6, 6, Rgb(180, 150, 130));
    photo.SetPixel(3, 3, kRed);
    ASSERT_TRUE(CorrectRedEye(photo, {0, 0}, {6, 6}));
    EXPECT_EQ(photo.Pixel(2, 2), Rgb(180, 150, 130));
    EXPECT_EQ(photo.Pixel(3, 3), kFixed);
}

TEST(RetouchRedEye, SelectionReachingPastThePhotoKeepsItsEllipse) {
    // The ellipse of (-3, -3, 4, 4) is centred on (0.5, 0.5) with radius 3.5.
    Bitmap32 photo(6, 6, kRed);
    ASSERT_TRUE(CorrectRedEye(photo, {-3, -3}, {4, 4}));
    EXPECT_EQ(Marks(photo),
              "XXXX..\n"
              "XXXX..\n"
              "XXX...\n"
              "XX....\n"
              "......\n"
              "......\n");
}

TEST(RetouchRedEye, SelectionsWithoutAreaInThePhotoFail) {
    const struct {
        PixelPoint start, end;
        RedEyeError error;
        const char* key;
    } cases[] = {
        {{-10, -10}, {-5, -5}, RedEyeError::OutsidePhoto, "SelInImage"},
        {{10, 2}, {12, 5}, RedEyeError::OutsidePhoto, "SelInImage"},
        {{3, 3}, {3, 3}, RedEyeError::EmptySelection, "SelNotEmpty"},  // a click without a drag
        {{9, 2}, {12, 5}, RedEyeError::EmptySelection, "SelNotEmpty"},  // touches the right edge
        {{2, 4}, {6, 4}, RedEyeError::EmptySelection, "SelNotEmpty"},
    };
    for (const auto& c : cases) {
        Bitmap32 photo(9, 8, kRed);
        const auto result = CorrectRedEye(photo, c.start, c.end);
        ASSERT_FALSE(result);
        EXPECT_EQ(result.error(), c.error);
        EXPECT_STREQ(RedEyeMessageKey(result.error()), c.key);
        EXPECT_EQ(Marks(photo).find('X'), std::string::npos);
    }
}

}  // namespace
}  // namespace vantrel
