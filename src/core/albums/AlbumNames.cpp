#include "core/albums/AlbumNames.h"

#include <unicode/stringoptions.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <ctime>

namespace vantrel {

namespace {

// Digits only: a sign, a space or any other character makes the name no date.
std::optional<int> ParseDigits(std::string_view text) {
    if (text.empty()) return std::nullopt;
    for (char c : text)
        if (c < '0' || c > '9') return std::nullopt;
    int value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

unsigned char Fold(unsigned char c) { return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c; }

}  // namespace

std::optional<std::chrono::year_month_day> ParseAlbumDate(std::string_view name, const MonthNames& systemMonths) {
    std::size_t firstSpace = name.find(' ');
    if (firstSpace != 2) return std::nullopt;
    std::size_t secondSpace = name.find(' ', 3);
    if (secondSpace == std::string_view::npos || name.size() < 4) return std::nullopt;
    auto day = ParseDigits(name.substr(0, 2));
    auto year = ParseDigits(name.substr(name.size() - 4));
    if (!day || !year) return std::nullopt;
    std::string_view monthName = name.substr(3, secondSpace - 3);
    unsigned month = 0;
    for (unsigned i = 0; i < 12; ++i)
        if (!systemMonths[i].empty() && systemMonths[i] == monthName) {
            month = i + 1;
            break;
        }
    if (month == 0 || *year < 1) return std::nullopt;
    std::chrono::year_month_day date{std::chrono::year{*year}, std::chrono::month{month},
                                     std::chrono::day{static_cast<unsigned>(*day)}};
    if (!date.ok()) return std::nullopt;
    return date;
}

int CompareAlbums(std::string_view a, std::string_view b, const MonthNames& systemMonths) {
    auto dateA = ParseAlbumDate(a, systemMonths);
    auto dateB = ParseAlbumDate(b, systemMonths);
    if (dateA && dateB) {
        if (*dateA == *dateB) return 0;
        return *dateA > *dateB ? -1 : 1;
    }
    if (dateA) return -1;
    if (dateB) return 1;
    std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        unsigned char ca = Fold(static_cast<unsigned char>(a[i]));
        unsigned char cb = Fold(static_cast<unsigned char>(b[i]));
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

CleanedName CleanAlbumName(std::string_view name) {
    CleanedName result{std::string(name), false};
    for (char& c : result.name)
        if (kForbiddenAlbumChars.find(c) != std::string_view::npos) {
            c = 'x';
            result.changed = true;
        }
    return result;
}

bool AlbumNamesMatch(std::string_view local, std::string_view service) {
    const auto fold = [](std::string_view text) {
        return icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), static_cast<std::int32_t>(text.size())));
    };
    return fold(local).caseCompare(fold(service), U_FOLD_CASE_DEFAULT) == 0;
}

std::string DefaultAlbumName(const MonthNames& userMonths, std::chrono::year_month_day day) {
    unsigned month = static_cast<unsigned>(day.month());
    const std::string& monthName = (month >= 1 && month <= 12) ? userMonths[month - 1] : std::string();
    char year[16];
    std::snprintf(year, sizeof year, "%04d", static_cast<int>(day.year()));
    return std::to_string(static_cast<unsigned>(day.day())) + " " + monthName + " " + year;
}

std::chrono::year_month_day LocalToday() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return std::chrono::year_month_day{std::chrono::year{local.tm_year + 1900},
                                       std::chrono::month{static_cast<unsigned>(local.tm_mon + 1)},
                                       std::chrono::day{static_cast<unsigned>(local.tm_mday)}};
}

std::size_t CountChars(std::string_view text) {
    std::size_t count = 0;
    for (char c : text)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++count;
    return count;
}

std::string CutToChars(std::string_view text, std::size_t maxChars) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
            if (count == maxChars) return std::string(text.substr(0, i));
            ++count;
        }
    }
    return std::string(text);
}

}  // namespace vantrel
