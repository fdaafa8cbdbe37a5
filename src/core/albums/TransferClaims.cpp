#include "core/albums/TransferClaims.h"

#include <algorithm>

namespace vantrel {

std::vector<TransferClaims::ClaimResult> TransferClaims::ClaimPhotos(const std::vector<std::string>& workPaths) {
    const std::lock_guard lock(mutex_);
    std::vector<ClaimResult> results;
    results.reserve(workPaths.size());
    for (const std::string& path : workPaths) {
        ClaimResult result;
        if (LeftOutLocked(path)) {
            result.claim = Claim::LeftOut;
        } else {
            claimed_.insert(path);
            if (auto rewrite = rewritten_.find(path); rewrite != rewritten_.end()) result.rewritten = rewrite->second;
        }
        results.push_back(result);
    }
    return results;
}

bool TransferClaims::LeftOut(const std::string& workPath) const {
    const std::lock_guard lock(mutex_);
    return LeftOutLocked(workPath);
}

void TransferClaims::Release(const std::vector<std::string>& workPaths) {
    const std::lock_guard lock(mutex_);
    for (const std::string& path : workPaths) claimed_.erase(path);
}

void TransferClaims::Reset() {
    const std::lock_guard lock(mutex_);
    claimed_.clear();
    withdrawn_.clear();
    rewritten_.clear();
    renamed_.clear();
    // Holds belong to the window (an open retouch): they outlive runs.
}

bool TransferClaims::LeftOutLocked(const std::string& path) const {
    return !claimed_.contains(path) && (withdrawn_.contains(path) || held_.contains(path));
}

bool TransferClaims::AnyClaimedLocked(const std::vector<std::string>& paths) const {
    return std::any_of(paths.begin(), paths.end(), [this](const std::string& path) { return claimed_.contains(path); });
}

bool TransferClaims::MayChange(const std::vector<std::string>& albumPaths) const {
    const std::lock_guard lock(mutex_);
    return !AnyClaimedLocked(albumPaths);
}

bool TransferClaims::Withdraw(const std::vector<std::string>& albumPaths, const std::vector<std::string>& removed) {
    const std::lock_guard lock(mutex_);
    if (AnyClaimedLocked(albumPaths) || AnyClaimedLocked(removed)) return false;
    withdrawn_.insert(removed.begin(), removed.end());
    return true;
}

bool TransferClaims::Hold(const std::vector<std::string>& albumPaths, const std::vector<std::string>& rewritten) {
    const std::lock_guard lock(mutex_);
    if (AnyClaimedLocked(albumPaths) || AnyClaimedLocked(rewritten)) return false;
    for (const std::string& path : rewritten) ++held_[path];
    return true;
}

void TransferClaims::Unhold(const std::vector<std::string>& rewritten) {
    const std::lock_guard lock(mutex_);
    for (const std::string& path : rewritten)
        if (auto hold = held_.find(path); hold != held_.end() && --hold->second <= 0) held_.erase(hold);
}

void TransferClaims::Renamed(const std::string& oldName, const std::string& newName) {
    const std::lock_guard lock(mutex_);
    bool known = false;
    for (auto& [atStart, now] : renamed_)
        if (now == oldName) now = newName, known = true;
    if (!known) renamed_[oldName] = newName;
}

std::string TransferClaims::CurrentName(const std::string& nameAtStart) const {
    const std::lock_guard lock(mutex_);
    const auto renamed = renamed_.find(nameAtStart);
    return renamed == renamed_.end() ? nameAtStart : renamed->second;
}

void TransferClaims::Rewritten(const std::string& workPath, PhotoMeasure measure) {
    const std::lock_guard lock(mutex_);
    rewritten_[workPath] = measure;
}

}  // namespace vantrel
