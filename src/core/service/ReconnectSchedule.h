#pragma once
// How a transfer run rides out a lost connection: the pauses it waits before each new attempt
// (the last one repeats) and how long one outage may last in all before the run gives up.

#include <chrono>
#include <optional>
#include <string_view>
#include <vector>

namespace vantrel {

struct ReconnectSchedule {
    std::vector<std::chrono::milliseconds> pauses;  // empty: a lost connection ends the run at once
    std::chrono::milliseconds limit{0};             // the longest one outage is waited out

    // The pause before the attempt that follows `failures` failures in a row (1 for the first).
    std::chrono::milliseconds PauseAfter(int failures) const;
    bool Enabled() const { return !pauses.empty() && limit.count() > 0; }
};

// 5 s, 15 s, 45 s, then every 60 s, for up to 10 minutes.
ReconnectSchedule StandardReconnectSchedule();

// Reads "P1,P2,...;LIMIT" in seconds, decimals allowed ("5,15,45,60;600", "0.2,0.5;40").
// Nothing when a pause or the limit is not a positive number.
std::optional<ReconnectSchedule> ParseReconnectSchedule(std::string_view text);

// The standard schedule, or the environment variable VANTREL_RECONNECT when it parses; tests use
// it to wait fractions of a second instead of minutes.
ReconnectSchedule ReconnectScheduleFromEnvironment();

}  // namespace vantrel
