#include "core/albums/TAlbumList.h"

#include <algorithm>
#include <unordered_map>

namespace vantrel {

TAlbumList::TAlbumList(AlbumContentView& contentView, MonthNames systemMonths)
    : contentView_(contentView), systemMonths_(std::move(systemMonths)) {}

TAlbumList::~TAlbumList() {
    // Working copies stay on disk: they are the queue of the next run.
    if (AlbumView)
        for (auto& album : albums_) AlbumView->AlbumDestroying(*album);
}

int TAlbumList::AddAlbum(std::string_view name, int kind) {
    if (IndexOfName(name) >= 0) {
        ShowMessage({"BadAlbumName", {}});
        return -1;
    }
    CleanedName cleaned = CleanAlbumName(name);
    if (cleaned.changed) ShowMessage({"BadAlbumChars", {std::string(kForbiddenAlbumChars)}});
    auto album = std::make_unique<TAlbum>(*this, kind, std::move(cleaned.name));
    TAlbum* created = album.get();
    albums_.push_back(std::move(album));
    if (AlbumView) AlbumView->AlbumCreated(*created);
    SortAlbums();
    NotifyAlbumsChanged();
    return IndexOfAlbum(created);
}

std::vector<TAlbum*> TAlbumList::FindOrAddAlbums(const std::vector<std::string>& names) {
    std::unordered_map<std::string, TAlbum*> byName;
    for (auto it = albums_.rbegin(); it != albums_.rend(); ++it) byName[(*it)->AlbumName()] = it->get();
    std::vector<TAlbum*> found;
    found.reserve(names.size());
    bool added = false;
    for (const std::string& name : names) {
        if (auto known = byName.find(name); known != byName.end()) {
            found.push_back(known->second);
            continue;
        }
        CleanedName cleaned = CleanAlbumName(name);
        if (cleaned.changed) ShowMessage({"BadAlbumChars", {std::string(kForbiddenAlbumChars)}});
        // Two names that differ only in forbidden characters name one album once cleaned.
        if (auto same = byName.find(cleaned.name); same != byName.end()) {
            found.push_back(same->second);
            continue;
        }
        auto album = std::make_unique<TAlbum>(*this, 0, std::move(cleaned.name));
        TAlbum* created = album.get();
        albums_.push_back(std::move(album));
        if (AlbumView) AlbumView->AlbumCreated(*created);
        byName.try_emplace(created->AlbumName(), created);
        found.push_back(created);
        added = true;
    }
    if (added) {
        SortAlbums();
        NotifyAlbumsChanged();
    }
    return found;
}

void TAlbumList::DeleteAlbum(int index) {
    if (index < 0 || index >= Count()) return;
    TAlbum& album = Items(index);
    bool wasCurrent = album.IsCurrent();
    // Every photo goes with its working copy, whether or not the album is the one on show.
    for (int job = album.Jobs().Count() - 1; job >= 0; --job) album.RemoveJob(job, true);
    if (AlbumView) AlbumView->AlbumDestroying(album);
    albums_.erase(albums_.begin() + index);
    if (wasCurrent) {
        contentView_.Clear();
        SelectAlbum(Count() > 0 ? 0 : -1);
    } else {
        RecomputeCurrentIndex();
    }
    NotifyAlbumsChanged();
    NotifyContentChanged(nullptr);
}

void TAlbumList::SetCurrentFlag(TAlbum& album, bool current) {
    if (album.isCurrent_ == current) return;
    album.isCurrent_ = current;
    if (AlbumView) AlbumView->AlbumCurrentChanged(album);
}

void TAlbumList::SelectAlbum(int index) {
    for (auto& album : albums_) SetCurrentFlag(*album, false);
    if (index < 0 || index >= Count()) {
        currentIndex_ = -1;
        return;
    }
    currentIndex_ = index;
    TAlbum& album = Items(index);
    SetCurrentFlag(album, true);
    contentView_.Clear();
    for (int i = 0; i < album.Jobs().Count(); ++i) {
        const TImageJob& job = album.Jobs().Items(i);
        contentView_.AddItem(job.ImageIndex, job.Caption);
    }
    NotifyAlbumsChanged();
}

int TAlbumList::IndexOfName(std::string_view name) const {
    for (int i = 0; i < Count(); ++i)
        if (Items(i).AlbumName() == name) return i;
    return -1;
}

int TAlbumList::IndexOfAlbum(const TAlbum* album) const {
    for (int i = 0; i < Count(); ++i)
        if (albums_[static_cast<std::size_t>(i)].get() == album) return i;
    return -1;
}

void TAlbumList::RecomputeCurrentIndex() {
    currentIndex_ = -1;
    for (int i = 0; i < Count(); ++i)
        if (Items(i).IsCurrent()) currentIndex_ = i;
}

void TAlbumList::SortAlbums() {
    std::stable_sort(albums_.begin(), albums_.end(), [this](const auto& a, const auto& b) {
        return CompareAlbums(a->AlbumName(), b->AlbumName(), systemMonths_) < 0;
    });
    RecomputeCurrentIndex();
    if (AlbumView) AlbumView->AlbumsRestacked(*this);
}

NameEditOutcome TAlbumList::EndNameEdit(TAlbum& album, std::string_view text) {
    bool unique = true;
    for (auto& other : albums_)
        if (other.get() != &album && other->AlbumName() == text) unique = false;
    if (!unique) {
        // The album keeps its name until one is accepted: the field alone holds the refused text,
        // so a save meanwhile never writes two albums of one name.
        ShowMessage({"BadAlbumName", {}});
        return NameEditOutcome::Duplicate;
    }
    CleanedName cleaned = CleanAlbumName(text);
    album.SetAlbumName(cleaned.name);
    if (cleaned.changed) {
        if (AlbumView) AlbumView->AlbumNameChanged(album);
        ShowMessage({"BadAlbumChars", {std::string(kForbiddenAlbumChars)}});
    }
    if (CountChars(cleaned.name) <= kMaxAlbumNameChars) {
        SortAlbums();
        NotifyAlbumsChanged();
        return NameEditOutcome::Accepted;
    }
    album.SetAlbumName(CutToChars(cleaned.name, kMaxAlbumNameChars));
    if (AlbumView) AlbumView->AlbumNameChanged(album);
    NotifyAlbumsChanged();
    ShowMessage({"AlbumNameTooLong", {}});
    return NameEditOutcome::TooLong;
}

int TAlbumList::AddAlbumFromUser(std::string_view name) {
    if (CountChars(name) > kMaxAlbumNameChars) {
        ShowMessage({"AlbumNameTooLong", {}});
        return -1;
    }
    if (name.empty()) return -1;
    int index = AddAlbum(name, 0);
    if (index >= 0 && Count() == 1) {
        SelectAlbum(0);
        DefaultAlbumIndex = 0;
    }
    return index;
}

void TAlbumList::DeleteCurrentAlbum() {
    if (currentIndex_ < 0) return;
    DeleteAlbum(currentIndex_);
    if (Count() == 0) DefaultAlbumIndex = -1;
}

void TAlbumList::MoveSelectedJobs(TAlbum& target) {
    TAlbum* origin = CurrentAlbum();
    if (origin == nullptr || origin == &target) return;
    for (int item = contentView_.ItemCount() - 1; item >= 0; --item) {
        if (item >= contentView_.ItemCount() || !contentView_.ItemSelected(item)) continue;
        origin->MoveJobTo(origin->IndexOfImage(contentView_.ItemImageIndex(item)), target);
    }
}

void TAlbumList::Highlight(TAlbum* album) {
    for (auto& each : albums_) {
        bool on = each.get() == album;
        if (each->isHighlighted_ != on) {
            each->isHighlighted_ = on;
            if (AlbumView) AlbumView->AlbumHighlightChanged(*each);
        }
    }
}

void TAlbumList::RemoveHighlight(TAlbum& album) {
    if (!album.isHighlighted_) return;
    album.isHighlighted_ = false;
    if (AlbumView) AlbumView->AlbumHighlightChanged(album);
}

}  // namespace vantrel
