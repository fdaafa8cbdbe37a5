#include "gui/browse/TThumbnailThread.h"

#include <QSemaphore>

#include "core/browse/ThreadPriority.h"
#include "core/browse/TileCache.h"
#include "core/browse/TileDecoderPool.h"
#include "gui/kit/TileImages.h"

namespace vantrel::gui {

TThumbnailThread::TThumbnailThread(QObject* uiContext, ThumbnailSink& sink, int decoders,
                                   const TileTextPainter* painter, std::string badImageText)
    : uiContext_(uiContext), sink_(sink),
      cache_(std::make_unique<TileCache>(TileCache::UserFolder(), TileCache::kDefaultLimit)),
      pool_(std::make_unique<TileDecoderPool>(
          TileDecoderSetup{decoders, painter, std::move(badImageText), cache_.get(), true})) {
    start(QThread::LowestPriority);
}

TThumbnailThread::~TThumbnailThread() {
    Stop();
    wait();
    // A call the worker gave up waiting for may still be queued on the window's thread: it must
    // find the worker gone rather than run on a freed object.
    *alive_ = false;
}

void TThumbnailThread::RequestFolder(const QString& folder) {
    {
        QMutexLocker lock(&mutex_);
        if (folder == requestedFolder_) return;
        requestedFolder_ = folder;
    }
    pool_->Cancel();
    wake_.wakeAll();
}

QString TThumbnailThread::RequestedFolder() const {
    QMutexLocker lock(&mutex_);
    return requestedFolder_;
}

QString TThumbnailThread::ScannedFolder() const {
    QMutexLocker lock(&mutex_);
    return scannedFolder_;
}

bool TThumbnailThread::IsCurrentListing() const {
    QMutexLocker lock(&mutex_);
    return !stop_.load() && requestedFolder_ == scannedFolder_;
}

void TThumbnailThread::Stop() {
    stop_ = true;
    pool_->Cancel();
    QMutexLocker lock(&mutex_);
    wake_.wakeAll();
}

void TThumbnailThread::run() {
    LowerThreadPriority();
    while (!stop_.load()) {
        QString folder;
        {
            QMutexLocker lock(&mutex_);
            if (!requestedFolder_.isEmpty() && requestedFolder_ != scannedFolder_) {
                scannedFolder_ = requestedFolder_;
                folder = scannedFolder_;
            }
        }
        if (!folder.isEmpty()) ListFolder(folder);
        QMutexLocker lock(&mutex_);
        if (!stop_.load() && (requestedFolder_.isEmpty() || requestedFolder_ == scannedFolder_))
            wake_.wait(&mutex_, 100);
    }
}

void TThumbnailThread::ListFolder(const QString& folder) {
    fileCount_ = 0;
    const std::string base = folder.toStdString();
    ListPhotoFolder(base, fileNames_, [this] { return IsCurrentListing(); });
    namesRoom_ = fileNames_.Room();
    if (!IsCurrentListing()) fileNames_.Clear();
    const int count = static_cast<int>(fileNames_.Count());
    fileCount_ = count;
    if (!RunOnUi([this, count] { sink_.StartFolderScan(count); })) return;
    if (count == 0) return;
    if (!RunOnUi([this, count] { sink_.BeginListing(count); })) return;

    pool_->Start(PathsOfListing(base, fileNames_));
    std::size_t next = 0;
    while (next < static_cast<std::size_t>(count) && IsCurrentListing()) {
        auto tiles = std::make_shared<std::vector<BrowserTile>>(
            pool_->TakeReady(next, [this] { return !IsCurrentListing(); }));
        if (tiles->empty()) break;
        next += tiles->size();
        currentFile_ = tiles->back().path;
        // The pictures become images here, off the window's thread.
        auto pictures = std::make_shared<std::vector<QImage>>();
        pictures->reserve(tiles->size());
        for (BrowserTile& tile : *tiles) {
            pictures->push_back(ToQImage(tile.tile));
            tile.tile.ReleaseMemory();
        }
        // The window adds the tiles one by one and stops at once when another folder was chosen
        // meanwhile (a message about an unreadable file may have kept it busy).
        if (!RunOnUi([this, tiles, pictures] {
                for (std::size_t i = 0; i < tiles->size(); ++i) {
                    if (!IsCurrentListing()) break;
                    sink_.AddThumbnail((*tiles)[i], (*pictures)[i]);
                }
            }))
            break;
    }
    pool_->Cancel();
    if (!stop_.load()) RunOnUi([this] { sink_.EndListing(); });
}

bool TThumbnailThread::RunOnUi(std::function<void()> work) {
    auto done = std::make_shared<QSemaphore>(0);
    QMetaObject::invokeMethod(
        uiContext_, [work = std::move(work), done, alive = alive_] {
            if (*alive) work();
            done->release();
        },
        Qt::QueuedConnection);
    while (!done->tryAcquire(1, 20))
        if (stop_.load()) return false;
    return true;
}

}  // namespace vantrel::gui
