#pragma once
// The thumbnail worker: watches the folder the user selected last, lists its "*.jp*g" entries
// in their natural order (NaturalOrder) and has the window show one row per entry. Tiles are
// decoded by a small pool of decoder threads, the rows the window shows first, and handed to the
// window as they are ready; while the folder stays selected, the worker decodes again the tiles
// the window let go and asks for. It never touches a control: it asks the window's thread to
// run the sink's functions and waits for each.

#include <QImage>
#include <QMutex>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QThread>
#include <QWaitCondition>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/browse/BrowserTile.h"
#include "core/browse/FolderListing.h"

namespace vantrel {
class TileCache;
class TileDecoderPool;
class TileTextPainter;
}  // namespace vantrel

namespace vantrel::gui {

// What the worker has the window do, on the window's thread, in this order for each listing:
// StartFolderScan, then (when entries were found) BeginListing with every path in order,
// AddThumbnail for each row's tile (a row's first one brings its caption data; later ones are
// tiles asked for again), EndListing once every row had its tile (also when the listing stopped
// early). A tile comes with its picture as an image, converted on the worker.
class ThumbnailSink {
public:
    virtual ~ThumbnailSink() = default;
    virtual void StartFolderScan(int fileCount) = 0;
    virtual void BeginListing(const QStringList& paths) = 0;
    virtual void AddThumbnail(int row, const BrowserTile& tile, const QImage& picture) = 0;
    virtual void EndListing() = 0;
};

// How the worker makes and keeps tiles.
struct ThumbnailSetup {
    int decoders = 1;                          // decoding threads (1 decodes one at a time)
    const TileTextPainter* painter = nullptr;  // draws the placeholders' text
    std::string badImageText;
    int tileSide = 96;                         // pixels a side: 96 times the screen's pixel ratio
    std::uint64_t cacheBytes = 0;              // the user's tile cache's bound
};

class TThumbnailThread : public QThread {
    Q_OBJECT
public:
    // The sink's functions run in the thread of `uiContext`, which must outlive this object.
    // Tiles are decoded through the user's tile cache.
    TThumbnailThread(QObject* uiContext, ThumbnailSink& sink, ThumbnailSetup setup);
    // Stops the worker and waits for it.
    ~TThumbnailThread() override;

    // The folder the user selected last; a change stops a running listing at once.
    void RequestFolder(const QString& folder);
    QString RequestedFolder() const;
    // The folder of the current or last listing.
    QString ScannedFolder() const;
    // Number of entries found by the current listing.
    int FileCount() const { return fileCount_.load(); }
    // Room of the name list of the last listing (starts at 256 and doubles).
    std::size_t NamesRoom() const { return namesRoom_.load(); }
    // True while `folder` is what the worker lists and it was not told to stop.
    bool IsCurrentListing() const;
    // Tells the worker to stop; it ends at its next check.
    void Stop();
    // The rows [first, last) of the current listing are on screen: their tiles come before any
    // other; `missing` names rows near it whose tiles the window let go. Safe from any thread.
    void ShowRows(std::size_t first, std::size_t last, const std::vector<std::size_t>& missing);

protected:
    void run() override;

private:
    void ListFolder(const QString& folder);
    bool IsCurrentListingLocked() const;  // IsCurrentListing with mutex_ held
    // Runs `work` on the window's thread and waits for it; false when the worker was told to
    // stop before it finished.
    bool RunOnUi(std::function<void()> work);

    QObject* uiContext_;
    ThumbnailSink& sink_;
    std::unique_ptr<TileCache> cache_;  // before the pool, whose decoders use it
    std::unique_ptr<TileDecoderPool> pool_;
    mutable QMutex mutex_;
    QWaitCondition wake_;
    QString requestedFolder_;
    QString scannedFolder_;
    std::atomic<bool> stop_{false};
    std::atomic<int> fileCount_{0};
    std::atomic<std::size_t> namesRoom_{FileNames::kInitialRoom};
    FileNames fileNames_;
    std::size_t shownFirst_ = 0;  // the rows on screen, under mutex_
    std::size_t shownLast_ = 0;
    // Read and cleared on the window's thread only.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace vantrel::gui
