#include "gui/albums/ContentListWidget.h"
#include "gui/kit/LightPanel.h"
#include "gui/kit/Utf8Text.h"

#include <QDrag>
#include <QDragEnterEvent>
#include <QMimeData>
#include <QPainter>
#include <QPainterPath>

namespace vantrel::gui {

namespace {
constexpr int kImageIndexRole = kContentImageIndexRole;

QStringList LocalFiles(const QMimeData* data) {
    QStringList files;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile()) files << url.toLocalFile();
    return files;
}
// A warning triangle in the tile's bottom-right corner: the photo is small for a good print.
QPixmap MarkedAsSmall(const QPixmap& tile) {
    QPixmap marked = tile.isNull() ? QPixmap(96, 96) : tile;
    if (tile.isNull()) marked.fill(Qt::white);
    QPainter painter(&marked);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal side = 28, right = marked.width() / marked.devicePixelRatio() - 2,
                bottom = marked.height() / marked.devicePixelRatio() - 2;
    QPainterPath triangle;
    triangle.moveTo(right - side / 2, bottom - side * 0.87);
    triangle.lineTo(right, bottom);
    triangle.lineTo(right - side, bottom);
    triangle.closeSubpath();
    painter.setPen(QPen(QColor(120, 60, 0), 1.5));
    painter.setBrush(QColor(255, 190, 0));
    painter.drawPath(triangle);
    QFont bold = painter.font();
    bold.setBold(true);
    bold.setPixelSize(16);
    painter.setFont(bold);
    painter.setPen(Qt::black);
    painter.drawText(QRectF(right - side, bottom - side * 0.8, side, side * 0.8), Qt::AlignCenter, "!");
    return marked;
}
}  // namespace

ContentListWidget::ContentListWidget(QWidget* parent) : QListWidget(parent) {
    setViewMode(QListView::IconMode);
    setIconSize(QSize(96, 96));
    setGridSize(QSize(132, 150));
    setResizeMode(QListView::Adjust);
    setMovement(QListView::Static);
    setWordWrap(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragEnabled(true);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);  // drags arrive at the viewport, not at the list's frame
    setDropIndicatorShown(false);
    SetLightPanel(this, QColor(255, 255, 240), QPalette::Base);
}

void ContentListWidget::startDrag(Qt::DropActions) {
    QStringList indexes;
    for (QListWidgetItem* item : selectedItems()) indexes << QString::number(item->data(kImageIndexRole).toInt());
    if (indexes.isEmpty()) return;
    auto* data = new QMimeData;
    data->setData(kContentTilesMime, indexes.join(',').toLatin1());
    auto* drag = new QDrag(this);
    drag->setMimeData(data);
    if (QListWidgetItem* current = currentItem()) drag->setPixmap(current->icon().pixmap(48, 48));
    // Copy, never move: the album model moves the photos itself, the list only reflects it.
    drag->exec(Qt::CopyAction);
}

void ContentListWidget::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls() && (!AcceptsFileDrops || AcceptsFileDrops())) event->acceptProposedAction();
    else event->ignore();
}

void ContentListWidget::dragMoveEvent(QDragMoveEvent* event) {
    if (event->mimeData()->hasUrls() && (!AcceptsFileDrops || AcceptsFileDrops())) event->acceptProposedAction();
    else event->ignore();
}

void ContentListWidget::dropEvent(QDropEvent* event) {
    if (!event->mimeData()->hasUrls() || (AcceptsFileDrops && !AcceptsFileDrops())) {
        event->ignore();
        return;
    }
    const QStringList files = LocalFiles(event->mimeData());
    event->acceptProposedAction();
    if (!files.isEmpty()) emit filesDropped(files);
}

int ContentListView::ItemImageIndex(int item) const { return list_.item(item)->data(kImageIndexRole).toInt(); }

void ContentListView::ShowTileAndAdvice(QListWidgetItem& item, int imageIndex) {
    const auto size = PhotoSizeOf && AdviceText ? PhotoSizeOf(imageIndex) : std::nullopt;
    if (!size) {
        item.setIcon(QIcon(tiles_.At(imageIndex)));
        return;
    }
    const PrintSizeAdvice advice = AdvisePrintSize(size->first, size->second);
    item.setIcon(QIcon(advice.small ? MarkedAsSmall(tiles_.At(imageIndex)) : tiles_.At(imageIndex)));
    item.setToolTip(Q(PrintAdviceText(advice, AdviceText)));
}

void ContentListView::AddItem(int imageIndex, const std::string& caption) {
    auto* item = new QListWidgetItem(CaptionText(caption));
    item->setData(kImageIndexRole, imageIndex);
    item->setTextAlignment(Qt::AlignHCenter | Qt::AlignTop);
    ShowTileAndAdvice(*item, imageIndex);
    list_.addItem(item);
}

void ContentListView::SelectOnly(int item) {
    list_.clearSelection();
    if (QListWidgetItem* target = list_.item(item)) {
        target->setSelected(true);
        list_.setCurrentItem(target, QItemSelectionModel::NoUpdate);
    }
}

void ContentListView::SetItemCaption(int item, const std::string& caption) {
    if (QListWidgetItem* target = list_.item(item)) {
        target->setText(CaptionText(caption));
        // New captions follow a new size or new settings (the language among them).
        ShowTileAndAdvice(*target, target->data(kImageIndexRole).toInt());
    }
}

void ContentListView::RefreshTile(int imageIndex) {
    const int item = FindItem(imageIndex);
    if (item >= 0) ShowTileAndAdvice(*list_.item(item), imageIndex);
}

}  // namespace vantrel::gui
