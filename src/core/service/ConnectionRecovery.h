#pragma once
// Rides out a lost connection during a transfer run: a step that failed because the network went
// away is run again after a pause of the reconnect schedule, until it goes through, the outage
// has lasted longer than the schedule allows, or Stop is pressed during a pause. Failures that a
// new connection would not cure (a refused command, a file that cannot be written) pass at once.

#include <chrono>
#include <exception>
#include <functional>
#include <type_traits>

#include "core/service/ReconnectSchedule.h"

namespace vantrel {

// True for a connection that was refused, reset, timed out or whose host name was not found, on
// the FTP side or under an XML-RPC call, and for a failed reconnection inside a package upload.
bool IsConnectionFailure(const std::exception_ptr& failure);

struct RecoveryHooks {
    std::function<bool()> stopped;            // Stop was pressed: the wait ends at once
    std::function<void()> pump;               // runs at least every 50 ms during a pause
    std::function<void(int)> showWait;        // seconds left before the next attempt; 0 when it starts
    std::function<void()> beforeRetry;        // e.g. puts the progress of the photo under way back
};

class ConnectionRecovery {
public:
    ConnectionRecovery(ReconnectSchedule schedule, RecoveryHooks hooks);

    // Runs `step` and returns its result; runs it again after each connection failure while the
    // schedule allows, else rethrows the last failure.
    template <class Step>
    auto Retry(Step&& step) -> decltype(step()) {
        while (true) {
            try {
                if constexpr (std::is_void_v<decltype(step())>) {
                    step();
                    Recovered();
                    return;
                } else {
                    auto result = step();
                    Recovered();
                    return result;
                }
            } catch (...) {
                if (!IsConnectionFailure(std::current_exception()) || !WaitAfterFailure()) throw;
            }
        }
    }

    // The last failure was let through because the outage outlasted the schedule.
    bool GaveUp() const { return gaveUp_; }

private:
    // Counts the failure and waits its pause; false when the run must give up instead.
    bool WaitAfterFailure();
    void Recovered() { failures_ = 0; }
    bool Stopped() const { return hooks_.stopped && hooks_.stopped(); }

    ReconnectSchedule schedule_;
    RecoveryHooks hooks_;
    int failures_ = 0;  // in a row, in the current outage
    std::chrono::steady_clock::time_point outageStart_;
    bool gaveUp_ = false;
};

}  // namespace vantrel
