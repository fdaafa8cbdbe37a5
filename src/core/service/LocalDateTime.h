#pragma once
// A local wall-clock date and time, and a clock that can be replaced in tests.

#include <functional>
#include <string>

namespace vantrel {

struct LocalDateTime {
    int year = 1970;
    int month = 1;  // 1..12
    int day = 1;    // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};

using LocalClock = std::function<LocalDateTime()>;

// The current local date and time of the system.
LocalDateTime LocalNow();

// The same wall-clock time `days` calendar days later (months and years roll over).
LocalDateTime AddDays(const LocalDateTime& when, int days);

// "yyyy-mm-dd hh:nn:ss".
std::string FormatDateTime(const LocalDateTime& when);

}  // namespace vantrel
