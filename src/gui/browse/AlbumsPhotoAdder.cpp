#include "gui/browse/AlbumsPhotoAdder.h"

#include "core/albums/AlbumNames.h"
#include "gui/albums/AlbumsController.h"
#include "gui/app/MainWindow.h"

namespace vantrel::gui {

QStringList AlbumsPhotoAdder::AlbumNames() const {
    QStringList names;
    TAlbumList& list = albums_.Albums();
    for (int i = 0; i < list.Count(); ++i) names.append(QString::fromStdString(list.Items(i).AlbumName()));
    return names;
}

int AlbumsPhotoAdder::CurrentAlbumIndex() const { return albums_.Albums().CurrentIndex(); }

int AlbumsPhotoAdder::DefaultAlbumIndex() const { return albums_.Albums().DefaultAlbumIndex; }

int AlbumsPhotoAdder::AddDefaultAlbum() {
    TAlbumList& list = albums_.Albums();
    const int index = list.AddAlbum(DefaultAlbumName(window_.Locale().monthNames, LocalToday()));
    if (index < 0) return -1;
    list.DefaultAlbumIndex = index;
    list.SelectAlbum(index);
    return index;
}

bool AlbumsPhotoAdder::AddPhotoToAlbum(int albumIndex, const QString& path) {
    return albums_.Intake().AddPhotoToAlbum(albumIndex, path.toStdString());
}

int AlbumsPhotoAdder::QueuedPhotoCount() const {
    int total = 0;
    TAlbumList& list = albums_.Albums();
    for (int i = 0; i < list.Count(); ++i) total += list.Items(i).Jobs().Count();
    return total;
}

void AlbumsPhotoAdder::SaveTransferList() { albums_.SaveTransferList(); }

}  // namespace vantrel::gui
