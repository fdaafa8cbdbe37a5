#pragma once
// The album side of the selection page over the window's album list and photo intake.

#include "gui/browse/PhotoAdder.h"

namespace vantrel::gui {

class AlbumsController;
class TMain_Dlog;

class AlbumsPhotoAdder : public PhotoAdder {
public:
    AlbumsPhotoAdder(TMain_Dlog& window, AlbumsController& albums) : window_(window), albums_(albums) {}

    QStringList AlbumNames() const override;
    int CurrentAlbumIndex() const override;
    int DefaultAlbumIndex() const override;
    int AddDefaultAlbum() override;
    bool AddPhotoToAlbum(int albumIndex, const QString& path) override;
    int QueuedPhotoCount() const override;
    void SaveTransferList() override;

private:
    TMain_Dlog& window_;
    AlbumsController& albums_;
};

}  // namespace vantrel::gui
