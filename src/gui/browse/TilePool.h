#pragma once
// The tiles of the thumbnail list held in memory: those of the rows on screen and near it, at
// most a fixed number; when a tile more is kept, the one used longest ago is let go. The rows
// of a large folder hold only their path and caption, so a folder of any size takes little room.

#include <QPixmap>
#include <cstddef>
#include <list>
#include <unordered_map>
#include <vector>

namespace vantrel::gui {

class TilePool {
public:
    explicit TilePool(std::size_t capacity) : capacity_(capacity < 1 ? 1 : capacity) {}

    // Keeps the tile of `row` as the one used last; returns the rows whose tiles were let go to
    // stay within the capacity.
    std::vector<int> Put(int row, const QPixmap& tile);
    // Marks the tile of `row`, when held, as used now.
    void Touch(int row);
    // The tile held for `row`; a null pixmap when none is.
    QPixmap Find(int row) const;
    bool Holds(int row) const { return tiles_.contains(row); }
    std::size_t Count() const { return tiles_.size(); }
    std::size_t Capacity() const { return capacity_; }
    // A new capacity (at least 1); returns the rows let go to keep within it.
    std::vector<int> SetCapacity(std::size_t capacity);
    void Clear();

private:
    std::vector<int> Shrink();

    struct Held {
        QPixmap tile;
        std::list<int>::iterator use;
    };
    std::size_t capacity_;
    std::list<int> uses_;  // rows, the one used last first
    std::unordered_map<int, Held> tiles_;
};

}  // namespace vantrel::gui
