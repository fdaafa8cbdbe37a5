#pragma once
// A few threads that decode the tiles of one listing ahead of the thread that takes them, each
// with its own image workspace. Every tile of a batch is decoded once, in listing order, except
// that the rows the user sees (a range the taker names and moves as the list scrolls) go before
// any other; a row whose tile the taker let go can be asked for again. Tiles are
// handed over as they are ready, each with its row. A batch can be cancelled at any time, and a
// decoder then finishes at most the tile in hand.

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "core/browse/BrowserTile.h"
#include "core/browse/TileCache.h"
#include "core/imaging/TileTextPainter.h"
#include "core/imaging/Tiles.h"

namespace vantrel {

struct TileDecoderSetup {
    int threads = 1;                             // decoders (at least 1 is started)
    const TileTextPainter* painter = nullptr;    // draws the placeholders' text; none: no text
    std::string badImageText;                    // the placeholders' text
    TileCache* cache = nullptr;                  // where tiles are looked up and kept; none: always decode
    bool lowPriority = true;                     // decoders run at the lowest priority (behind a window)
    int tileSide = kTileSize;                    // pixels a side (96 times the screen's pixel ratio)
};

// A decoded tile and the row of the batch it belongs to. A row taken in listing order, outside
// the rows on screen and those asked for again, may come without its pixels when the cache
// held them (its dimensions are all the taker needs then); `wanted` rows always have them.
struct ReadyTile {
    std::size_t row = 0;
    BrowserTile tile;
    bool wanted = false;
};

class TileDecoderPool {
public:
    // Starts the decoders; `setup.painter` and `setup.cache` must outlive the pool.
    explicit TileDecoderPool(TileDecoderSetup setup);
    ~TileDecoderPool();
    TileDecoderPool(const TileDecoderPool&) = delete;
    TileDecoderPool& operator=(const TileDecoderPool&) = delete;

    // Starts decoding `paths` in order, the rows [first, last) first (see Prioritise), replacing
    // any batch still running.
    void Start(std::vector<std::string> paths, std::size_t first = 0, std::size_t last = 0);
    // Cancels the running batch; tiles not yet taken are dropped. Safe from any thread.
    void Cancel();
    // The rows [first, last) are decoded before any other, then the rows of `again` (those
    // already handed over once more); rows named before and not now are no longer wanted. Both
    // come with their pixels. Safe from any thread.
    void Prioritise(std::size_t first, std::size_t last, const std::vector<std::size_t>& again = {});
    // Waits for a tile and returns every tile that is ready, each with its row (in the order they
    // were finished). Empty when the batch was cancelled, when every tile asked for was handed
    // over, or when `abandon` answers true (asked every 20 ms; may be empty).
    std::vector<ReadyTile> TakeReady(const std::function<bool()>& abandon);

    int ThreadCount() const { return static_cast<int>(threads_.size()); }

private:
    // How many finished tiles may wait for the taker: bounds the memory of a huge folder.
    static constexpr std::size_t kLookAhead = 32;

    enum class RowState : std::uint8_t { Waiting, Decoding, Handed };

    void DecoderLoop();
    // The row a decoder takes next: the first waiting one of the priority range, else one asked
    // for again (both wanted), else the next waiting one in listing order. Called with the lock
    // held.
    std::optional<std::pair<std::size_t, bool>> NextRow();
    bool Idle();  // nothing waiting, decoding or ready; with the lock held

    std::mutex mutex_;
    std::condition_variable work_;
    std::condition_variable ready_;
    std::vector<std::string> paths_;
    std::vector<RowState> rows_;
    std::vector<ReadyTile> finished_;  // decoded, not yet taken
    std::size_t cursor_ = 0;           // rows before it have all been started once
    std::size_t first_ = 0;            // the priority range
    std::size_t last_ = 0;
    std::vector<std::size_t> again_;   // rows asked for again, outside the priority range
    int decoding_ = 0;
    unsigned generation_ = 0;          // changes with every Start and Cancel
    bool active_ = false;
    bool stopping_ = false;
    const TileDecoderSetup setup_;
    std::vector<std::thread> threads_;
};

}  // namespace vantrel
