#pragma once
// The queued photos that a run going on beside the window holds, and what the user did to the
// others meanwhile. The run sends from its own copy of the album list; it claims an album's
// photos before it prepares or sends any of them, and until the run lets them go the window may
// not delete, move, turn or retouch any photo of that album. A photo the user deleted, moved or is
// rewriting before the run reached it is left out of the run (it stays in the user's list); one
// the user rewrote is sent with its new measurements. Every member is safe to call from any thread.

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace vantrel {

// What a rewritten working copy measures now.
struct PhotoMeasure {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t bytes = 0;
};

class TransferClaims {
public:
    // The run's side.
    enum class Claim { Claimed, LeftOut };
    struct ClaimResult {
        Claim claim = Claim::Claimed;
        std::optional<PhotoMeasure> rewritten;  // the user rewrote it before the run claimed it
    };
    // Claims the photos at `workPaths` (one album's) at once; claiming one again changes nothing.
    std::vector<ClaimResult> ClaimPhotos(const std::vector<std::string>& workPaths);
    // Whether ClaimPhotos would leave the photo out now (it claims nothing).
    bool LeftOut(const std::string& workPath) const;
    // The run is done with these photos (sent, refused or left queued).
    void Release(const std::vector<std::string>& workPaths);
    // A new run starts, or the last one ended: nothing is claimed, left out or rewritten.
    void Reset();

    // The user's side. `albumPaths` are every photo of the album the change concerns; each call
    // refuses (false, nothing changed) when the run holds one of them.
    bool MayChange(const std::vector<std::string>& albumPaths) const;
    // `removed` (photos of that album) leave the user's list or move to another album.
    bool Withdraw(const std::vector<std::string>& albumPaths, const std::vector<std::string>& removed);
    // `rewritten` (photos of that album) are about to be rewritten (turned, retouched): the run
    // leaves them out until Unhold. Holds nest.
    bool Hold(const std::vector<std::string>& albumPaths, const std::vector<std::string>& rewritten);
    void Unhold(const std::vector<std::string>& rewritten);
    // A held photo was rewritten: the run sends it with these measurements.
    void Rewritten(const std::string& workPath, PhotoMeasure measure);
    // An album was renamed: the run sends it under its new name when it reaches it.
    void Renamed(const std::string& oldName, const std::string& newName);
    // The name now of the album the run's copy calls `nameAtStart`.
    std::string CurrentName(const std::string& nameAtStart) const;

private:
    bool AnyClaimedLocked(const std::vector<std::string>& paths) const;
    bool LeftOutLocked(const std::string& path) const;

    mutable std::mutex mutex_;
    std::set<std::string> claimed_;
    std::set<std::string> withdrawn_;
    std::map<std::string, int> held_;
    std::map<std::string, PhotoMeasure> rewritten_;
    std::map<std::string, std::string> renamed_;  // name at the run's start -> name now
};

}  // namespace vantrel
