#pragma once
// The photos waiting to be sent: the album list, the intake that queues photos into it and the
// list file "Images.lst" that keeps it between runs. Every change of the albums or of their photos
// is written to the file at once and told to every listener. The window and vantrel-cli both
// work on one of these.

#include <cstdint>
#include <expected>
#include <functional>
#include <map>
#include <string>

#include "core/albums/TAlbumList.h"
#include "core/albums/PhotoIntake.h"
#include "core/albums/TransferClaims.h"
#include "core/albums/TransferListFile.h"

namespace vantrel {

enum class QueueChange {
    Albums,   // an album was added, deleted, renamed, re-sorted or made current
    Content,  // a photo was added, removed or rewritten (the album is given; null after a deletion)
};

class TransferQueue {
public:
    // `view` shows the current album's photos and `imaging` makes copies and tiles; both must
    // outlive the queue. The list file is "Images.lst" in `workFolder`.
    TransferQueue(AlbumContentView& view, PhotoImaging& imaging, const std::string& workFolder, MonthNames systemMonths,
                  MonthNames userMonths);
    ~TransferQueue();
    TransferQueue(const TransferQueue&) = delete;
    TransferQueue& operator=(const TransferQueue&) = delete;

    TAlbumList& Albums() { return albums_; }
    const TAlbumList& Albums() const { return albums_; }
    PhotoIntake& Intake() { return intake_; }
    const std::string& ListPath() const { return listPath_; }
    // What a run going on beside the window holds of the queue, and what the user changed meanwhile.
    TransferClaims& Claims() { return claims_; }
    // Whether the user may delete, move, turn or retouch photos of `album` now (no run holds it).
    bool MayChange(const TAlbum& album) const;

    using Listener = std::function<void(QueueChange, TAlbum*)>;
    // Adds a listener; the number it returns takes it off again.
    int Subscribe(Listener listener);
    void Unsubscribe(int subscription);

    // Restores the list file. Nothing is written while it loads: the caller saves once after,
    // so that a crash during the restore leaves the previous file as it was and the new file
    // names every copy the restore made. A file that cannot be used is moved aside (the problem
    // says where); when it cannot even be moved, the queue never writes the list in this session.
    std::expected<void, TransferListError> Load();
    // Writes the list now. Fails when the write fails (told to OnSaveFailed) or when the file must
    // not be overwritten (kept on purpose: not told).
    std::expected<void, std::string> Save();
    // False when the list file could be neither read nor moved aside: it is never overwritten.
    bool Writable() const { return writable_; }
    // A save after a change failed (the window shows it, the tool prints it).
    std::function<void(const std::string& error)> OnSaveFailed;

    int QueuedCount() const;
    std::int64_t QueuedBytes() const;
    // Whether a queued photo has the tile `imageIndex`.
    bool Holds(int imageIndex) const;
    // The album that takes photos when none is named (today's album when none exists).
    TAlbum* DefaultAlbum() { return intake_.DefaultAlbum(); }

    // The working copy of the photo at `jobIndex` of `album` was rewritten in place (turned or
    // retouched): its size is read again and its dimensions and caption follow; the content
    // list shows its tile anew.
    void PhotoRewritten(TAlbum& album, int jobIndex, int width, int height);
    // Every photo's caption made again (the caption settings changed).
    void ResetCaptions();
    // Deletes the working copies that the restore made of photos kept outside the work folder
    // (when the list naming them could not be written).
    void RemoveCopiesMadeByRestore();

private:
    void Notify(QueueChange change, TAlbum* album);
    std::string CaptionOf(const TImageJob& job) const;

    AlbumContentView& view_;
    PhotoImaging& imaging_;
    TAlbumList albums_;
    PhotoIntake intake_;
    TransferClaims claims_;
    std::string listPath_;
    std::map<int, Listener> listeners_;
    int nextSubscription_ = 0;
    bool loading_ = false;
    bool writable_ = true;
};

// Keeps a run going on away from photos of an album while the user rewrites them (one photo
// for a turn, the whole album for the retouch dialog): the run leaves them out until the hold
// ends. Held() is false when the run already holds the album; nothing may be rewritten then.
class RewriteHold {
public:
    // `rewritten`: the working copies to hold; empty: every photo of the album.
    RewriteHold(TransferQueue& queue, const TAlbum& album, std::vector<std::string> rewritten = {});
    ~RewriteHold();
    RewriteHold(const RewriteHold&) = delete;
    RewriteHold& operator=(const RewriteHold&) = delete;
    bool Held() const { return held_; }

private:
    TransferClaims& claims_;
    std::vector<std::string> paths_;
    bool held_;
};

}  // namespace vantrel
