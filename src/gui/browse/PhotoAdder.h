#pragma once
// What the selection page needs of the album list to add photos: the window implements it
// over its album list and photo intake.

#include <QString>
#include <QStringList>

namespace vantrel::gui {

class PhotoAdder {
public:
    virtual ~PhotoAdder() = default;
    // The albums' names, in album order.
    virtual QStringList AlbumNames() const = 0;
    // The album list's current album, -1 when none is current.
    virtual int CurrentAlbumIndex() const = 0;
    // The window's DefaultAlbumIndex: -1 while there is no album.
    virtual int DefaultAlbumIndex() const = 0;
    // Adds the album named after today's date, makes it the default and the current album and
    // returns its index (-1 when it could not be added).
    virtual int AddDefaultAlbum() = 0;
    // Photo intake of one file into the album at `albumIndex` (negative with no album: today's
    // album is made first). The intake tells the user itself when the photo is refused.
    // True when the photo was queued.
    virtual bool AddPhotoToAlbum(int albumIndex, const QString& path) = 0;
    // Photos queued in all albums, as the transfer summary counted them last.
    virtual int QueuedPhotoCount() const = 0;
    virtual void SaveTransferList() = 0;
};

}  // namespace vantrel::gui
