#include <gtest/gtest.h>

#include <string>

#include "core/base/AsciiText.h"

namespace vantrel {
namespace {

// Bytes of UTF-8 text ("é" is C3 A9) must never be folded, whatever the locale.
const std::string kAccented = "\xC3\xA9";

TEST(AsciiTextTest, FoldsOnlyAsciiLetters) {
    EXPECT_EQ(ToUpperAscii("fr_be-9z" + kAccented + "@["), "FR_BE-9Z" + kAccented + "@[");
    EXPECT_EQ(ToLowerAscii("GB.LNG`{" + kAccented + "AZ"), "gb.lng`{" + kAccented + "az");
    EXPECT_EQ(ToUpperAscii('\xE9'), '\xE9');
}

TEST(AsciiTextTest, CharacterClasses) {
    EXPECT_TRUE(AllAsciiDigits("0123456789"));
    EXPECT_TRUE(AllAsciiDigits(""));
    for (const char* text : {"12a", "1 2", "\xD9\xA3", "/", ":"}) EXPECT_FALSE(AllAsciiDigits(text)) << text;
    EXPECT_TRUE(IsAsciiLetterOrDigit('z') && IsAsciiLetterOrDigit('Q') && IsAsciiLetterOrDigit('5'));
    for (char c : {'_', '@', '[', '`', '{', '\xC3'}) EXPECT_FALSE(IsAsciiLetterOrDigit(c)) << int(c);
    for (char c : {' ', '\t', '\n', '\v', '\f', '\r'}) EXPECT_TRUE(IsAsciiSpace(c)) << int(c);
    EXPECT_FALSE(IsAsciiSpace('\0'));
    EXPECT_FALSE(IsAsciiSpace('\xA0'));
}

TEST(AsciiTextTest, Trims) {
    struct Case {
        std::string text;
        std::string blanks;
        std::string trimmed;
    };
    const Case cases[] = {
        {" \t\v\f\r\nkey = value \r\n", std::string(kAsciiSpaces), "key = value"},
        {"   ", std::string(kAsciiSpaces), ""},
        {"", std::string(kAsciiSpaces), ""},
        {std::string("\0a\0", 3), std::string(kAsciiSpaces), std::string("\0a\0", 3)},
        {"\n http://a/ \t\n", " \t", "\n http://a/ \t\n"},
        {" \thttp://a/\t ", " \t", "http://a/"},
        {"\xC2\xA0x\xC2\xA0", std::string(kAsciiSpaces), "\xC2\xA0x\xC2\xA0"},
    };
    for (const Case& c : cases) EXPECT_EQ(TrimAscii(c.text, c.blanks), c.trimmed) << c.text;
}

TEST(AsciiTextTest, ComparesIgnoringCase) {
    struct Case {
        std::string a, b;
        bool equal, starts, ends;
    };
    const Case cases[] = {
        {"Section", "sECTION", true, true, true},
        {"HTTP://host", "http://", false, true, false},
        {"photo.JPEG", ".jpeg", false, false, true},
        {"ab", "abc", false, false, false},
        {"", "", true, true, true},
        {"x" + kAccented, "X\xC3\x89", false, false, false},  // É is not é for an ASCII comparison
        {"[", "{", false, false, false},                     // one apart from a letter's case step
        {"@", "`", false, false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(EqualsIgnoringCase(c.a, c.b), c.equal) << c.a << " / " << c.b;
        EXPECT_EQ(StartsWithIgnoringCase(c.a, c.b), c.starts) << c.a << " / " << c.b;
        EXPECT_EQ(EndsWithIgnoringCase(c.a, c.b), c.ends) << c.a << " / " << c.b;
    }
}

}  // namespace
}  // namespace vantrel
