#include "core/browse/TileDecoderPool.h"

#include <algorithm>
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

void TileDecoderPool::Start(std::vector<std::string> paths, std::size_t first, std::size_t last) {
    {
        std::lock_guard lock(mutex_);
        ++generation_;
        paths_ = std::move(paths);
        rows_.assign(paths_.size(), RowState::Waiting);
        finished_.clear();
        cursor_ = 0;
        again_.clear();
        first_ = std::min(first, rows_.size());
        last_ = std::clamp(last, first_, rows_.size());
        active_ = true;
    }
    work_.notify_all();
    ready_.notify_all();
}

void TileDecoderPool::Cancel() {
    {
        std::lock_guard lock(mutex_);
        ++generation_;
        active_ = false;
        paths_.clear();
        rows_.clear();
        finished_.clear();
        again_.clear();
    }
    ready_.notify_all();
}

void TileDecoderPool::Prioritise(std::size_t first, std::size_t last, const std::vector<std::size_t>& again) {
    {
        std::lock_guard lock(mutex_);
        first_ = std::min(first, rows_.size());
        last_ = std::clamp(last, first_, rows_.size());
        // Rows asked for again before, not started and not named now: no longer wanted. Those
        // the listing order has passed were handed over already; the others wait for it.
        for (std::size_t row : again_)
            if (row < cursor_ && rows_[row] == RowState::Waiting) rows_[row] = RowState::Handed;
        again_.clear();
        for (std::size_t row : again) {
            if (row >= rows_.size() || rows_[row] == RowState::Decoding) continue;
            rows_[row] = RowState::Waiting;
            if (row < first_ || row >= last_) again_.push_back(row);
        }
    }
    work_.notify_all();
}

std::optional<std::pair<std::size_t, bool>> TileDecoderPool::NextRow() {
    for (std::size_t row = first_; row < last_; ++row)
        if (rows_[row] == RowState::Waiting) return std::pair{row, true};
    for (std::size_t row : again_)
        if (rows_[row] == RowState::Waiting) return std::pair{row, true};
    while (cursor_ < rows_.size() && rows_[cursor_] != RowState::Waiting) ++cursor_;
    if (cursor_ < rows_.size()) return std::pair{cursor_, false};
    return std::nullopt;
}

bool TileDecoderPool::Idle() { return finished_.empty() && decoding_ == 0 && !NextRow(); }

std::vector<ReadyTile> TileDecoderPool::TakeReady(const std::function<bool()>& abandon) {
    std::vector<ReadyTile> out;
    std::unique_lock lock(mutex_);
    const unsigned generation = generation_;
    while (finished_.empty()) {
        if (!active_ || generation != generation_ || Idle()) return out;
        ready_.wait_for(lock, std::chrono::milliseconds(20));
        if (abandon && abandon()) return out;
    }
    out.swap(finished_);
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
        work_.wait(lock, [this] { return stopping_ || (active_ && finished_.size() < kLookAhead && NextRow()); });
        if (stopping_) return;
        const auto [row, wanted] = *NextRow();
        rows_[row] = RowState::Decoding;
        ++decoding_;
        const unsigned generation = generation_;
        const std::string path = paths_[row];
        lock.unlock();
        BrowserTile tile = DecodeBrowserTile(ws, path, setup_.cache, setup_.tileSide, wanted);
        lock.lock();
        --decoding_;
        if (generation == generation_ && active_ && row < rows_.size()) {
            rows_[row] = RowState::Handed;
            finished_.push_back({row, std::move(tile), wanted});
        }
        ready_.notify_all();
    }
}

}  // namespace vantrel
