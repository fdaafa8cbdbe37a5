#include <gtest/gtest.h>

#include <filesystem>

#include "core/app/FormatPattern.h"
#include "core/app/LanguageFile.h"
#include "core/TempFolder.h"

using namespace vantrel;

TEST(LanguageFile, CandidatesInOrder) {
    test::TempFolder folder;
    const std::string dir = folder.Path();
    EXPECT_EQ(LanguageFile::Choose(dir, "XX.lng", "FR"), std::nullopt);
    folder.Write("GB.lng", "");
    EXPECT_EQ(LanguageFile::Choose(dir, "XX.lng", "FR"), dir + "GB.lng");
    folder.Write("FR.lng", "");
    EXPECT_EQ(LanguageFile::Choose(dir, "XX.lng", "fr"), dir + "FR.lng");
    folder.Write("XX.lng", "");
    EXPECT_EQ(LanguageFile::Choose(dir, "XX.lng", "FR"), dir + "XX.lng");
}

TEST(LanguageFile, TranslateExpandsLineBreaksAndRereadsChanges) {
    test::TempFolder folder;
    const std::string path = folder.Write("GB.lng",
        "[Strings]\nTwo=A\\nB\nCapital=A\\NB\nMany=\\n\\nx\\n\n[BrevantWindow]\nBrevantForm=Title\\n\n");
    LanguageFile language;
    ASSERT_TRUE(language.Open(path));
    EXPECT_EQ(language.Translate("Two"), "A\r\nB");
    EXPECT_EQ(language.Translate("Capital"), "A\\NB");
    EXPECT_EQ(language.Translate("Many"), "\r\n\r\nx\r\n");
    EXPECT_EQ(language.Translate("Missing"), "");
    EXPECT_EQ(language.ReadRaw("BrevantWindow", "BrevantForm"), "Title\\n");

    folder.Write("GB.lng", "[Strings]\nTwo=changed on disk\n");
    EXPECT_EQ(language.Translate("Two"), "changed on disk");
}

TEST(FormatPattern, LanguagePatterns) {
    struct Case { std::string pattern; std::string expected; };
    const std::string fr = ",";
    EXPECT_EQ(FormatPattern("%d %s in the album %s", {std::int64_t{3}, std::string("photos"), std::string("Noël")}),
              "3 photos in the album Noël");
    EXPECT_EQ(FormatPattern("%f Mb", {1.5}), "1.50 Mb");
    EXPECT_EQ(FormatPattern("%f Mo", {1.5}, ','), "1,50 Mo");
    EXPECT_EQ(FormatPattern("about %.0f min", {12.6}), "about 13 min");
    EXPECT_EQ(FormatPattern("100%% of %s", {std::string("x")}), "100% of x");
    EXPECT_EQ(FormatPattern("[%5d|%-4s]", {std::int64_t{42}, std::string("ab")}), "[   42|ab  ]");
    // A pattern that asks for more than it is given never reads past its arguments.
    EXPECT_EQ(FormatPattern("%s %s %d", {std::string("only")}), "only  ");
    EXPECT_EQ(FormatPattern("%d", {std::string("7")}), "7");
    EXPECT_EQ(FormatPattern("50%", {}), "50%");
}

#include "core/app/HelpIndex.h"

TEST(HelpIndex, KeywordPagesOfTheNamedHelp) {
    test::TempFolder folder;
    std::filesystem::create_directories(folder.File("guide"));
    folder.Write("guide/index.txt", "choose=choose.html\r\nTransfer=send.html\r\nbroken=missing.html\r\n");
    folder.Write("guide/send.html", "<p>send</p>");
    folder.Write("guide/choose.html", "<p>choose</p>");
    const std::string help = folder.Path();
    EXPECT_EQ(FindHelpTopic(help, "guide.chm", "transfer"), help + "guide/send.html");
    EXPECT_EQ(FindHelpTopic(help, "guide.hlp", "choose"), help + "guide/choose.html");  // extension ignored
    EXPECT_EQ(FindHelpTopic(help, "guide.chm", "broken"), std::nullopt);  // no contents page either
    folder.Write("guide/index.html", "<p>contents</p>");
    EXPECT_EQ(FindHelpTopic(help, "guide.chm", "unknown"), help + "guide/index.html");
    EXPECT_EQ(FindHelpTopic(help, "other.chm", "choose"), std::nullopt);
}

TEST(LanguageFile, LanguageOfTheLocaleWhenTheCountryHasNoFile) {
    test::TempFolder folder;
    const std::string dir = folder.Path();
    folder.Write("GB.lng", "");
    folder.Write("FR.lng", "");
    struct Case { std::string country, language, expected; };
    const Case cases[] = {
        {"BE", "fr", "FR.lng"}, {"CA", "fr", "FR.lng"}, {"CH", "fr", "FR.lng"}, {"FR", "fr", "FR.lng"},
        {"CH", "de", "GB.lng"}, {"US", "en", "GB.lng"}, {"BE", "", "GB.lng"},   {"BE", "FR", "FR.lng"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LanguageFile::Choose(dir, "", c.country, c.language), dir + c.expected) << c.country << c.language;
    // A name the settings keep wins over the locale.
    EXPECT_EQ(LanguageFile::Choose(dir, "GB.lng", "BE", "fr"), dir + "GB.lng");
}

TEST(LanguageFile, LanguagesAndFileNames) {
    const std::pair<std::string, std::string> files[] = {{"fr", "FR.lng"}, {"en", "GB.lng"}, {"DE", "DE.lng"}, {"", ""}};
    for (const auto& [language, file] : files) EXPECT_EQ(LanguageFile::FileNameForLanguage(language), file);
    const std::pair<std::string, std::string> languages[] = {
        {"/usr/share/vantrel/Language/FR.lng", "fr"}, {"GB.lng", "en"}, {"/x/de.lng", "de"},
        {"/x/Custom.lng", ""}, {"/x.y/lng", ""}, {"", ""}, {"/x/F1.lng", ""}};
    for (const auto& [path, language] : languages) EXPECT_EQ(LanguageFile::LanguageOfFile(path), language) << path;
}
