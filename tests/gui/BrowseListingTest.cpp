// The folder listing of the selection page: header texts, growth of the name list, sorting,
// unreadable entries and a folder change in the middle of a listing.
#include <QProgressBar>
#include <filesystem>
#include <sys/stat.h>

#include <QTimer>

#include "BrowseFixture.h"
#include "gui/browse/TThumbnailThread.h"

using namespace browse_test;

class BrowseListingTest : public QObject {
    Q_OBJECT

private slots:
    void headerCountsThePhotosOfTheFolder() {
        BrowseWindow w;
        QCOMPARE(w.Page().Tool_Panel->text(), " 0 " + w.Tr("Img_Sing"));  // before any folder
        test::TempFolder empty, one, many;
        empty.Write("notes.txt", "no photo here");
        WritePhoto(one.File("only.jpg"), 40, 30);
        for (int i = 0; i < 300; ++i) WritePhoto(many.File("p" + std::to_string(i) + ".jpg"), 8, 8, i);

        const struct {
            const test::TempFolder* folder;
            QString header;
            int items;
        } cases[] = {{&empty, " " + w.Tr("NoImgInAlbum"), 0},
                     {&one, " 1 " + w.Tr("Img_Sing"), 1},
                     {&many, " 300 " + w.Tr("Img_Plur"), 300},
                     {&empty, " " + w.Tr("NoImgInAlbum"), 0}};
        for (const auto& c : cases) {
            QVERIFY(w.List(c.folder->Path()));
            QCOMPARE(w.Page().Tool_Panel->text(), c.header);
            QCOMPARE(w.List().count(), c.items);
            QCOMPARE(w.Listed(), c.items);
            QCOMPARE(w.window->Context().BusyCount(), 0);
        }
        QVERIFY(w.List(many.Path()));
        QCOMPARE(w.Browse().Worker().NamesRoom(), size_t(512));
        QCOMPARE(w.window->findChild<QProgressBar*>("PBar")->maximum(), 300);
        QCOMPARE(w.window->findChild<QProgressBar*>("PBar")->value(), 0);
        QVERIFY(w.messages.isEmpty());
    }

    void listIsSortedByCaptionWithNameSizeAndDimensions() {
        BrowseWindow w;
        test::TempFolder folder;
        WritePhoto(folder.File("b.JPG"), 64, 48);
        WritePhoto(folder.File("a.jpeg"), 48, 64);
        WritePhoto(folder.File("C.jpg"), 10, 10);
        folder.Write("skip.png", "x");
        QVERIFY(w.List(folder.Path()));
        QCOMPARE(w.List().count(), 3);
        QVERIFY(w.List().item(0)->text().startsWith("a.jpeg\n"));
        QVERIFY(w.List().item(1)->text().startsWith("b.JPG\n"));
        QVERIFY(w.List().item(2)->text().startsWith("C.jpg\n"));
        QVERIFY(w.List().item(1)->text().endsWith(" - 64 x 48"));
        QCOMPARE(w.List().item(1)->data(Qt::UserRole + 1).toInt(), 64);
        QCOMPARE(w.List().item(1)->data(Qt::UserRole + 2).toInt(), 48);
    }

    void unreadableEntriesGetThePlaceholderAfterTheMessage() {
        BrowseWindow w;
        test::TempFolder folder;
        WritePhoto(folder.File("good.jpg"), 200, 100);
        std::filesystem::create_directory(folder.File("old.jpg"));
        folder.Write("broken.jpg", "this is no JPEG at all");
        // A named pipe is never waited on: the listing goes on and the window closes.
        QCOMPARE(mkfifo(folder.File("pipe.jpg").c_str(), 0600), 0);
        QVERIFY(w.List(folder.Path()));
        QCOMPARE(w.List().count(), 4);
        QCOMPARE(w.messages.size(), 3);
        QVERIFY(w.messages.contains("The photo old.jpg cannot be read."));
        QVERIFY(w.messages.contains("The photo broken.jpg cannot be read."));
        QVERIFY(w.messages.contains("The photo pipe.jpg cannot be read."));
        for (int i = 0; i < w.List().count(); ++i) {
            const QString path = w.List().item(i)->data(Qt::UserRole).toString();
            const QImage tile = w.Browse().TileOf(i).toImage();
            QCOMPARE(tile.size(), QSize(96, 96));
            QCOMPARE(QColor(tile.pixel(0, 0)), QColor(0x80, 0x80, 0x80));  // the frame
            const QColor inside = tile.pixel(2, 2);
            if (path.endsWith("good.jpg")) QCOMPARE(inside, QColor(Qt::white));  // above the 96 x 48 picture
            else QCOMPARE(inside, QColor(0xC0, 0xC0, 0xC0));
        }
    }

    void anotherFolderStopsTheRunningListing() {
        BrowseWindow w;
        w.Browse().SetDecoderCount(1);
        test::TempFolder first, second;
        for (int i = 0; i < 120; ++i) WritePhoto(first.File("first" + std::to_string(i) + ".jpg"), 900, 700, i);
        for (int i = 0; i < 3; ++i) WritePhoto(second.File("second" + std::to_string(i) + ".jpg"), 50, 50, i);
        QSignalSpy finished(&w.Browse(), &SelectPageController::listingFinished);
        QVERIFY(w.Browse().SelectFolder(QString::fromStdString(first.Path())));
        QTRY_VERIFY_WITH_TIMEOUT(w.Listed() >= 1, 20000);
        QVERIFY(w.Listed() < 120);
        QVERIFY(w.Browse().SelectFolder(QString::fromStdString(second.Path())));
        // The first listing ends early, then the second one runs to its end.
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 2, 20000);
        QCOMPARE(w.List().count(), 3);
        for (const QString& path : w.Paths()) QVERIFY2(path.contains("/second"), qPrintable(path));
        QCOMPARE(w.Page().Tool_Panel->text(), " 3 " + w.Tr("Img_Plur"));
        QCOMPARE(w.window->Context().BusyCount(), 0);
        // Selecting the same folder again lists nothing again.
        QTest::qWait(250);
        QCOMPARE(finished.count(), 2);
    }

    void restartingTheWorkerMidListingListsTheFolderAgain() {
        BrowseWindow w;
        w.Browse().SetDecoderCount(1);
        test::TempFolder folder;
        for (int i = 0; i < 60; ++i) WritePhoto(folder.File("p" + std::to_string(i) + ".jpg"), 1200, 900, i);
        QSignalSpy finished(&w.Browse(), &SelectPageController::listingFinished);
        // The worker is replaced as soon as the first tile is in, from the event loop.
        bool restarted = false;
        connect(w.List().model(), &QAbstractItemModel::dataChanged, this, [&] {
            if (restarted || w.Listed() == 0) return;
            restarted = true;
            QTimer::singleShot(0, this, [&] {
                QVERIFY(w.Listed() < 60);
                w.Browse().SetDecoderCount(2);
            });
        });
        QVERIFY(w.Browse().SelectFolder(QString::fromStdString(folder.Path())));
        QTRY_VERIFY_WITH_TIMEOUT(finished.count() >= 1 && w.Listed() == 60, 30000);
        QTest::qWait(100);  // calls the stopped worker left queued run now, and must do nothing
        QVERIFY(restarted);
        QCOMPARE(w.List().count(), 60);
        QCOMPARE(w.Listed(), 60);
        QCOMPARE(w.window->Context().BusyCount(), 0);
    }

    void lastFolderIsSelectedAtFirstActivationAndStoredAtClose() {
        test::TempFolder photos;
        WritePhoto(photos.File("x.jpg"), 20, 20);
        BrowseWindow w;
        QVERIFY(w.List(photos.Path()));
        w.window->close();
        QCOMPARE(QString::fromStdString(w.window->Context().Settings().LastTree),
                 QString::fromStdString(photos.Path()).chopped(1));
    }
};

QTEST_MAIN(BrowseListingTest)
#include "BrowseListingTest.moc"
