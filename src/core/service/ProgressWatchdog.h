#pragma once
// Ends a run that no longer gets anywhere: a server that takes the stores but never confirms a
// file, or never answers a call, would otherwise be tried photo after photo for hours. Every
// verified file starts the watch again; once it has run out, the run's waits end at once.

#include <chrono>
#include <stdexcept>
#include <string>

#include "core/service/NetworkTimeouts.h"

namespace vantrel {

class ProgressWatchdog {
public:
    using Clock = std::chrono::steady_clock;

    explicit ProgressWatchdog(std::chrono::milliseconds limit) : limit_(limit) {}

    void Reset() { last_ = Clock::now(); }
    bool Expired() const { return Clock::now() - last_ >= limit_; }
    std::chrono::milliseconds Limit() const { return limit_; }

private:
    std::chrono::milliseconds limit_;
    Clock::time_point last_ = Clock::now();
};

// The run ended because nothing was verified within the watchdog's limit; a connection failure.
class NoProgressError : public std::runtime_error {
public:
    explicit NoProgressError(std::chrono::milliseconds limit)
        : std::runtime_error("the server confirmed no file for " + DescribeDuration(limit) + ": the run was given up") {}
};

}  // namespace vantrel
