#pragma once
// The photo list of the retouch dialog: the photos of one album in their order, as 96 x 96 tiles
// with their captions on a cream ground, one chosen at a time.

#include <QListWidget>

namespace vantrel {
class TAlbum;
}

namespace vantrel::gui {

class TileImageList;

class RetouchPhotoList : public QListWidget {
    Q_OBJECT
public:
    explicit RetouchPhotoList(QWidget* parent);

    // One item per photo of `album`, showing its tile from `tiles`; item i is the album's job i.
    void Fill(const TAlbum& album, const TileImageList& tiles);
    // The photo's identity (its tile index) shown by `item`.
    static int ImageIndexOf(const QListWidgetItem* item);
    // Shows the photo's caption and tile anew.
    static void ShowPhoto(QListWidgetItem* item, const std::string& caption, const QPixmap& tile);
};

}  // namespace vantrel::gui
