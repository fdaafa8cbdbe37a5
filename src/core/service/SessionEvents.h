#pragma once
// What the FTP sessions of a run tell the run from their threads: a session is ready or cannot be
// used, a file's bytes went out, an attempt at a file ended, a package starts again after a lost
// connection, a pause before reconnecting, a package is done. The run takes them on its own
// thread, where the album list and the window are touched.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <mutex>
#include <string>
#include <vector>

namespace vantrel {

// How a package handed to a session ended.
enum class PackageFate {
    Sent,         // all four files verified
    NotVerified,  // a file failed five times; the walk goes on
    CopyNotMade,  // a copy could not be made (the reason says why); the walk goes on
    EndsWalk,     // Stop, or an upload error: the walk ends, the run ends as stopped
    EndsRun,      // a write failure, a protocol error or an outage past the schedule: the run fails
};

struct SessionEvent {
    enum class Kind { Ready, Unusable, Bytes, AttemptEnd, Restart, Wait, Done };
    explicit SessionEvent(Kind kind, std::int64_t value = 0) : kind(kind), value(value) {}
    Kind kind;
    int session = 0;
    std::int64_t value = 0;    // Bytes: the file's bytes on their way so far; Wait: seconds left
    bool verified = false;     // AttemptEnd
    PackageFate fate = PackageFate::Sent;  // Done
    std::string reason;        // Done as CopyNotMade
    std::exception_ptr error;  // Done as EndsWalk or EndsRun
};

class SessionEventQueue {
public:
    // A Bytes event replaces the session's Bytes event still waiting at the back, so that a fast
    // link does not flood the run with reports it would only draw once.
    void Post(SessionEvent event) {
        {
            std::lock_guard lock(mutex_);
            if (event.kind == SessionEvent::Kind::Bytes && !events_.empty() &&
                events_.back().kind == SessionEvent::Kind::Bytes && events_.back().session == event.session)
                events_.back().value = event.value;
            else
                events_.push_back(std::move(event));
        }
        posted_.notify_one();
    }

    // Every event posted so far, waiting up to `wait` for the first one.
    std::vector<SessionEvent> Take(std::chrono::milliseconds wait) {
        std::unique_lock lock(mutex_);
        if (events_.empty() && wait.count() > 0) posted_.wait_for(lock, wait, [&] { return !events_.empty(); });
        std::vector<SessionEvent> taken(std::make_move_iterator(events_.begin()), std::make_move_iterator(events_.end()));
        events_.clear();
        return taken;
    }

private:
    std::mutex mutex_;
    std::condition_variable posted_;
    std::deque<SessionEvent> events_;
};

}  // namespace vantrel
