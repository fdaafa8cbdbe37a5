#include "gui/retouch/RetouchPhotoList.h"

#include "core/albums/TAlbum.h"
#include "gui/kit/PageWidgets.h"
#include "gui/kit/TileImages.h"
#include "gui/kit/Utf8Text.h"

namespace vantrel::gui {

namespace {

constexpr int kImageIndexRole = Qt::UserRole + 1;

}  // namespace

RetouchPhotoList::RetouchPhotoList(QWidget* parent) : QListWidget(parent) {
    setObjectName("Current_View");
    setFixedWidth(170);
    setViewMode(QListView::IconMode);
    setFlow(QListView::TopToBottom);
    setWrapping(false);
    setMovement(QListView::Static);
    setResizeMode(QListView::Adjust);
    setIconSize(QSize(96, 96));
    setGridSize(QSize(150, 140));
    setWordWrap(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Cream, and the selection keeps its colour when the list loses the focus.
    setStyleSheet(
        "QListWidget { background: rgb(255,251,240); color: black; }"
        "QListWidget::item:selected { background: palette(highlight); color: palette(highlighted-text); }");
}

void RetouchPhotoList::Fill(const TAlbum& album, const TileImageList& tiles) {
    clear();
    for (int i = 0; i < album.Jobs().Count(); ++i) {
        const TImageJob& job = album.Jobs().Items(i);
        auto* item = new QListWidgetItem(QIcon(tiles.At(job.ImageIndex)), CaptionText(job.Caption));
        item->setData(kImageIndexRole, job.ImageIndex);
        item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
        addItem(item);
    }
}

int RetouchPhotoList::ImageIndexOf(const QListWidgetItem* item) { return item->data(kImageIndexRole).toInt(); }

void RetouchPhotoList::ShowPhoto(QListWidgetItem* item, const std::string& caption, const QPixmap& tile) {
    item->setText(CaptionText(caption));
    item->setIcon(QIcon(tile));
}

}  // namespace vantrel::gui
