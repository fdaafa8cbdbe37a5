#include <gtest/gtest.h>

#include "core/app/LinkText.h"
#include "core/app/PreferenceChoices.h"
#include "core/app/TVersionInfo.h"

using namespace vantrel;

TEST(PreferenceChoices, TheQualityFieldReadsWholeNumbers) {
    struct Case {
        const char* text;
        std::optional<int> number;
        int read;  // the quality field's value
    };
    const Case cases[] = {
        {"80", 80, 80},       {"+7", 7, 7},     {"-3", -3, -3},      {"150", 150, 150},  // not limited when read
        {"", {}, 1},          {"80a", {}, 1},   {" 80", 80, 80},     {"-", {}, 1},
        {"2147483647", 2147483647, 2147483647}, {"2147483648", {}, 1}, {"$50", 80, 80},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseWholeNumber(c.text), c.number) << c.text;
        EXPECT_EQ(kCompRateRange.Read(c.text), c.read) << c.text;
    }
    EXPECT_EQ(kCompRateRange.Limit(0), 1);
    EXPECT_EQ(kCompRateRange.Limit(150), 100);
    EXPECT_EQ(kCompRateRange.Limit(42), 42);
}

TEST(PreferenceChoices, ProxyChecksKeepEverythingElseUnstored) {
    UserSettings settings;
    settings.ProxyAddr = "old";
    settings.ProxyPort = "1";
    PreferenceChoices choices;
    choices.proxyUsed = true;
    choices.showName = false;
    choices.compRate = 50;

    EXPECT_EQ(StorePreferences(choices, settings), PreferenceCheck::ProxyHostMissing);
    choices.proxyHost = "proxy.example";
    choices.proxyPort = "80a";
    EXPECT_EQ(StorePreferences(choices, settings), PreferenceCheck::ProxyPortInvalid);
    EXPECT_TRUE(settings.ProxyIsUsed);  // taken before the checks
    EXPECT_TRUE(settings.ShowName);
    EXPECT_EQ(settings.CompRate, 95);
    EXPECT_EQ(settings.ProxyAddr, "old");

    choices.proxyPort = "99999";  // no range is checked; kept as typed
    EXPECT_EQ(StorePreferences(choices, settings), PreferenceCheck::Stored);
    EXPECT_EQ(settings.ProxyAddr, "proxy.example");
    EXPECT_EQ(settings.ProxyPort, "99999");
    EXPECT_FALSE(settings.ShowName);
    EXPECT_EQ(settings.CompRate, 50);

    choices.proxyUsed = false;  // host and port are dropped, whatever the fields hold
    choices.isUpdated = false;
    choices.freqIdx = 2;
    EXPECT_EQ(StorePreferences(choices, settings), PreferenceCheck::Stored);
    EXPECT_FALSE(settings.ProxyIsUsed);
    EXPECT_EQ(settings.ProxyAddr, "");
    EXPECT_EQ(settings.ProxyPort, "");
    EXPECT_FALSE(settings.IsUpdated);
    EXPECT_EQ(settings.FreqIdx, 2);
}

TEST(PreferenceChoices, RadioItemIndexStaysInsideTheGroup) {
    EXPECT_EQ(RadioItemIndex(1, 3), 1);
    EXPECT_EQ(RadioItemIndex(7, 3), 2);
    EXPECT_EQ(RadioItemIndex(-4, 3), -1);
}

TEST(LinkText, AddressesBecomeRunsOfTheirOwn) {
    auto joined = [](const std::vector<TextRun>& runs) {
        std::string text, links;
        for (const TextRun& run : runs) {
            text += run.text;
            if (run.isLink) links += "[" + run.text + "]";
        }
        return std::pair(text, links);
    };
    const std::string line = "pugixml - https://pugixml.org, libcurl - https://curl.se";
    const auto [text, links] = joined(SplitLinks(line));
    EXPECT_EQ(text, line);
    EXPECT_EQ(links, "[https://pugixml.org][https://curl.se]");

    EXPECT_EQ(joined(SplitLinks("http://www.vantrel.com")).second, "[http://www.vantrel.com]");
    EXPECT_EQ(joined(SplitLinks("no address, only httpd")).second, "");
    EXPECT_TRUE(SplitLinks("").empty());
}

TEST(VersionInfo, BuiltInTexts) {
    const TVersionInfo info;
    EXPECT_EQ(info.FileVersion, "3.2.5.98");
    EXPECT_EQ(info.FileDescription, "Images transfer software");
    EXPECT_EQ(info.ProductVersion, "3.2.5");
    EXPECT_EQ(info.Comments, "");
}
