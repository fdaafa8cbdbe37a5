// The organisation page driven as a user would: files dropped from the file manager, tiles
// dragged onto another album, album names edited, photos turned and removed.
#include <QAbstractButton>
#include <QPushButton>
#include <QAction>
#include <QApplication>
#include <QDragEnterEvent>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QMimeData>
#include <QScrollArea>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include "core/albums/TAlbumList.h"
#include "core/albums/TransferListFile.h"
#include "core/app/WorkFolder.h"
#include "core/base/AtomicFile.h"
#include "core/TempFolder.h"
#include "gui/albums/AlbumPanel.h"
#include "gui/albums/AlbumsController.h"
#include "gui/albums/ContentListWidget.h"
#include "gui/albums/OrganizePage.h"
#include "gui/GuiTestSupport.h"
#include "gui/app/TMain_Dlog.h"

using namespace vantrel;
using namespace vantrel::gui;
using test::Drop;
using test::FilesData;
using test::MakePhoto;
using test::MessageCatcher;

class OrganizePageTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TMain_Dlog> OpenWindow(const test::TempFolder& home) {
        auto window = test::OpenWindow(home);
        window->PageControl()->setCurrentIndex(TMain_Dlog::OrganizeSheet);
        return window;
    }

private slots:
    void dropDragRenameTurnRemoveAndRestart() {
        test::TempFolder home, photos;
        MessageCatcher messages;
        const QString a = MakePhoto(photos, "a.jpg", 64, 48);
        const QString b = MakePhoto(photos, "b.JPEG", 40, 30);
        const QString c = MakePhoto(photos, "c.jpg", 30, 40);
        photos.Write("notes.txt", "not a photo");
        const std::string listFile = home.Path() + "SendPhoto/Images.lst";
        {
            auto window = OpenWindow(home);
            AlbumsController& albums = *window->Albums();
            TAlbumList& list = albums.Albums();
            QCOMPARE(list.Count(), 1);  // today's album
            auto* content = window->Organize()->Content_View;

            // Files dropped from the file manager on the content list join the current album.
            auto files(FilesData({a, b, c, QString::fromStdString(photos.File("notes.txt"))}));
            Drop(content->viewport(), files.get());
            QCOMPARE(content->count(), 3);
            QVERIFY(content->item(0)->text().startsWith("a.jpg"));
            QVERIFY(content->item(0)->text().contains("64 x 48"));
            QCOMPARE(window->PageControl()->tabText(TMain_Dlog::OrganizeSheet),
                     window->Translate("OrgTabName") + " (3 " + window->Translate("Img_Plur") + ")");
            QCOMPARE(window->Organize()->AlbumTitle_Panel->text(), "1 " + window->Translate("Album_Sing"));
            QCOMPARE(window->Organize()->ContentTitle_Panel->text(),
                     "3 photos in the album \"" + QString::fromStdString(list.CurrentAlbum()->AlbumName()) + "\"");

            // A new album, then a name that another album has: refused, the field stays in edit.
            QTimer::singleShot(50, [] {
                if (auto* input = QApplication::activeModalWidget()) {
                    input->findChild<QLineEdit*>()->setText("Holidays");
                    QMetaObject::invokeMethod(input, "accept");
                }
            });
            window->Action(ActionId::AlbumAdd1)->trigger();
            QCOMPARE(list.Count(), 2);
            const int holidays = list.IndexOfName("Holidays");
            QVERIFY(holidays >= 0);
            TAlbum& target = list.Items(holidays);
            AlbumPanel* panel = albums.PanelOf(target);
            QVERIFY(panel);
            const QString today = QString::fromStdString(list.CurrentAlbum()->AlbumName());
            window->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(window.get()));
            QTest::mouseClick(panel->NameEdit(), Qt::LeftButton);
            QVERIFY(panel->IsEditingName());
            QCOMPARE(list.CurrentAlbum(), &target);  // editing a name selects its album
            panel->NameEdit()->setText(today);
            panel->setFocus();
            QTRY_VERIFY(!messages.texts.isEmpty());
            QCOMPARE(messages.texts.last(), window->Translate("BadAlbumName"));
            QVERIFY(panel->IsEditingName());
            // The refused name is not stored: leaving the page meanwhile saves no second album of it.
            QCOMPARE(target.AlbumName(), std::string("Holidays"));
            window->PageControl()->setCurrentIndex(TMain_Dlog::SelectSheet);
            QTest::qWait(100);
            QVERIFY(albums.SaveTransferList());
            const std::string saved = *ReadWholeFile(listFile);
            QVERIFY(saved.find("[Album]\tHolidays\r\n") != std::string::npos);
            QCOMPARE(saved.find("[Album]\t" + today.toStdString()), saved.rfind("[Album]\t" + today.toStdString()));
            window->PageControl()->setCurrentIndex(TMain_Dlog::OrganizeSheet);
            QTest::mouseClick(panel->NameEdit(), Qt::LeftButton);
            window->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(window.get()));
            QTRY_VERIFY(panel->NameEdit()->hasFocus());
            panel->NameEdit()->setText("Summer \"best\" / it's");
            panel->setFocus();
            QTRY_VERIFY(!panel->IsEditingName());
            QCOMPARE(target.AlbumName(), std::string("Summer xbestx x it's"));

            // Two tiles dragged onto the other album move there with their working copies.
            list.SelectAlbum(list.IndexOfName(today.toStdString()));
            TAlbum* origin = list.CurrentAlbum();
            QVERIFY(origin != &target);
            const std::string movedCopy = origin->Jobs().Items(0).WorkPath;
            content->item(0)->setSelected(true);
            content->item(2)->setSelected(true);
            auto* tiles = new QMimeData;
            tiles->setData(kContentTilesMime, "0,2");
            std::unique_ptr<QMimeData> tileData(tiles);
            Drop(panel, tiles);
            QCOMPARE(origin->Jobs().Count(), 1);
            QCOMPARE(target.Jobs().Count(), 2);
            QCOMPARE(content->count(), 1);
            QVERIFY(FileExists(movedCopy));
            // The current album's own panel refuses its own tiles.
            content->item(0)->setSelected(true);
            Drop(albums.PanelOf(*origin), tiles);
            QCOMPARE(origin->Jobs().Count(), 1);
            QVERIFY(!origin->IsHighlighted());

            // Turning a photo turns its working copy and its caption.
            content->item(0)->setSelected(true);
            window->Action(ActionId::ImgRotR1)->trigger();
            QVERIFY(test::WaitUntilIdle(*window));
            QVERIFY(content->item(0)->text().contains("30 x 40"));

            // Clicking the other album's count label makes it current.
            QTest::mouseClick(panel->CountLabel(), Qt::LeftButton);
            QCOMPARE(list.CurrentAlbum(), &target);
            QCOMPARE(content->count(), 2);
            QVERIFY(window->Organize()->ContentTitle_Panel->text().contains("best"));

            // Removing a photo deletes its working copy after the question.
            content->clearSelection();
            content->item(1)->setSelected(true);
            const std::string removedCopy = target.Jobs().Items(1).WorkPath;
            window->Action(ActionId::EditDelete1)->trigger();
            QCOMPARE(target.Jobs().Count(), 1);
            QVERIFY(!FileExists(removedCopy));
            window->close();
        }
        // The file holds exactly what the page showed, with CR LF lines...
        const std::string text = *ReadWholeFile(listFile);
        QVERIFY(text.find("\r\n") != std::string::npos);
        QVERIFY(text.find("\n") == text.find("\r\n") + 1);
        // ...and the next start shows the same albums and photos.
        auto again = OpenWindow(home);
        TAlbumList& list = again->Albums()->Albums();
        QCOMPARE(list.Count(), 2);
        int photosQueued = 0;
        for (int i = 0; i < list.Count(); ++i) photosQueued += list.Items(i).Jobs().Count();
        QCOMPARE(photosQueued, 2);
        QVERIFY(list.IndexOfName("Summer xbestx x it's") >= 0);
    }

    // A drop and a turn of several photos run one photo per turn of the event loop: the command
    // returns first, a second request while it runs is refused, and every photo is done once.
    void dropsAndTurnsRunOnePhotoPerTurnOfTheEventLoop() {
        test::TempFolder home, photos;
        MessageCatcher messages;
        auto window = OpenWindow(home);
        AlbumsController& albums = *window->Albums();
        auto* content = window->Organize()->Content_View;
        const QStringList files = {MakePhoto(photos, "a.jpg", 40, 30, true), MakePhoto(photos, "b.jpg", 40, 30, true),
                                   MakePhoto(photos, "c.jpg", 40, 30, true)};

        albums.DropFilesOnContent(files);
        QCOMPARE(content->count(), 0);
        QCOMPARE(window->Context().BusyCount(), 1);
        albums.DropFilesOnContent({MakePhoto(photos, "d.jpg", 40, 30)});
        QVERIFY(test::WaitUntilIdle(*window));
        QCOMPARE(content->count(), 3);
        QCOMPARE(albums.Queue().QueuedCount(), 3);

        content->selectAll();
        window->Action(ActionId::ImgRotR1)->trigger();
        QVERIFY(content->item(0)->text().contains("40 x 30"));
        QVERIFY(!window->Action(ActionId::FileOptions1)->isEnabled());
        window->Action(ActionId::ImgRotL1)->trigger();
        QVERIFY(test::WaitUntilIdle(*window));
        for (int i = 0; i < 3; ++i) QVERIFY2(content->item(i)->text().contains("30 x 40"), qPrintable(content->item(i)->text()));
        QVERIFY(window->Action(ActionId::FileOptions1)->isEnabled());
        QCOMPARE(messages.texts, QStringList());
    }

    void deletingTheCurrentAlbumAsksFirst() {
        test::TempFolder home, photos;
        MessageCatcher messages;
        messages.answer = QMessageBox::No;
        auto window = OpenWindow(home);
        TAlbumList& list = window->Albums()->Albums();
        auto files(FilesData({MakePhoto(photos, "p.jpg", 20, 20)}));
        Drop(window->Organize()->Content_View->viewport(), files.get());
        const std::string copy = list.CurrentAlbum()->Jobs().Items(0).WorkPath;
        window->Action(ActionId::AlbumDel1)->trigger();
        QCOMPARE(list.Count(), 1);  // "No" keeps it
        messages.answer = QMessageBox::Yes;
        window->Action(ActionId::AlbumDel1)->trigger();
        QCOMPARE(list.Count(), 0);
        QVERIFY(!FileExists(copy));
        QCOMPARE(list.DefaultAlbumIndex, -1);
        QCOMPARE(window->Organize()->AlbumTitle_Panel->text(), "0 " + window->Translate("Album_Sing"));
    }

    void filesDroppedOnAnAlbumPanel() {
        test::TempFolder home, photos;
        auto window = OpenWindow(home);
        TAlbumList& list = window->Albums()->Albums();
        TAlbum* today = list.CurrentAlbum();
        TAlbum& other = list.Items(list.AddAlbum("Other", 0));
        AlbumPanel* panel = window->Albums()->PanelOf(other);
        QCOMPARE(list.CurrentAlbum(), today);

        // Web addresses carry no file list: the drop changes nothing.
        auto web = std::make_unique<QMimeData>();
        web->setUrls({QUrl("http://127.0.0.1/a.jpg")});
        Drop(panel, web.get());
        QCOMPARE(list.CurrentAlbum(), today);
        QCOMPARE(other.Jobs().Count(), 0);

        // Files make the album current and queue the JPEG files among them.
        auto files(FilesData({MakePhoto(photos, "a.jpg", 20, 20), MakePhoto(photos, "b.JPEG", 20, 21),
                              QString::fromStdString(photos.Write("c.txt", "text"))}));
        Drop(panel, files.get());
        QCOMPARE(list.CurrentAlbum(), &other);
        QCOMPARE(other.Jobs().Count(), 2);
        QCOMPARE(window->Organize()->Content_View->count(), 2);
        QVERIFY(!other.IsHighlighted());
    }

    // A photo under 150 dpi at 10x15 cm carries a warning mark on its tile; every tile's tooltip
    // gives the photo's print-size advice.
    void smallPhotosAreMarkedAndTooltipsGiveTheAdvice() {
        test::TempFolder home, photos;
        auto window = OpenWindow(home);
        auto* content = window->Organize()->Content_View;
        auto files(FilesData({MakePhoto(photos, "small.jpg", 640, 480), MakePhoto(photos, "large.jpg", 1800, 1350)}));
        Drop(content->viewport(), files.get());
        QVERIFY(test::WaitUntilIdle(*window));
        QCOMPARE(content->count(), 2);
        QCOMPARE(content->item(0)->toolTip(), "Too small for a good 10x15 print: 108 dpi");
        QCOMPARE(content->item(1)->toolTip(), "Good for prints up to 15x20 cm");

        // The two tiles differ only by the mark in the bottom-right corner.
        const QImage small = content->item(0)->icon().pixmap(96, 96).toImage();
        const QImage large = content->item(1)->icon().pixmap(96, 96).toImage();
        const QPoint corner(small.width() - 8, small.height() - 5);
        QCOMPARE(small.pixelColor(corner), QColor(255, 190, 0));
        QVERIFY(large.pixelColor(corner) != QColor(255, 190, 0));
        QCOMPARE(small.pixelColor(small.width() / 2, 4), large.pixelColor(large.width() / 2, 4));
    }

    void dropsAreIgnoredOffTheOrganisationPageOrWhileBusy() {
        test::TempFolder home, photos;
        auto window = OpenWindow(home);
        auto* content = window->Organize()->Content_View;
        auto files(FilesData({MakePhoto(photos, "p.jpg", 20, 20)}));
        window->Context().BeginBusy(1, false);
        Drop(content->viewport(), files.get());
        window->Context().EndBusy();
        window->PageControl()->setCurrentIndex(TMain_Dlog::SelectSheet);
        Drop(content->viewport(), files.get());
        QCOMPARE(window->Albums()->Albums().CurrentAlbum()->Jobs().Count(), 0);
    }
};

QTEST_MAIN(OrganizePageTest)
#include "OrganizePageTest.moc"
