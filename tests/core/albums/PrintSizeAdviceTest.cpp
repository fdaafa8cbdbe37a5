#include <gtest/gtest.h>

#include <string>

#include "core/albums/PrintAdviceText.h"
#include "core/imaging/PrintSizeAdvice.h"

using namespace vantrel;

namespace {
std::string Largest(const PrintSizeAdvice& advice) {
    return advice.largestGood ? PrintFormatName(*advice.largestGood) : std::string("none");
}
}  // namespace

// Either orientation; both sides must reach 200 dpi; a pixel either side of a threshold.
TEST(PrintSizeAdvice, LargestFormatAndSmallPhotos) {
    struct Case {
        int width, height;
        const char* largest;
        int dpiAt10x15;
        bool small;
    };
    const Case cases[] = {
        {640, 480, "none", 108, true},
        {480, 640, "none", 108, true},
        {800, 1200, "10x15 cm", 203, false},
        {1200, 1800, "15x20 cm", 304, false},
        {2400, 3600, "30x45 cm", 609, false},
        {6000, 4000, "40x60 cm", 1016, false},
        {4000, 6000, "40x60 cm", 1016, false},
        {1000, 1000, "none", 169, false},   // a square photo misses on its long side
        {1024, 709, "9x13 cm", 173, false},  // just fills 9x13 cm at 200 dpi on both sides
        {1023, 709, "none", 173, false},
        {1024, 708, "none", 173, false},
        {886, 591, "none", 150, false},  // 150 dpi at 10x15 cm is 885.8 x 590.6 pixels
        {885, 591, "none", 149, true},
        {886, 590, "none", 149, true},
        {0, 0, "none", 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
        const PrintSizeAdvice advice = AdvisePrintSize(c.width, c.height);
        EXPECT_EQ(Largest(advice), c.largest);
        EXPECT_EQ(advice.dpiAt10x15, c.dpiAt10x15);
        EXPECT_EQ(advice.small, c.small);
    }
}

TEST(PrintSizeAdvice, TextNamesTheFormatOrTheDpi) {
    const TextLookup text = [](std::string_view key) {
        if (key == "PrintGood") return std::string("up to %s");
        if (key == "PrintSmall") return std::string("small: %d dpi");
        return std::string("fair: %d dpi");
    };
    EXPECT_EQ(PrintAdviceText(AdvisePrintSize(1200, 1800), text), "up to 15x20 cm");
    EXPECT_EQ(PrintAdviceText(AdvisePrintSize(640, 480), text), "small: 108 dpi");
    EXPECT_EQ(PrintAdviceText(AdvisePrintSize(1000, 1000), text), "fair: 169 dpi");
}
