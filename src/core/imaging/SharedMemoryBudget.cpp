#include "core/imaging/SharedMemoryBudget.h"

#include <algorithm>

namespace vantrel {

SharedMemoryBudget::Share::~Share() {
    if (budget_ != nullptr) budget_->Give(bytes_);
}

SharedMemoryBudget::Share SharedMemoryBudget::Take(std::uint64_t bytes) {
    bytes = Bounded(bytes);
    std::unique_lock lock(mutex_);
    returned_.wait(lock, [&] { return free_ >= bytes; });
    free_ -= bytes;
    peak_ = std::max(peak_, total_ - free_);
    return Share(this, bytes);
}

std::optional<SharedMemoryBudget::Share> SharedMemoryBudget::TryTake(std::uint64_t bytes) {
    bytes = Bounded(bytes);
    std::lock_guard lock(mutex_);
    if (free_ < bytes) return std::nullopt;
    free_ -= bytes;
    peak_ = std::max(peak_, total_ - free_);
    return Share(this, bytes);
}

std::uint64_t SharedMemoryBudget::Free() const {
    std::lock_guard lock(mutex_);
    return free_;
}

std::uint64_t SharedMemoryBudget::Peak() const {
    std::lock_guard lock(mutex_);
    return peak_;
}

void SharedMemoryBudget::Give(std::uint64_t bytes) {
    {
        std::lock_guard lock(mutex_);
        free_ += bytes;
    }
    returned_.notify_all();
}

}  // namespace vantrel
