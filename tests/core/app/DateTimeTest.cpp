#include <gtest/gtest.h>

#include "core/app/DateTime.h"

using namespace vantrel;

TEST(DateTime, SerialDaysFrom1899) {
    EXPECT_EQ(*EncodeDateTime({1899, 12, 30}), 0);
    EXPECT_EQ(*EncodeDateTime({1900, 1, 1}), 2);
    EXPECT_EQ(*EncodeDateTime({2000, 1, 1}), 36526);
    EXPECT_DOUBLE_EQ(*EncodeDateTime({2000, 1, 1, 12}), 36526.5);
    EXPECT_FALSE(EncodeDateTime({2023, 2, 29}));
    EXPECT_TRUE(EncodeDateTime({2024, 2, 29}));
    const CivilDateTime back = DecodeDateTime(*EncodeDateTime({2026, 12, 31, 23, 59, 58, 0}));
    EXPECT_EQ(back.year, 2026);
    EXPECT_EQ(back.day, 31);
    EXPECT_EQ(back.second, 58);
}

TEST(DateTime, FormatsAndParsesLocalePatterns) {
    const SerialDateTime moment = *EncodeDateTime({2007, 3, 9, 14, 5, 7});
    struct Case { const char* date; const char* time; const char* text; };
    const Case cases[] = {
        {"dd/MM/yyyy", "HH:mm:ss", "09/03/2007 14:05:07"},
        {"M/d/yy", "h:mm:ss AP", "3/9/07 2:05:07 PM"},
        {"yyyy-MM-dd", "HH:mm:ss", "2007-03-09 14:05:07"},
        {"dd.MM.yyyy", "HH 'h' mm", "09.03.2007 14 h 05"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FormatDateTime(moment, std::string(c.date) + " " + c.time), c.text);
        auto parsed = ParseDateTime(c.text, c.date, c.time);
        ASSERT_TRUE(parsed) << c.text;
        EXPECT_EQ(FormatDateTime(*parsed, std::string(c.date) + " " + c.time), c.text);
    }
    EXPECT_EQ(ParseDateTime("30/12/1899", "dd/MM/yyyy", "HH:mm:ss"), 0);
    EXPECT_FALSE(ParseDateTime("31/02/2020 10:00:00", "dd/MM/yyyy", "HH:mm:ss"));
    EXPECT_FALSE(ParseDateTime("yesterday", "dd/MM/yyyy", "HH:mm:ss"));
    EXPECT_FALSE(ParseDateTime("", "dd/MM/yyyy", "HH:mm:ss"));
}
