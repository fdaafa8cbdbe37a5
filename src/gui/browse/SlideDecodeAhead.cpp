#include "gui/browse/SlideDecodeAhead.h"

#include <QFileInfo>

#include "core/browse/ThreadPriority.h"
#include "core/imaging/ExifOrientation.h"
#include "core/imaging/ImageWorkspace.h"
#include "core/imaging/JpegDecoder.h"
#include "gui/browse/SlideshowView.h"
#include "gui/kit/TileImages.h"

namespace vantrel::gui {

namespace {

DecodedSlide DecodeSlide(ImageWorkspace& ws, const QString& path, const QSize& view) {
    DecodedSlide slide;
    const auto loaded = LoadImage(ws, path.toStdString());
    if (loaded.outcome == DecodeOutcome::Unreadable) {
        slide.unreadable = true;
    } else if (!loaded.HasPicture()) {
        slide.undecodable = true;
    } else {
        TurnUpright(ws);
        slide.picture = ToQImage(ws.workBitmap);
        const QRect target = SlideshowView::FitRect(slide.picture.size(), view);
        if (!target.isEmpty())
            slide.fitted = slide.picture.scaled(target.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    return slide;
}

}  // namespace

SlideDecodeAhead::SlideDecodeAhead() : thread_([this] { Loop(); }) {}

SlideDecodeAhead::~SlideDecodeAhead() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void SlideDecodeAhead::Want(const QStringList& paths, const QSize& view) {
    {
        std::lock_guard lock(mutex_);
        wanted_ = paths;
        if (view != view_) {
            // Pictures fitted to another view size are of no use any more.
            for (auto& [path, entry] : done_) entry.slide.fitted = QImage();
            view_ = view;
        }
        for (auto it = done_.begin(); it != done_.end();)
            it = wanted_.contains(it->first) ? std::next(it) : done_.erase(it);
    }
    changed_.notify_all();
}

std::optional<DecodedSlide> SlideDecodeAhead::Take(const QString& path) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return working_ != path; });
    auto it = done_.find(path);
    if (it == done_.end()) return std::nullopt;
    const QFileInfo info(path);
    if (info.size() != it->second.size || info.lastModified() != it->second.modified) {
        done_.erase(it);  // the photo was changed since it was decoded
        return std::nullopt;
    }
    return it->second.slide;
}

bool SlideDecodeAhead::Ready(const QString& path) {
    std::lock_guard lock(mutex_);
    return done_.contains(path);
}

void SlideDecodeAhead::Loop() {
    LowerThreadPriority();
    ImageWorkspace ws;
    std::unique_lock lock(mutex_);
    while (true) {
        QString next;
        changed_.wait(lock, [&] {
            if (stopping_) return true;
            for (const QString& path : wanted_)
                if (!done_.contains(path)) {
                    next = path;
                    return true;
                }
            return false;
        });
        if (stopping_) return;
        working_ = next;
        const QSize view = view_;
        lock.unlock();
        const QFileInfo info(next);
        Entry entry{info.size(), info.lastModified(), DecodeSlide(ws, next, view)};
        // The large buffers go back: a workspace holding a 24 MP picture would double the memory.
        ws.workBitmap = RgbBitmap(96, 96);
        lock.lock();
        working_.clear();
        if (view_ != view) entry.slide.fitted = QImage();
        if (wanted_.contains(next)) done_[next] = std::move(entry);
        changed_.notify_all();
    }
}

}  // namespace vantrel::gui
