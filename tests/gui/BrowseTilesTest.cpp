// The tiles of the selection page: the rows come in the natural order of their names from the
// first tile on, only the rows on screen and near it hold a tile however far the list scrolls,
// and tiles are made at the screen's pixel ratio (this test also runs with QT_SCALE_FACTOR=2).
#include <QApplication>
#include <QLocale>
#include <QScrollBar>

#include "BrowseFixture.h"

using namespace browse_test;

class BrowseTilesTest : public QObject {
    Q_OBJECT

private slots:
    void rowsAreInNaturalOrderFromTheFirstTile() {
        const QStringList written = {"IMG_10.jpg", "d2.jpg", "IMG_2.jpg", "D100.jpg", "IMG_0003.jpg", "D10.jpg",
                                     "D1.jpg", "b.JPG", "a.jpeg"};
        const QStringList expected = {"a.jpeg", "b.JPG", "D1.jpg", "d2.jpg", "D10.jpg", "D100.jpg",
                                      "IMG_2.jpg", "IMG_0003.jpg", "IMG_10.jpg"};
        // The plain locale (compared here) and a language's collation (ICU's).
        for (const char* locale : {"C", "en_GB", "fr_BE"}) {
            QLocale::setDefault(QLocale(locale));
            BrowseWindow w;
            test::TempFolder folder;
            for (int i = 0; i < written.size(); ++i) WritePhoto(folder.File(written[i].toStdString()), 16, 12, i);
            QStringList atFirstTile;
            connect(w.List().model(), &QAbstractItemModel::dataChanged, this, [&] {
                if (atFirstTile.isEmpty() && w.Listed() > 0) atFirstTile = Names(w);
            });
            QVERIFY(w.List(folder.Path()));
            QCOMPARE(atFirstTile, expected);
            QCOMPARE(Names(w), expected);
            w.List().sortItems();  // what the window does after a busy spell keeps that order
            QCOMPARE(Names(w), expected);
        }
        QLocale::setDefault(QLocale::c());
    }

    void onlyTheRowsNearTheScreenHoldTiles() {
        BrowseWindow w;
        w.window->resize(900, 700);
        test::TempFolder folder;
        constexpr int kPhotos = 400;
        for (int i = 0; i < kPhotos; ++i) WritePhoto(folder.File("p" + std::to_string(i) + ".jpg"), 8, 8, i);
        QVERIFY(w.List(folder.Path()));
        QCOMPARE(w.Listed(), kPhotos);
        const std::size_t capacity = 60;
        w.Browse().SetTileCapacity(capacity);
        QScrollBar* bar = w.List().verticalScrollBar();
        QVERIFY(bar->maximum() > 0);
        for (int step = 0; step <= 10; ++step) {
            bar->setValue(bar->maximum() * (step % 2 == 0 ? step : 10 - step) / 10);
            QList<int> onScreen;
            for (int i = 0; i < kPhotos; ++i)
                if (w.List().visualItemRect(w.List().item(i)).intersects(w.List().viewport()->rect())) onScreen.append(i);
            QVERIFY(!onScreen.isEmpty());
            // The rows on screen get their tiles back, decoded again when they were let go.
            for (int row : onScreen) QTRY_VERIFY_WITH_TIMEOUT(!w.Browse().TileOf(row).isNull(), 10000);
            QVERIFY2(w.Browse().TilesHeld() <= capacity, qPrintable(QString::number(w.Browse().TilesHeld())));
            int shown = 0;
            for (int i = 0; i < kPhotos; ++i) shown += w.Browse().TileOf(i).isNull() ? 0 : 1;
            QCOMPARE(std::size_t(shown), w.Browse().TilesHeld());
        }
    }

    void tilesFollowTheScreensPixelRatio() {
        BrowseWindow w;
        test::TempFolder folder;
        WritePhoto(folder.File("wide.jpg"), 400, 200);
        QVERIFY(w.List(folder.Path()));
        QTRY_VERIFY_WITH_TIMEOUT(!w.Browse().TileOf(0).isNull(), 10000);
        const QPixmap tile = w.Browse().TileOf(0);
        const qreal ratio = w.List().devicePixelRatioF();
        QCOMPARE(ratio, qEnvironmentVariable("QT_SCALE_FACTOR", "1").toDouble());  // 2 in the run scaled 2x
        QCOMPARE(tile.devicePixelRatio(), ratio);
        QCOMPARE(tile.width(), qRound(96 * ratio));
        QCOMPARE(tile.deviceIndependentSize(), QSizeF(96, 96));
    }

private:
    static QStringList Names(BrowseWindow& w) {
        QStringList names;
        for (const QString& path : w.Paths()) names.append(path.section('/', -1));
        return names;
    }
};

QTEST_MAIN(BrowseTilesTest)
#include "BrowseTilesTest.moc"
