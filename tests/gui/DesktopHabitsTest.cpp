// What users of a desktop program expect without asking: F1 for help, Delete and F2 on the
// album page, no menu entries that do nothing, error messages that look like errors.
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QTextBrowser>
#include <filesystem>

#include "GuiTestSupport.h"
#include "core/albums/TAlbumList.h"
#include "gui/albums/AlbumPanel.h"
#include "gui/albums/AlbumsController.h"
#include "gui/albums/OrganizePage.h"
#include "gui/app/HelpWindow.h"

using namespace vantrel;
using namespace vantrel::gui;
using namespace vantrel::test;

namespace {

void Press(TMain_Dlog& window, Qt::Key key) {
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &window, key);
}

// The album page with three queued photos.
void QueueThree(TMain_Dlog& window, const TempFolder& photos) {
    window.PageControl()->setCurrentIndex(TMain_Dlog::OrganizeSheet);
    auto files(FilesData({MakePhoto(photos, "a.jpg", 64, 48), MakePhoto(photos, "b.jpg", 40, 30),
                          MakePhoto(photos, "c.jpg", 30, 40)}));
    Drop(window.Organize()->Content_View->viewport(), files.get());
    QCOMPARE(window.Organize()->Content_View->count(), 3);
}

}  // namespace

class DesktopHabitsTest : public QObject {
    Q_OBJECT

private slots:
    void f1OpensTheHelpOfTheCurrentPage() {
        TempFolder home;
        auto window = OpenWindow(home);
        const std::pair<int, QString> pages[] = {{TMain_Dlog::SelectSheet, "choose.html"},
                                                 {TMain_Dlog::OrganizeSheet, "organise.html"},
                                                 {TMain_Dlog::TransferSheet, "transfer.html"}};
        for (const auto& [page, file] : pages) {
            window->PageControl()->setCurrentIndex(page);
            Press(*window, Qt::Key_F1);
            auto* help = window->findChild<HelpWindow*>("HelpWindow");
            QVERIFY(help && help->isVisible());
            QCOMPARE(help->findChild<QTextBrowser*>()->source().fileName(), file);
            help->close();
        }
    }

    void deleteRemovesTheSelectedPhotosAfterTheQuestion() {
        TempFolder home, photos;
        auto window = OpenWindow(home);
        QueueThree(*window, photos);
        QListWidget* content = window->Organize()->Content_View;
        MessageCatcher catcher;
        catcher.answer = QMessageBox::No;
        content->setCurrentRow(0);
        content->setFocus();
        window->UpdateActions();
        Press(*window, Qt::Key_Delete);
        QCOMPARE(catcher.texts, QStringList{window->Translate("SureToDelete")});
        QCOMPARE(content->count(), 3);
        catcher.answer = QMessageBox::Yes;
        Press(*window, Qt::Key_Delete);
        QCOMPARE(content->count(), 2);
        // On another page the hidden album selection is out of Delete's reach.
        content->setCurrentRow(0);
        window->PageControl()->setCurrentIndex(TMain_Dlog::SelectSheet);
        Press(*window, Qt::Key_Delete);
        QCOMPARE(content->count(), 2);
        QCOMPARE(catcher.texts.size(), 2);
    }

    void f2RenamesTheCurrentAlbum() {
        TempFolder home;
        auto window = OpenWindow(home);
        window->PageControl()->setCurrentIndex(TMain_Dlog::OrganizeSheet);
        Press(*window, Qt::Key_F2);
        auto* edit = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        QVERIFY(edit);
        QVERIFY(edit->objectName() == "AlbumName_Edit");
        QCOMPARE(edit->selectedText(), QString::fromStdString(window->Albums()->Albums().CurrentAlbum()->AlbumName()));
    }

    void editMenuHoldsNoCommandThatDoesNothing() {
        TempFolder home;
        auto window = OpenWindow(home);
        for (ActionId id : {ActionId::EditUndo1, ActionId::EditRedo1}) QVERIFY(!window->Action(id)->isVisible());
    }

    // A missing help page is a fault of the installation: a warning, not a piece of information.
    void missingHelpIsAWarning() {
        TempFolder home, program;
        std::filesystem::create_directory_symlink(std::string(VANTREL_PROGRAM_FOLDER) + "Language",
                                                  program.Path() + "Language");
        TMain_Dlog window({home.Path() + "SendPhoto/", home.Path() + "SendPhoto/vantrel.ini", program.Path()},
                          LocaleInfo());
        window.show();
        window.FirstActivation();
        MessageCatcher catcher;
        window.Action(ActionId::HelpContents1)->trigger();
        QCOMPARE(catcher.texts, QStringList{window.Translate("H_NoHelp")});
        QCOMPARE(catcher.icons, QList<QMessageBox::Icon>{QMessageBox::Warning});
    }
};

QTEST_MAIN(DesktopHabitsTest)
#include "DesktopHabitsTest.moc"
