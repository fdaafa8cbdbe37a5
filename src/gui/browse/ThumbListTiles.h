#pragma once
// The pictures of the thumbnail list: a row shows its tile while it is on screen or near it,
// and lets it go (keeping its path and caption) once the bounded pool needs the room. The list's
// scrolling and size say which rows are near; those of them without a tile are asked for, the
// rows on screen before any other. Tiles are drawn at the screen's device pixel ratio.

#include <QIcon>
#include <QImage>
#include <QObject>
#include <QTimer>
#include <cstddef>
#include <functional>
#include <utility>
#include <vector>

#include "gui/browse/TilePool.h"

class QListWidget;

namespace vantrel::gui {

class ThumbListTiles : public QObject {
    Q_OBJECT
public:
    // Asks for the rows [first, last) near the screen, naming those of them that hold no tile.
    using RowRequest = std::function<void(std::size_t first, std::size_t last, const std::vector<std::size_t>& missing)>;

    ThumbListTiles(QListWidget& list, RowRequest request);

    // The side of a tile in device pixels (SharpestTileSide).
    int TileSide() const { return tileSide_; }
    // What a row shows without its tile: nothing, at the tile's size (so captions keep their place).
    const QIcon& Blank() const { return blank_; }
    // Every row was removed (a new listing): no tile is held.
    void Clear();
    // The decoded tile of `row`: shown when the row is near the screen, else let go at once.
    void Place(int row, const QImage& picture);
    // The tile `row` shows; a null pixmap while it holds none.
    QPixmap TileOf(int row) const { return pool_.Find(row); }
    std::size_t Held() const { return pool_.Count(); }
    // How many tiles may be held at most (at least the rows near the screen).
    void SetCapacity(std::size_t tiles);
    // Asks again for the rows near the screen, once the event loop is free.
    void Schedule() { timer_.start(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The rows on screen, [first, last), found from the items' places (rows go left to right,
    // then down).
    std::pair<int, int> VisibleRows() const;
    std::pair<int, int> NearRows() const;
    void Update();
    void Drop(const std::vector<int>& rows);

    QListWidget& list_;
    RowRequest request_;
    // The rows near the screen as the last update found them (the list's places change only
    // when it scrolls, changes size or gets new rows); first found when a tile comes before it.
    std::pair<int, int> near_{0, 0};
    bool nearKnown_ = false;
    int tileSide_;
    double ratio_;
    QIcon blank_;  // what a row without its tile shows: nothing, at the tile's size
    std::size_t capacity_;
    TilePool pool_;
    QTimer timer_;
};

}  // namespace vantrel::gui
