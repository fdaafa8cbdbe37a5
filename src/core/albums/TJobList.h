#pragma once
// The photos of one album in order of addition; the list owns them.

#include <memory>
#include <vector>

#include "core/albums/TImageJob.h"

namespace vantrel {

class TJobList {
public:
    TJobList() = default;
    TJobList(const TJobList&) = delete;
    TJobList& operator=(const TJobList&) = delete;

    int Count() const { return static_cast<int>(jobs_.size()); }
    // The photo at `index`; the index must be inside the list.
    TImageJob& Items(int index) { return *jobs_.at(static_cast<std::size_t>(index)); }
    const TImageJob& Items(int index) const { return *jobs_.at(static_cast<std::size_t>(index)); }

    // Appends a photo, taking ownership; returns its index.
    int Add(std::unique_ptr<TImageJob> job) {
        job->Owner = this;
        jobs_.push_back(std::move(job));
        return Count() - 1;
    }
    // Removes and frees the photo at `index`; an index outside the list does nothing.
    void Delete(int index) {
        if (index >= 0 && index < Count()) jobs_.erase(jobs_.begin() + index);
    }
    void Clear() { jobs_.clear(); }
    // First photo whose ImageIndex equals `imageIndex`, or -1.
    int IndexOfImage(int imageIndex) const {
        for (int i = 0; i < Count(); ++i)
            if (jobs_[static_cast<std::size_t>(i)]->ImageIndex == imageIndex) return i;
        return -1;
    }

private:
    std::vector<std::unique_ptr<TImageJob>> jobs_;
};

}  // namespace vantrel
