#include "core/base/CommaText.h"

namespace vantrel {
namespace {

bool IsBlank(char c) { return c != '\0' && static_cast<unsigned char>(c) <= ' '; }

}  // namespace

std::vector<std::string> SplitCommaText(std::string_view text) {
    std::vector<std::string> entries;
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && IsBlank(text[i])) ++i;
    while (i < n) {
        std::string entry;
        if (text[i] == '"') {
            ++i;
            while (i < n) {
                if (text[i] == '"') {
                    if (i + 1 < n && text[i + 1] == '"') {
                        entry += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                entry += text[i++];
            }
        } else {
            const std::size_t start = i;
            while (i < n && !IsBlank(text[i]) && text[i] != ',') ++i;
            entry.assign(text.substr(start, i - start));
        }
        entries.push_back(std::move(entry));
        while (i < n && IsBlank(text[i])) ++i;
        if (i < n && text[i] == ',') {
            if (i + 1 == n) entries.emplace_back();
            do {
                ++i;
            } while (i < n && IsBlank(text[i]));
        }
    }
    return entries;
}

std::optional<std::int32_t> ParseWholeNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    int base = 10;
    if (i < text.size() && text[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i == text.size()) return std::nullopt;
    std::int64_t value = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        int digit;
        if (c >= '0' && c <= '9') digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        else return std::nullopt;
        value = value * base + digit;
        if (value > 0x80000000LL) return std::nullopt;
    }
    if (negative) value = -value;
    if (value > INT32_MAX || value < INT32_MIN) return std::nullopt;
    return static_cast<std::int32_t>(value);
}

}  // namespace vantrel
