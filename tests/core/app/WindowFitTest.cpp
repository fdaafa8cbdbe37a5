#include <gtest/gtest.h>

#include "core/app/WindowFit.h"

using namespace vantrel;

// A kept place and size brought within the screen the window opens on.
TEST(WindowFit, KeptPlacementComesWithinTheScreen) {
    struct Case {
        const char* what;
        WindowPlacement kept;
        ScreenArea area;
        FrameExtent frame;
        WindowPlacement fitted;
    };
    const ScreenArea small{0, 0, 960, 540};
    const Case cases[] = {
        {"fits: unchanged", {100, 50, 600, 400}, small, {}, {100, 50, 600, 400}},
        {"kept on a 4K screen", {0, 0, 3072, 1728}, small, {}, {0, 0, 960, 540}},
        {"the frame counts", {0, 0, 3072, 1728}, small, {4, 30}, {0, 0, 956, 510}},
        {"above the screen", {10, -90, 600, 400}, small, {}, {10, 0, 600, 400}},
        {"off to the right and below", {5000, 3000, 600, 400}, small, {}, {360, 140, 600, 400}},
        {"off to the left", {-2000, 100, 600, 400}, small, {}, {0, 100, 600, 400}},
        {"larger and lower", {200, 300, 1200, 400}, small, {0, 30}, {0, 110, 960, 400}},
        {"a second screen's area", {0, 0, 800, 600}, {1920, 100, 1366, 738}, {}, {1920, 100, 800, 600}},
        {"a nonsense size", {0, 0, -5, 0}, small, {}, {0, 0, 1, 1}},
        {"an area smaller than the frame", {0, 0, 600, 400}, {0, 0, 20, 20}, {4, 30}, {0, 0, 16, 1}},
    };
    for (const Case& c : cases) {
        const WindowPlacement got = FitPlacement(c.kept, c.area, c.frame);
        EXPECT_EQ(got.Left, c.fitted.Left) << c.what;
        EXPECT_EQ(got.Top, c.fitted.Top) << c.what;
        EXPECT_EQ(got.Right, c.fitted.Right) << c.what;
        EXPECT_EQ(got.Bottom, c.fitted.Bottom) << c.what;
    }
}

TEST(WindowFit, StateIsKept) {
    for (WindowState state : {WindowState::Normal, WindowState::Minimised, WindowState::Maximised})
        EXPECT_EQ(FitPlacement({0, 0, 3072, 1728, state}, {0, 0, 960, 540}, {}).State, state);
}
