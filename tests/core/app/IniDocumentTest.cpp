#include <gtest/gtest.h>

#include "core/app/IniDocument.h"

using vantrel::IniDocument;
using vantrel::ParseIniInteger;

TEST(IniDocument, ReadsLikeThePrivateProfileFunctions) {
    const auto ini = IniDocument::FromText(
        "; comment\r\n[Look]\r\n ShowName = 0 \r\nCompRate=\"80\"\r\nQuoted='a b'\r\nHalf=\"x\r\n"
        "ShowName=1\r\n[look]\r\nOther=2\r\n[Empty]\r\n");
    struct Case { const char* section; const char* key; std::optional<std::string> expected; };
    const Case cases[] = {
        {"Look", "ShowName", "0"},     // trimmed, first occurrence wins
        {"LOOK", "showname", "0"},     // names compared without regard to case
        {"Look", "CompRate", "80"},    // one pair of quotes removed
        {"Look", "Quoted", "a b"},
        {"Look", "Half", "\"x"},       // unmatched quote kept
        {"Look", "Other", std::nullopt},  // only the first section of a name is read
        {"Empty", "Key", std::nullopt},
        {"Missing", "Key", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(ini.Get(c.section, c.key), c.expected) << c.section << "/" << c.key;
}

TEST(IniDocument, LongValuesAreCutAtACharacter) {
    std::string value(2046, 'a');
    value += "\xC3\xA9\xC3\xA9";  // two two-byte characters: the 2047th is kept whole
    const auto ini = IniDocument::FromText("[S]\nK=" + value + "\n");
    EXPECT_EQ(*ini.Get("S", "K"), std::string(2046, 'a') + "\xC3\xA9");
}

TEST(IniDocument, SettingRewritesInPlaceAndKeepsOtherLines) {
    auto ini = IniDocument::FromText("; mine\r\n[A]\r\nx=1\r\nkeep=me\r\n\r\n[B]\r\ny=2\r\n");
    ini.Set("a", "X", "10");     // rewritten in place
    ini.Set("A", "new", "3");    // appended after the section's last key, before the blank line
    ini.Set("C", "z", "4");      // new section at the end
    EXPECT_EQ(ini.ToText(),
              "; mine\r\n[A]\r\nX=10\r\nkeep=me\r\nnew=3\r\n\r\n[B]\r\ny=2\r\n\r\n[C]\r\nz=4\r\n");
}

TEST(IniDocument, ValuesThatReadingWouldChangeRoundTrip) {
    IniDocument ini;
    for (const std::string value : {" lead", "trail ", "\"quoted\"", "'q'", "plain", ""}) {
        ini.Set("S", "K", value);
        EXPECT_EQ(IniDocument::FromText(ini.ToText()).Get("S", "K"), value) << value;
    }
}

TEST(IniDocument, AValueCannotAddLinesToTheFile) {
    for (const std::string breakText : {"\n", "\r\n", "\r"}) {
        IniDocument ini;
        ini.Set("Path", "LastTree", "/photos" + breakText + "[Params]" + breakText + "ftp_host=elsewhere");
        ini.Set("Params", "ftp_host", "ftp.example.com");
        const IniDocument again = IniDocument::FromText(ini.ToText());
        EXPECT_EQ(again.Get("Path", "LastTree"), "/photos");
        EXPECT_EQ(again.Get("Params", "ftp_host"), "ftp.example.com");
        EXPECT_EQ(ini.ToText(), "[Path]\r\nLastTree=/photos\r\n\r\n[Params]\r\nftp_host=ftp.example.com\r\n");
    }
}

TEST(IniDocument, Integers) {
    struct Case { std::optional<std::string> text; int expected; };
    const Case cases[] = {{"42", 42}, {"-7", -7}, {"0x1F", 31}, {"0X10", 16}, {"0x", 9},
                          {"12abc", 9}, {"", 9}, {std::nullopt, 9}, {"99999999999", 9}, {"0", 0}};
    for (const Case& c : cases) EXPECT_EQ(ParseIniInteger(c.text, 9), c.expected) << c.text.value_or("(none)");
}
