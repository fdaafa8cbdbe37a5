#pragma once
// A few threads that decode the tiles of one listing ahead of the thread that hands them to
// the window, each with its own image workspace. Tiles are taken in listing order; a batch can
// be cancelled at any time, and a decoder then finishes at most the tile in hand.

#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "core/browse/TileCache.h"
#include "core/imaging/TileTextPainter.h"
#include "gui/browse/BrowserTile.h"

namespace vantrel::gui {

// Gives the calling thread the lowest scheduling priority.
void LowerThreadPriority();

class TileDecoderPool {
public:
    // `threads` decoders (at least 1); placeholders are drawn with `painter` and `badText`.
    TileDecoderPool(int threads, const TileTextPainter* painter, std::string badText);
    ~TileDecoderPool();
    TileDecoderPool(const TileDecoderPool&) = delete;
    TileDecoderPool& operator=(const TileDecoderPool&) = delete;

    // Starts decoding `paths` in order, replacing any batch still running.
    void Start(std::vector<std::string> paths);
    // Cancels the running batch; tiles not yet taken are dropped. Safe from any thread.
    void Cancel();
    // Waits for the tile at `index` and returns it with every tile after it that is ready too,
    // in order. Empty when the batch was cancelled or `abandon` answers true (asked every 20 ms).
    std::vector<BrowserTile> TakeReady(std::size_t index, const std::function<bool()>& abandon);

    int ThreadCount() const { return static_cast<int>(threads_.size()); }

private:
    // How far decoders may run ahead of the tiles taken: bounds the memory of a huge folder.
    static constexpr std::size_t kLookAhead = 32;

    void DecoderLoop(int number);

    std::mutex mutex_;
    std::condition_variable work_;
    std::condition_variable ready_;
    std::vector<std::string> paths_;
    std::vector<std::optional<BrowserTile>> tiles_;
    std::size_t next_ = 0;      // next index to hand to a decoder
    std::size_t taken_ = 0;     // tiles before this index were taken
    unsigned generation_ = 0;   // changes with every Start and Cancel
    bool active_ = false;
    bool stopping_ = false;
    const TileTextPainter* painter_;
    std::string badText_;
    TileCache cache_{TileCache::UserFolder(), TileCache::kDefaultLimit};
    std::vector<std::thread> threads_;
};

}  // namespace vantrel::gui
