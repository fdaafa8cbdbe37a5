#include "core/service/UpdateCheck.h"

#include <charconv>
#include <cmath>
#include <string>
#include <vector>

namespace vantrel {

std::optional<int> VersionValue(std::string_view version) {
    std::vector<std::string_view> items;
    size_t at = 0;
    while (at < version.size() && items.size() < 3) {
        auto separator = [](char c) { return c == '.' || static_cast<unsigned char>(c) <= ' '; };
        while (at < version.size() && separator(version[at])) ++at;
        size_t end = at;
        while (end < version.size() && !separator(version[end])) ++end;
        if (end > at) items.push_back(version.substr(at, end - at));
        at = end;
    }
    if (items.size() < 3) return std::nullopt;
    static const int weights[] = {100, 10, 1};
    long long value = 0;
    for (int i = 0; i < 3; ++i) {
        int item = 0;
        auto [end, error] = std::from_chars(items[i].data(), items[i].data() + items[i].size(), item);
        if (error != std::errc() || end != items[i].data() + items[i].size()) return std::nullopt;
        value += static_cast<long long>(item) * weights[i];
    }
    if (value > INT32_MAX || value < INT32_MIN) return std::nullopt;
    return static_cast<int>(value);
}

bool IsUpdateCheckDue(bool isUpdated, int freqIdx, SerialDateTime lastCheck, SerialDateTime now) {
    if (!isUpdated) return false;
    // Days between the two dates either way: a LastCheck left in the future by a clock that was
    // set wrong must not hold the check back for years.
    const double wholeDays = std::trunc(std::fabs(now - lastCheck));
    switch (freqIdx) {
    case 0: return true;
    case 1: return wholeDays > 7;
    case 2: return wholeDays > 30;
    default: return false;
    }
}

UpdateVerdict CheckForUpdate(std::string_view announcedVersion, std::string_view ownVersion) {
    auto announced = VersionValue(announcedVersion);
    auto own = VersionValue(ownVersion);
    if (!announced || !own) return UpdateVerdict::Unreadable;
    return *announced > *own ? UpdateVerdict::NewVersion : UpdateVerdict::UpToDate;
}

}  // namespace vantrel
