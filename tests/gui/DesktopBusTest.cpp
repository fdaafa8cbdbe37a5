// The desktop services of a run: the sleep lock of the login manager is taken while photos go
// and released at the end, and a run that ends behind another window sends a notification whose
// click brings the window back. Run by desktop_bus.sh on a private bus with a fake of both
// services; without one (VANTREL_FAKE_BUS_LOG unset) the run still works and nothing is asked.
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

#include "core/albums/TAlbumList.h"
#include "core/base/AtomicFile.h"
#include "core/support/StandinService.h"
#include "gui/GuiTestSupport.h"
#include "gui/albums/AlbumsController.h"
#include "gui/albums/OrganizePage.h"
#include "gui/service/TransferController.h"
#include "gui/service/TransferPage.h"

using namespace vantrel;
using namespace vantrel::gui;
using namespace vantrel::test;

class DesktopBusTest : public QObject {
    Q_OBJECT

private slots:
    void aRunHoldsOffSleepAndSaysWhenItIsDone() {
        const QByteArray logPath = qgetenv("VANTREL_FAKE_BUS_LOG");
        StandinService service;
        QVERIFY2(service.ok(), service.error().c_str());
        qputenv("VANTREL_SETTINGS_BASE", QByteArray::fromStdString(service.settingsBase()));
        TempFolder home, photos;
        MessageCatcher messages;
        auto window = OpenWindow(home);
        window->PageControl()->setCurrentIndex(TMain_Dlog::OrganizeSheet);
        Drop(window->Organize()->Content_View->viewport(),
             FilesData({MakePhoto(photos, "a.jpg", 300, 200, true), MakePhoto(photos, "b.jpg", 200, 300, true)}).get());
        window->PageControl()->setCurrentIndex(TMain_Dlog::TransferSheet);
        Child<QLineEdit>(window->Transfer(), "Login_Edit")->setText("demo@vantrel.test");
        Child<QLineEdit>(window->Transfer(), "Pass_Edit")->setText("demo");
        // Another window is in front when the run ends.
        QWidget other;
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        QVERIFY(RunTransferToEnd(*window));
        QCOMPARE(window->Transfers()->LastOutcome(), TTransferOutcome::toCompleted);
        if (logPath.isEmpty()) return;  // no bus: the run alone is the test

        QStringList log;
        QTRY_VERIFY_WITH_TIMEOUT((log = QString::fromStdString(ReadWholeFile(logPath.toStdString()).value_or(""))
                                            .split('\n', Qt::SkipEmptyParts))
                                     .size() >= 3,
                                 5000);
        QVERIFY2(log.value(0).startsWith("inhibit sleep:idle Vantrel "), qPrintable(log.join("|")));
        QVERIFY2(log.value(0).endsWith(" block"), qPrintable(log.join("|")));
        QVERIFY2(log.indexOf("released") > 0, qPrintable(log.join("|")));
        QString body = window->Translate("NotifyRunEnded");  // two sent, none left
        body.replace(body.indexOf("%d"), 2, "2").replace("%d", "0");
        QVERIFY2(log.contains("notify " + window->windowTitle() + "|" + body), qPrintable(log.join("|")));
        // The fake clicks the notification: the window comes to the front.
        QTRY_VERIFY_WITH_TIMEOUT(window->isActiveWindow(), 5000);
    }
};

QTEST_MAIN(DesktopBusTest)
#include "DesktopBusTest.moc"
