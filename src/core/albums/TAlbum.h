#pragma once
// One album: its name, its photos, and whether it is current or highlighted as a drop
// target. The album list owns it; the panel that shows it lives in the gui.

#include <cstdint>
#include <string>
#include <vector>

#include "core/albums/TJobList.h"

namespace vantrel {

class TAlbumList;

class TAlbum {
public:
    TAlbum(TAlbumList& owner, int kind, std::string name);
    TAlbum(const TAlbum&) = delete;
    TAlbum& operator=(const TAlbum&) = delete;

    TAlbumList& Owner() const { return *owner_; }
    int Kind() const { return kind_; }
    bool IsCurrent() const { return isCurrent_; }
    bool IsHighlighted() const { return isHighlighted_; }
    const TJobList& Jobs() const { return jobs_; }
    TJobList& Jobs() { return jobs_; }

    const std::string& AlbumName() const { return name_; }
    // Sets the name as it stands, without cleaning, checks or sorting (what the name field
    // holds while the user types); see TAlbumList::EndNameEdit for the checked change.
    void SetAlbumName(std::string name);

    // Appends a photo (the estimates are computed from `photoSize`), shows it in the content
    // list when this album is current, refreshes the count and sends the content notification.
    // Returns the photo's index in Jobs.
    int AddJob(const std::string& sourcePath, const std::string& workPath, std::int32_t imageIndex,
               std::int32_t photoSize, std::int32_t height, std::int32_t width, const std::string& fileName,
               const std::string& caption);
    // Removes the photo at `index` (nothing when outside Jobs): its item leaves the content list
    // when this album is current, its working copy is deleted when `deleteFile` (a failure is
    // ignored), then the count is refreshed and the content notification sent.
    void RemoveJob(int index, bool deleteFile);
    // First photo whose tile is `imageIndex`, or -1.
    int IndexOfImage(int imageIndex) const { return jobs_.IndexOfImage(imageIndex); }
    // The working copies of its photos, in the list's order.
    std::vector<std::string> WorkPaths() const;
    // When current: removes the photos whose items are selected in the content list, deleting
    // their working copies, then notifies once more. Does nothing when not current.
    void RemoveSelectedJobs();
    // When current: makes the item of the photo at `index` the only selected item.
    void SelectJobItem(int index);
    // Moves the photo at `index` to `target`: same working copy, tile and fields; the working
    // copy is not touched. Returns the photo's index in the target, or -1 when `index` is outside.
    int MoveJobTo(int index, TAlbum& target);
    // Sets the caption of the photo at `index`, and of its item when this album is current.
    void SetJobCaption(int index, const std::string& caption);

private:
    friend class TAlbumList;
    TAlbumList* owner_;
    int kind_;
    std::string name_;
    bool isCurrent_ = false;
    bool isHighlighted_ = false;
    TJobList jobs_;
};

}  // namespace vantrel
