#pragma once
// A few threads that decode the tiles of one listing ahead of the thread that takes them, each
// with its own image workspace. Tiles are taken in listing order; a batch can be cancelled at
// any time, and a decoder then finishes at most the tile in hand.

#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "core/browse/BrowserTile.h"
#include "core/browse/TileCache.h"
#include "core/imaging/TileTextPainter.h"

namespace vantrel {

struct TileDecoderSetup {
    int threads = 1;                             // decoders (at least 1 is started)
    const TileTextPainter* painter = nullptr;    // draws the placeholders' text; none: no text
    std::string badImageText;                    // the placeholders' text
    TileCache* cache = nullptr;                  // where tiles are looked up and kept; none: always decode
    bool lowPriority = true;                     // decoders run at the lowest priority (behind a window)
};

class TileDecoderPool {
public:
    // Starts the decoders; `setup.painter` and `setup.cache` must outlive the pool.
    explicit TileDecoderPool(TileDecoderSetup setup);
    ~TileDecoderPool();
    TileDecoderPool(const TileDecoderPool&) = delete;
    TileDecoderPool& operator=(const TileDecoderPool&) = delete;

    // Starts decoding `paths` in order, replacing any batch still running.
    void Start(std::vector<std::string> paths);
    // Cancels the running batch; tiles not yet taken are dropped. Safe from any thread.
    void Cancel();
    // Waits for the tile at `index` and returns it with every tile after it that is ready too,
    // in order. Empty when the batch was cancelled, `index` is past its end, or `abandon`
    // answers true (asked every 20 ms; may be empty).
    std::vector<BrowserTile> TakeReady(std::size_t index, const std::function<bool()>& abandon);

    int ThreadCount() const { return static_cast<int>(threads_.size()); }

private:
    // How far decoders may run ahead of the tiles taken: bounds the memory of a huge folder.
    static constexpr std::size_t kLookAhead = 32;

    void DecoderLoop();

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
    const TileDecoderSetup setup_;
    std::vector<std::thread> threads_;
};

}  // namespace vantrel
