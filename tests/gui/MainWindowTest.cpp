// The main window's start, pages and close, driven on the offscreen platform.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QGuiApplication>
#include <QScreen>
#include <QTextBrowser>
#include <QTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressBar>
#include <QSplitter>
#include <QTabWidget>
#include <QTcpServer>
#include <QTest>
#include <QToolBar>
#include <cstdlib>
#include <optional>
#include <sys/wait.h>

#include "core/app/IniDocument.h"
#include "core/app/WorkFolder.h"
#include "core/app/WorkFolderLock.h"
#include "core/base/AtomicFile.h"
#include "core/TempFolder.h"
#include "gui/GuiTestSupport.h"
#include "gui/app/TMain_Dlog.h"
#include "gui/albums/OrganizePage.h"
#include "gui/browse/SelectPage.h"
#include "gui/browse/SelectPageController.h"
#include "gui/service/TransferPage.h"

using namespace vantrel;
using namespace vantrel::gui;

// Counts the mouse presses a widget receives.
struct PressCounter : QObject {
    int count = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonPress) ++count;
        return false;
    }
};

class MainWindowTest : public QObject {
    Q_OBJECT

    MainWindowPaths PathsIn(const test::TempFolder& home) {
        return {home.Path() + "SendPhoto/", home.Path() + "SendPhoto/vantrel.ini", VANTREL_PROGRAM_FOLDER, {}};
    }

private slots:
    // The engine is made before any window (as main makes it) and outlives it: a photo queued
    // before the window is on its organisation page, and the engine works on without it.
    void theEngineIsMadeBeforeTheWindowAndOutlivesIt() {
        test::TempFolder home, photos;
        const auto paths = PathsIn(home);
        WindowEngine engine(paths.workFolder, paths.settingsFile, LocaleInfo());
        QVERIFY(engine.Queue().Intake().AddPhotoToAlbum(-1, test::MakePhoto(photos, "a.jpg", 64, 48).toStdString()));
        {
            TMain_Dlog window(engine, paths);
            QVERIFY(window.StartedWell());
            QCOMPARE(&window.Context().Queue(), &engine.Queue());
            QListWidget* content = window.Organize()->Content_View;
            QCOMPARE(content->count(), 1);
            QVERIFY(content->item(0)->text().startsWith("a.jpg"));
            QVERIFY(!window.Context().QueueTiles().At(0).isNull());
        }
        QCOMPARE(engine.Queue().QueuedCount(), 1);
        QVERIFY(engine.Queue().Intake().AddPhotoToAlbum(0, test::MakePhoto(photos, "b.jpg", 64, 48).toStdString()));
        QCOMPARE(engine.Core().ContentView().ItemCount(), 2);
    }

    // The service's settings are downloaded beside the window: a server that never answers holds
    // up neither the window nor its close.
    void theStartDownloadsTheServiceSettingsBesideTheWindow() {
        QTcpServer silent;
        QVERIFY(silent.listen(QHostAddress::LocalHost));
        const QByteArray before = qgetenv("VANTREL_SETTINGS_BASE");
        qputenv("VANTREL_SETTINGS_BASE", QByteArray("http://127.0.0.1:") + QByteArray::number(silent.serverPort()) + "/common/");
        test::TempFolder home;
        {
            TMain_Dlog window(PathsIn(home), LocaleInfo());
            QVERIFY(window.StartedWell());
            window.show();
            QTest::qWait(50);
            QVERIFY(window.Engine().RemoteSettingsPending());
            QVERIFY(!window.Context().RemoteLoaded());
        }
        qputenv("VANTREL_SETTINGS_BASE", before);
    }

    void firstRunOpensOnTheSelectionPageAndSavesEveryKey() {
        test::TempFolder home;
        const auto paths = PathsIn(home);
        {
            TMain_Dlog window(paths, LocaleInfo());
            QVERIFY(window.StartedWell());
            QVERIFY(FolderExists(paths.workFolder));
            // No layout kept: 80 % of the screen (at least the minimum size), centred.
            const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
            QCOMPARE(window.size(), (screen.size() * 0.8).expandedTo(QSize(625, 630)));
            window.show();
            // Centred with its frame, whose title bar is only guessed before the window is shown.
            QVERIFY(screen.contains(window.frameGeometry()));
            QVERIFY((window.frameGeometry().center() - screen.center()).manhattanLength() <= 20);
            QVERIFY(!window.PageControl()->isVisible());
            window.FirstActivation();
            QVERIFY(window.PageControl()->isVisible());
            QCOMPARE(window.PageControl()->currentIndex(), int(TMain_Dlog::SelectSheet));
            QCOMPARE(window.windowTitle(), QString("Vantrel - Images transfer software"));
            QCOMPARE(window.Action(ActionId::FileExit1)->text(), window.Translate("Menu_Quit"));
            QVERIFY(!window.Action(ActionId::FileExit1)->text().isEmpty());
            QVERIFY(window.findChild<QToolBar*>("Select_Bar")->isVisible());
            QVERIFY(!window.findChild<QToolBar*>("Edit_Bar")->isVisible());
            window.close();
        }
        const auto ini = IniDocument::Load(paths.settingsFile);
        const std::pair<const char*, const char*> keys[] = {
            {"Language", "FileName"}, {"Log", "IsSaved"}, {"Log", "Mail"}, {"Log", "Pass"}, {"Proxy", "IsUsed"},
            {"Look", "ShowName"}, {"Look", "CompRate"}, {"Update", "LastCheck"}, {"PixForm", "State"},
            {"TransForm", "Bottom"}, {"Path", "LastTree"}, {"Params", "update_url"}};
        for (auto [section, key] : keys) QVERIFY2(ini.Get(section, key).has_value(), key);
        QCOMPARE(*ini.Get("Language", "FileName"), std::string("GB.lng"));
    }

    void frenchUserWithoutSettingsGetsFrench() {
        test::TempFolder home;
        LocaleInfo french;
        french.country = "FR";
        TMain_Dlog window(PathsIn(home), french);
        QVERIFY(window.StartedWell());
        QCOMPARE(window.Context().Language().Path(), std::string(VANTREL_PROGRAM_FOLDER) + "Language/FR.lng");
        QCOMPARE(window.Context().Settings().FileName, std::string("FR.lng"));
    }

    void pagesSwitchTheirToolBarsAndProgressBar() {
        test::TempFolder home;
        TMain_Dlog window(PathsIn(home), LocaleInfo());
        window.show();
        window.FirstActivation();
        auto* bar = window.findChild<QProgressBar*>("PBar");
        const std::pair<int, const char*> pages[] = {
            {TMain_Dlog::OrganizeSheet, "Edit_Bar"}, {TMain_Dlog::TransferSheet, "Transfer_Bar"},
            {TMain_Dlog::SelectSheet, "Select_Bar"}};
        for (auto [page, visibleBar] : pages) {
            window.PageControl()->setCurrentIndex(page);
            for (const char* name : {"Select_Bar", "Edit_Bar", "Transfer_Bar"})
                QCOMPARE(window.findChild<QToolBar*>(name)->isVisible(), QString(name) == visibleBar);
        }
        QVERIFY(window.Select()->Thumb_Panel->isAncestorOf(bar));
        window.PageControl()->setCurrentIndex(TMain_Dlog::OrganizeSheet);
        QVERIFY(!window.Select()->Thumb_Panel->isAncestorOf(bar));
    }

    void busyCounterKeepsThePreferencesOut() {
        test::TempFolder home;
        TMain_Dlog window(PathsIn(home), LocaleInfo());
        QAction* options = window.Action(ActionId::FileOptions1);
        auto* bar = window.findChild<QProgressBar*>("PBar");
        window.Context().BeginBusy(50, false);
        QCOMPARE(bar->maximum(), 50);
        window.Context().BeginBusy(5, false);  // small jobs keep the bar's maximum
        QCOMPARE(bar->maximum(), 50);
        QVERIFY(!options->isEnabled());
        window.Context().EndBusy();
        QVERIFY(!options->isEnabled());
        window.Context().EndBusy();
        QVERIFY(options->isEnabled());
        QCOMPARE(window.Context().BusyCount(), 0);
    }

    void selectAllOnTheTransferPageChangesNothing() {
        test::TempFolder home;
        TMain_Dlog window(PathsIn(home), LocaleInfo());
        window.show();
        window.FirstActivation();
        window.Select()->Thumb_View->addItems({"a", "b"});
        window.PageControl()->setCurrentIndex(TMain_Dlog::TransferSheet);
        window.Action(ActionId::EditSelectAll1)->trigger();
        QVERIFY(window.Select()->Thumb_View->selectedItems().isEmpty());
        window.PageControl()->setCurrentIndex(TMain_Dlog::SelectSheet);
        window.Action(ActionId::EditSelectAll1)->trigger();
        QCOMPARE(window.Select()->Thumb_View->selectedItems().size(), 2);
    }

    void rememberedLoginAndLayoutSurviveARestart() {
        test::TempFolder home;
        const auto paths = PathsIn(home);
        {
            TMain_Dlog window(paths, LocaleInfo());
            window.show();
            window.FirstActivation();
            test::Child<QCheckBox>(window.Transfer(), "Save_Check")->click();
            test::Child<QLineEdit>(window.Transfer(), "Login_Edit")->setText("anne@example.fr");
            test::Child<QLineEdit>(window.Transfer(), "Pass_Edit")->setText("abc");
            window.resize(760, 700);
            window.close();
        }
        QCOMPARE(*IniDocument::Load(paths.settingsFile).Get("Log", "Pass"), std::string("dcb"));
        TMain_Dlog again(paths, LocaleInfo());
        QCOMPARE(test::Child<QLineEdit>(again.Transfer(), "Login_Edit")->text(), QString("anne@example.fr"));
        QCOMPARE(test::Child<QLineEdit>(again.Transfer(), "Pass_Edit")->text(), QString("abc"));
        QCOMPARE(again.size(), QSize(760, 700));
    }

    void aSaveAfterATransferRunTakesTheFolderTreesPath() {
        test::TempFolder home, photos;
        const auto paths = PathsIn(home);
        TMain_Dlog window(paths, LocaleInfo());
        window.show();
        window.FirstActivation();
        const QString folder = QString::fromStdString(photos.Path()).chopped(1);
        QVERIFY(window.Browse()->SelectFolder(folder));
        window.SaveSettingsNow();
        QCOMPARE(QString::fromStdString(*IniDocument::Load(paths.settingsFile).Get("Path", "LastTree")), folder);
    }

    void helpShownFromAModalDialogTakesInput() {
        test::TempFolder home;
        TMain_Dlog window(PathsIn(home), LocaleInfo());
        window.show();
        QDialog modal(&window);  // as the retouch dialog, whose help command shows a topic
        modal.setWindowModality(Qt::ApplicationModal);
        modal.show();
        QVERIFY(QTest::qWaitForWindowExposed(&modal));
        window.ShowHelpTopic("H_Retouche");
        QWidget* help = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == "HelpWindow" && w->isVisible()) help = w;
        QVERIFY(help);
        QVERIFY(QTest::qWaitForWindowExposed(help));
        auto* browser = help->findChild<QTextBrowser*>();
        QVERIFY(browser->source().toLocalFile().endsWith("organise.html"));
        PressCounter presses;
        browser->viewport()->installEventFilter(&presses);
        QTest::mouseClick(help->windowHandle(), Qt::LeftButton, {}, browser->viewport()->mapTo(help, QPoint(20, 20)));
        QCOMPARE(presses.count, 1);
    }

    void columnWidthsOfPagesNeverShownSurviveAClose() {
        test::TempFolder home;
        const auto paths = PathsIn(home);
        EnsureWorkFolder(paths.workFolder);
        IniDocument ini;
        ini.Set("PixForm", "FVWidth", "310");
        ini.Set("PixForm", "SVWidth", "350");
        QVERIFY(WriteFileAtomically(paths.settingsFile, ini.ToText(), 0600).has_value());
        {
            TMain_Dlog window(paths, LocaleInfo());
            window.show();
            window.FirstActivation();
            QTest::qWait(0);
            window.close();
        }
        const auto saved = IniDocument::Load(paths.settingsFile);
        QCOMPARE(*saved.Get("PixForm", "FVWidth"), std::string("310"));
        QCOMPARE(*saved.Get("PixForm", "SVWidth"), std::string("350"));
        {
            TMain_Dlog window(paths, LocaleInfo());
            window.show();
            window.FirstActivation();
            window.PageControl()->setCurrentIndex(TMain_Dlog::OrganizeSheet);
            window.Organize()->Splitter2->setSizes({260, 10000});
            QTest::qWait(0);
            window.close();
        }
        QCOMPARE(*IniDocument::Load(paths.settingsFile).Get("PixForm", "SVWidth"), std::string("260"));
    }

    void aSecondStartRestoresAMinimisedWindowToItsFormerState() {
        test::TempFolder home;
        TMain_Dlog window(PathsIn(home), LocaleInfo());
        window.showMaximized();
        QTRY_VERIFY(window.isMaximized());
        window.showMinimized();
        QTRY_VERIFY(window.isMinimized());
        window.EnsureRestore();
        QTRY_VERIFY(!window.isMinimized());
        QVERIFY(window.isMaximized());
        window.hide();
        window.EnsureRestore();
        QVERIFY(window.isVisible());
    }

    void aMaximisedWindowOpensMaximisedAgain() {
        test::TempFolder home;
        const auto paths = PathsIn(home);
        {
            TMain_Dlog window(paths, LocaleInfo());
            window.showMaximized();
            QTRY_VERIFY(window.isMaximized());
            window.close();
        }
        QCOMPARE(*IniDocument::Load(paths.settingsFile).Get("PixForm", "State"), std::string("2"));
        TMain_Dlog again(paths, LocaleInfo());
        QVERIFY(again.windowState() & Qt::WindowMaximized);
    }

    void aTerminationSignalClosesOverAnOpenDialog() {
        test::TempFolder home;
        const auto paths = PathsIn(home);
        TMain_Dlog window(paths, LocaleInfo());
        window.show();
        window.FirstActivation();
        QTimer::singleShot(50, &window, &TMain_Dlog::CloseOnSignal);
        QMessageBox::information(&window, "modal", "a dialog the user left open");  // returns once closed
        QTRY_VERIFY(!window.isVisible());
        QVERIFY(FileExists(paths.settingsFile));
    }

    void anUnwritableSettingsFileIsSaidAtCloseButNotOnASignal() {
        test::TempFolder home;
        for (bool onSignal : {false, true}) {
            auto paths = PathsIn(home);
            paths.settingsFile = home.Path() + "missing/vantrel.ini";  // its folder does not exist
            QStringList shown;
            QTimer catcher;
            catcher.setInterval(20);
            connect(&catcher, &QTimer::timeout, [&] {
                if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                    shown << box->text();
                    box->accept();
                }
            });
            catcher.start();
            TMain_Dlog window(paths, LocaleInfo());
            window.show();
            window.FirstActivation();
            if (onSignal) window.CloseOnSignal();
            else window.close();
            QTRY_VERIFY(!window.isVisible());
            if (onSignal) {
                QVERIFY2(shown.isEmpty(), qPrintable(shown.join("|")));
            } else {
                QCOMPARE(shown.size(), 1);
                QVERIFY2(shown[0].contains("vantrel.ini") && shown[0].contains("No such file or directory"),
                         qPrintable(shown[0]));
            }
        }
    }

    void noLanguageFileIsAFailedStart() {
        test::TempFolder home, emptyProgramFolder;
        MainWindowPaths paths = PathsIn(home);
        paths.programFolder = emptyProgramFolder.Path();
        // The error box is modal: close it as soon as it shows.
        QTimer::singleShot(200, [] {
            if (QWidget* box = QApplication::activeModalWidget()) box->close();
        });
        TMain_Dlog window(paths, LocaleInfo());
        QVERIFY(!window.StartedWell());
        QCOMPARE(window.property("tag").toInt(), -1);
        QVERIFY(!window.PageControl()->isVisible());
    }
    void oneWriterPerWorkFolderBetweenTheWindowAndSend() {
        test::TempFolder home, photos;
        const auto paths = PathsIn(home);
        EnsureWorkFolder(paths.workFolder);
        // A send holds the work folder: the window says so and waits, then starts once it is free.
        std::optional<WorkFolderLock> send = *WorkFolderLock::TryAcquire(paths.workFolder);
        QString told;
        QTimer poll;
        connect(&poll, &QTimer::timeout, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || !send) return;
            told = box->text();
            send.reset();
        });
        poll.start(50);
        {
            TMain_Dlog window(paths, LocaleInfo());
            QVERIFY(window.StartedWell());
            QVERIFY(told.contains("vantrel-cli"));
            window.show();
            window.FirstActivation();
            const QString photo = test::MakePhoto(photos, "p.jpg", 64, 48);
            auto files = test::FilesData({photo});
            window.PageControl()->setCurrentIndex(TMain_Dlog::OrganizeSheet);
            test::Drop(window.Organize()->Content_View->viewport(), files.get());
            QCOMPARE(window.Organize()->Content_View->count(), 1);

            // While the window runs, send refuses at once and leaves the queue to the window.
            const std::string command = "printf 'x\\n' | env XDG_DATA_HOME='" + home.Path() + "' '" +
                                        VANTREL_PROGRAM_FOLDER + "vantrel-cli' send --email a@b.c --password-stdin 2>/dev/null";
            const int status = std::system(command.c_str());
            QCOMPARE(WEXITSTATUS(status), 3);
            window.close();
        }
        QVERIFY(ReadWholeFile(paths.workFolder + "Images.lst")->find("p.jpg") != std::string::npos);
        // Closed, the window lets go of the folder.
        QVERIFY(WorkFolderLock::TryAcquire(paths.workFolder).has_value());
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
