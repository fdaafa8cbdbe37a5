#pragma once
// Watches one exchange on a connection for a peer that is alive but too slow to wait for: under
// kLowSpeedBytes moved in a window of NetworkTimeouts::lowSpeedWindow fails it, and so does a
// small answer that is not whole by NetworkTimeouts::answerDeadline. Both are network failures:
// the HTTP and FTP clients report them as they report a silent connection.

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>

#include "core/service/NetworkTimeouts.h"

namespace vantrel {

class ExchangePace {
public:
    using Clock = std::chrono::steady_clock;

    // `who` names the moving side in the message ("the server sent", "the FTP server took").
    // `deadline`: the whole answer must come within it; nothing: only the low-speed rule holds.
    ExchangePace(const NetworkTimeouts& timeouts, std::string who,
                 std::optional<std::chrono::milliseconds> deadline, Clock::time_point start = Clock::now());

    void Moved(std::size_t bytes) { movedInWindow_ += bytes; }

    // The failure's message once the exchange is too slow, else nothing. Starts a new window
    // when the current one is over and enough moved in it.
    std::optional<std::string> Check(Clock::time_point now = Clock::now());

private:
    std::chrono::milliseconds window_;
    std::optional<std::chrono::milliseconds> deadline_;
    std::string who_;
    Clock::time_point start_;
    Clock::time_point windowStart_;
    std::size_t movedInWindow_ = 0;
};

}  // namespace vantrel
