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

TPackagePreparer::TPackagePreparer(const TUploadImaging& imaging, TPhotoRequest request,
                                   std::array<TCopyFiles, 2> slots)
    : imaging_(imaging), request_(std::move(request)), slots_(std::move(slots)) {}

TPackagePreparer::~TPackagePreparer() {
    if (pending_.valid()) pending_.wait();
}

void TPackagePreparer::Start(const std::string& workPath) {
    if (pending_.valid()) pending_.wait();  // the workspace serves one preparation at a time
    TPhotoRequest request = request_;
    request.workPath = workPath;
    request.scaledPath = slots_[nextSlot_].scaledPath;
    request.thumbPath = slots_[nextSlot_].thumbPath;
    nextSlot_ = 1 - nextSlot_;
    pendingPath_ = workPath;
    pending_ = std::async(std::launch::async,
                          [this, request = std::move(request)] { return imaging_.prepare(workspace_, request); });
}

void TPackagePreparer::Prefetch(const std::string& workPath) { Start(workPath); }

std::optional<TPreparedPhoto> TPackagePreparer::Take(const std::string& workPath, const std::function<void()>& pump,
                                                     const std::function<bool()>& stopped) {
    if (!pending_.valid() || pendingPath_ != workPath) Start(workPath);
    while (pending_.wait_for(std::chrono::milliseconds(20)) != std::future_status::ready) {
        if (pump) pump();
        if (stopped && stopped()) return std::nullopt;
    }
    return pending_.get();
}

std::unique_ptr<TPackagePreparer> MakePreparer(const TTransferConfig& config, std::vector<std::string>& temporaryFiles) {
    std::array<TCopyFiles, 2> slots{TCopyFiles{temporaryFiles.at(0), temporaryFiles.at(1)}, TCopyFiles{}};
    for (std::string* path : {&slots[1].scaledPath, &slots[1].thumbPath}) {
        auto made = MakeTempFileName(config.workFolder, "jpg");
        if (!made) throw TFileWriteError(made.error());
        temporaryFiles.push_back(*made);
        *path = *made;
    }
    TPhotoRequest request;
    request.rejectedErrors = config.settings.rejected_errors;
    request.scaledSize = config.settings.size_scaled;
    request.thumbSize = config.settings.size_thumbnail;
    return std::make_unique<TPackagePreparer>(config.imaging, std::move(request), std::move(slots));
}

void PrefetchNext(TPackagePreparer& preparer, const TAlbum& album, int index, const TRemoteSettings& settings) {
    for (int k = std::min(index, album.Jobs().Count()) - 1; k >= 0; --k) {
        const TImageJob& job = album.Jobs().Items(k);
        if (!IsPhotoSizeAccepted(job.PhotoSize, settings)) continue;
        preparer.Prefetch(job.WorkPath);
        return;
    }
}

void PrefetchFirst(TPackagePreparer& preparer, const TAlbumList& albums, const TRemoteSettings& settings) {
    for (int i = 0; i < albums.Count(); ++i) {
        const TAlbum& album = albums.Items(i);
        for (int k = album.Jobs().Count() - 1; k >= 0; --k) {
            if (!IsPhotoSizeAccepted(album.Jobs().Items(k).PhotoSize, settings)) continue;
            preparer.Prefetch(album.Jobs().Items(k).WorkPath);
            return;
        }
    }
}

}  // namespace vantrel
