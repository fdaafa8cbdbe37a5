#pragma once
// The album side of the selection page over the transfer queue: its albums, its photo intake
// and its default album.

#include "gui/browse/PhotoAdder.h"

namespace vantrel {
class TransferQueue;
}

namespace vantrel::gui {

class AlbumsPhotoAdder : public PhotoAdder {
public:
    explicit AlbumsPhotoAdder(TransferQueue& queue) : queue_(queue) {}

    QStringList AlbumNames() const override;
    int CurrentAlbumIndex() const override;
    int DefaultAlbumIndex() const override;
    int AddDefaultAlbum() override;
    bool AddPhotoToAlbum(int albumIndex, const QString& path) override;
    int QueuedPhotoCount() const override;
    void SaveTransferList() override;

private:
    TransferQueue& queue_;
};

}  // namespace vantrel::gui
