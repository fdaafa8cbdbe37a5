#pragma once
// Album names: recognising names that are dates, the album order, cleaning forbidden
// characters, the name of a new day's album, and the length limit counted in characters.

#include <array>
#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace vantrel {

using MonthNames = std::array<std::string, 12>;

// The characters an album name may not hold (they would make an invalid folder or file name
// on the service), as one text in the order the BadAlbumChars message lists them.
inline constexpr std::string_view kForbiddenAlbumChars = "/.<>\"|*:\\^?";

// Longest album name the user may give, in characters (not bytes).
inline constexpr std::size_t kMaxAlbumNameChars = 64;

// Reads a name of the form "dd Month yyyy" (two-character day, a space, a full month name of
// `systemMonths`, a space, four-character year; the month compared exactly). Returns the date,
// or nothing when the name is no date or the day, month and year make no calendar date.
std::optional<std::chrono::year_month_day> ParseAlbumDate(std::string_view name, const MonthNames& systemMonths);

// The album order: negative when `a` comes first, positive when `b` does, 0 when equal.
// Date names come first, newest first (same day equal); then the other names in ascending
// order with ASCII letters folded, other bytes compared by their value.
int CompareAlbums(std::string_view a, std::string_view b, const MonthNames& systemMonths);

// Whether a local album and an album of the service carry the same name, without regard to
// case for every letter ("Été à la mer" matches "ÉTÉ À LA MER"): full Unicode case folding,
// independent of the process locale.
bool AlbumNamesMatch(std::string_view local, std::string_view service);

struct CleanedName {
    std::string name;      // the name with every forbidden character replaced by "x"
    bool changed = false;  // true when a character was replaced (the caller shows BadAlbumChars)
};

// Replaces each forbidden character by "x". Never fails.
CleanedName CleanAlbumName(std::string_view name);

// The name of today's album: day without leading zero, a space, the month name from
// `userMonths`, a space, the four-digit year ("9 décembre 2007").
std::string DefaultAlbumName(const MonthNames& userMonths, std::chrono::year_month_day day);

// Today's date in the local time zone.
std::chrono::year_month_day LocalToday();

// Number of characters of a UTF-8 text (bytes that do not continue a sequence).
std::size_t CountChars(std::string_view text);

// The first `maxChars` characters of a UTF-8 text, never cutting a character in two.
std::string CutToChars(std::string_view text, std::size_t maxChars);

}  // namespace vantrel
