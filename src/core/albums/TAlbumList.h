#pragma once
// The transfer list: the albums in their order, the current album and the content list
// that shows its photos. The model reaches the window only through the content-list
// interface, the panel observer, and the notifications below.

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/albums/AlbumNames.h"
#include "core/albums/TAlbum.h"
#include "core/albums/AlbumListView.h"
#include "core/albums/AlbumContentView.h"
#include "core/albums/UserMessage.h"

namespace vantrel {

enum class NameEditOutcome {
    Accepted,   // the name is unique and short enough; albums re-sorted
    TooLong,    // cut to 64 characters; AlbumNameTooLong shown; the field stays in edit
    Duplicate,  // another album has this name; BadAlbumName shown; the field stays in edit
};

class TAlbumList {
public:
    // `systemMonths` are the month names of the system's default locale, used to recognise
    // date-named albums. `contentView` must outlive the list.
    TAlbumList(AlbumContentView& contentView, MonthNames systemMonths);
    ~TAlbumList();
    TAlbumList(const TAlbumList&) = delete;
    TAlbumList& operator=(const TAlbumList&) = delete;

    int Count() const { return static_cast<int>(albums_.size()); }
    // The album at `index` (0 <= index < Count()).
    TAlbum& Items(int index) { return *albums_.at(static_cast<std::size_t>(index)); }
    const TAlbum& Items(int index) const { return *albums_.at(static_cast<std::size_t>(index)); }
    int CurrentIndex() const { return currentIndex_; }
    // The current album, or null.
    TAlbum* CurrentAlbum() { return currentIndex_ >= 0 ? albums_[static_cast<std::size_t>(currentIndex_)].get() : nullptr; }
    AlbumContentView& ContentView() { return contentView_; }
    const MonthNames& SystemMonths() const { return systemMonths_; }

    // Creates an album named CleanAlbumName(name) (BadAlbumChars shown when cleaned), sorts the
    // list and sends OnAlbumsChanged. Returns its index after sorting, or -1 with BadAlbumName
    // when an album already has exactly `name` (tested before cleaning). The album is not made current.
    int AddAlbum(std::string_view name, int kind = 0);
    // For each of `names`, the album it names: the first album whose name is exactly that
    // name, else a new album of kind 0 made as AddAlbum makes it (an earlier name of the batch
    // counts as existing). Sorts and notifies once for the whole batch, so that a list of many
    // albums loads in linear time. Null where no album could be made.
    std::vector<TAlbum*> FindOrAddAlbums(const std::vector<std::string>& names);
    // Deletes the album at `index` with its photos and their working copies. When it was current,
    // the first remaining album becomes current (none when the list is empty). Sends
    // OnAlbumsChanged, then OnContentChanged(nullptr). An index outside the list does nothing.
    void DeleteAlbum(int index);
    // Makes the album at `index` current, fills the content list with its photos and sends
    // OnAlbumsChanged. An index outside the list leaves no album current (CurrentIndex -1),
    // keeps the content list and sends nothing.
    void SelectAlbum(int index);
    // First album whose name equals `name` exactly (case-sensitive), or -1.
    int IndexOfName(std::string_view name) const;
    int IndexOfAlbum(const TAlbum* album) const;
    // Sorts with CompareAlbums, re-stacks the panels and updates CurrentIndex.
    void SortAlbums();

    // The user finished editing `album`'s name with `text`. Unique: the text is cleaned
    // (BadAlbumChars), and when at most 64 characters the albums are sorted; else it is cut to
    // 64 (AlbumNameTooLong); the album takes the resulting text. Not unique: BadAlbumName, and
    // the album keeps its former name (its field still shows the refused text while the user
    // corrects it). OnAlbumsChanged is sent when the album took a new name; nothing is saved.
    NameEditOutcome EndNameEdit(TAlbum& album, std::string_view text);
    // The add-album command after its input box: a name over 64 characters is refused with
    // AlbumNameTooLong, an empty one silently; otherwise AddAlbum, and when the list then holds
    // one album it becomes current and DefaultAlbumIndex 0. Returns the index or -1.
    int AddAlbumFromUser(std::string_view name);
    // The delete-album command after its confirmation: deletes the current album; when no album
    // remains DefaultAlbumIndex becomes -1. Nothing when no album is current.
    void DeleteCurrentAlbum();
    // Moves the photos selected in the content list from the current album to `target` (a drag
    // onto another album's panel). Nothing when `target` is current or no album is.
    void MoveSelectedJobs(TAlbum& target);
    // Highlights `album` as the drop target, removing every other highlight; null removes all.
    void Highlight(TAlbum* album);
    void RemoveHighlight(TAlbum& album);

    // Album that takes photos when no album is current (the window's; the list itself never
    // moves it when sorting). -1 while no album exists.
    int DefaultAlbumIndex = -1;

    // After an album was added, deleted or made current.
    std::function<void(TAlbumList&)> OnAlbumsChanged;
    // After a photo was added to or removed from an album (that album), and after an album was
    // deleted (null). The window refreshes the transfer summary and saves the transfer list.
    std::function<void(TAlbum*)> OnContentChanged;
    // A message box to show (modal: the caller's loop goes on when it returns).
    std::function<void(const UserMessage&)> OnMessage;
    // The album panels; may be null. It is told of every album freed, the list's destruction
    // included, so it must outlive the list or be reset to null first.
    AlbumListView* AlbumView = nullptr;

    // Used by TAlbum to reach the view and the notifications.
    void NotifyContentChanged(TAlbum* album) {
        if (OnContentChanged) OnContentChanged(album);
    }
    void ShowMessage(UserMessage message) {
        if (OnMessage) OnMessage(message);
    }

private:
    void NotifyAlbumsChanged() {
        if (OnAlbumsChanged) OnAlbumsChanged(*this);
    }
    void SetCurrentFlag(TAlbum& album, bool current);
    void RecomputeCurrentIndex();

    AlbumContentView& contentView_;
    MonthNames systemMonths_;
    std::vector<std::unique_ptr<TAlbum>> albums_;
    int currentIndex_ = -1;
};

}  // namespace vantrel
