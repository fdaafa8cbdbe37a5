#pragma once
// The update check: the program compares its own version with the newest one the service
// announces in its settings, on the schedule the user chose.

#include <optional>
#include <string_view>

#include "core/app/DateTime.h"

namespace vantrel {

// item1 * 100 + item2 * 10 + item3 of a version text cut at ".", blanks and control
// characters (leading ones skipped, further items ignored): "3.2.5" is 325, "3.10.0" is 400.
// Nothing when there are fewer than three items or one of them is not a whole number.
std::optional<int> VersionValue(std::string_view version);

// Whether the check runs at start: IsUpdated on, and FreqIdx 0 (always), 1 (more than 7 whole
// days between LastCheck and now, either way) or 2 (more than 30); any other FreqIdx never.
bool IsUpdateCheckDue(bool isUpdated, int freqIdx, SerialDateTime lastCheck, SerialDateTime now);

enum class UpdateVerdict {
    NewVersion,  // tell the user and open the download page; LastCheck := now
    UpToDate,    // show nothing; LastCheck := now
    Unreadable,  // show nothing; LastCheck keeps its value
};

// Compares the announced version with the program's own.
UpdateVerdict CheckForUpdate(std::string_view announcedVersion, std::string_view ownVersion);

}  // namespace vantrel
