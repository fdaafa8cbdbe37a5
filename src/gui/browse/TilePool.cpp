#include "gui/browse/TilePool.h"

namespace vantrel::gui {

std::vector<int> TilePool::Put(int row, const QPixmap& tile) {
    if (auto it = tiles_.find(row); it != tiles_.end()) {
        it->second.tile = tile;
        uses_.splice(uses_.begin(), uses_, it->second.use);
        return {};
    }
    uses_.push_front(row);
    tiles_.emplace(row, Held{tile, uses_.begin()});
    return Shrink();
}

void TilePool::Touch(int row) {
    if (auto it = tiles_.find(row); it != tiles_.end()) uses_.splice(uses_.begin(), uses_, it->second.use);
}

QPixmap TilePool::Find(int row) const {
    const auto it = tiles_.find(row);
    return it == tiles_.end() ? QPixmap() : it->second.tile;
}

std::vector<int> TilePool::SetCapacity(std::size_t capacity) {
    capacity_ = capacity < 1 ? 1 : capacity;
    return Shrink();
}

void TilePool::Clear() {
    tiles_.clear();
    uses_.clear();
}

std::vector<int> TilePool::Shrink() {
    std::vector<int> dropped;
    while (tiles_.size() > capacity_) {
        const int row = uses_.back();
        uses_.pop_back();
        tiles_.erase(row);
        dropped.push_back(row);
    }
    return dropped;
}

}  // namespace vantrel::gui
