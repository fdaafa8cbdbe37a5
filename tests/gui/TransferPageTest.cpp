// The transfer page driven against the stand-in service: a whole run with a photo refused for
// its size, and Stop pressed during the first of three photos.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QSpinBox>
#include <chrono>
#include <filesystem>
#include <thread>

#include "core/albums/TAlbum.h"
#include "core/albums/TAlbumList.h"
#include "core/albums/TransferQueue.h"
#include "core/app/IniDocument.h"
#include "core/app/WorkFolder.h"
#include "core/base/AtomicFile.h"
#include "core/support/StandinService.h"
#include "gui/GuiTestSupport.h"
#include "gui/LocalHttpServer.h"
#include "gui/albums/AlbumsController.h"
#include "gui/albums/ContentListWidget.h"
#include "gui/albums/OrganizePage.h"
#include "gui/kit/ActionIds.h"
#include "gui/service/AdvertView.h"
#include "gui/service/TransferController.h"
#include "gui/service/TransferPage.h"
#include "gui/service/TransferPanel.h"

using namespace vantrel;
using namespace vantrel::gui;
using namespace vantrel::test;

namespace {

int QueuedPhotos(TMain_Dlog& window) {
    const TAlbumList& list = window.Albums()->Albums();
    int count = 0;
    for (int i = 0; i < list.Count(); ++i) count += list.Items(i).Jobs().Count();
    return count;
}

QStringList UploadedFiles(const StandinService& service) {
    QStringList files;
    QDir ftp(QString::fromStdString(service.ftpFolder()));
    for (const QString& folder : ftp.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        for (const QString& file : QDir(ftp.filePath(folder)).entryList(QDir::Files)) files << file;
    files.sort();
    return files;
}

// The sidecars the service received, all in one text ("name a.jpg", "width 800", ...).
QString UploadedSidecars(const StandinService& service) {
    QString text;
    QDir ftp(QString::fromStdString(service.ftpFolder()));
    for (const QString& folder : ftp.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        for (const QString& file : QDir(ftp.filePath(folder)).entryList({"*.inf"}, QDir::Files))
            text += QString::fromStdString(ReadWholeFile(ftp.filePath(folder + "/" + file).toStdString()).value_or(""));
    return text;
}

// Makes `album` current on the organise page and selects its photo named `name` alone.
void SelectPhoto(TMain_Dlog& window, TAlbum& album, const std::string& name) {
    TAlbumList& albums = window.Albums()->Albums();
    albums.SelectAlbum(albums.IndexOfAlbum(&album));
    QListWidget* view = window.Organize()->Content_View;
    view->clearSelection();
    for (int item = 0; item < view->count(); ++item) {
        const int index = album.IndexOfImage(view->item(item)->data(kContentImageIndexRole).toInt());
        if (index >= 0 && album.Jobs().Items(index).FileName == name) view->item(item)->setSelected(true);
    }
}

}  // namespace

class TransferPageTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TMain_Dlog> WindowWithPhotos(const TempFolder& home, const StandinService& service,
                                                 const QStringList& photos) {
        qputenv("VANTREL_SETTINGS_BASE", QByteArray::fromStdString(service.settingsBase()));
        auto window = OpenWindow(home);
        window->PageControl()->setCurrentIndex(TMain_Dlog::OrganizeSheet);
        Drop(window->Organize()->Content_View->viewport(), FilesData(photos).get());
        window->PageControl()->setCurrentIndex(TMain_Dlog::TransferSheet);
        Child<QLineEdit>(window->Transfer(), "Login_Edit")->setText("demo@vantrel.test");
        Child<QLineEdit>(window->Transfer(), "Pass_Edit")->setText("demo");
        // The photos here are small, to keep the runs short; the question about small photos
        // before a run has a test of its own.
        window->Context().Settings().AskSmall = false;
        return window;
    }

private slots:
    void aWholeRunSendsTheGoodPhotosAndReportsTheSmallOne() {
        StandinService service;
        QVERIFY2(service.ok(), service.error().c_str());
        TempFolder home, photos;
        MessageCatcher messages;
        QString report;
        messages.onDialog = [&](QDialog* dialog) {
            if (auto* memo = dialog->findChild<QPlainTextEdit*>("Names_Memo")) report = memo->toPlainText();
        };
        auto window = WindowWithPhotos(home, service,
                                       {MakePhoto(photos, "big1.jpg", 500, 400, true),
                                        MakePhoto(photos, "tiny.jpg", 40, 30), MakePhoto(photos, "big2.jpg", 400, 500, true)});
        QCOMPARE(QueuedPhotos(*window), 3);
        QVERIFY(Child<QPushButton>(window->Transfer(), "Start_Btn")->isEnabled());
        Child<QCheckBox>(window->Transfer(), "Save_Check")->setChecked(true);
        window->Context().Settings().IsSaved = true;

        QVERIFY(RunTransferToEnd(*window));

        QCOMPARE(window->Transfers()->LastOutcome(), TTransferOutcome::toReported);
        QCOMPARE(UploadedFiles(service).size(), 8);  // four files for each of the two good photos
        QCOMPARE(QueuedPhotos(*window), 1);          // the small one stays
        QVERIFY(report.contains("tiny.jpg"));
        QVERIFY(report.contains(window->Translate("BecauseSize").trimmed()));
        TransferPanel* panel = window->findChild<TransferPanel*>();
        QCOMPARE(Child<QProgressBar>(panel, "PBar2")->value(), Child<QProgressBar>(panel, "PBar2")->maximum());
        QVERIFY(window->PageControl()->isVisible());
        QVERIFY(!panel->isVisible());
        QCOMPARE(Child<QLabel>(window->Transfer(), "NumImage_Lbl")->text(),
                 window->Translate("ImgWaiting").replace("%d", "1").replace("%s", window->Translate("Img_Sing")));
        // The list file holds the photo left; the settings remember the login.
        const std::string list = *ReadWholeFile(home.Path() + "SendPhoto/Images.lst");
        QVERIFY(list.find("tiny.jpg") != std::string::npos);
        QVERIFY(list.find("big1.jpg") == std::string::npos);
        const auto ini = IniDocument::Load(home.Path() + "SendPhoto/vantrel.ini");
        QCOMPARE(*ini.Get("Log", "Pass"), ScrambleText("demo"));
    }

    // The network goes at the second store: the panel shows the wait, the run goes on by itself
    // and ends with a message that every photo was sent.
    void aLostConnectionIsWaitedOutAndTheEndSaysAllWereSent() {
        StandinService service;
        QVERIFY2(service.ok(), service.error().c_str());
        qputenv("VANTREL_RECONNECT", "0.5;30");
        TempFolder home, photos;
        MessageCatcher messages;
        auto window = WindowWithPhotos(home, service,
                                       {MakePhoto(photos, "a.jpg", 300, 200, true), MakePhoto(photos, "b.jpg", 200, 300, true)});
        TransferPanel* panel = window->findChild<TransferPanel*>();
        QStringList waits;
        QTimer watcher;
        watcher.setInterval(10);
        QObject::connect(&watcher, &QTimer::timeout, [&] {
            if (!waits.contains(Child<QLabel>(panel, "Wait_Lbl")->text())) waits << Child<QLabel>(panel, "Wait_Lbl")->text();
        });
        watcher.start();
        QVERIFY(service.StartOutage(2, "reset", 2));
        QVERIFY(RunTransferToEnd(*window));
        qunsetenv("VANTREL_RECONNECT");
        QCOMPARE(window->Transfers()->LastOutcome(), TTransferOutcome::toCompleted);
        QCOMPARE(QueuedPhotos(*window), 0);
        QCOMPARE(UploadedFiles(service).size(), 8);
        QVERIFY2(waits.contains(window->Translate("ConnectionWait").replace("%d", "1")), qPrintable(waits.join("|")));
        QCOMPARE(Child<QLabel>(panel, "Wait_Lbl")->text(), window->Translate("Wait_Lbl"));
        const QString allSent =
            window->Translate("AllPhotosSent").replace("%d", "2").replace("%s", window->Translate("Img_Plur"));
        QVERIFY2(messages.texts.contains(allSent), qPrintable(messages.texts.join("|")));
    }

    // The service's page never ends: the run sends everything all the same, the pane stops
    // reading near its cap, and nothing of the page is kept once the run has ended.
    void anEndlessAdvertNeitherHoldsNorFailsTheRun() {
        StandinService service;
        QVERIFY2(service.ok(), service.error().c_str());
        LocalHttpServer web;
        web.Add("/advert", {LocalHttpServer::Kind::Endless});
        QVERIFY(service.SetValue("advert_url", web.Url("/advert").toStdString()));
        TempFolder home, photos;
        MessageCatcher messages;
        auto window = WindowWithPhotos(home, service,
                                       {MakePhoto(photos, "a.jpg", 300, 200, true), MakePhoto(photos, "b.jpg", 200, 300, true)});
        // The run, on its own thread, is held at 1 KB/s until the pane reads the page.
        window->Context().Settings().LimitKBps = 1;
        QTimer lifter;
        lifter.setInterval(5);
        QObject::connect(&lifter, &QTimer::timeout, [&] {
            if (web.endlessBytes == 0) return;
            lifter.stop();
            Child<QCheckBox>(window->findChild<TransferPanel*>(), "Limit_Check")->click();
        });
        lifter.start();
        QVERIFY(RunTransferToEnd(*window));
        QCOMPARE(window->Transfers()->LastOutcome(), TTransferOutcome::toCompleted);
        QCOMPARE(QueuedPhotos(*window), 0);
        QCOMPARE(web.requests.size(), 1);
        QTRY_COMPARE_WITH_TIMEOUT(web.closedByClient, 1, 30000);
        QVERIFY2(web.endlessBytes < 24 << 20, QByteArray::number(web.endlessBytes));
        AdvertView* advert = &window->findChild<TransferPanel*>()->Advert();
        QVERIFY(!advert->Busy());
        QCOMPARE(advert->HeldBytes(), 0);
    }

    // A run that starts under a limit of 1 KB/s would take hours; lifting the limit on the panel
    // while it goes on lets it finish, and the next run keeps the choice.
    void theUploadLimitFollowsThePanelDuringARun() {
        StandinService service;
        QVERIFY2(service.ok(), service.error().c_str());
        TempFolder home, photos;
        MessageCatcher messages;
        auto window = WindowWithPhotos(home, service,
                                       {MakePhoto(photos, "a.jpg", 800, 600, true), MakePhoto(photos, "b.jpg", 800, 600, true)});
        window->Context().Settings().LimitKBps = 1;
        TransferPanel* panel = window->findChild<TransferPanel*>();
        QTimer lifter;
        lifter.setInterval(1);
        bool shownLimited = false;
        QElapsedTimer waited;
        QObject::connect(&lifter, &QTimer::timeout, [&] {
            if (!panel->isVisible() || Child<QLabel>(panel, "ImgName_Lbl")->text().isEmpty()) return;
            if (!waited.isValid()) {
                shownLimited = Child<QCheckBox>(panel, "Limit_Check")->isChecked() && Child<QSpinBox>(panel, "Limit_Spin")->value() == 1;
                Child<QCheckBox>(panel, "Limit_Check")->click();
                waited.start();
            } else if (waited.elapsed() > 60000) {
                Child<QPushButton>(panel, "Stop_Btn")->click();  // the change did not reach the run
                lifter.stop();
            }
        });
        lifter.start();
        QVERIFY(RunTransferToEnd(*window));
        QVERIFY(shownLimited);
        QCOMPARE(window->Transfers()->LastOutcome(), TTransferOutcome::toCompleted);
        QCOMPARE(QueuedPhotos(*window), 0);
        QCOMPARE(window->Context().Settings().LimitKBps, 0);
    }

    void stopDuringTheFirstOfThreePhotos() {
        StandinService service;
        QVERIFY2(service.ok(), service.error().c_str());
        TempFolder home, photos;
        MessageCatcher messages;
        auto window = WindowWithPhotos(home, service,
                                       {MakePhoto(photos, "a.jpg", 1600, 1200, true),
                                        MakePhoto(photos, "b.jpg", 1600, 1200, true),
                                        MakePhoto(photos, "c.jpg", 1600, 1200, true)});
        TransferPanel* panel = window->findChild<TransferPanel*>();
        // Stop as soon as the first photo's bytes start to move.
        QTimer stopper;
        stopper.setInterval(1);
        bool albumsLocked = false;
        QObject::connect(&stopper, &QTimer::timeout, [&] {
            if (panel->isVisible() && !Child<QLabel>(panel, "ImgName_Lbl")->text().isEmpty() && Child<QPushButton>(panel, "Stop_Btn")->isEnabled()) {
                // The menu stays reachable, but nothing in it may change the albums under the run.
                albumsLocked = !window->Action(ActionId::EditDelete1)->isEnabled() &&
                               !window->Action(ActionId::AlbumDel1)->isEnabled();
                Child<QPushButton>(panel, "Stop_Btn")->click();
                stopper.stop();
            }
        });
        stopper.start();
        QVERIFY(RunTransferToEnd(*window));

        QVERIFY(albumsLocked);
        QVERIFY(window->Action(ActionId::AlbumDel1)->isEnabled());
        QCOMPARE(window->Transfers()->LastOutcome(), TTransferOutcome::toStopped);
        QVERIFY(!UploadedFiles(service).contains("0.inf"));  // the store under way was cut
        QCOMPARE(QueuedPhotos(*window), 3);
        QVERIFY(messages.texts.contains(window->Translate("TransferAbort")));
    }

    void closingDuringARunStopsItAndSavesEverything() {
        StandinService service;
        QVERIFY2(service.ok(), service.error().c_str());
        TempFolder home, photos;
        MessageCatcher messages;
        auto window = WindowWithPhotos(home, service,
                                       {MakePhoto(photos, "a.jpg", 1600, 1200, true),
                                        MakePhoto(photos, "b.jpg", 1600, 1200, true)});
        TransferPanel* panel = window->findChild<TransferPanel*>();
        bool closeAnswered = false;
        QTimer closer;
        closer.setInterval(1);
        QObject::connect(&closer, &QTimer::timeout, [&] {
            if (panel->isVisible() && !Child<QLabel>(panel, "ImgName_Lbl")->text().isEmpty()) {
                closer.stop();
                closeAnswered = !window->close();  // asks; the window stays until the run has ended
            }
        });
        closer.start();
        QVERIFY(RunTransferToEnd(*window));
        QVERIFY(closeAnswered);
        QVERIFY(messages.texts.contains(window->Translate("AskStopTransfer")));
        QCOMPARE(window->Transfers()->LastOutcome(), TTransferOutcome::toStopped);
        QTRY_VERIFY(!window->isVisible());  // closed once the run ended
        QVERIFY(!UploadedFiles(service).contains("0.inf"));
        const std::string list = *ReadWholeFile(home.Path() + "SendPhoto/Images.lst");
        // Both photos are still queued, the one under way included.
        QVERIFY(list.find("a.jpg") != std::string::npos && list.find("b.jpg") != std::string::npos);
        QVERIFY(FileExists(home.Path() + "SendPhoto/vantrel.ini"));
    }

    void stopEndsAStalledRunWithinASecond() {
        StandinService service;
        QVERIFY2(service.ok(), service.error().c_str());
        QVERIFY(service.SetFault("silent-stor-reply", true));
        TempFolder home, photos;
        MessageCatcher messages;
        auto window = WindowWithPhotos(home, service, {MakePhoto(photos, "a.jpg", 800, 600, true)});
        TransferPanel* panel = window->findChild<TransferPanel*>();
        const int before = service.Stalls();
        QElapsedTimer sinceStop;
        QTimer stopper;
        stopper.setInterval(20);
        QObject::connect(&stopper, &QTimer::timeout, [&] {
            if (service.Stalls() > before) {
                stopper.stop();
                sinceStop.start();
                Child<QPushButton>(panel, "Stop_Btn")->click();
            }
        });
        stopper.start();
        QVERIFY(RunTransferToEnd(*window));
        QVERIFY(sinceStop.isValid());
        QVERIFY2(sinceStop.elapsed() < 1000, QByteArray::number(sinceStop.elapsed()));
        QCOMPARE(window->Transfers()->LastOutcome(), TTransferOutcome::toStopped);
        QCOMPARE(QueuedPhotos(*window), 1);
        QVERIFY(messages.texts.contains(window->Translate("TransferAbort")));
    }

    void anUnwritableAnswerFileIsNamedWithItsReason() {
        StandinService service;
        QVERIFY2(service.ok(), service.error().c_str());
        TempFolder home, photos;
        MessageCatcher messages;
        auto window = WindowWithPhotos(home, service, {MakePhoto(photos, "a.jpg", 200, 150, true)});
        const std::string answerFile = home.Path() + "SendPhoto/Temp.xml";
        std::filesystem::remove(answerFile);
        std::filesystem::create_symlink("/dev/full", answerFile);
        QVERIFY(RunTransferToEnd(*window));
        std::filesystem::remove(answerFile);
        QCOMPARE(messages.texts.size(), 1);
        QVERIFY2(messages.texts[0].contains("Temp.xml") && messages.texts[0].contains("No space left on device"),
                 qPrintable(messages.texts[0]));
        QCOMPARE(QueuedPhotos(*window), 1);
    }

    // The window's thread is held for five seconds while a run goes on: the run sends meanwhile
    // and ends as if nothing had happened.
    void aBusyWindowNeitherHoldsNorFailsTheRun() {
        StandinService service;
        QVERIFY2(service.ok(), service.error().c_str());
        TempFolder home, photos;
        MessageCatcher messages;
        auto window = WindowWithPhotos(home, service,
                                       {MakePhoto(photos, "a.jpg", 800, 600, true), MakePhoto(photos, "b.jpg", 800, 600, true),
                                        MakePhoto(photos, "c.jpg", 800, 600, true)});
        TransferPanel* panel = window->findChild<TransferPanel*>();
        int storedWhileBusy = -1;
        QTimer blocker;
        blocker.setInterval(1);
        QObject::connect(&blocker, &QTimer::timeout, [&] {
            if (Child<QLabel>(panel, "ImgName_Lbl")->text().isEmpty()) return;
            blocker.stop();
            const qsizetype before = UploadedFiles(service).size();
            std::this_thread::sleep_for(std::chrono::seconds(5));
            storedWhileBusy = static_cast<int>(UploadedFiles(service).size() - before);
        });
        blocker.start();
        QVERIFY(RunTransferToEnd(*window));
        QVERIFY2(storedWhileBusy > 0, QByteArray::number(storedWhileBusy));
        QCOMPARE(window->Transfers()->LastOutcome(), TTransferOutcome::toCompleted);
        QCOMPARE(UploadedFiles(service).size(), 12);
        QCOMPARE(QueuedPhotos(*window), 0);
    }

    // While the run holds one album (slowed to 1 KB/s), the user deletes, turns and adds photos
    // of another and tries to delete the held one. The deleted photo is never sent, the turned
    // one goes with its new size, the added one waits for the next run, the held album stays.
    void theUserOrganisesTheOtherAlbumsDuringARun() {
        StandinService service;
        QVERIFY2(service.ok(), service.error().c_str());
        TempFolder home, photos;
        MessageCatcher messages;
        auto window = WindowWithPhotos(home, service,
                                       {MakePhoto(photos, "a1.jpg", 600, 400, true), MakePhoto(photos, "a2.jpg", 600, 400, true),
                                        MakePhoto(photos, "a3.jpg", 600, 400, true)});
        TAlbumList& albums = window->Albums()->Albums();
        albums.SelectAlbum(albums.AddAlbum("Other"));
        window->PageControl()->setCurrentIndex(TMain_Dlog::OrganizeSheet);
        Drop(window->Organize()->Content_View->viewport(),
             FilesData({MakePhoto(photos, "o1.jpg", 600, 400, true), MakePhoto(photos, "o2.jpg", 600, 400, true),
                        MakePhoto(photos, "o3.jpg", 600, 400, true)})
                 .get());
        QCOMPARE(QueuedPhotos(*window), 6);
        window->PageControl()->setCurrentIndex(TMain_Dlog::TransferSheet);
        window->Context().Settings().LimitKBps = 1;
        TransferPanel* panel = window->findChild<TransferPanel*>();
        bool done = false, heldLocked = false, heldKept = false;
        QString otherWorkPath, heldName;
        QTimer organiser;
        organiser.setInterval(1);
        QObject::connect(&organiser, &QTimer::timeout, [&] {
            if (Child<QLabel>(panel, "ImgName_Lbl")->text().isEmpty()) return;
            organiser.stop();
            TransferQueue& queue = window->Albums()->Queue();
            TAlbum* held = nullptr;
            TAlbum* other = nullptr;
            for (int i = 0; i < albums.Count(); ++i)
                if (albums.Items(i).Jobs().Count() > 0) (queue.MayChange(albums.Items(i)) ? other : held) = &albums.Items(i);
            if (!held || !other) return Child<QPushButton>(panel, "Stop_Btn")->click();
            heldName = QString::fromStdString(held->AlbumName());
            window->PageControl()->setCurrentIndex(TMain_Dlog::OrganizeSheet);
            SelectPhoto(*window, *held, held->Jobs().Items(0).FileName);
            heldLocked = !window->Action(ActionId::EditDelete1)->isEnabled() &&
                         !window->Action(ActionId::AlbumDel1)->isEnabled() &&
                         !window->Action(ActionId::ImgRotR1)->isEnabled();
            window->Albums()->DeleteAlbumCommand();  // refused with a message
            heldKept = albums.IndexOfAlbum(held) >= 0 && held->Jobs().Count() == 3;
            const std::string first = other->Jobs().Items(0).FileName, second = other->Jobs().Items(1).FileName;
            SelectPhoto(*window, *other, first);
            otherWorkPath = QString::fromStdString(other->Jobs().Items(0).WorkPath);
            window->Action(ActionId::EditDelete1)->trigger();
            SelectPhoto(*window, *other, second);
            window->Action(ActionId::ImgRotR1)->trigger();
            WaitUntilIdle(*window);  // the turn goes one photo per turn of the event loop
            Drop(window->Organize()->Content_View->viewport(), FilesData({MakePhoto(photos, "n1.jpg", 300, 200, true)}).get());
            done = true;
            Child<QCheckBox>(panel, "Limit_Check")->click();  // the run may go on at full speed
        });
        organiser.start();
        QVERIFY(RunTransferToEnd(*window));
        QVERIFY(done);
        QVERIFY(heldLocked);
        QVERIFY(heldKept);
        QVERIFY2(messages.texts.contains(window->Translate("AlbumBeingSent").replace("%s", heldName)),
                 qPrintable(messages.texts.join("|")));
        QCOMPARE(window->Transfers()->LastOutcome(), TTransferOutcome::toCompleted);
        // Three photos of the held album and the two left of the other, each once.
        QCOMPARE(UploadedFiles(service).size(), 20);
        const QString sidecars = UploadedSidecars(service);
        QVERIFY(!QFile::exists(otherWorkPath));
        for (const char* sent : {"a1.jpg", "a2.jpg", "a3.jpg"}) QCOMPARE(sidecars.count(QString("name ") + sent), 1);
        QVERIFY(!sidecars.contains("name n1.jpg"));
        QCOMPARE(sidecars.count("width 400\r\nheight 600"), 1);  // the turned photo, upright now
        QCOMPARE(QueuedPhotos(*window), 1);                        // the added photo waits
        QVERIFY(ReadWholeFile(home.Path() + "SendPhoto/Images.lst")->find("n1.jpg") != std::string::npos);
    }

    // Start names the photos too small for a good 10x15 print first: No leaves the window without
    // a run; ticking "do not ask again" keeps the answer in the settings file, and the next Start
    // sends without asking.
    void smallPhotosAreNamedBeforeARun() {
        StandinService service;
        QVERIFY2(service.ok(), service.error().c_str());
        TempFolder home, photos;
        auto window = WindowWithPhotos(home, service,
                                       {MakePhoto(photos, "a.jpg", 300, 200, true), MakePhoto(photos, "b.jpg", 200, 300, true),
                                        MakePhoto(photos, "c.jpg", 1800, 1350)});
        window->Context().Settings().AskSmall = true;
        QStringList questions;
        bool tickStopAsking = false;
        QTimer answerer;
        answerer.setInterval(20);
        connect(&answerer, &QTimer::timeout, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || !box->checkBox()) return;
            questions << box->text();
            box->checkBox()->setChecked(tickStopAsking);
            box->button(QMessageBox::No)->click();
        });
        answerer.start();
        const QString question = "2 photos are small for a good 10x15 print: send them anyway?";

        window->Transfers()->Start_BtnClick();
        QCOMPARE(questions, QStringList{question});
        QVERIFY(!window->Transfers()->Running());
        QCOMPARE(window->Transfers()->LastOutcome(), TTransferOutcome::toNone);

        tickStopAsking = true;
        window->Transfers()->Start_BtnClick();
        QCOMPARE(questions.size(), 2);
        QVERIFY(!window->Transfers()->Running());
        QCOMPARE(*IniDocument::Load(home.Path() + "SendPhoto/vantrel.ini").Get("Look", "AskSmall"), "0");
        QCOMPARE(UploadedFiles(service).size(), 0);

        MessageCatcher messages;
        QVERIFY(RunTransferToEnd(*window));
        QCOMPARE(questions.size(), 2);
        QCOMPARE(window->Transfers()->LastOutcome(), TTransferOutcome::toCompleted);
        QCOMPARE(QueuedPhotos(*window), 0);
    }

    void emptyFieldsAreRefusedBeforeAnyConnection() {
        TempFolder home;
        MessageCatcher messages;
        auto window = OpenWindow(home);
        Child<QLineEdit>(window->Transfer(), "Login_Edit")->clear();
        window->Transfers()->Start_BtnClick();
        Child<QLineEdit>(window->Transfer(), "Login_Edit")->setText("someone@example.com");
        Child<QLineEdit>(window->Transfer(), "Pass_Edit")->clear();
        window->Transfers()->Start_BtnClick();
        QCOMPARE(messages.texts, (QStringList{window->Translate("MailAddrErr"), window->Translate("PasswordErr")}));
    }
};

QTEST_MAIN(TransferPageTest)
#include "TransferPageTest.moc"
