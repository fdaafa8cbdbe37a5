#include "gui/browse/ThumbListTiles.h"

#include <QEvent>
#include <QListWidget>
#include <QPixmap>
#include <QScrollBar>
#include <algorithm>

#include "core/imaging/Tiles.h"
#include "gui/kit/TileImages.h"

namespace vantrel::gui {
namespace {

// The memory the held tiles may take: some 1,300 tiles at a ratio of 1, 330 at 2.
constexpr std::size_t kPoolBytes = 48u * 1024 * 1024;

}  // namespace

ThumbListTiles::ThumbListTiles(QListWidget& list, RowRequest request)
    : QObject(&list), list_(list), request_(std::move(request)), tileSide_(SharpestTileSide()),
      ratio_(double(tileSide_) / kTileSize),
      capacity_(std::max<std::size_t>(kPoolBytes / (std::size_t(tileSide_) * tileSide_ * 4), 64)), pool_(capacity_) {
    QPixmap blank(tileSide_, tileSide_);
    blank.fill(Qt::transparent);
    blank.setDevicePixelRatio(ratio_);
    blank_ = QIcon(blank);
    timer_.setSingleShot(true);
    timer_.setInterval(0);
    connect(&timer_, &QTimer::timeout, this, &ThumbListTiles::Update);
    connect(list_.verticalScrollBar(), &QScrollBar::valueChanged, this, &ThumbListTiles::Schedule);
    list_.viewport()->installEventFilter(this);
}

bool ThumbListTiles::eventFilter(QObject* watched, QEvent* event) {
    if (watched == list_.viewport() && (event->type() == QEvent::Resize || event->type() == QEvent::Show)) Schedule();
    return QObject::eventFilter(watched, event);
}

void ThumbListTiles::Clear() {
    pool_.Clear();
    nearKnown_ = false;
    timer_.stop();
}

void ThumbListTiles::SetCapacity(std::size_t tiles) {
    capacity_ = std::max<std::size_t>(tiles, 1);
    Drop(pool_.SetCapacity(capacity_));
    Schedule();
}

void ThumbListTiles::Place(int row, const QImage& picture) {
    QListWidgetItem* item = list_.item(row);
    if (!nearKnown_) {
        near_ = NearRows();
        nearKnown_ = true;
    }
    const auto [first, last] = near_;
    if (item == nullptr || row < first || row >= last || picture.isNull()) return;
    QPixmap tile = QPixmap::fromImage(picture);
    tile.setDevicePixelRatio(ratio_);
    item->setIcon(QIcon(tile));
    Drop(pool_.Put(row, tile));
}

void ThumbListTiles::Drop(const std::vector<int>& rows) {
    for (int row : rows)
        if (QListWidgetItem* item = list_.item(row)) item->setIcon(blank_);
}

std::pair<int, int> ThumbListTiles::VisibleRows() const {
    const int count = list_.count();
    const int height = list_.viewport()->height();
    auto rectOf = [this](int row) { return list_.visualRect(list_.model()->index(row, 0)); };
    // Places grow row after row: the first row whose bottom is on screen, then the first one
    // below the screen.
    int low = 0, high = count;
    while (low < high) {
        const int mid = low + (high - low) / 2;
        if (rectOf(mid).bottom() < 0) low = mid + 1;
        else high = mid;
    }
    const int first = low;
    high = count;
    while (low < high) {
        const int mid = low + (high - low) / 2;
        if (rectOf(mid).top() <= height) low = mid + 1;
        else high = mid;
    }
    return {first, std::max(first, low)};
}

std::pair<int, int> ThumbListTiles::NearRows() const {
    // A screen above and one below come with the screen: a scroll by a page finds them ready.
    const auto [first, last] = VisibleRows();
    const int screen = std::max(last - first, 1);
    return {std::max(first - screen, 0), std::min(last + screen, list_.count())};
}

void ThumbListTiles::Update() {
    if (list_.count() == 0) return;
    near_ = NearRows();
    nearKnown_ = true;
    const auto [first, last] = near_;
    const auto [shownFirst, shownLast] = VisibleRows();
    // The rows near the screen always fit; those on screen are used last, so they go last.
    if (pool_.Capacity() < std::size_t(last - first)) pool_.SetCapacity(std::size_t(last - first));
    else if (capacity_ >= std::size_t(last - first)) Drop(pool_.SetCapacity(capacity_));
    // The screen's rows are decoded first, then the missing ones near it.
    std::vector<std::size_t> missing;
    for (int row = first; row < last; ++row) {
        if (pool_.Holds(row)) {
            if (row >= shownFirst && row < shownLast) pool_.Touch(row);
        } else {
            missing.push_back(std::size_t(row));
        }
    }
    if (request_) request_(std::size_t(shownFirst), std::size_t(shownLast), missing);
}

}  // namespace vantrel::gui
