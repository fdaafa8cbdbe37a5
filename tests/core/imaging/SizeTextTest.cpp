#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include "core/base/CommaText.h"
#include "core/imaging/JpegNamePattern.h"
#include "core/imaging/SizeText.h"

using namespace vantrel;

TEST(ImagingText, FormatFileSize) {
    const SizeTextStyle dot{"Mo", "Ko", '.'}, comma{"Mo", "Ko", ','};
    EXPECT_EQ(FormatFileSize(1572864, dot), "1.50 Mo");
    EXPECT_EQ(FormatFileSize(512, dot), "0.50 Ko");
    EXPECT_EQ(FormatFileSize(1048576, comma), "1,00 Mo");
    EXPECT_EQ(FormatFileSize(1048575, comma), "1024,00 Ko");
    EXPECT_EQ(FormatFileSize(0, dot), "0.00 Ko");
    EXPECT_EQ(FormatFileSize(6ull << 30, dot), "6144.00 Mo");
}

// The GUI toolkit switches the process to the user's locale; the size text must still follow
// the separator it is given, not the process's numeric locale.
TEST(ImagingText, FormatFileSizeIgnoresTheProcessLocale) {
    const std::string before = std::setlocale(LC_NUMERIC, nullptr);
    bool switched = false;
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8", "de_DE", "fr_FR"})
        if (std::setlocale(LC_NUMERIC, name) != nullptr) {
            switched = true;
            break;
        }
    if (!switched) GTEST_SKIP() << "no locale with a decimal comma is installed";
    const std::string dotText = FormatFileSize(1572864, {"Mb", "Kb", '.'});
    const std::string commaText = FormatFileSize(512, {"Mb", "Kb", ','});
    std::setlocale(LC_NUMERIC, before.c_str());
    EXPECT_EQ(dotText, "1.50 Mb");
    EXPECT_EQ(commaText, "0,50 Kb");
}

TEST(ImagingText, FormatThumbCaption) {
    const SizeTextStyle style{"Mb", "Kb", '.'};
    struct Case {
        CaptionParts parts;
        std::string caption;
    };
    const Case cases[] = {
        {{true, true, true}, "IMG_1.JPG\r1.50 Mb - 4000 x 3000"},
        {{true, false, true}, "IMG_1.JPG\r4000 x 3000"},
        {{true, true, false}, "IMG_1.JPG\r1.50 Mb"},
        {{false, true, true}, "1.50 Mb - 4000 x 3000"},
        {{false, false, true}, "4000 x 3000"},
        {{true, false, false}, "IMG_1.JPG"},
        {{false, false, false}, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatThumbCaption("/photos/2024/IMG_1.JPG", 1572864, 4000, 3000, c.parts, style), c.caption);
}

TEST(ImagingText, SplitCommaText) {
    using List = std::vector<std::string>;
    const std::pair<std::string, List> cases[] = {
        {"", {}},
        {"116,120", {"116", "120"}},
        {"116 120", {"116", "120"}},
        {" 116 , 120 ", {"116", "120"}},
        {"116,,120", {"116", "", "120"}},
        {"116,", {"116", ""}},
        {"\"116\",\"1 2\"", {"116", "1 2"}},
        {"\"a\"\"b\"", {"a\"b"}},
    };
    for (const auto& [text, list] : cases) EXPECT_EQ(SplitCommaText(text), list) << text;
}

TEST(ImagingText, ParseWholeNumber) {
    EXPECT_EQ(ParseWholeNumber("120"), 120);
    EXPECT_EQ(ParseWholeNumber("  -7"), -7);
    EXPECT_EQ(ParseWholeNumber("$78"), 120);
    EXPECT_EQ(ParseWholeNumber("0x78"), 120);
    EXPECT_EQ(ParseWholeNumber("2147483647"), 2147483647);
    for (const char* bad : {"", "12a", "1 2", "0x", "2147483648", "+"}) EXPECT_FALSE(ParseWholeNumber(bad)) << bad;
}

TEST(ImagingText, JpegNamePattern) {
    for (const char* name : {"a.jpg", "B.JPEG", "c.Jpg", ".jpg", "x.jpeg.jpg", "d.jp2g", "e.jpng"})
        EXPECT_TRUE(MatchesJpegPattern(name)) << name;
    for (const char* name : {"a.png", "jpg", "a.jpgx", "a.jp", "ajpg", "a.gif.jpx"}) EXPECT_FALSE(MatchesJpegPattern(name)) << name;
}
