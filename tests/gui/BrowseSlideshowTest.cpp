// Thumbnail and slideshow modes: the enabling of the browse actions, navigation and keys, the
// information panel, adding the selection to albums with its notice, and the compare dialog.
#include <QAction>
#include <QMenu>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QStackedWidget>

#include "BrowseFixture.h"

#include <fcntl.h>
#include <sys/stat.h>

#include "core/imaging/ExifFixtureBuilder.h"
#include "core/imaging/ExifOrientation.h"
#include "core/imaging/JpegDecoder.h"
#include "gui/albums/AlbumsController.h"
#include "gui/browse/PhotoInfoPanel.h"
#include "gui/browse/SlideshowView.h"
#include "gui/browse/TCompare_Dlog.h"
#include "gui/browse/TDup_Dlog.h"
#include "gui/browse/TThumbnailThread.h"
#include "gui/kit/TileImages.h"

using namespace browse_test;

namespace {

// A photo whose head carries an EXIF block with the camera's values (no ISO speed when
// `iso` is 0, width and height 0 when asked).
std::string WriteExifPhoto(const std::string& path, int iso, bool withSize, std::uint32_t orientation = 1) {
    WritePhoto(path, 80, 60);
    QFile file(QString::fromStdString(path));
    file.open(QIODevice::ReadOnly);
    const QByteArray jpeg = file.readAll();
    file.close();
    exif_fixture::Tiff t;
    std::vector<exif_fixture::Entry> exif = {t.Rational(0x829A, {{1, 250}}), t.Rational(0x829D, {{28, 10}}),
                                             t.Ascii(0x9003, "2021:07:14 10:20:30"), t.Rational(0x920A, {{50, 1}})};
    if (iso) exif.push_back(t.Short(0x8827, {std::uint32_t(iso)}));
    exif.push_back(t.Long(0xA002, {withSize ? 4000u : 0u}));
    exif.push_back(t.Long(0xA003, {withSize ? 3000u : 0u}));
    std::vector<exif_fixture::Entry> first = {t.SubDirectory(0x8769, exif)};
    if (orientation != 1) first.push_back(t.Short(0x0112, {orientation}));
    const std::string segment = exif_fixture::ExifSegment(t.Block(first));
    QByteArray out = jpeg.left(2) + QByteArray(segment.data(), qsizetype(segment.size())) + jpeg.mid(2);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(out);
    return path;
}

// The whole value of an information line: a value shortened to fit the panel has it as its tip.
QString Value(BrowseWindow& w, const char* label) {
    const QLabel* shown = w.Page().Info_Panel->findChild<QLabel*>(label);
    if (shown->toolTip().isEmpty()) return shown->text();
    // What is shown is the start and end of the whole value, with an ellipsis between.
    const QStringList parts = shown->text().split(QChar(0x2026));
    return parts.size() == 2 && shown->toolTip().startsWith(parts[0]) && shown->toolTip().endsWith(parts[1])
               ? shown->toolTip()
               : shown->text();
}

}  // namespace

class BrowseSlideshowTest : public QObject {
    Q_OBJECT

    // Which of ImgAdd1, ImgCompare1, ImgFirst1, ImgPrev1, ImgNext1, ImgLast1 are enabled.
    static QString Enabled(BrowseWindow& w) {
        QString out;
        for (ActionId id : {ActionId::ImgAdd1, ActionId::ImgCompare1, ActionId::ImgFirst1, ActionId::ImgPrev1,
                            ActionId::ImgNext1, ActionId::ImgLast1})
            out += w.window->Action(id)->isEnabled() ? '1' : '0';
        return out;
    }
    static void Select(BrowseWindow& w, std::initializer_list<int> rows) {
        w.List().clearSelection();
        for (int row : rows) w.List().item(row)->setSelected(true);
    }

private slots:
    void browseActionsFollowTheSelectionInBothModes() {
        BrowseWindow w;
        test::TempFolder folder;
        for (int i = 0; i < 8; ++i) WritePhoto(folder.File("p" + std::to_string(i) + ".jpg"), 30, 20, i);
        QVERIFY(w.List(folder.Path()));
        w.window->Action(ActionId::ImgCompare1)->setEnabled(false);

        // Thumbnails: add with a selection, compare with exactly two, navigation never.
        const std::pair<std::initializer_list<int>, QString> thumbs[] = {
            {{}, "000000"}, {{2}, "100000"}, {{2, 5}, "110000"}, {{1, 2, 3}, "100000"}};
        for (const auto& [rows, expected] : thumbs) {
            Select(w, rows);
            QCOMPARE(Enabled(w), expected);
        }

        // Slideshow from items 3 and 7: item 3 alone is shown.
        Select(w, {3, 7});
        w.window->Action(ActionId::ImgDiapo1)->trigger();
        QVERIFY(w.Browse().SlideshowMode());
        QVERIFY(w.window->Action(ActionId::ImgDiapo1)->isChecked());
        QVERIFY(!w.window->Action(ActionId::ImgThumb1)->isChecked());
        QCOMPARE(w.List().selectedItems().size(), 1);
        QCOMPARE(w.List().row(w.List().selectedItems().front()), 3);
        QCOMPARE(w.Page().Tool_Panel->text(), " " + w.Tr("Cap_Image") + " 4 " + w.Tr("OutOf") + " 8");
        QVERIFY(!w.Page().Cur_Img->Picture().isNull());
        QCOMPARE(Enabled(w).remove(1, 1), QString("11111"));  // compare keeps its state

        // Keys of the window: Home, End, Right on the last photo, Left, Escape.
        auto key = [&](Qt::Key k) { QTest::keyClick(w.Page().Cur_Img, k); };
        key(Qt::Key_Home);
        QCOMPARE(w.List().currentRow(), 0);
        QCOMPARE(Enabled(w).remove(1, 1), QString("10011"));
        key(Qt::Key_End);
        QCOMPARE(w.List().currentRow(), 7);
        QCOMPARE(Enabled(w).remove(1, 1), QString("11100"));
        key(Qt::Key_Right);
        QCOMPARE(w.List().currentRow(), 7);
        QCOMPARE(w.Page().Tool_Panel->text(), " " + w.Tr("Cap_Image") + " 8 " + w.Tr("OutOf") + " 8");
        key(Qt::Key_PageUp);
        QCOMPARE(w.List().currentRow(), 6);
        const QString captionBefore = w.Browse().ChangeViewModeAction()->text();
        key(Qt::Key_Escape);
        QVERIFY(!w.Browse().SlideshowMode());
        QCOMPARE(w.Page().ShowStack->currentWidget(), w.Page().Thumb_Panel);
        QCOMPARE(w.Browse().ChangeViewModeAction()->text(), captionBefore);
        QCOMPARE(w.Page().Tool_Panel->text(), " 8 " + w.Tr("Img_Plur"));

        // The pop-up item switches and names the other mode.
        w.Browse().ChangeViewModeAction()->trigger();
        QVERIFY(w.Browse().SlideshowMode());
        QCOMPARE(w.Browse().ChangeViewModeAction()->text(), w.Tr("Show_Thumb"));
        w.Browse().ChangeViewModeAction()->trigger();
        QVERIFY(!w.Browse().SlideshowMode());
        QCOMPARE(w.Browse().ChangeViewModeAction()->text(), w.Tr("Show_Slide"));

        // A double click beside the tiles switches to the slideshow as well, on the first photo.
        w.List().clearSelection();
        w.List().resize(900, 700);
        const QPoint beside(w.List().viewport()->width() - 5, w.List().viewport()->height() - 5);
        QVERIFY(w.List().itemAt(beside) == nullptr);
        QTest::mouseDClick(w.List().viewport(), Qt::LeftButton, {}, beside);
        QVERIFY(w.Browse().SlideshowMode());
        QCOMPARE(w.List().currentRow(), 0);
    }

    // Steps show what a decode of the photo shows, whether it was decoded ahead or not; a photo
    // rewritten after it was decoded ahead shows its new content.
    void stepsShowEachPhotoAsDecodedEvenWhenItChangedMeanwhile() {
        BrowseWindow w;
        test::TempFolder folder;
        std::vector<std::string> paths;
        for (int i = 0; i < 4; ++i)
            paths.push_back(WritePhoto(folder.File("p" + std::to_string(i) + ".jpg"), 300 + 10 * i, 200, i + 1));
        QVERIFY(w.List(folder.Path()));
        auto decoded = [](const std::string& path) {
            vantrel::ImageWorkspace ws;
            if (!vantrel::LoadImage(ws, path).HasPicture()) return QImage();
            vantrel::TurnUpright(ws);
            return vantrel::gui::ToQImage(ws.workBitmap);
        };
        Select(w, {0});
        w.window->Action(ActionId::ImgDiapo1)->trigger();
        QCOMPARE(w.Page().Cur_Img->Picture(), decoded(paths[0]));
        QTest::qWait(200);  // the worker has time to decode the next photo
        QTest::keyClick(w.Page().Cur_Img, Qt::Key_Right);
        QCOMPARE(w.Page().Cur_Img->Picture(), decoded(paths[1]));
        QTest::qWait(200);
        WritePhoto(paths[2], 320, 200, 9);
        const timespec later[2] = {{2000000000, 0}, {2000000000, 0}};
        QCOMPARE(::utimensat(AT_FDCWD, paths[2].c_str(), later, 0), 0);
        QTest::keyClick(w.Page().Cur_Img, Qt::Key_Right);
        QCOMPARE(w.Page().Cur_Img->Picture(), decoded(paths[2]));
        QTest::keyClick(w.Page().Cur_Img, Qt::Key_Left);  // back at once, before any wait
        QCOMPARE(w.Page().Cur_Img->Picture(), decoded(paths[1]));
        QTest::keyClick(w.Page().Cur_Img, Qt::Key_End);
        QCOMPARE(w.Page().Cur_Img->Picture(), decoded(paths[3]));
    }

    void slideshowOfOnePhotoAndOfAnEmptyFolder() {
        BrowseWindow w;
        test::TempFolder one, none;
        WritePhoto(one.File("solo.jpg"), 30, 20);
        QVERIFY(w.List(one.Path()));
        w.Browse().ShowSlideshow();
        QCOMPARE(Enabled(w).remove(1, 1), QString("10000"));
        // A new listing in slideshow mode shows the first photo as soon as it arrives.
        QVERIFY(w.List(none.Path()));
        QVERIFY(w.Page().Cur_Img->isHidden());
        QCOMPARE(w.Page().Tool_Panel->text(), " " + w.Tr("NoImgInAlbum"));
        QCOMPARE(Enabled(w).remove(1, 1), QString("00000"));
        QVERIFY(w.List(one.Path()));
        QVERIFY(!w.Page().Cur_Img->isHidden());
        QCOMPARE(w.List().selectedItems().size(), 1);
    }

    void informationPanelForOneOrSeveralPhotos() {
        BrowseWindow w;
        test::TempFolder folder;
        WriteExifPhoto(folder.File("a_exif.jpg"), 200, true);
        WriteExifPhoto(folder.File("b_noiso.jpg"), 0, false);
        WritePhoto(folder.File("c_plain.jpg"), 64, 48);
        QVERIFY(w.List(folder.Path()));
        QCOMPARE(w.List().count(), 3);

        Select(w, {0});
        QCOMPARE(Value(w, "Name_Lbl"), QString("a_exif.jpg"));
        QVERIFY(Value(w, "Size_Lbl").startsWith("4000 x 3000\n"));
        QCOMPARE(Value(w, "Date_Lbl"), QString("14 Jul 2021 10:20:30"));  // as the C locale writes it
        QCOMPARE(Value(w, "Open_Lbl"), QString("f 2.8"));
        QVERIFY(Value(w, "Speed_Lbl").contains("250"));
        QVERIFY(Value(w, "Focus_Lbl").contains("50.00 mm"));
        QCOMPARE(Value(w, "Iso_Lbl"), QString("200"));

        Select(w, {1});  // EXIF without size nor ISO speed: the list's dimensions, ISO stays "--"
        QVERIFY(Value(w, "Size_Lbl").startsWith("80 x 60\n"));
        QCOMPARE(Value(w, "Iso_Lbl"), QString("--"));

        Select(w, {2});  // no EXIF: name and sizes only
        QCOMPARE(Value(w, "Name_Lbl"), QString("c_plain.jpg"));
        QVERIFY(Value(w, "Size_Lbl").startsWith("64 x 48\n"));
        QVERIFY(Value(w, "Size_Lbl").endsWith(" " + w.Tr("Panel_Kb")));
        for (const char* label : {"Date_Lbl", "Open_Lbl", "Speed_Lbl", "Focus_Lbl", "Iso_Lbl"})
            QCOMPARE(Value(w, label), QString("--"));
        QCOMPARE(Value(w, "Print_Lbl"), QString("Too small for a good 10x15 print: 10 dpi"));

        Select(w, {0, 1, 2});
        QCOMPARE(Value(w, "Name_Lbl"), "3 " + w.Tr("Img_Plur"));
        QVERIFY(Value(w, "Size_Lbl").endsWith(" " + w.Tr("Panel_Kb")));
        QCOMPARE(Value(w, "Date_Lbl"), QString("--"));
        QCOMPARE(Value(w, "Print_Lbl"), QString());  // advice is for one photo
        Select(w, {});
        QCOMPARE(Value(w, "Name_Lbl"), "0 " + w.Tr("Img_Plur"));
        QCOMPARE(Value(w, "Size_Lbl"), "0.00 " + w.Tr("Panel_Kb"));
    }

    // The values read as the user's locale writes them, and the size of a photo held upright as
    // the list shows it.
    void informationPanelSpeaksTheLocaleAndShowsTheUprightSize() {
        const QLocale before;
        QLocale::setDefault(QLocale(QLocale::French, QLocale::Belgium));
        const auto restore = qScopeGuard([&] { QLocale::setDefault(before); });
        test::TempFolder folder;
        const std::string path = WriteExifPhoto(folder.File("held_upright.jpg"), 200, true, 6);
        const PhotoInfoTexts texts =
            DescribeSelection({{QString::fromStdString(path), 60, 80}}, SizeTextStyle{"Mo", "Ko", ','}, "photos",
                              [](std::string_view key) { return std::string(key); });
        QCOMPARE(texts.size.section('\n', 0, 0), QString("3000 x 4000"));
        QCOMPARE(texts.date, QString("14/07/21 10:20"));
        QCOMPARE(texts.aperture, QString("f 2,8"));
        QVERIFY2(texts.focal.contains("50,00 mm"), qPrintable(texts.focal));
        QVERIFY2(texts.speed.contains("1/250"), qPrintable(texts.speed));
    }

    // Adding runs one photo per turn of the event loop: the command returns at once, the window
    // stays busy (no options) until the last photo, a second request meanwhile starts no second
    // loop over the same photos, and the list is saved once, at the end.
    void addingRunsOnePhotoPerTurnOfTheEventLoop() {
        BrowseWindow w;
        struct WatchingAdder : FakeAdder {
            std::function<void()> onAdd;
            bool AddPhotoToAlbum(int albumIndex, const QString& path) override {
                onAdd();
                return FakeAdder::AddPhotoToAlbum(albumIndex, path);
            }
        } adder;
        adder.albums = {"Holidays"};
        adder.current = adder.defaultIndex = 0;
        QAction* options = w.window->Action(ActionId::FileOptions1);
        int busyPhotos = 0;
        adder.onAdd = [&] { busyPhotos += !options->isEnabled() && adder.saves == 0 ? 1 : 0; };
        w.Browse().SetPhotoAdder(&adder);
        test::TempFolder folder;
        for (int i = 0; i < 4; ++i) WritePhoto(folder.File("p" + std::to_string(i) + ".jpg"), 20, 20, i);
        QVERIFY(w.List(folder.Path()));
        Select(w, {0, 1, 2, 3});

        w.window->Action(ActionId::ImgAdd1)->trigger();
        QCOMPARE(adder.added.size(), 0);
        QVERIFY(w.Browse().Adding());
        w.window->Action(ActionId::ImgAdd1)->trigger();
        QVERIFY(test::WaitUntilIdle(*w.window));
        QCOMPARE(adder.added.size(), 4);
        QCOMPARE(busyPhotos, 4);
        QCOMPARE(adder.saves, 1);
        QCOMPARE(w.notices.size(), 1);
        QVERIFY(options->isEnabled());
    }

    // Photos already queued and added again: one question for the whole add, whose "to all"
    // answer holds for that add only; the add command waits while an add runs.
    void addingQueuedPhotosAgainAsksOnceForAll() {
        BrowseWindow w;
        test::TempFolder folder;
        for (int i = 0; i < 5; ++i) WritePhoto(folder.File("p" + std::to_string(i) + ".jpg"), 20, 20, i);
        QVERIFY(w.List(folder.Path()));
        Select(w, {0, 1, 2, 3, 4});
        QAction* add = w.window->Action(ActionId::ImgAdd1);
        const TransferQueue& queue = w.window->Albums()->Queue();
        add->trigger();
        QVERIFY(w.Browse().Adding());
        QVERIFY(!add->isEnabled());
        QVERIFY(test::WaitUntilIdle(*w.window));
        QVERIFY(add->isEnabled());
        QCOMPARE(queue.QueuedCount(), 5);

        test::MessageCatcher catcher;
        const std::pair<int, int> cases[] = {{QMessageBox::NoToAll, 5}, {QMessageBox::YesToAll, 10}};
        for (const auto& [answer, queued] : cases) {
            catcher.texts.clear();
            catcher.answer = answer;
            add->trigger();
            QVERIFY(test::WaitUntilIdle(*w.window));
            QCOMPARE(catcher.texts.size(), 1);
            QCOMPARE(queue.QueuedCount(), queued);
        }
    }

    void addingTheSelectionShowsTheNoticeUntilTurnedOff() {
        BrowseWindow w;
        FakeAdder adder;
        w.Browse().SetPhotoAdder(&adder);
        QVERIFY(!w.Browse().AlbumMenu()->menuAction()->isEnabled());
        test::TempFolder folder;
        for (int i = 0; i < 3; ++i) WritePhoto(folder.File("p" + std::to_string(i) + ".jpg"), 20, 20, i);
        QVERIFY(w.List(folder.Path()));

        // No album at all: ImgAdd1 makes today's album and fills it.
        Select(w, {0, 1, 2});
        w.window->Action(ActionId::ImgAdd1)->trigger();
        QVERIFY(test::WaitUntilIdle(*w.window));
        QCOMPARE(adder.albums, QStringList{"Today"});
        QCOMPARE(adder.added.size(), 3);
        QCOMPARE(adder.added[0].second, QString::fromStdString(folder.File("p0.jpg")));
        QCOMPARE(w.notices, QStringList{w.Tr("D_Upper1_All") + " " + w.Tr("D_Upper2")});

        // One refused of three: the partial notice; ticking the box ends the notices.
        adder.refuse = {"p1.jpg"};
        w.tickNoMore = true;
        w.window->Action(ActionId::ImgAdd1)->trigger();
        QVERIFY(test::WaitUntilIdle(*w.window));
        QCOMPARE(w.notices.last(), w.Tr("D_Upper1_Part") + " " + w.Tr("D_Upper2"));
        QVERIFY(!w.Browse().NoticeFlag());
        w.window->Action(ActionId::ImgAdd1)->trigger();
        QVERIFY(test::WaitUntilIdle(*w.window));
        QCOMPARE(w.notices.size(), 2);
        QCOMPARE(adder.saves, 3);

        // The sub-menu lists the albums and adds to the one chosen.
        adder.albums = {"Holidays", "Today"};
        w.Browse().RebuildAlbumMenu();
        const QList<QAction*> items = w.Browse().AlbumMenu()->actions();
        QCOMPARE(items.size(), 2);
        QCOMPARE(items[0]->text(), w.Tr("In_Album") + " \"Holidays\"");
        QVERIFY(w.Browse().AlbumMenu()->menuAction()->isEnabled());
        Select(w, {2});
        items[0]->trigger();
        QVERIFY(test::WaitUntilIdle(*w.window));
        QCOMPARE(adder.added.last(), std::make_pair(0, QString::fromStdString(folder.File("p2.jpg"))));

        // Releasing Enter in the list adds too.
        const auto before = adder.added.size();
        QTest::keyClick(&w.List(), Qt::Key_Return);
        QVERIFY(test::WaitUntilIdle(*w.window));
        QCOMPARE(adder.added.size(), before + 1);
        // The release of an Enter pressed elsewhere (the one that closed the notice) adds nothing.
        QTest::keyRelease(&w.List(), Qt::Key_Return);
        QVERIFY(test::WaitUntilIdle(*w.window));
        QCOMPARE(adder.added.size(), before + 1);
    }

    void noticeIsCentredOnTheScreen() {
        BrowseWindow w;
        w.window->showNormal();
        w.window->setGeometry(0, 0, 400, 300);
        TDup_Dlog notice("Information", "upper", "lower", "no more", w.window.get());
        notice.show();
        const QPoint centre = w.window->screen()->availableGeometry().center();
        QVERIFY(qAbs(w.window->geometry().center().x() - centre.x()) > 20);
        // (a window frame may shift the client area by a few pixels)
        QVERIFY(qAbs(notice.geometry().center().x() - centre.x()) <= 4);
        QVERIFY(qAbs(notice.geometry().center().y() - centre.y()) <= 4);
    }

    void selectionGoesIntoTheWindowsAlbumList() {
        BrowseWindow w;
        test::TempFolder folder;
        WritePhoto(folder.File("p0.jpg"), 40, 30);
        WritePhoto(folder.File("p1.jpg"), 30, 40);
        QVERIFY(w.List(folder.Path()));
        TAlbumList& albums = w.window->Albums()->Albums();
        QCOMPARE(albums.Count(), 1);
        const QList<QAction*> items = w.Browse().AlbumMenu()->actions();
        QCOMPARE(items.size(), 1);
        QCOMPARE(items[0]->text(), w.Tr("In_Album") + " \"" + QString::fromStdString(albums.Items(0).AlbumName()) + "\"");
        Select(w, {0, 1});
        w.window->Action(ActionId::ImgAdd1)->trigger();
        QVERIFY(test::WaitUntilIdle(*w.window));
        QCOMPARE(albums.Items(albums.CurrentIndex()).Jobs().Count(), 2);
        QCOMPARE(w.notices, QStringList{w.Tr("D_Upper1_All") + " " + w.Tr("D_Upper2")});
        albums.AddAlbum("Holidays");
        QCOMPARE(w.Browse().AlbumMenu()->actions().size(), 2);
        // The menu follows a renamed album.
        albums.EndNameEdit(albums.Items(albums.IndexOfName("Holidays")), "Beach");
        QStringList texts;
        for (QAction* item : w.Browse().AlbumMenu()->actions()) texts.append(item->text());
        QVERIFY(texts.contains(w.Tr("In_Album") + " \"Beach\""));
        QVERIFY(!texts.contains(w.Tr("In_Album") + " \"Holidays\""));
    }

    void compareDialogSplitsItsWidthAndAddsEitherPhoto() {
        BrowseWindow w;
        FakeAdder adder;
        w.Browse().SetPhotoAdder(&adder);
        test::TempFolder folder;
        WritePhoto(folder.File("a_wide.jpg"), 300, 100);
        WritePhoto(folder.File("b_tall.jpg"), 100, 300);
        QVERIFY(w.List(folder.Path()));
        Select(w, {0, 1});
        QVERIFY(w.window->Action(ActionId::ImgCompare1)->isEnabled());
        bool ran = false;
        w.Browse().RunCompare = [&](TCompare_Dlog& dialog) {
            ran = true;
            dialog.show();
            QCOMPARE(dialog.TitleL_Panel->text(), QString("a_wide.jpg"));
            QCOMPARE(dialog.TitleR_Panel->text(), QString("b_tall.jpg"));
            QCOMPARE(dialog.Left_Img->Picture().size(), QSize(300, 100));
            QCOMPARE(dialog.Right_Img->Picture().size(), QSize(100, 300));
            for (int width : {1000, 595, 777}) {
                dialog.resize(width, 400);
                const int left = (width - 6 - 8) / 2;
                QCOMPARE(dialog.Left_Panel->width(), left);
                QCOMPARE(dialog.Right_Panel->width(), width - 6 - 8 - left);
                QCOMPARE(dialog.AddL_Btn->x(), (left - 200) / 2);
                QCOMPARE(dialog.AddR_Btn->x(), (dialog.Right_Panel->width() - 200) / 2);
            }
            QCOMPARE(dialog.minimumSize(), QSize(594, 200));
            // A picture fills its own column's area, centred.
            const QRect tall = SlideshowView::FitRect(QSize(100, 300), dialog.Right_Img->size());
            QCOMPARE(tall.height(), dialog.Right_Img->height());
            QVERIFY(qAbs(tall.left() - (dialog.Right_Img->width() - tall.right() - 1)) <= 1);
            dialog.AddR_Btn->click();
            dialog.AddR_Btn->click();
            dialog.AddL_Btn->click();
        };
        w.window->Action(ActionId::ImgCompare1)->trigger();
        QVERIFY(ran);
        // No album: the intake made today's album for the first photo.
        QCOMPARE(adder.added.size(), 3);
        QCOMPARE(adder.added[0].second, QString::fromStdString(folder.File("b_tall.jpg")));
        QCOMPARE(adder.added[1].second, adder.added[0].second);
        QCOMPARE(adder.added[2].second, QString::fromStdString(folder.File("a_wide.jpg")));
        QCOMPARE(adder.albums.size(), 1);
    }
};

QTEST_MAIN(BrowseSlideshowTest)
#include "BrowseSlideshowTest.moc"
