#include "core/browse/TileDecoderPool.h"

#include <chrono>

#include "core/browse/ThreadPriority.h"

namespace vantrel {

TileDecoderPool::TileDecoderPool(TileDecoderSetup setup) : setup_(std::move(setup)) {
    const int threads = setup_.threads < 1 ? 1 : setup_.threads;
    for (int i = 0; i < threads; ++i) threads_.emplace_back([this] { DecoderLoop(); });
}

TileDecoderPool::~TileDecoderPool() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        active_ = false;
    }
    work_.notify_all();
    ready_.notify_all();
    for (std::thread& t : threads_) t.join();
}

void TileDecoderPool::Start(std::vector<std::string> paths) {
    {
        std::lock_guard lock(mutex_);
        ++generation_;
        paths_ = std::move(paths);
        tiles_.assign(paths_.size(), std::nullopt);
        next_ = 0;
        taken_ = 0;
        active_ = true;
    }
    work_.notify_all();
}

void TileDecoderPool::Cancel() {
    {
        std::lock_guard lock(mutex_);
        ++generation_;
        active_ = false;
        tiles_.clear();
        paths_.clear();
    }
    ready_.notify_all();
}

std::vector<BrowserTile> TileDecoderPool::TakeReady(std::size_t index, const std::function<bool()>& abandon) {
    std::vector<BrowserTile> out;
    std::unique_lock lock(mutex_);
    const unsigned generation = generation_;
    while (true) {
        if (!active_ || generation != generation_ || index >= tiles_.size()) return out;
        if (tiles_[index]) break;
        ready_.wait_for(lock, std::chrono::milliseconds(20));
        if (abandon && abandon()) return out;
    }
    while (index < tiles_.size() && tiles_[index]) {
        out.push_back(std::move(*tiles_[index]));
        tiles_[index].reset();
        ++index;
    }
    taken_ = index;
    lock.unlock();
    work_.notify_all();
    return out;
}

void TileDecoderPool::DecoderLoop() {
    if (setup_.lowPriority) LowerThreadPriority();
    ImageWorkspace ws;
    ws.textPainter = setup_.painter;
    ws.badImageText = setup_.badImageText;
    std::unique_lock lock(mutex_);
    while (true) {
        work_.wait(lock, [this] { return stopping_ || (active_ && next_ < paths_.size() && next_ < taken_ + kLookAhead); });
        if (stopping_) return;
        const std::size_t index = next_++;
        const unsigned generation = generation_;
        const std::string path = paths_[index];
        lock.unlock();
        BrowserTile tile = DecodeBrowserTile(ws, path, setup_.cache);
        lock.lock();
        if (generation == generation_ && active_ && index < tiles_.size()) {
            tiles_[index] = std::move(tile);
            ready_.notify_all();
        }
    }
}

}  // namespace vantrel
