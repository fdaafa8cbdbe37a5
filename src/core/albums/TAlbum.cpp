#include "core/albums/TAlbum.h"

#include <cstdio>

#include "core/albums/TAlbumList.h"

namespace vantrel {

TAlbum::TAlbum(TAlbumList& owner, int kind, std::string name) : owner_(&owner), kind_(kind), name_(std::move(name)) {}

std::vector<std::string> TAlbum::WorkPaths() const {
    std::vector<std::string> paths;
    paths.reserve(static_cast<std::size_t>(jobs_.Count()));
    for (int i = 0; i < jobs_.Count(); ++i) paths.push_back(jobs_.Items(i).WorkPath);
    return paths;
}

void TAlbum::SetAlbumName(std::string name) { name_ = std::move(name); }

int TAlbum::AddJob(const std::string& sourcePath, const std::string& workPath, std::int32_t imageIndex,
                   std::int32_t photoSize, std::int32_t height, std::int32_t width, const std::string& fileName,
                   const std::string& caption) {
    int index = jobs_.Add(std::make_unique<TImageJob>(&jobs_, sourcePath, workPath, caption, fileName, width, height,
                                                      photoSize, imageIndex));
    if (isCurrent_) owner_->ContentView().AddItem(imageIndex, caption);
    if (owner_->AlbumView) owner_->AlbumView->AlbumCountChanged(*this);
    owner_->NotifyContentChanged(this);
    return index;
}

void TAlbum::RemoveJob(int index, bool deleteFile) {
    if (index < 0 || index >= jobs_.Count()) return;
    const TImageJob& job = jobs_.Items(index);
    if (isCurrent_) {
        AlbumContentView& view = owner_->ContentView();
        int item = view.FindItem(job.ImageIndex);
        if (item >= 0) view.DeleteItem(item);
    }
    if (deleteFile) std::remove(job.WorkPath.c_str());  // a copy that cannot be deleted is left behind
    jobs_.Delete(index);
    if (owner_->AlbumView) owner_->AlbumView->AlbumCountChanged(*this);
    owner_->NotifyContentChanged(this);
}

void TAlbum::RemoveSelectedJobs() {
    if (!isCurrent_) return;
    AlbumContentView& view = owner_->ContentView();
    // From the last item to the first, so that removing an item does not move the ones still to visit.
    for (int item = view.ItemCount() - 1; item >= 0; --item) {
        if (item >= view.ItemCount() || !view.ItemSelected(item)) continue;
        RemoveJob(IndexOfImage(view.ItemImageIndex(item)), true);
    }
    owner_->NotifyContentChanged(this);
}

void TAlbum::SelectJobItem(int index) {
    if (!isCurrent_ || index < 0 || index >= jobs_.Count()) return;
    AlbumContentView& view = owner_->ContentView();
    int item = view.FindItem(jobs_.Items(index).ImageIndex);
    if (item >= 0) view.SelectOnly(item);
}

int TAlbum::MoveJobTo(int index, TAlbum& target) {
    if (index < 0 || index >= jobs_.Count() || &target == this) return -1;
    const TImageJob& job = jobs_.Items(index);
    int moved = target.AddJob(job.SourcePath, job.WorkPath, job.ImageIndex, job.PhotoSize, job.Height, job.Width,
                              job.FileName, job.Caption);
    RemoveJob(index, false);
    return moved;
}

void TAlbum::SetJobCaption(int index, const std::string& caption) {
    if (index < 0 || index >= jobs_.Count()) return;
    TImageJob& job = jobs_.Items(index);
    job.Caption = caption;
    if (isCurrent_) {
        AlbumContentView& view = owner_->ContentView();
        int item = view.FindItem(job.ImageIndex);
        if (item >= 0) view.SetItemCaption(item, caption);
    }
}

}  // namespace vantrel
