#pragma once
// Prepares the photos of a transfer run ahead: while the package of one photo is stored and
// verified, workers decode the next photos, make their copies and digests. The sets of
// temporary copy files are used in turn, so that the copies being sent are never overwritten.

#include <cstdint>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/imaging/ImageWorkspace.h"
#include "core/imaging/SharedMemoryBudget.h"
#include "core/service/PreparedPhoto.h"

namespace vantrel {

class TAlbum;
class TAlbumList;
struct TRemoteSettings;
struct TransferConfig;
struct UploadImaging;

struct CopyFiles {
    std::string scaledPath;
    std::string thumbPath;
};

class PackagePreparer {
public:
    // `imaging.prepare` must be set; `request` gives the list of refused codes and the copy
    // sizes (its paths are ignored). With n sets of copy files, up to `sending` photos taken
    // may be sent at once and up to n - `sending` (at least one) photos are prepared at once,
    // each on its own worker and workspace.
    // The preparations at once share one decode budget of `budgetBytes` (see SharedMemoryBudget.h).
    PackagePreparer(const UploadImaging& imaging, PhotoRequest request, std::vector<CopyFiles> slots,
                    std::uint64_t budgetBytes = DecodeMemoryBudget(), int sending = 1);
    // Waits for the workers, so that no file is written after the run deleted it.
    ~PackagePreparer();
    PackagePreparer(const PackagePreparer&) = delete;
    PackagePreparer& operator=(const PackagePreparer&) = delete;

    // The decode budget the preparations share.
    const SharedMemoryBudget& Budget() const { return budget_; }

    // How many photos may be under preparation at once.
    int Depth() const { return static_cast<int>(workspaces_.size()); }

    // Starts preparing the photo `workPath` on a worker, unless it is under way already or
    // every worker is busy. Call only after the photo last taken is no longer needed but for
    // its storing.
    void Prefetch(const std::string& workPath);

    // The preparation of `workPath`: the one started ahead when there is one (preparations
    // started before it are dropped), else one started now. `pump` runs every 20 ms while
    // waiting; nothing is returned once `stopped` says so (the workers finish in the
    // background and are waited for at destruction). Its copy files stay the photo's until it
    // is released, or until `sending` more photos were taken.
    std::optional<PreparedPhoto> Take(const std::string& workPath, const std::function<void()>& pump,
                                      const std::function<bool()>& stopped);
    // The photo taken with the copies at `scaledPath` no longer needs them: it was sent, or
    // will not be.
    void Release(const std::string& scaledPath);

private:
    struct Job {
        std::string path;
        int slot;
        int workspace;
        std::future<PreparedPhoto> result;
    };
    void Start(const std::string& workPath);

    const UploadImaging& imaging_;
    PhotoRequest request_;
    SharedMemoryBudget budget_;  // outlives the workspaces' use of it: the workers are waited for first
    std::vector<CopyFiles> slots_;
    int sending_;
    std::deque<int> taken_;  // the copies of the photos being sent, oldest first
    std::vector<std::unique_ptr<ImageWorkspace>> workspaces_;
    std::deque<Job> pending_;
};

// The preparer of a run that sends on `sessions` sessions at once: more temporary copy files are
// made in the work folder and added to `temporaryFiles` (which must hold the run's scaled,
// thumbnail and sidecar files, in that order). Throws FileWriteError when a file cannot be made.
std::unique_ptr<PackagePreparer> MakePreparer(const TransferConfig& config, std::vector<std::string>& temporaryFiles,
                                              int sessions);

// Starts preparing the photos the album walk sends after the one at `index` (the walk goes from
// the last photo to the first), skipping photos refused for their size.
void PrefetchNext(PackagePreparer& preparer, const TAlbum& album, int index, const TRemoteSettings& settings);
// Starts preparing the first photos the run sends, so that their decode overlaps the connection.
void PrefetchFirst(PackagePreparer& preparer, const TAlbumList& albums, const TRemoteSettings& settings);

}  // namespace vantrel
