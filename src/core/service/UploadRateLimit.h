#pragma once
// The user's limit on the upload rate, shared by every FTP session of a run: a token bucket that
// the sessions draw their blocks from. The rate may be changed at any time from another thread
// (the transfer panel); a change takes effect at the next block.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>

namespace vantrel {

class UploadRateLimit {
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    // `clock` is for tests; empty: the steady clock.
    explicit UploadRateLimit(Clock clock = {});

    // Bytes per second for all sessions together; 0 turns the limit off.
    void SetBytesPerSecond(std::int64_t rate);
    std::int64_t BytesPerSecond() const { return rate_.load(); }

    // Takes `bytes` from the bucket and says how long the caller must wait before sending them
    // (zero when the limit is off or the bucket holds them). Waits are owed in the order asked,
    // so several sessions share the rate fairly; a burst is at most a tenth of a second's bytes.
    std::chrono::milliseconds Reserve(std::int64_t bytes);

private:
    // Adds what `rate` earned since the last call (under the lock).
    void Refill(std::int64_t rate);

    Clock clock_;
    std::atomic<std::int64_t> rate_{0};
    std::mutex mutex_;
    double balance_ = 0;  // bytes that may go now; negative: owed by reservations already made
    std::chrono::steady_clock::time_point last_{};
    bool started_ = false;
};

}  // namespace vantrel
