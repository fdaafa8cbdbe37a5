#include "core/albums/TransferQueue.h"

#include <cstdio>

#include "core/albums/TAlbum.h"
#include "core/albums/AlbumContentView.h"

namespace vantrel {

TransferQueue::TransferQueue(AlbumContentView& view, PhotoImaging& imaging, const std::string& workFolder,
                             MonthNames systemMonths, MonthNames userMonths)
    : view_(view), imaging_(imaging), albums_(view, std::move(systemMonths)),
      intake_(albums_, imaging, workFolder, std::move(userMonths)),
      listPath_(intake_.WorkFolder() + std::string(kTransferListName)) {
    albums_.OnAlbumsChanged = [this](TAlbumList&) { Notify(QueueChange::Albums, nullptr); };
    albums_.OnContentChanged = [this](TAlbum* album) {
        if (!loading_) Save();
        Notify(QueueChange::Content, album);
    };
}

TransferQueue::~TransferQueue() {
    albums_.OnAlbumsChanged = nullptr;
    albums_.OnContentChanged = nullptr;
}

bool TransferQueue::MayChange(const TAlbum& album) const { return claims_.MayChange(album.WorkPaths()); }

RewriteHold::RewriteHold(TransferQueue& queue, const TAlbum& album, std::vector<std::string> rewritten)
    : claims_(queue.Claims()), paths_(rewritten.empty() ? album.WorkPaths() : std::move(rewritten)),
      held_(claims_.Hold(album.WorkPaths(), paths_)) {}

RewriteHold::~RewriteHold() {
    if (held_) claims_.Unhold(paths_);
}

int TransferQueue::Subscribe(Listener listener) {
    listeners_.emplace(nextSubscription_, std::move(listener));
    return nextSubscription_++;
}

void TransferQueue::Unsubscribe(int subscription) { listeners_.erase(subscription); }

void TransferQueue::Notify(QueueChange change, TAlbum* album) {
    // A listener may subscribe or unsubscribe while being told: walk a copy.
    const auto listeners = listeners_;
    for (const auto& [subscription, listener] : listeners) listener(change, album);
}

std::expected<void, TransferListError> TransferQueue::Load() {
    loading_ = true;
    auto loaded = LoadTransferList(albums_, intake_, listPath_);
    loading_ = false;
    // The unreadable file is kept, never overwritten: moved aside, or left alone when it cannot be.
    if (!loaded && loaded.error().keptAs.empty()) writable_ = false;
    Notify(QueueChange::Content, nullptr);
    return loaded;
}

std::expected<void, std::string> TransferQueue::Save() {
    if (!writable_) return std::unexpected("the list file " + listPath_ + " is kept as it was");
    if (loading_) return {};  // the file on disk still holds the whole list
    auto saved = SaveTransferList(albums_, listPath_);
    if (!saved && OnSaveFailed) OnSaveFailed(saved.error());
    return saved;
}

int TransferQueue::QueuedCount() const {
    int count = 0;
    for (int i = 0; i < albums_.Count(); ++i) count += albums_.Items(i).Jobs().Count();
    return count;
}

std::int64_t TransferQueue::QueuedBytes() const {
    std::int64_t bytes = 0;
    for (int a = 0; a < albums_.Count(); ++a) {
        const TJobList& jobs = albums_.Items(a).Jobs();
        for (int j = 0; j < jobs.Count(); ++j) bytes += jobs.Items(j).PhotoSize;
    }
    return bytes;
}

bool TransferQueue::Holds(int imageIndex) const {
    for (int i = 0; i < albums_.Count(); ++i)
        if (albums_.Items(i).IndexOfImage(imageIndex) >= 0) return true;
    return false;
}

std::string TransferQueue::CaptionOf(const TImageJob& job) const {
    const auto& format = intake_.Hooks.FormatCaption;
    return format ? format(job.WorkPath, job.PhotoSize, job.Width, job.Height) : std::string();
}

void TransferQueue::PhotoRewritten(TAlbum& album, int jobIndex, int width, int height) {
    if (jobIndex < 0 || jobIndex >= album.Jobs().Count()) return;
    TImageJob& job = album.Jobs().Items(jobIndex);
    job.SetPhotoSize(static_cast<std::int32_t>(imaging_.FileSizeOf(job.WorkPath)));
    job.Width = width;
    job.Height = height;
    claims_.Rewritten(job.WorkPath, {width, height, job.PhotoSize});  // a run that has not reached it sends it so
    album.SetJobCaption(jobIndex, CaptionOf(job));
    if (album.IsCurrent()) view_.RefreshTile(job.ImageIndex);
    Notify(QueueChange::Content, &album);
}

void TransferQueue::ResetCaptions() {
    for (int a = 0; a < albums_.Count(); ++a) {
        TAlbum& album = albums_.Items(a);
        for (int j = 0; j < album.Jobs().Count(); ++j) album.SetJobCaption(j, CaptionOf(album.Jobs().Items(j)));
    }
}

void TransferQueue::RemoveCopiesMadeByRestore() {
    for (int a = 0; a < albums_.Count(); ++a)
        for (int j = 0; j < albums_.Items(a).Jobs().Count(); ++j) {
            const TImageJob& job = albums_.Items(a).Jobs().Items(j);
            if (job.SourcePath != job.WorkPath) std::remove(job.WorkPath.c_str());
        }
}

}  // namespace vantrel
