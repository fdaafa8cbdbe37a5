#pragma once
// Text helpers for the ASCII range only: names, keys, extensions, country codes and protocol
// words are compared and folded the same whatever the process locale, and bytes of UTF-8 text
// outside ASCII are never changed.

#include <string>
#include <string_view>

namespace vantrel {

// The blanks of the C locale's isspace: space, tab, line feed, vertical tab, form feed, return.
inline constexpr std::string_view kAsciiSpaces = " \t\n\v\f\r";

constexpr bool IsAsciiDigit(char c) { return c >= '0' && c <= '9'; }
constexpr bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
constexpr bool IsAsciiLetterOrDigit(char c) { return IsAsciiLetter(c) || IsAsciiDigit(c); }
constexpr bool IsAsciiSpace(char c) { return kAsciiSpaces.find(c) != std::string_view::npos; }

// The letter in the other case; any other byte unchanged.
constexpr char ToLowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
constexpr char ToUpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
std::string ToLowerAscii(std::string_view text);
std::string ToUpperAscii(std::string_view text);

// True when every character is a digit; true for empty text.
bool AllAsciiDigits(std::string_view text);

// The text without the given characters at either end (by default the blanks of kAsciiSpaces).
std::string_view TrimAscii(std::string_view text, std::string_view blanks = kAsciiSpaces);

// Comparisons that treat ASCII letters of either case alike; other bytes must match exactly.
bool EqualsIgnoringCase(std::string_view a, std::string_view b);
bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix);
bool EndsWithIgnoringCase(std::string_view text, std::string_view suffix);

}  // namespace vantrel
