#include "gui/browse/AlbumsPhotoAdder.h"

#include "core/albums/TransferQueue.h"

namespace vantrel::gui {

QStringList AlbumsPhotoAdder::AlbumNames() const {
    QStringList names;
    const TAlbumList& list = queue_.Albums();
    for (int i = 0; i < list.Count(); ++i) names.append(QString::fromStdString(list.Items(i).AlbumName()));
    return names;
}

int AlbumsPhotoAdder::CurrentAlbumIndex() const { return queue_.Albums().CurrentIndex(); }

int AlbumsPhotoAdder::DefaultAlbumIndex() const { return queue_.Albums().DefaultAlbumIndex; }

int AlbumsPhotoAdder::AddDefaultAlbum() {
    TAlbum* album = queue_.DefaultAlbum();
    return album ? queue_.Albums().IndexOfAlbum(album) : -1;
}

bool AlbumsPhotoAdder::AddPhotoToAlbum(int albumIndex, const QString& path) {
    return queue_.Intake().AddPhotoToAlbum(albumIndex, path.toStdString());
}

int AlbumsPhotoAdder::QueuedPhotoCount() const { return queue_.QueuedCount(); }

void AlbumsPhotoAdder::SaveTransferList() {
    // A failed save is told by the queue itself (its OnSaveFailed).
    queue_.Save();
}

}  // namespace vantrel::gui
