#pragma once
// The list of the current album's photos: 96 x 96 tiles with captions, several selectable.
// Dragging tiles carries their tile indexes (a panel of another album takes them); files dragged
// from the file manager are handed on through filesDropped when the window takes drops.

#include <QListWidget>
#include <functional>
#include <optional>
#include <utility>

#include "core/albums/AlbumContentView.h"
#include "core/albums/PrintAdviceText.h"
#include "gui/kit/TileImages.h"

namespace vantrel::gui {

// The MIME type of tiles dragged out of the content list.
inline constexpr const char* kContentTilesMime = "application/x-vantrel-content-tiles";
// The item data role that holds an item's tile index.
inline constexpr int kContentImageIndexRole = Qt::UserRole + 1;

class ContentListWidget : public QListWidget {
    Q_OBJECT
public:
    explicit ContentListWidget(QWidget* parent = nullptr);
    // Whether a drop of files from outside is taken now (the window's busy and page rules).
    std::function<bool()> AcceptsFileDrops;

signals:
    void filesDropped(const QStringList& paths);

protected:
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
};

// The model's view of the content list: items carry their tile index, tiles come from the
// content image list. With PhotoSizeOf and AdviceText set, each item's tooltip gives the photo's
// print-size advice, and a photo too small for a good 10x15 print has a warning mark on its tile.
class ContentListView : public AlbumContentView {
public:
    ContentListView(QListWidget& list, const TileImageList& tiles) : list_(list), tiles_(tiles) {}

    // The pixel size of the queued photo with tile `imageIndex` (none when unknown).
    std::function<std::optional<std::pair<int, int>>(int imageIndex)> PhotoSizeOf;
    TextLookup AdviceText;

    int ItemCount() const override { return list_.count(); }
    int ItemImageIndex(int item) const override;
    bool ItemSelected(int item) const override { return list_.item(item)->isSelected(); }
    void Clear() override { list_.clear(); }
    void AddItem(int imageIndex, const std::string& caption) override;
    void DeleteItem(int item) override { delete list_.takeItem(item); }
    void SelectOnly(int item) override;
    void SetItemCaption(int item, const std::string& caption) override;
    // Shows the tile again after it changed in the image list.
    void RefreshTile(int imageIndex) override;

private:
    // The item's tile, marked when the photo is small, and its advice as tooltip.
    void ShowTileAndAdvice(QListWidgetItem& item, int imageIndex);

    QListWidget& list_;
    const TileImageList& tiles_;
};

}  // namespace vantrel::gui
