#pragma once
// Putting a user's photo into an album: a working copy in the work folder under a free name,
// its measurements, its tile and its caption. The user's own file is never changed.

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "core/albums/TAlbumList.h"
#include "core/albums/PhotoImaging.h"

namespace vantrel {

// What intake needs of the window; every hook may be empty.
struct IntakeHooks {
    // Caption of a photo's tile from the display settings (path, size, width, height).
    std::function<std::string(const std::string&, std::int64_t, int, int)> FormatCaption;
    // The window's busy state around a loop of `count` steps, and one step of its progress bar.
    std::function<void(int count)> BeginBusy;
    std::function<void()> StepProgress;
    std::function<void()> EndBusy;
    // Saves the transfer list (after files were dropped).
    std::function<void()> SaveTransferList;
    // Today's date, for the name of an album made when none exists; local today when empty.
    std::function<std::chrono::year_month_day()> Today;
    // Asked when a photo whose content is already queued is added again (with its file name);
    // false leaves it out. Without it such photos are queued again without a question.
    std::function<bool(const std::string& name)> ConfirmSameContent;
};

class PhotoIntake {
public:
    // `workFolder` is where working copies go (a trailing "/" is added when missing);
    // `userMonths` name the album of the day.
    PhotoIntake(TAlbumList& albums, PhotoImaging& imaging, std::string workFolder, MonthNames userMonths);

    IntakeHooks Hooks;

    // Queues `sourcePath` into the album at `albumIndex`; with a negative index and no album,
    // first creates today's album, makes it current and the default album. Returns true when queued.
    bool AddPhotoToAlbum(int albumIndex, const std::string& sourcePath);
    // The album that takes photos with no album named: the list's DefaultAlbumIndex, else
    // today's album (found by name, or created and made current when the list is empty), which
    // becomes the default. Null only when today's album cannot be created.
    TAlbum* DefaultAlbum();
    // Queues one photo into `album`. With `makeCopy` the working copy is written to `workPath`;
    // without it `workPath` must already hold it (restoring). Failures are shown through the
    // list's OnMessage: BadNoTransfer (cannot be decoded; no copy made) or BadPictErr (cannot be
    // opened, copied or written, or the tile refused; a copy written by this call is removed).
    // Returns true when queued.
    bool IntakePhoto(const std::string& sourcePath, const std::string& workPath, bool makeCopy, TAlbum& album);
    // A path in the work folder at which no file exists yet: the source's name, then
    // name_1.ext, name_2.ext and so on. Control characters of the name become "_".
    std::string MakeWorkingName(const std::string& sourcePath) const;
    // Queues the dropped files named ".jpg" or ".jpeg" (any case) into the current album (none
    // when no album is current), then saves the transfer list. Returns how many were queued.
    int DropFiles(const std::vector<std::string>& names);
    // One dropped file of those: queued into `album` (none when null) when it is a photo by its
    // name and not a folder. A window drives a drop one file per step with this. True when queued.
    bool DropFile(const std::string& name, TAlbum* album);

    const std::string& WorkFolder() const { return workFolder_; }
    // Photos already in the work folder that IntakePhoto will take next (PhotoImaging::LookAhead).
    void LookAhead(const std::vector<std::string>& workPaths) { imaging_.LookAhead(workPaths); }
    TAlbumList& Albums() { return albums_; }

private:
    TAlbumList& albums_;
    PhotoImaging& imaging_;
    std::string workFolder_;
    MonthNames userMonths_;
};

// The file name of a path, without its folder.
std::string FileNameOf(const std::string& path);

}  // namespace vantrel
