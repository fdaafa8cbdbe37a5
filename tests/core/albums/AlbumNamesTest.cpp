#include <gtest/gtest.h>

#include "core/albums/AlbumNames.h"
#include "core/albums/TImageJob.h"
#include "core/albums/AlbumTestSupport.h"

using namespace std::chrono;

namespace vantrel {
namespace {

using albumtest::FrenchMonths;

TEST(AlbumNames, ParseAlbumDate) {
    struct Case {
        const char* name;
        bool isDate;
        int y;
        unsigned m, d;
    };
    const Case cases[] = {
        {"27 avril 2005", true, 2005, 4, 27},
        {"03 mai 2006", true, 2006, 5, 3},
        {"09 décembre 2007", true, 2007, 12, 9},
        {"9 décembre 2007", false, 0, 0, 0},     // one-digit day
        {"31 février 2006", false, 0, 0, 0},     // no such day
        {"29 février 2008", true, 2008, 2, 29},
        {"27 April 2005", false, 0, 0, 0},       // another language's month
        {"27 Avril 2005", false, 0, 0, 0},       // month compared case-sensitively
        {"27 avril", false, 0, 0, 0},            // no second space
        {"27 avril 20x5", false, 0, 0, 0},
        {"+7 avril 2005", false, 0, 0, 0},
        {"00 avril 2005", false, 0, 0, 0},
        {"27  avril 2005", false, 0, 0, 0},      // empty month name
        {"Vacances", false, 0, 0, 0},
        {"", false, 0, 0, 0},
    };
    for (const Case& c : cases) {
        auto date = ParseAlbumDate(c.name, FrenchMonths());
        EXPECT_EQ(date.has_value(), c.isDate) << c.name;
        if (date && c.isDate) {
            EXPECT_EQ(*date, year_month_day(year{c.y}, month{c.m}, day{c.d})) << c.name;
        }
    }
}

TEST(AlbumNames, CompareAlbumsOrdersDatesNewestFirstThenNamesIgnoringCase) {
    const MonthNames fr = FrenchMonths();
    EXPECT_LT(CompareAlbums("03 mai 2006", "27 avril 2005", fr), 0);
    EXPECT_GT(CompareAlbums("27 avril 2005", "03 mai 2006", fr), 0);
    EXPECT_EQ(CompareAlbums("03 mai 2006", "03 mai 2006", fr), 0);
    EXPECT_LT(CompareAlbums("27 avril 2005", "anniversaire", fr), 0);
    EXPECT_GT(CompareAlbums("Vacances", "03 mai 2006", fr), 0);
    EXPECT_LT(CompareAlbums("anniversaire", "Vacances", fr), 0);
    EXPECT_EQ(CompareAlbums("NOEL", "noel", fr), 0);
    EXPECT_LT(CompareAlbums("9 décembre 2007", "anniversaire", fr), 0);  // digits before letters
    EXPECT_LT(CompareAlbums("abc", "abcd", fr), 0);
}

TEST(AlbumNames, ServiceAlbumsMatchWithoutRegardToCaseForEveryLetter) {
    struct Case {
        const char* local;
        const char* service;
        bool same;
    };
    const Case cases[] = {
        {"Été à la mer", "ÉTÉ À LA MER", true},
        {"Noël", "NOËL", true},
        {"Straße", "STRASSE", true},  // full folding: ß is "ss"
        {"Ωμέγα", "ΩΜΈΓΑ", true},
        {"Été", "Ete", false},        // accents still count
        {"Noel", "Noel ", false},
        {"", "", true},
    };
    for (const Case& c : cases) EXPECT_EQ(AlbumNamesMatch(c.local, c.service), c.same) << c.local << " / " << c.service;
}

TEST(AlbumNames, CleanAlbumNameReplacesTheElevenCharacters) {
    EXPECT_EQ(kForbiddenAlbumChars, "/.<>\"|*:\\^?");
    auto cleaned = CleanAlbumName("a/b.c<d>e\"f|g*h:i\\j^k?l");
    EXPECT_EQ(cleaned.name, "axbxcxdxexfxgxhxixjxkxl");
    EXPECT_TRUE(cleaned.changed);
    auto same = CleanAlbumName("Vacances d'été, 2007 (mer)");
    EXPECT_EQ(same.name, "Vacances d'été, 2007 (mer)");
    EXPECT_FALSE(same.changed);
}

TEST(AlbumNames, DefaultAlbumNameUsesTheUsersMonthsAndNoLeadingZero) {
    EXPECT_EQ(DefaultAlbumName(FrenchMonths(), year{2007} / 12 / 9), "9 décembre 2007");
    EXPECT_EQ(DefaultAlbumName(FrenchMonths(), year{2005} / 4 / 27), "27 avril 2005");
    EXPECT_EQ(DefaultAlbumName(MonthNames{"January", "February", "March", "April", "May", "June", "July",
                                          "August", "September", "October", "November", "December"},
                               year{812} / 1 / 1),
              "1 January 0812");
}

TEST(AlbumNames, LengthIsCountedInCharacters) {
    std::string accented;
    for (int i = 0; i < 64; ++i) accented += "é";  // 128 bytes, 64 characters
    EXPECT_EQ(CountChars(accented), 64u);
    EXPECT_EQ(CutToChars(accented + "é", 64), accented);
    EXPECT_EQ(CutToChars("abé", 3), "abé");
    EXPECT_EQ(CutToChars("abé", 2), "ab");
}

TEST(AlbumNames, SetPhotoSizeRoundsHalvesToEven) {
    struct Case {
        std::int32_t photo, scaled, thumb;
    };
    const Case cases[] = {
        {0, 0, 0},         {15, 0, 0},          {45, 2, 0},  // 1.5 -> 2
        {75, 2, 0},                                           // 2.5 -> 2
        {290, 10, 0},                                         // thumb 0.5 -> 0
        {870, 29, 2},                                         // thumb 1.5 -> 2
        {1450, 48, 2},                                        // scaled 48.33, thumb 2.5 -> 2
        {3000000, 100000, 5172},
    };
    for (const Case& c : cases) {
        TImageJob job(nullptr, "s", "w", "c", "f", 1, 1, c.photo, 0);
        EXPECT_EQ(job.ScaledSize, c.scaled) << c.photo;
        EXPECT_EQ(job.ThumbSize, c.thumb) << c.photo;
        EXPECT_EQ(job.PackageSize, c.photo + c.scaled + c.thumb + 250) << c.photo;
    }
}

}  // namespace
}  // namespace vantrel
