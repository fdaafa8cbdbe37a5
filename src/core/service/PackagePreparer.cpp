#include "core/service/PackagePreparer.h"

#include <algorithm>
#include <chrono>

#include "core/albums/TAlbum.h"
#include "core/albums/TAlbumList.h"
#include "core/albums/TImageJob.h"
#include "core/service/TransferRun.h"
#include "core/service/UploadNames.h"
#include "core/service/UploadPackage.h"

namespace vantrel {

namespace {

// Photos prepared at once in a run: two workers keep both cores busy while the network waits.
constexpr int kRunDepth = 2;

}  // namespace

PackagePreparer::PackagePreparer(const UploadImaging& imaging, PhotoRequest request,
                                 std::vector<CopyFiles> slots, std::uint64_t budgetBytes, int sending)
    : imaging_(imaging), request_(std::move(request)), budget_(budgetBytes), slots_(std::move(slots)),
      sending_(std::max(sending, 1)) {
    const int depth = std::max(static_cast<int>(slots_.size()) - sending_, 1);
    for (int i = 0; i < depth; ++i) {
        workspaces_.push_back(std::make_unique<ImageWorkspace>());
        workspaces_.back()->sharedBudget = &budget_;
    }
}

PackagePreparer::~PackagePreparer() {
    for (Job& job : pending_) job.result.wait();
}

void PackagePreparer::Start(const std::string& workPath) {
    auto used = [&](auto member, int value) {
        return std::any_of(pending_.begin(), pending_.end(), [&](const Job& job) { return job.*member == value; });
    };
    int slot = 0;
    while (std::find(taken_.begin(), taken_.end(), slot) != taken_.end() || used(&Job::slot, slot)) ++slot;
    int workspace = 0;
    while (used(&Job::workspace, workspace)) ++workspace;
    PhotoRequest request = request_;
    request.workPath = workPath;
    request.scaledPath = slots_[slot].scaledPath;
    request.thumbPath = slots_[slot].thumbPath;
    ImageWorkspace& ws = *workspaces_[workspace];
    pending_.push_back({workPath, slot, workspace,
                        std::async(std::launch::async, [this, &ws, request = std::move(request)] {
                            return imaging_.prepare(ws, request);
                        })});
}

void PackagePreparer::Prefetch(const std::string& workPath) {
    if (static_cast<int>(pending_.size()) >= Depth()) return;
    if (std::any_of(pending_.begin(), pending_.end(), [&](const Job& job) { return job.path == workPath; })) return;
    Start(workPath);
}

std::optional<PreparedPhoto> PackagePreparer::Take(const std::string& workPath, const std::function<void()>& pump,
                                                   const std::function<bool()>& stopped) {
    // The photo taken now no longer needs the copies of the one taken `sending` photos before.
    if (static_cast<int>(taken_.size()) >= sending_) taken_.pop_front();
    auto found = std::find_if(pending_.begin(), pending_.end(), [&](const Job& job) { return job.path == workPath; });
    // Preparations of photos the walk passed by are of no use: their workers end, dropped.
    while (!pending_.empty() && &pending_.front() != (found == pending_.end() ? nullptr : &*found)) {
        pending_.front().result.wait();
        pending_.pop_front();
        found = std::find_if(pending_.begin(), pending_.end(), [&](const Job& job) { return job.path == workPath; });
    }
    if (pending_.empty()) Start(workPath);
    Job& job = pending_.front();
    while (job.result.wait_for(std::chrono::milliseconds(20)) != std::future_status::ready) {
        if (pump) pump();
        if (stopped && stopped()) return std::nullopt;
    }
    PreparedPhoto prepared = job.result.get();
    taken_.push_back(job.slot);
    pending_.pop_front();
    return prepared;
}

void PackagePreparer::Release(const std::string& scaledPath) {
    std::erase_if(taken_, [&](int slot) { return slots_[static_cast<std::size_t>(slot)].scaledPath == scaledPath; });
}

std::unique_ptr<PackagePreparer> MakePreparer(const TransferConfig& config, std::vector<std::string>& temporaryFiles,
                                              int sessions) {
    std::vector<CopyFiles> slots{CopyFiles{temporaryFiles.at(0), temporaryFiles.at(1)}};
    for (int i = 1; i < sessions + kRunDepth; ++i) {
        CopyFiles files;
        for (std::string* path : {&files.scaledPath, &files.thumbPath}) {
            auto made = MakeTempFileName(config.workFolder, "jpg");
            if (!made) throw FileWriteError(made.error());
            temporaryFiles.push_back(*made);
            *path = *made;
        }
        slots.push_back(files);
    }
    PhotoRequest request;
    request.rejectedErrors = config.settings.rejected_errors;
    request.scaledSize = config.settings.size_scaled;
    request.thumbSize = config.settings.size_thumbnail;
    return std::make_unique<PackagePreparer>(config.imaging, std::move(request), std::move(slots),
                                             DecodeMemoryBudget(), sessions);
}

void PrefetchNext(PackagePreparer& preparer, const TAlbum& album, int index, const TRemoteSettings& settings) {
    int started = 0;
    for (int k = std::min(index, album.Jobs().Count()) - 1; k >= 0 && started < preparer.Depth(); --k) {
        const TImageJob& job = album.Jobs().Items(k);
        if (!IsPhotoSizeAccepted(job.PhotoSize, settings)) continue;
        preparer.Prefetch(job.WorkPath);
        ++started;
    }
}

void PrefetchFirst(PackagePreparer& preparer, const TAlbumList& albums, const TRemoteSettings& settings) {
    int started = 0;
    for (int i = 0; i < albums.Count() && started < preparer.Depth(); ++i) {
        const TAlbum& album = albums.Items(i);
        for (int k = album.Jobs().Count() - 1; k >= 0 && started < preparer.Depth(); --k) {
            if (!IsPhotoSizeAccepted(album.Jobs().Items(k).PhotoSize, settings)) continue;
            preparer.Prefetch(album.Jobs().Items(k).WorkPath);
            ++started;
        }
    }
}

}  // namespace vantrel
