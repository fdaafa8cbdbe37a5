#pragma once
// The thumbnail worker: watches the folder the user selected last, lists its "*.jp*g" entries
// and has the window show one tile per entry. Tiles are decoded by a small pool of decoder
// threads and handed to the window in listing order; the worker itself never touches a
// control, it asks the window's thread to run the sink's functions and waits for each.

#include <QImage>
#include <QMutex>
#include <QObject>
#include <QString>
#include <QThread>
#include <QWaitCondition>
#include <atomic>
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
// StartFolderScan, then (when entries were found) BeginListing, AddThumbnail for each tile,
// EndListing (also when the listing stopped early). A tile comes with its picture as an image,
// converted on the worker.
class ThumbnailSink {
public:
    virtual ~ThumbnailSink() = default;
    virtual void StartFolderScan(int fileCount) = 0;
    virtual void BeginListing(int fileCount) = 0;
    virtual void AddThumbnail(const BrowserTile& tile, const QImage& picture) = 0;
    virtual void EndListing() = 0;
};

class TThumbnailThread : public QThread {
    Q_OBJECT
public:
    // The sink's functions run in the thread of `uiContext`, which must outlive this object.
    // `decoders` threads decode tiles (1 decodes one at a time), through the user's tile cache.
    TThumbnailThread(QObject* uiContext, ThumbnailSink& sink, int decoders, const TileTextPainter* painter,
                     std::string badImageText);
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

protected:
    void run() override;

private:
    void ListFolder(const QString& folder);
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
    std::string currentFile_;
    // Read and cleared on the window's thread only.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace vantrel::gui
