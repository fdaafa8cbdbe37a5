// Phone photos carry an EXIF orientation instead of upright pixels: the window shows them
// upright everywhere, and queues the photo itself unchanged.
#include <QBuffer>
#include <QFile>
#include <QListWidget>

#include "BrowseFixture.h"
#include "core/albums/TAlbumList.h"
#include "gui/albums/AlbumsController.h"
#include "gui/albums/OrganizePage.h"
#include "gui/browse/ThumbItem.h"
#include "gui/browse/SlideshowView.h"

using namespace browse_test;

namespace {

// The EXIF segment of a photo taken with the camera turned: orientation `value`.
QByteArray OrientationSegment(int value) {
    QByteArray tiff("MM\0\x2a\0\0\0\x08\0\x01", 10);
    tiff += QByteArray("\x01\x12\0\x03\0\0\0\x01", 8) + char(0) + char(value) + QByteArray(2, 0) + QByteArray(4, 0);
    const QByteArray data = QByteArray("Exif\0\0", 6) + tiff;
    const int length = static_cast<int>(data.size()) + 2;
    return QByteArray("\xff\xe1", 2) + char(length >> 8) + char(length & 0xff) + data;
}

// A width x height photo as stored (left half red, right half blue) with an orientation.
QString WriteTurnedPhoto(const test::TempFolder& folder, const char* name, int width, int height, int orientation) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor(0, 0, 230));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width / 2; ++x) image.setPixel(x, y, qRgb(230, 0, 0));
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", 95);
    jpeg.insert(2, OrientationSegment(orientation));  // right after the start of image
    const QString path = QString::fromStdString(folder.File(name));
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(jpeg);
    return path;
}

bool IsRed(QRgb c) { return qRed(c) > 150 && qBlue(c) < 100; }
bool IsBlue(QRgb c) { return qBlue(c) > 150 && qRed(c) < 100; }
bool IsWhite(QRgb c) { return qRed(c) > 240 && qGreen(c) > 240 && qBlue(c) > 240; }

// A 96 x 96 tile of the stored 60 x 30 landscape turned upright: a portrait picture 48 wide
// in the middle, red on top, blue below, white on both sides.
QString UprightTileFault(const QImage& tile) {
    if (tile.size() != QSize(96, 96)) return "tile of size " + QString::number(tile.width());
    if (!IsRed(tile.pixel(48, 15))) return "top not red";
    if (!IsBlue(tile.pixel(48, 80))) return "bottom not blue";
    if (!IsWhite(tile.pixel(10, 48)) || !IsWhite(tile.pixel(85, 48))) return "no white margins beside a portrait";
    return {};
}

}  // namespace

class UprightPhotoTest : public QObject {
    Q_OBJECT

private slots:
    void orientationSixShowsUprightAndIsQueuedUnchanged() {
        BrowseWindow w;
        test::TempFolder folder;
        const QString photo = WriteTurnedPhoto(folder, "phone.jpg", 60, 30, 6);
        QVERIFY(w.List(folder.Path()));
        QCOMPARE(w.List().count(), 1);
        auto* item = static_cast<ThumbItem*>(w.List().item(0));
        const QString browseFault = UprightTileFault(item->icon().pixmap(96, 96).toImage());
        QVERIFY2(browseFault.isEmpty(), qPrintable(browseFault));
        QCOMPARE(QSize(item->PhotoWidth(), item->PhotoHeight()), QSize(30, 60));  // as the user sees it

        item->setSelected(true);
        w.Browse().ShowSlideshow();
        const QImage shown = w.Page().Cur_Img->Picture();
        QCOMPARE(shown.size(), QSize(30, 60));
        QVERIFY(IsRed(shown.pixel(15, 5)) && IsBlue(shown.pixel(15, 55)));

        w.window->Action(ActionId::ImgAdd1)->trigger();
        QVERIFY(test::WaitUntilIdle(*w.window));
        const TAlbum& album = w.window->Albums()->Albums().Items(w.window->Albums()->Albums().CurrentIndex());
        QCOMPARE(album.Jobs().Count(), 1);
        const TImageJob& job = album.Jobs().Items(0);
        // The photo is sent as it is: the same bytes, and the sidecar's figures are its stored ones.
        QFile original(photo), copy(QString::fromStdString(job.WorkPath));
        QVERIFY(original.open(QIODevice::ReadOnly) && copy.open(QIODevice::ReadOnly));
        QCOMPARE(copy.readAll(), original.readAll());
        QCOMPARE(QSize(job.Width, job.Height), QSize(60, 30));
        QListWidget* content = w.window->Organize()->Content_View;
        QCOMPARE(content->count(), 1);
        QVERIFY2(content->item(0)->text().contains("30 x 60"), qPrintable(content->item(0)->text()));
        const QString albumFault = UprightTileFault(content->item(0)->icon().pixmap(96, 96).toImage());
        QVERIFY2(albumFault.isEmpty(), qPrintable(albumFault));
    }
};

QTEST_MAIN(UprightPhotoTest)
#include "UprightPhotoTest.moc"
