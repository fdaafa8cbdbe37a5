// The window, its pages and its dialogs on small and scaled screens: everything within the
// screen's free area and reachable, a kept placement brought onto the screen, and pictures drawn
// at the screen's pixel density. Run on a 1920x1080 screen at scale 2 (960x540) and on a
// 1366x768 screen at scale 1.25 (1093x614).
#include <QDialogButtonBox>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <cmath>

#include "core/app/IniDocument.h"
#include "core/app/WorkFolder.h"
#include "core/base/AtomicFile.h"
#include "gui/BrowseFixture.h"
#include "gui/albums/AlbumsController.h"
#include "gui/albums/OrganizePage.h"
#include "gui/app/HelpWindow.h"
#include "gui/app/TPref_Dlog.h"
#include "gui/browse/SlideshowView.h"
#include "gui/browse/TCompare_Dlog.h"
#include "gui/retouch/RetouchPhotoList.h"
#include "gui/retouch/TEdit_Dlog.h"
#include "gui/retouch/ToolPanel.h"
#include "gui/service/TransferPanel.h"

using namespace vantrel;
using namespace vantrel::gui;

namespace {

QRect FreeArea() { return QGuiApplication::primaryScreen()->availableGeometry(); }

// Where `widget` is on the desktop.
QRect OnDesktop(const QWidget* widget) { return QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size()); }

// Whether `widget` is shown whole on the screen, not cut off by a too small parent, once the
// areas around it have been scrolled to it.
bool Reachable(QWidget* widget) {
    for (QWidget* up = widget->parentWidget(); up; up = up->parentWidget())
        if (auto* area = qobject_cast<QScrollArea*>(up)) area->ensureWidgetVisible(widget, 0, 0);
    QCoreApplication::processEvents();
    if (!widget->isVisible() || !FreeArea().contains(OnDesktop(widget))) return false;
    return widget->visibleRegion().boundingRect() == widget->rect();
}

// Whether the top-level `window` lies within the screen's free area, frame and all, and can
// be made no larger than it.
bool Fits(const QWidget& window) {
    const QSize frame = window.frameGeometry().size() - window.size();
    // At a fractional scale a device pixel of the frame may round to one more logical pixel.
    const qreal ratio = window.devicePixelRatioF();
    const int slack = ratio == std::floor(ratio) ? 0 : 1;
    return FreeArea().adjusted(-slack, -slack, slack, slack).contains(window.frameGeometry()) &&
           QSize(window.minimumSize() + frame).boundedTo(FreeArea().size()) == window.minimumSize() + frame;
}

// Whether `view` drew its picture in device pixels, at the screen's ratio.
bool ShownSharp(SlideshowView& view) {
    QTest::qWait(20);  // painted
    const QPixmap& shown = view.Shown();
    return !shown.isNull() && shown.devicePixelRatio() == view.devicePixelRatioF() &&
           shown.size() == SlideshowView::FitRect(view.Picture().size(), view.PixelSize()).size();
}

}  // namespace

class SmallScreenTest : public QObject {
    Q_OBJECT

    // The selection page's tree, information and tiles, and the slideshow.
    static void CheckSelectionPage(browse_test::BrowseWindow& w) {
        TMain_Dlog& window = *w.window;
        window.PageControl()->setCurrentIndex(TMain_Dlog::SelectSheet);
        QTest::qWait(20);
        QVERIFY(Reachable(window.menuBar()));
        QVERIFY(Reachable(test::Child<QToolBar>(&window, "Select_Bar")));
        for (QWidget* control : {static_cast<QWidget*>(w.Page().Shell_Tree), w.Page().Info_Panel,
                                 static_cast<QWidget*>(w.Page().Thumb_View)})
            QVERIFY2(Reachable(control), qPrintable(control->objectName()));
        window.Action(ActionId::ImgDiapo1)->trigger();
        QTest::qWait(20);
        QVERIFY(Reachable(w.Page().Cur_Img));
        QVERIFY(ShownSharp(*w.Page().Cur_Img));
        window.Action(ActionId::ImgThumb1)->trigger();
    }

    // The organisation page, the transfer page and the panel of a run.
    static void CheckOtherPages(TMain_Dlog& window) {
        window.PageControl()->setCurrentIndex(TMain_Dlog::OrganizeSheet);
        QTest::qWait(20);
        QVERIFY(Reachable(window.menuBar()));
        QVERIFY(Reachable(test::Child<QToolBar>(&window, "Edit_Bar")));
        QVERIFY(Reachable(window.Organize()->Content_View));
        QVERIFY(Reachable(window.Organize()->Album_Scroll));

        window.PageControl()->setCurrentIndex(TMain_Dlog::TransferSheet);
        QTest::qWait(20);
        QVERIFY(Reachable(test::Child<QToolBar>(&window, "Transfer_Bar")));
        for (const char* name : {"Login_Edit", "Pass_Edit", "Save_Check", "Start_Btn"})
            QVERIFY2(Reachable(test::Child<QWidget>(window.Transfer(), name)), name);

        window.Context().ShowTransferPanel(true);
        QTest::qWait(20);
        auto* panel = test::Child<TransferPanel>(&window, "TransFile_Panel");
        for (const char* name : {"Transfer_Lbl", "PBar1", "PBar2", "Stop_Btn", "Limit_Spin"})
            QVERIFY2(Reachable(test::Child<QWidget>(panel, name)), name);
        window.Context().ShowTransferPanel(false);
    }

private slots:
    // The first start takes most of the screen; every page has its menu, tool bar and controls
    // at hand there, and still at the window's smallest size.
    void thePagesFitTheScreen() {
        browse_test::BrowseWindow w;
        test::TempFolder photos;
        browse_test::WritePhoto(photos.File("a.jpg"), 640, 480);
        QVERIFY(w.List(photos.Path()));
        TMain_Dlog& window = *w.window;
        QTest::qWait(20);
        QVERIFY(Fits(window));
        CheckSelectionPage(w);
        CheckOtherPages(window);
        window.resize(window.minimumSize());
        QTest::qWait(20);
        QVERIFY(Fits(window));
        CheckSelectionPage(w);
        CheckOtherPages(window);
    }

    // A size kept from a larger screen, or a place on a screen no longer there, opens within
    // this screen; a maximised window stays maximised.
    void aKeptPlacementOpensOnTheScreen() {
        const struct {
            const char* left;
            const char* top;
            const char* state;
        } cases[] = {{"0", "0", "0"}, {"-5000", "-3000", "0"}, {"4000", "200", "0"}, {"0", "0", "2"}};
        for (const auto& c : cases) {
            test::TempFolder home;
            const MainWindowPaths paths{home.Path() + "SendPhoto/", home.Path() + "SendPhoto/vantrel.ini",
                                        VANTREL_PROGRAM_FOLDER, {}};
            EnsureWorkFolder(paths.workFolder);
            IniDocument ini;
            for (const auto& [key, value] : {std::pair{"Left", c.left}, {"Top", c.top}, {"Right", "3072"},
                                             {"Bottom", "1728"}, {"State", c.state}})
                ini.Set("PixForm", key, value);
            QVERIFY(WriteFileAtomically(paths.settingsFile, ini.ToText(), 0600).has_value());
            TMain_Dlog window(paths, LocaleInfo());
            window.show();
            QTest::qWait(20);
            QVERIFY2(Fits(window), c.left);
            QCOMPARE(window.isMaximized(), *c.state == '2');
            QVERIFY(FreeArea().contains(window.normalGeometry()));
            window.FirstActivation();
            QVERIFY(Reachable(window.menuBar()));
            QVERIFY(Reachable(test::Child<QToolBar>(&window, "Select_Bar")));
        }
    }

    // The tile of a queued photo (organisation page, retouch list, transfer panel) is made in
    // device pixels too.
    void queuedPhotosHaveSharpTiles() {
        browse_test::BrowseWindow w;
        test::TempFolder photos;
        browse_test::WritePhoto(photos.File("a.jpg"), 640, 480);
        QVERIFY(w.List(photos.Path()));
        w.List().item(0)->setSelected(true);
        w.window->Action(ActionId::ImgAdd1)->trigger();
        QVERIFY(test::WaitUntilIdle(*w.window));
        const QPixmap tile = w.window->Context().QueueTiles().At(0);
        const qreal ratio = qApp->devicePixelRatio();
        QCOMPARE(tile.devicePixelRatio(), ratio);
        QCOMPARE(tile.width(), qRound(96 * ratio));
        QCOMPARE(tile.deviceIndependentSize(), QSizeF(96, 96));
    }

    // On a scaled screen a picture of the view's size in device pixels is shown pixel for pixel.
    void theSlideshowDrawsAtTheScreensPixelRatio() {
        SlideshowView view;
        view.resize(200, 100);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QCOMPARE(view.PixelSize(), (QSizeF(200, 100) * view.devicePixelRatioF()).toSize());
        QImage stripes(view.PixelSize(), QImage::Format_RGB32);
        for (int x = 0; x < stripes.width(); ++x)
            for (int y = 0; y < stripes.height(); ++y) stripes.setPixel(x, y, x % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
        view.SetPicture(stripes);
        QVERIFY(ShownSharp(view));
        QImage grabbed = view.grab().toImage().convertToFormat(QImage::Format_RGB32);
        grabbed.setDevicePixelRatio(1);
        QCOMPARE(grabbed, stripes);
    }

    // The retouch dialog (with the widest tool open), the options, the help and the compare dialog.
    void theDialogsFitTheScreen_data() {
        QTest::addColumn<QString>("country");
        QTest::addColumn<QString>("language");
        QTest::newRow("English") << "GB" << "en";
        QTest::newRow("French, longer") << "FR" << "fr";
    }
    void theDialogsFitTheScreen() {
        QFETCH(QString, country);
        QFETCH(QString, language);
        LocaleInfo locale;
        locale.country = country.toStdString();
        locale.language = language.toStdString();
        test::TempFolder home, photos;
        auto window = test::OpenWindow(home, locale);
        window->PageControl()->setCurrentIndex(TMain_Dlog::OrganizeSheet);
        auto files = test::FilesData({test::MakePhoto(photos, "p.jpg", 600, 400)});
        test::Drop(window->Organize()->Content_View->viewport(), files.get());
        window->Organize()->Content_View->item(0)->setSelected(true);
        {
            TEdit_Dlog retouch(window->Context(), *window->Albums()->Albums().CurrentAlbum(), 0);
            retouch.show();
            QVERIFY(QTest::qWaitForWindowExposed(&retouch));
            QVERIFY(Fits(retouch));
            retouch.Command("ImgCrop1")->trigger();
            QTest::qWait(20);
            auto* crop = test::Child<ToolPanel>(&retouch, "Format_Panel");
            for (QWidget* control : {static_cast<QWidget*>(test::Child<QToolBar>(&retouch, "Tools_Bar")),
                                     static_cast<QWidget*>(retouch.Current_View), static_cast<QWidget*>(crop->Ok_Btn),
                                     static_cast<QWidget*>(crop->Cancel_Btn)})
                QVERIFY2(Reachable(control), qPrintable(control->objectName()));
            // Every control of the crop tool can be scrolled to.
            const QWidget* controls = test::Child<QScrollArea>(crop, "Controls_Scroll")->widget();
            for (QWidget* control : controls->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
                if (control->isVisibleTo(crop)) QVERIFY2(Reachable(control), qPrintable(control->objectName()));
            retouch.Command("ImgCrop1")->trigger();
        }
        {
            TPref_Dlog options(window->Context());
            options.show();
            QVERIFY(QTest::qWaitForWindowExposed(&options));
            QVERIFY(Fits(options));
            QVERIFY(Reachable(test::Child<QDialogButtonBox>(&options, "Close_Box")));
        }
        {
            window->ShowHelpTopic("H_Choisir");
            auto* help = test::Child<HelpWindow>(window.get(), "HelpWindow");
            QVERIFY(QTest::qWaitForWindowExposed(help));
            QVERIFY(Fits(*help));
            help->close();
        }
        {
            TCompare_Dlog compare("", "", {}, window.get());
            QImage picture(900, 600, QImage::Format_RGB32);
            picture.fill(Qt::darkGreen);
            compare.SetSides({"/a.jpg", 0, picture}, {"/b.jpg", 1, picture});
            compare.show();
            QVERIFY(QTest::qWaitForWindowExposed(&compare));
            QVERIFY(Fits(compare));
            QVERIFY(Reachable(compare.AddL_Btn));
            QVERIFY(Reachable(compare.AddR_Btn));
            QVERIFY(ShownSharp(*compare.Left_Img));
            QVERIFY(ShownSharp(*compare.Right_Img));
        }
    }
};

QTEST_MAIN(SmallScreenTest)
#include "SmallScreenTest.moc"
