#include <gtest/gtest.h>

#include "core/app/LocaleInfo.h"

TEST(LocaleInfo, DefaultsAreBritishEnglish) {
    vantrel::LocaleInfo locale;
    EXPECT_EQ(locale.country, "GB");
    EXPECT_EQ(locale.monthNames[11], "December");
}
