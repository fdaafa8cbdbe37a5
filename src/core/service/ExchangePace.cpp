#include "core/service/ExchangePace.h"

namespace vantrel {

ExchangePace::ExchangePace(const NetworkTimeouts& timeouts, std::string who,
                           std::optional<std::chrono::milliseconds> deadline, Clock::time_point start)
    : window_(timeouts.lowSpeedWindow), deadline_(deadline), who_(std::move(who)), start_(start),
      windowStart_(start) {}

std::optional<std::string> ExchangePace::Check(Clock::time_point now) {
    if (deadline_ && now - start_ >= *deadline_) return "no complete answer within " + DescribeDuration(*deadline_);
    if (now - windowStart_ < window_) return std::nullopt;
    if (movedInWindow_ < kLowSpeedBytes)
        return who_ + " under " + std::to_string(kLowSpeedBytes / 1024) + " KB in " + DescribeSeconds(window_);
    windowStart_ = now;
    movedInWindow_ = 0;
    return std::nullopt;
}

}  // namespace vantrel
