#include "core/service/UploadRateLimit.h"

#include <algorithm>
#include <cmath>

namespace vantrel {

UploadRateLimit::UploadRateLimit(Clock clock)
    : clock_(clock ? std::move(clock) : Clock([] { return std::chrono::steady_clock::now(); })) {}

void UploadRateLimit::SetBytesPerSecond(std::int64_t rate) {
    std::lock_guard lock(mutex_);
    Refill(rate_.load());  // the time before the change is paid at the old rate
    rate_ = std::max<std::int64_t>(rate, 0);
}

void UploadRateLimit::Refill(std::int64_t rate) {
    const auto now = clock_();
    if (rate <= 0) {
        started_ = false;  // a limit set later starts from an empty bucket
        return;
    }
    if (!started_) {
        started_ = true;
        last_ = now;
        balance_ = 0;
    }
    const double elapsed = std::chrono::duration<double>(now - last_).count();
    last_ = now;
    balance_ = std::min(balance_ + elapsed * static_cast<double>(rate), static_cast<double>(rate) / 10);
}

std::chrono::milliseconds UploadRateLimit::Reserve(std::int64_t bytes) {
    std::lock_guard lock(mutex_);
    const std::int64_t rate = rate_.load();
    Refill(rate);
    if (rate <= 0) return std::chrono::milliseconds(0);
    balance_ -= static_cast<double>(bytes);
    if (balance_ >= 0) return std::chrono::milliseconds(0);
    return std::chrono::milliseconds(static_cast<std::int64_t>(std::ceil(-balance_ * 1000 / static_cast<double>(rate))));
}

}  // namespace vantrel
