// Leaving the retouch dialog: Escape, the close box and Close ask the same about a changed photo
// (save, discard or stay), close at once when nothing changed, save unasked when asking is off,
// and a termination signal over the question saves nothing.
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <csignal>

#include "core/app/WorkFolder.h"
#include "core/base/AtomicFile.h"
#include "core/imaging/FileBytes.h"
#include "gui/GuiTestSupport.h"
#include "gui/RetouchFixture.h"
#include "gui/app/TerminationSignals.h"
#include "gui/kit/MainActions.h"

using namespace vantrel;
using namespace vantrel::gui;
using namespace vantrel::test;

namespace {

// The ways a user leaves the dialog.
enum class Way { Escape, CloseBox, CloseButton };

void Leave(TEdit_Dlog& dialog, Way way) {
    switch (way) {
    case Way::Escape: QTest::keyClick(&dialog, Qt::Key_Escape); break;
    case Way::CloseBox: dialog.close(); break;
    case Way::CloseButton: dialog.accept(); break;
    }
}

}  // namespace

class RetouchClosingTest : public QObject {
    Q_OBJECT
private slots:
    void everyWayOutAsksSaveDiscardOrCancelAboutAChangedPhoto() {
        Album a({{64, 48}}, 0);
        MessageCatcher messages;
        const std::string copy = a.Job(0).WorkPath;
        for (Way way : {Way::Escape, Way::CloseBox, Way::CloseButton}) {
            const QString where = QString("way %1").arg(static_cast<int>(way));
            // Nothing changed: the dialog simply closes.
            messages.texts.clear();
            auto untouched = a.Open();
            Leave(*untouched, way);
            QVERIFY2(!untouched->isVisible(), qPrintable(where));
            QVERIFY2(messages.texts.isEmpty(), qPrintable(where));

            for (int answer : {QMessageBox::Cancel, QMessageBox::Discard, QMessageBox::Save}) {
                const QString what = where + QString(", answer %1").arg(answer, 0, 16);
                messages.texts.clear();
                messages.answer = answer;
                const auto before = ReadWholeFile(copy);
                auto dialog = a.Open();
                Run(*dialog, "ImgNeg1");
                Leave(*dialog, way);
                QVERIFY2(messages.texts == QStringList{a.window->Translate("WantSaveModif")}, qPrintable(what));
                const bool stays = answer == QMessageBox::Cancel;
                QVERIFY2(dialog->isVisible() == stays, qPrintable(what));
                QVERIFY2(dialog->Modified() == stays, qPrintable(what));
                QVERIFY2((ReadWholeFile(copy) != before) == (answer == QMessageBox::Save), qPrintable(what));
                if (stays) {  // a change kept on screen can still be dropped
                    messages.answer = QMessageBox::Discard;
                    Leave(*dialog, way);
                    QVERIFY2(!dialog->isVisible(), qPrintable(what));
                    QVERIFY2(ReadWholeFile(copy) == before, qPrintable(what));
                }
            }
        }
    }

    // Escape with a tool open cancels the tool and keeps the dialog; the next Escape leaves it.
    void escapeFirstCancelsTheOpenTool() {
        Album a({{64, 48}}, 0);
        MessageCatcher messages;
        auto dialog = a.Open();
        Run(*dialog, "ImgCrop1");
        QVERIFY(dialog->OpenOperation());
        QTest::keyClick(dialog.get(), Qt::Key_Escape);
        QVERIFY(dialog->isVisible());
        QCOMPARE(dialog->OpenOperation(), std::nullopt);
        QVERIFY(messages.texts.isEmpty());
        QTest::keyClick(dialog.get(), Qt::Key_Escape);
        QVERIFY(!dialog->isVisible());
    }

    void withoutAskingClosingSavesAtOnce() {
        Album a({{64, 48}}, 0);
        MessageCatcher messages;
        a.window->Context().Settings().AskModif = false;
        auto dialog = a.Open();
        Run(*dialog, "ImgRotL1");
        dialog->accept();
        QVERIFY(messages.texts.isEmpty());
        QCOMPARE(FileImage(a.Job(0).WorkPath).size(), QSize(48, 64));
        QVERIFY(a.Content()->item(0)->text().contains("48 x 64"));
    }

    void aTerminationSignalOverTheSaveQuestionEndsWithoutSaving() {
        Album a({{64, 48}, {40, 30}}, 1);
        a.window->Context().Settings().AskModif = true;
        const std::string copy = a.Job(1).WorkPath;
        const QImage before = FileImage(copy);
        bool asked = false;
        TMain_Dlog* window = a.window.get();
        RouteTerminationSignals([window] { window->CloseOnSignal(); });
        // When the question shows, SIGTERM comes; nobody answers the question.
        QTimer poll;
        connect(&poll, &QTimer::timeout, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || asked) return;
            asked = true;
            ::raise(SIGTERM);
        });
        poll.start(20);
        QTimer::singleShot(100, [&] {
            auto* dialog = qobject_cast<TEdit_Dlog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            dialog->Command("ImgRotR1")->trigger();
            dialog->accept();  // asks "save changes?"
        });
        a.window->Action(ActionId::ImgEdit1)->trigger();
        QVERIFY(asked);
        QTRY_VERIFY_WITH_TIMEOUT(!a.window->isVisible(), 5000);
        QCOMPARE(FileImage(copy), before);  // the unsaved turn is dropped, never saved unasked
        QCOMPARE(a.Job(1).Width, 40);
        QVERIFY(FileExists(a.home.Path() + "SendPhoto/vantrel.ini"));
        QVERIFY(ReadWholeFile(a.home.Path() + "SendPhoto/Images.lst")->find("p1.jpg") != std::string::npos);
    }
};

QTEST_MAIN(RetouchClosingTest)
#include "RetouchClosingTest.moc"
