#include <gtest/gtest.h>

#include "core/service/UpdateCheck.h"

using namespace vantrel;

TEST(UpdateCheck, VersionValues) {
    struct Case { const char* text; std::optional<int> value; };
    const Case cases[] = {
        {"3.2.5", 325}, {"3.2.6", 326}, {"3.10.0", 400}, {"4.0.0", 400}, {"3.2.5 beta", 325},
        {"  3.2.5", 325}, {"3.2.5.98", 325}, {"4.0", std::nullopt}, {"", std::nullopt}, {"3.x.5", std::nullopt},
        {"3..2.5", 325},
    };
    for (const Case& c : cases) EXPECT_EQ(VersionValue(c.text), c.value) << c.text;
}

TEST(UpdateCheck, Verdicts) {
    EXPECT_EQ(CheckForUpdate("3.2.6", "3.2.5"), UpdateVerdict::NewVersion);
    EXPECT_EQ(CheckForUpdate("3.10.0", "3.2.5"), UpdateVerdict::NewVersion);
    EXPECT_EQ(CheckForUpdate("3.2.5", "3.2.5"), UpdateVerdict::UpToDate);
    EXPECT_EQ(CheckForUpdate("4.0", "3.2.5"), UpdateVerdict::Unreadable);
    EXPECT_EQ(CheckForUpdate("", "3.2.5"), UpdateVerdict::Unreadable);
}

TEST(UpdateCheck, Schedule) {
    const SerialDateTime now = *EncodeDateTime({2026, 12, 10, 12, 0, 0});
    const double hour = 1.0 / 24;
    struct Case { bool on; int freq; SerialDateTime last; bool due; };
    const Case cases[] = {
        {false, 0, 0, false},
        {true, 0, now, true},
        {true, 1, now - 7 - 23 * hour, false},
        {true, 1, now - 8, true},
        {true, 2, now - 30.5, false},
        {true, 2, now - 31, true},
        {true, 2, 0, true},  // never checked
        {true, 3, 0, false},
        {true, 1, now + 10, true},  // a LastCheck in the future counts its distance
        {true, 1, now + 2, false},
    };
    for (const Case& c : cases) EXPECT_EQ(IsUpdateCheckDue(c.on, c.freq, c.last, now), c.due) << c.freq << " " << c.last;
}
