#include "core/base/AsciiText.h"

#include <algorithm>

namespace vantrel {

std::string ToLowerAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = ToLowerAscii(c);
    return out;
}

std::string ToUpperAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = ToUpperAscii(c);
    return out;
}

bool AllAsciiDigits(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return IsAsciiDigit(c); });
}

std::string_view TrimAscii(std::string_view text, std::string_view blanks) {
    const size_t from = text.find_first_not_of(blanks);
    if (from == std::string_view::npos) return {};
    return text.substr(from, text.find_last_not_of(blanks) - from + 1);
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return ToLowerAscii(x) == ToLowerAscii(y); });
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && EqualsIgnoringCase(text.substr(0, prefix.size()), prefix);
}

bool EndsWithIgnoringCase(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && EqualsIgnoringCase(text.substr(text.size() - suffix.size()), suffix);
}

}  // namespace vantrel
