#pragma once
// A decode budget that several decodes at work at once draw from, so that together they stay
// within it: each takes a share for what it will hold, waiting while the others hold too much,
// and gives it back when done. The transfer run's workers prepare two photos at once this way.

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>

#include "core/imaging/JpegMemoryBudget.h"

namespace vantrel {

class SharedMemoryBudget {
public:
    explicit SharedMemoryBudget(std::uint64_t total = DecodeMemoryBudget()) : total_(total), free_(total) {}
    SharedMemoryBudget(const SharedMemoryBudget&) = delete;
    SharedMemoryBudget& operator=(const SharedMemoryBudget&) = delete;

    // Bytes held until the share goes.
    class Share {
    public:
        Share(Share&& other) noexcept : budget_(other.budget_), bytes_(other.bytes_) { other.budget_ = nullptr; }
        Share& operator=(Share&&) = delete;
        Share(const Share&) = delete;
        Share& operator=(const Share&) = delete;
        ~Share();
        std::uint64_t Bytes() const { return bytes_; }

    private:
        friend class SharedMemoryBudget;
        Share(SharedMemoryBudget* budget, std::uint64_t bytes) : budget_(budget), bytes_(bytes) {}
        SharedMemoryBudget* budget_;
        std::uint64_t bytes_;
    };

    // Takes `bytes`, or the whole budget when they are more, once they are free: meanwhile it
    // waits for other shares to come back. Every share is held for one decode and its copies,
    // which end, so the wait ends.
    Share Take(std::uint64_t bytes);
    // The same without waiting: nothing when the bytes are not free now.
    std::optional<Share> TryTake(std::uint64_t bytes);

    std::uint64_t Total() const { return total_; }
    std::uint64_t Free() const;
    // The most ever held at once.
    std::uint64_t Peak() const;

private:
    void Give(std::uint64_t bytes);
    std::uint64_t Bounded(std::uint64_t bytes) const { return bytes < total_ ? bytes : total_; }

    const std::uint64_t total_;
    mutable std::mutex mutex_;
    std::condition_variable returned_;
    std::uint64_t free_;
    std::uint64_t peak_ = 0;
};

}  // namespace vantrel
