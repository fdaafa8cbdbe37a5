// The transfer queue: every change is written to the list file at once and told to each
// listener; a rewritten working copy brings its size, dimensions and caption up to date.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/albums/IntakeTestSupport.h"
#include "core/albums/TransferQueue.h"
#include "core/base/AtomicFile.h"
#include "core/imaging/FileBytes.h"

namespace vantrel {
namespace {

using namespace albumtest;

struct QueueBench {
    ScratchFolder work, photos;
    MemoryContentView view;
    ImageWorkspace workspace;
    int tiles = 0;
    JpegPhotoImaging imaging{workspace, [] { return 50; },
                              [this](const RgbBitmap&) -> std::expected<int, std::string> { return tiles++; }};
    TransferQueue queue{view, imaging, work.path(), FrenchMonths(), FrenchMonths()};

    QueueBench() {
        queue.Intake().Hooks.Today = [] { return std::chrono::year{2007} / 12 / 9; };
        queue.Intake().Hooks.FormatCaption = [](const std::string& path, std::int64_t size, int w, int h) {
            return FileNameOf(path) + "|" + std::to_string(size) + "|" + std::to_string(w) + "x" + std::to_string(h);
        };
    }
    std::string Photo(const std::string& name, int width = 40, int height = 30) {
        std::string path = photos / name;
        WriteJpeg(path, width, height);
        return path;
    }
    std::string ListText() { return ReadWholeFile(queue.ListPath()).value_or("<none>"); }
};

TEST(TransferQueue, EveryChangeIsSavedAndToldToEachListener) {
    QueueBench b;
    std::vector<std::string> first, second;
    b.queue.Subscribe([&](QueueChange change, TAlbum*) { first.push_back(change == QueueChange::Albums ? "A" : "C"); });
    const int gone = b.queue.Subscribe([&](QueueChange, TAlbum*) { second.push_back("x"); });

    ASSERT_TRUE(b.queue.Intake().AddPhotoToAlbum(-1, b.Photo("a.jpg")));  // makes today's album first
    EXPECT_EQ(b.queue.Albums().Items(0).AlbumName(), "9 décembre 2007");
    EXPECT_NE(b.ListText().find("a.jpg"), std::string::npos);  // written at once
    EXPECT_EQ(b.queue.QueuedCount(), 1);
    EXPECT_EQ(b.queue.QueuedBytes(), static_cast<std::int64_t>(FileSizeOf(b.queue.Albums().Items(0).Jobs().Items(0).WorkPath)));
    EXPECT_TRUE(b.queue.Holds(0));
    EXPECT_FALSE(b.queue.Holds(1));
    EXPECT_NE(std::find(first.begin(), first.end(), "A"), first.end());
    EXPECT_NE(std::find(first.begin(), first.end(), "C"), first.end());
    EXPECT_EQ(first.size(), second.size());

    b.queue.Unsubscribe(gone);
    const std::size_t told = second.size();
    b.queue.Albums().Items(0).RemoveJob(0, true);
    EXPECT_EQ(second.size(), told);
    EXPECT_EQ(b.queue.QueuedCount(), 0);
    EXPECT_EQ(b.ListText().find("a.jpg"), std::string::npos);
}

TEST(TransferQueue, RewrittenCopyBringsSizeDimensionsAndCaptionUpToDate) {
    QueueBench b;
    ASSERT_TRUE(b.queue.Intake().AddPhotoToAlbum(-1, b.Photo("a.jpg", 40, 30)));
    TAlbum& album = b.queue.Albums().Items(0);
    const TImageJob& job = album.Jobs().Items(0);
    WriteJpeg(job.WorkPath, 300, 200);  // turned and enlarged, as a retouch may leave it
    int told = 0;
    b.queue.Subscribe([&](QueueChange change, TAlbum* changed) { told += change == QueueChange::Content && changed == &album; });

    b.queue.PhotoRewritten(album, 0, 300, 200);
    const auto size = static_cast<std::int32_t>(FileSizeOf(job.WorkPath));
    EXPECT_EQ(job.PhotoSize, size);
    EXPECT_EQ(job.ScaledSize, DivideRoundHalfEven(size, 30));
    EXPECT_EQ(job.Width, 300);
    EXPECT_EQ(job.Height, 200);
    EXPECT_EQ(job.Caption, "a.jpg|" + std::to_string(size) + "|300x200");
    EXPECT_EQ(b.view.Items().at(0).caption, job.Caption);  // the album is current: its item too
    EXPECT_EQ(told, 1);
    b.queue.PhotoRewritten(album, 5, 1, 1);  // outside the album: nothing
    EXPECT_EQ(told, 1);
}

}  // namespace
}  // namespace vantrel
