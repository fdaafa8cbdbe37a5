#include <gtest/gtest.h>

#include "core/retouch/AutoTone.h"
#include "core/retouch/LevelsTable.h"
#include "core/retouch/RetouchTestSupport.h"

namespace vantrel {
namespace {

using test::Grey;

struct LevelsCase {
    int brightness, contrast, input, expected;
};

TEST(RetouchLevels, BrightnessAndContrastTable) {
    const LevelsCase cases[] = {
        {0, 0, 0, 0},        {0, 0, 1, 1},       {0, 0, 126, 126},   {0, 0, 127, 128},
        {0, 0, 128, 128},    {0, 0, 200, 200},   {0, 0, 255, 255},   {0, 100, 64, 1},
        {0, 100, 191, 255},  {0, 100, 128, 129}, {0, 100, 0, 0},     {0, 100, 255, 255},
        {0, -100, 0, 128},   {0, -100, 255, 128}, {0, -100, 77, 128}, {100, 0, 0, 255},
        {100, 0, 200, 255},  {-100, 0, 255, 0},  {-100, 0, 30, 0},   {50, 0, 0, 128},
        {500, 0, 0, 255},    {0, -500, 10, 128},
    };
    for (const auto& c : cases) {
        const LookupTable t = BrightnessContrastTable(c.brightness, c.contrast);
        EXPECT_EQ(t[c.input], c.expected) << "B " << c.brightness << " C " << c.contrast << " in " << c.input;
    }
}

TEST(RetouchLevels, IdentityExceptTheMiddle) {
    const LookupTable t = BrightnessContrastTable(0, 0);
    for (int i = 0; i < 256; ++i) EXPECT_EQ(t[i], i == 127 ? 128 : i) << i;
}

TEST(RetouchLevels, DegeneratePointsGiveNoNonsense) {
    ToneLevels levels;
    levels.inputBlack = levels.inputMiddle = levels.inputWhite = 100;
    const LookupTable t = BuildLevelsTable(levels);
    EXPECT_EQ(t[0], 0);
    EXPECT_EQ(t[255], 255);
    EXPECT_EQ(t[100], 255);
}

TEST(RetouchTableMapping, MapsEachChannelAndMakesOpaque) {
    LookupTable t = IdentityTable();
    t[10] = 200;
    t[20] = 5;
    Bitmap32 photo = test::PhotoOf(2, {MakeArgb(0x40, 10, 20, 30), MakeArgb(0, 20, 10, 10)});
    ApplyTable(photo, t);
    EXPECT_EQ(photo.Pixel(0, 0), MakeArgb(255, 200, 5, 30));
    EXPECT_EQ(photo.Pixel(1, 0), MakeArgb(255, 5, 200, 200));

    // The light tool maps an untouched copy into the photo, which takes its size.
    Bitmap32 target(7, 7);
    ApplyTable(photo, IdentityTable(), target);
    EXPECT_TRUE(test::SamePixels(target, photo));
}

// A photo holding each listed grey level `times` times.
Bitmap32 GreyLevels(std::initializer_list<int> levels, int times) {
    Bitmap32 photo(int(levels.size()) * times, 1);
    int x = 0;
    for (int v : levels)
        for (int i = 0; i < times; ++i) photo.SetPixel(x++, 0, Grey(v));
    return photo;
}

TEST(RetouchAutoTone, StretchesTheUsedRangeToFull) {
    Bitmap32 photo = GreyLevels({50, 125, 200}, 4);
    photo.SetPixel(0, 0, Grey(10));  // met once: weighs nothing
    photo.SetPixel(1, 0, test::Rgb(250, 250, 250));  // met once too
    const auto table = AutoToneTable(photo);
    ASSERT_TRUE(table);
    EXPECT_EQ((*table)[0], 0);
    EXPECT_EQ((*table)[10], 0);
    EXPECT_EQ((*table)[50], 0);
    EXPECT_EQ((*table)[125], 127);  // 75 x 255 div 150
    EXPECT_EQ((*table)[199], 253);
    EXPECT_EQ((*table)[200], 255);
    EXPECT_EQ((*table)[250], 255);

    ASSERT_TRUE(ApplyAutoTone(photo));
    EXPECT_EQ(photo.Pixel(2, 0), Grey(0));
    EXPECT_EQ(photo.Pixel(5, 0), Grey(127));
    EXPECT_EQ(photo.Pixel(9, 0), Grey(255));
}

TEST(RetouchAutoTone, StretchesUpOnlyWhenBlackIsReached) {
    const auto table = AutoToneTable(GreyLevels({0, 100}, 2));
    ASSERT_TRUE(table);
    EXPECT_EQ((*table)[0], 0);
    EXPECT_EQ((*table)[50], 127);
    EXPECT_EQ((*table)[100], 255);
}

TEST(RetouchAutoTone, LeavesPhotosItCannotImprove) {
    struct Case {
        const char* name;
        Bitmap32 photo;
    } cases[] = {
        {"empty", Bitmap32()},
        {"reaches black and white", GreyLevels({0, 90, 255}, 2)},
        {"every level met once", GreyLevels({3, 90, 140}, 1)},
    };
    for (auto& c : cases) {
        const Bitmap32 before = c.photo;
        EXPECT_FALSE(AutoToneTable(c.photo)) << c.name;
        EXPECT_FALSE(ApplyAutoTone(c.photo)) << c.name;
        EXPECT_TRUE(test::SamePixels(before, c.photo)) << c.name;
    }
}

TEST(RetouchAutoTone, TopEndKeepsTheRangeOpen) {
    // Only level 254 is used: lo stops at 254 and hi stays above it.
    const auto table = AutoToneTable(GreyLevels({254}, 4));
    ASSERT_TRUE(table);
    EXPECT_EQ((*table)[253], 0);
    EXPECT_EQ((*table)[254], 0);
    EXPECT_EQ((*table)[255], 255);
}

}  // namespace
}  // namespace vantrel
