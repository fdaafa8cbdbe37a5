#pragma once
// Ends a run that no longer gets anywhere: a server that takes the stores but never confirms a
// file, or never answers a call, would otherwise be tried photo after photo for hours. Every
// verified file starts the watch again, and so does the steady progress of a store; once it has
// run out, the run's waits end at once.

#include <chrono>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>

#include "core/service/NetworkTimeouts.h"

namespace vantrel {

class ProgressWatchdog {
public:
    using Clock = std::chrono::steady_clock;
    // Bytes that the server takes count as progress in steps of this size.
    static constexpr std::int64_t kBytesStep = 256 * 1024;

    // `now` is for tests; empty: the steady clock.
    explicit ProgressWatchdog(std::chrono::milliseconds limit, std::function<Clock::time_point()> now = {})
        : limit_(limit), now_(now ? std::move(now) : [] { return Clock::now(); }), last_(now_()) {}

    void Reset() {
        last_ = now_();
        trustBytes_ = true;
        bytes_ = 0;
    }
    // A file was verified: the watch starts again.
    void Verified() { Reset(); }
    // An attempt to store a file failed (a lost connection or a wrong checksum): until a file is
    // verified again, bytes taken no longer count, so that a server that takes everything and
    // confirms nothing is still given up.
    void AttemptFailed() { trustBytes_ = false; }
    // The server took `bytes` more of the file under way. On a slow link, or under the user's
    // rate limit, one large file may take longer than the limit: while its bytes keep going, the
    // run is getting somewhere.
    void BytesTaken(std::int64_t bytes) {
        if (!trustBytes_) return;
        bytes_ += bytes;
        if (bytes_ >= kBytesStep) last_ = now_(), bytes_ = 0;
    }
    bool Expired() const { return now_() - last_ >= limit_; }
    std::chrono::milliseconds Limit() const { return limit_; }

private:
    std::chrono::milliseconds limit_;
    std::function<Clock::time_point()> now_;
    Clock::time_point last_;
    bool trustBytes_ = true;
    std::int64_t bytes_ = 0;
};

// The run ended because nothing was verified within the watchdog's limit; a connection failure.
class NoProgressError : public std::runtime_error {
public:
    explicit NoProgressError(std::chrono::milliseconds limit)
        : std::runtime_error("the server confirmed no file for " + DescribeDuration(limit) + ": the run was given up") {}
};

}  // namespace vantrel
