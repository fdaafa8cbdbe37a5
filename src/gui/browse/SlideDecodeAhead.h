#pragma once
// The slideshow's next and previous photos decoded on a worker while the current one is looked
// at, together with their pictures fitted to the view, so that a step shows the photo at once.
// The worker has its own image workspace; it keeps only the photos last asked for.

#include <QDateTime>
#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>
#include <condition_variable>
#include <map>
#include <mutex>
#include <optional>
#include <thread>

namespace vantrel::gui {

struct DecodedSlide {
    QImage picture;       // the whole photo, upright; null when unreadable or undecodable
    QImage fitted;        // the picture as the view shows it (smooth scaling to its fit rectangle)
    bool unreadable = false;  // the file could not be opened
    bool undecodable = false; // the photo does not decode: the caller shows the placeholder
};

class SlideDecodeAhead {
public:
    SlideDecodeAhead();
    ~SlideDecodeAhead();
    SlideDecodeAhead(const SlideDecodeAhead&) = delete;
    SlideDecodeAhead& operator=(const SlideDecodeAhead&) = delete;

    // The photos to have ready, most wanted first, fitted to a view of `view` size in device
    // pixels (SlideshowView::PixelSize); photos decoded before and not named again are dropped.
    void Want(const QStringList& paths, const QSize& view);
    // The photo at `path` when it was decoded ahead (waiting for it when it is being decoded)
    // and the file is unchanged since; nothing otherwise.
    std::optional<DecodedSlide> Take(const QString& path);
    // Whether the photo is decoded and waiting (for benchmarks and tests).
    bool Ready(const QString& path);

private:
    struct Entry {
        qint64 size = -1;
        QDateTime modified;
        DecodedSlide slide;
    };
    void Loop();

    std::mutex mutex_;
    std::condition_variable changed_;
    QStringList wanted_;
    QSize view_;
    std::map<QString, Entry> done_;
    QString working_;  // the photo being decoded now
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace vantrel::gui
