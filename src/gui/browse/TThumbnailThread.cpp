#include "gui/browse/TThumbnailThread.h"

#include <QSemaphore>

#include "core/browse/ThreadPriority.h"
#include "core/browse/TileCache.h"
#include "core/browse/TileDecoderPool.h"
#include "gui/browse/NaturalOrder.h"
#include "gui/kit/TileImages.h"

namespace vantrel::gui {

TThumbnailThread::TThumbnailThread(QObject* uiContext, ThumbnailSink& sink, ThumbnailSetup setup)
    : uiContext_(uiContext), sink_(sink),
      cache_(std::make_unique<TileCache>(TileCache::UserFolder(),
                                         setup.cacheBytes > 0 ? setup.cacheBytes : TileCache::kDefaultLimit)),
      pool_(std::make_unique<TileDecoderPool>(TileDecoderSetup{setup.decoders, setup.painter,
                                                               std::move(setup.badImageText), cache_.get(), true,
                                                               setup.tileSide})) {
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
    return IsCurrentListingLocked();
}

bool TThumbnailThread::IsCurrentListingLocked() const { return !stop_.load() && requestedFolder_ == scannedFolder_; }

void TThumbnailThread::Stop() {
    stop_ = true;
    pool_->Cancel();
    QMutexLocker lock(&mutex_);
    wake_.wakeAll();
}

void TThumbnailThread::ShowRows(std::size_t first, std::size_t last, const std::vector<std::size_t>& missing) {
    {
        QMutexLocker lock(&mutex_);
        shownFirst_ = first;
        shownLast_ = last;
    }
    pool_->Prioritise(first, last, missing);
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
    // Sorted once, before the window shows anything: every tile lands in its final place.
    std::vector<std::string> names;
    names.reserve(fileNames_.Count());
    for (std::size_t i = 0; i < fileNames_.Count(); ++i) names.push_back(fileNames_[i]);
    SortNaturally(names);
    const int count = static_cast<int>(names.size());
    fileCount_ = count;
    if (!RunOnUi([this, count] { sink_.StartFolderScan(count); })) return;
    if (count == 0) return;
    const std::string prefix = base.back() == '/' ? base : base + "/";
    std::vector<std::string> paths;
    paths.reserve(names.size());
    QStringList shownPaths;
    shownPaths.reserve(count);
    for (const std::string& name : names) {
        paths.push_back(prefix + name);
        shownPaths.append(QString::fromStdString(paths.back()));
    }
    {
        QMutexLocker lock(&mutex_);
        shownFirst_ = shownLast_ = 0;
    }
    if (!RunOnUi([this, shownPaths = std::move(shownPaths)] { sink_.BeginListing(shownPaths); })) return;

    std::size_t first, last;
    {
        QMutexLocker lock(&mutex_);
        first = shownFirst_;
        last = shownLast_;
    }
    pool_->Start(std::move(paths), first, last);
    std::vector<bool> delivered(static_cast<std::size_t>(count), false);
    int deliveredCount = 0;
    bool ended = false;
    while (IsCurrentListing()) {
        auto tiles = std::make_shared<std::vector<ReadyTile>>(pool_->TakeReady([this] { return !IsCurrentListing(); }));
        if (tiles->empty()) {
            // Every tile asked for is in: wait for the window to ask for more, or another folder.
            QMutexLocker lock(&mutex_);
            if (IsCurrentListingLocked()) wake_.wait(&mutex_, 50);
            continue;
        }
        // The pictures become images here, off the window's thread.
        auto pictures = std::make_shared<std::vector<QImage>>();
        pictures->reserve(tiles->size());
        for (ReadyTile& ready : *tiles) {
            // A row far from the screen may come without its pixels (its tile is in the cache).
            pictures->push_back(ToQImage(ready.tile.tile));  // null then
            ready.tile.tile.ReleaseMemory();
            if (!delivered[ready.row]) {
                delivered[ready.row] = true;
                ++deliveredCount;
            }
        }
        // The window adds the tiles one by one and stops at once when another folder was chosen
        // meanwhile (a message about an unreadable file may have kept it busy).
        if (!RunOnUi([this, tiles, pictures] {
                for (std::size_t i = 0; i < tiles->size(); ++i) {
                    if (!IsCurrentListing()) break;
                    sink_.AddThumbnail(static_cast<int>((*tiles)[i].row), (*tiles)[i].tile, (*pictures)[i]);
                }
            }))
            break;
        if (!ended && deliveredCount == count && IsCurrentListing()) {
            ended = true;
            if (!RunOnUi([this] { sink_.EndListing(); })) break;
        }
    }
    pool_->Cancel();
    if (!ended && !stop_.load()) RunOnUi([this] { sink_.EndListing(); });
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
