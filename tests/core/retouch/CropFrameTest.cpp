#include <gtest/gtest.h>

#include "core/retouch/CropFrame.h"
#include "core/retouch/RetouchTestSupport.h"

namespace vantrel {
namespace {

constexpr double kTol = 0.01;

void ExpectFrame(const FrameBounds& f, double l, double t, double r, double b, const char* what = "") {
    EXPECT_NEAR(f.left, l, kTol) << what;
    EXPECT_NEAR(f.top, t, kTol) << what;
    EXPECT_NEAR(f.right, r, kTol) << what;
    EXPECT_NEAR(f.bottom, b, kTol) << what;
}

TEST(RetouchCropFrame, FormatOfTheListItem) {
    EXPECT_EQ(PrintFormatOfItem(0), PrintFormat::ThreeByTwo);
    EXPECT_EQ(PrintFormatOfItem(1), PrintFormat::FourByThree);
    EXPECT_EQ(PrintFormatOfItem(-1), PrintFormat::FourByThree);
    EXPECT_EQ(FormatRatio(PrintFormat::FourByThree), double(1.3333334f));
}

TEST(RetouchCropFrame, OpensWithTheLargestFrameOfTheFormat) {
    CropFrame landscape(3000, 2000);
    EXPECT_TRUE(landscape.Landscape());
    ExpectFrame(landscape.Frame(), 0, 0, 2666.67, 2000);
    EXPECT_EQ(landscape.RoundedSize(), std::make_pair(2667, 2000));

    CropFrame portrait(2000, 3000);
    EXPECT_FALSE(portrait.Landscape());
    ExpectFrame(portrait.Frame(), 0, 0, 2000, 2666.67);

    CropFrame square(500, 500);
    EXPECT_TRUE(square.Landscape());
    ExpectFrame(square.Frame(), 0, 0, 500, 375);
}

TEST(RetouchCropFrame, FormatAndOrientationRefitTheFrame) {
    CropFrame frame(3000, 2000);
    frame.SetFormat(PrintFormat::ThreeByTwo);
    ExpectFrame(frame.Frame(), 0, 0, 3000, 2000, "3:2 landscape");
    EXPECT_EQ(frame.RoundedSize(), std::make_pair(3000, 2000));
    frame.SetFormat(PrintFormat::FourByThree);
    ExpectFrame(frame.Frame(), 0, 0, 2666.67, 2000, "4:3 landscape");
    frame.SetLandscape(false);
    ExpectFrame(frame.Frame(), 0, 0, 1500, 2000, "4:3 portrait");

    CropFrame upright(2000, 3000);
    upright.SetFormat(PrintFormat::ThreeByTwo);
    ExpectFrame(upright.Frame(), 0, 0, 2000, 3000, "3:2 portrait");

    // The new short side comes from the current long side; a frame at the right edge is pushed
    // back inside.
    CropFrame moved(3000, 2000);
    moved.SetLandscape(false);  // (0, 0, 1500, 2000)
    moved.Propose(CropHandle::Move, {1500, 0, 3000, 2000});
    moved.SetLandscape(true);
    ExpectFrame(moved.Frame(), 1000, 0, 3000, 1500, "pushed back inside");
}

TEST(RetouchCropFrame, MovesStopAtThePhotoEdges) {
    CropFrame frame(3000, 2000);
    frame.Propose(CropHandle::BottomRight, {0, 0, 1200, 900});
    ExpectFrame(frame.Frame(), 0, 0, 1200, 900, "resized");

    const struct {
        FrameBounds proposed;
        double l, t, r, b;
    } cases[] = {
        {{-100, 50, 1100, 950}, 0, 50, 1200, 950},
        {{100, -70, 1300, 830}, 100, 0, 1300, 900},
        {{2000, 50, 3200, 950}, 1800, 50, 3000, 950},
        {{50, 1300, 1250, 2200}, 50, 1100, 1250, 2000},
        {{2500, 1500, 3700, 2400}, 1800, 1100, 3000, 2000},
    };
    for (const auto& c : cases) {
        ExpectFrame(frame.Correct(CropHandle::Move, c.proposed), c.l, c.t, c.r, c.b, "move");
    }
}

TEST(RetouchCropFrame, CornersFollowTheFormatAndStopAtTheEdges) {
    const struct {
        const char* name;
        int w, h;
        CropHandle handle;
        FrameBounds proposed;
        double l, t, r, b;
    } cases[] = {
        // Landscape 4:3 over 3000 x 2000.
        {"bottom-right below the bottom", 3000, 2000, CropHandle::BottomRight, {0, 0, 2000, 2500}, 0, 0, 2666.67, 2000},
        {"bottom-right inside", 3000, 2000, CropHandle::BottomRight, {100, 100, 500, 700}, 100, 100, 900, 700},
        {"bottom-right past the right", 3000, 2000, CropHandle::BottomRight, {1500, 0, 3500, 1800}, 1500, 0, 3000, 1125},
        {"top-left past the left", 3000, 2000, CropHandle::TopLeft, {-100, 0, 1500, 1500}, 0, 375, 1500, 1500},
        {"top-left above the top", 3000, 2000, CropHandle::TopLeft, {1000, -500, 2200, 1200}, 600, 0, 2200, 1200},
        {"top-right past the right", 3000, 2000, CropHandle::TopRight, {2000, 200, 3500, 1400}, 2000, 650, 3000, 1400},
        {"bottom-left past the left", 3000, 2000, CropHandle::BottomLeft, {-800, 1000, 800, 1900}, 0, 1000, 800, 1600},
        // Portrait 4:3 over 2000 x 3000.
        {"portrait top-right above", 2000, 3000, CropHandle::TopRight, {100, -200, 2500, 900}, 100, 0, 775, 900},
        {"portrait bottom-left out twice", 2000, 3000, CropHandle::BottomLeft, {-500, 1000, 1600, 3500}, 100, 1000, 1600, 3000},
        {"portrait bottom-right below", 2000, 3000, CropHandle::BottomRight, {0, 0, 900, 3600}, 0, 0, 2000, 2666.67},
        // A corner proposed past the opposite one: the frame keeps its least size, not turned inside out.
        {"bottom-right over the top-left", 3000, 2000, CropHandle::BottomRight, {0, 0, -400, -300}, 0, 0, 1.33, 1},
        {"top-left over the bottom-right", 3000, 2000, CropHandle::TopLeft, {1600, 1400, 1200, 900}, 1198.67, 899, 1200, 900},
        {"portrait top-right below", 2000, 3000, CropHandle::TopRight, {100, 1500, -300, 1000}, 100, 998.67, 101, 1000},
        {"portrait bottom-left above", 2000, 3000, CropHandle::BottomLeft, {-500, 1000, 900, 200}, 899, 1000, 900, 1001.33},
    };
    for (const auto& c : cases) {
        CropFrame frame(c.w, c.h);
        ExpectFrame(frame.Correct(c.handle, c.proposed), c.l, c.t, c.r, c.b, c.name);
    }
}

TEST(RetouchCropFrame, MouseDragsTheGrabbedHandle) {
    CropFrame frame(3000, 2000);
    frame.Propose(CropHandle::BottomRight, {0, 0, 1200, 900});

    EXPECT_EQ(frame.HitTest(1203, 897, 5), CropHandle::BottomRight);
    EXPECT_EQ(frame.HitTest(2, 899, 5), CropHandle::BottomLeft);
    EXPECT_EQ(frame.HitTest(600, 450, 5), CropHandle::Move);
    EXPECT_EQ(frame.HitTest(1500, 450, 5), CropHandle::None);
    EXPECT_FALSE(frame.BeginDrag(1500, 450, 5));  // outside: the view pans instead

    ASSERT_TRUE(frame.BeginDrag(600, 450, 5));
    frame.DragTo(700, 400);
    ExpectFrame(frame.Frame(), 100, 0, 1300, 900, "moved, stopped at the top");
    frame.DragTo(5000, 450);
    ExpectFrame(frame.Frame(), 1800, 0, 3000, 900, "moved, stopped at the right");
    frame.EndDrag();

    // The bottom-right corner dragged over the top-left one keeps a frame of one pixel.
    ASSERT_TRUE(frame.BeginDrag(3000, 900, 5));
    frame.DragTo(-500, -500);
    EXPECT_GT(frame.Frame().Width(), 0.9);
    EXPECT_GE(frame.Frame().Height(), 1.0);
    EXPECT_GE(frame.CropRect().Width(), 1);
    EXPECT_GE(frame.CropRect().Height(), 1);
}

TEST(RetouchCropFrame, CropKeepsTheFramedPixels) {
    // 6 x 4 in 4:3 landscape: the frame is (0, 0, 5.33, 4), the crop 5 x 4.
    Bitmap32 photo(6, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x) photo.SetPixel(x, y, test::Rgb(x, y, 0));
    CropFrame frame(6, 4);
    EXPECT_EQ(frame.CropRect(), (PixelRect{0, 0, 5, 4}));

    frame.Propose(CropHandle::BottomRight, {0, 0, 4, 3});
    frame.Propose(CropHandle::Move, {1.5, 0.5, 5.5, 3.5});
    EXPECT_EQ(frame.CropRect(), (PixelRect{2, 0, 6, 3}));  // 1.5 -> 2, 0.5 -> 0 (halves to even)
    const Bitmap32 cropped = CropPhoto(photo, frame.CropRect());
    ASSERT_EQ(cropped.Width(), 4);
    ASSERT_EQ(cropped.Height(), 3);
    EXPECT_EQ(cropped.Pixel(0, 0), test::Rgb(2, 0, 0));
    EXPECT_EQ(cropped.Pixel(3, 2), test::Rgb(5, 2, 0));

    EXPECT_EQ(CropPhoto(photo, {4, 3, 4, 9}).Width(), 0);
    EXPECT_EQ(CropPhoto(photo, {-2, -2, 2, 2}).Width(), 2);

    CropFrame empty(0, 0);
    EXPECT_EQ(empty.CropRect(), (PixelRect{0, 0, 0, 0}));
}

}  // namespace
}  // namespace vantrel
