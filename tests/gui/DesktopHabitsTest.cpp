// What users of a desktop program expect without asking: F1 for help, Delete and F2 on the
// album page, no menu entries that do nothing, error messages that look like errors.
#include <QClipboard>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QTextBrowser>
#include <filesystem>
#include <functional>

#include "GuiTestSupport.h"
#include "core/albums/TAlbumList.h"
#include "gui/albums/AlbumPanel.h"
#include "gui/albums/AlbumsController.h"
#include "gui/albums/OrganizePage.h"
#include "gui/app/HelpWindow.h"
#include "gui/app/TAbout_Dlog.h"
#include "gui/app/TPref_Dlog.h"
#include "gui/browse/SelectPage.h"
#include "gui/browse/SelectPageController.h"
#include "gui/service/TransferPage.h"
#include "gui/service/TransferPanel.h"
#include <QToolButton>
#include <QLabel>
#include <QDir>

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

// Light and dark enough apart to read: the difference of their lightness.
bool Readable(const QColor& text, const QColor& background) {
    return std::abs(text.lightness() - background.lightness()) >= 100;
}

// Names the widgets among `widgets` whose text colour does not stand out from their background.
QStringList Unreadable(const QList<QWidget*>& widgets, const QColor& background) {
    QStringList out;
    for (QWidget* w : widgets)
        if (!Readable(w->palette().color(w->foregroundRole()), background)) out << w->objectName();
    return out;
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
        window->Albums()->UpdateCommands();
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

    // A command's enabling follows what its rule reads at once: no step below lets events run.
    void commandsEnableAtOnceWhenWhatTheyReadChanges() {
        TempFolder home, photos;
        auto window = OpenWindow(home);
        QueueThree(*window, photos);
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        QListWidget* content = window->Organize()->Content_View;
        QLineEdit* field = Child<QLineEdit>(window->Transfer(), "Login_Edit");
        TAlbumList& albums = window->Albums()->Albums();
        auto page = [&](int index) { window->PageControl()->setCurrentIndex(index); };
        // Delete, delete album, rename album, copy, paste: '1' where enabled.
        auto enabled = [&] {
            QString out;
            for (ActionId id : {ActionId::EditDelete1, ActionId::AlbumDel1, ActionId::AlbumEdit1, ActionId::EditCopy1,
                                ActionId::EditPaste1})
                out += window->Action(id)->isEnabled() ? '1' : '0';
            return out;
        };
        const std::pair<std::function<void()>, QString> steps[] = {
            {[&] { content->setCurrentRow(0); }, "11100"},
            {[&] { page(TMain_Dlog::SelectSheet); }, "01100"},
            {[&] { page(TMain_Dlog::OrganizeSheet); }, "11100"},
            {[&] { content->clearSelection(); }, "01100"},
            {[&] { while (albums.Count() > 0) albums.DeleteAlbum(0); }, "00000"},
            {[&] { albums.AddAlbumFromUser("Trip"); }, "01100"},
            {[&] {
                 page(TMain_Dlog::TransferSheet);
                 field->setFocus();
                 field->setText("me@example.test");
                 field->selectAll();
             },
             "01110"},
            {[&] { field->deselect(); }, "01100"},
            {[&] { QApplication::clipboard()->setText("pasted"); }, "01101"},
            {[&] {
                 page(TMain_Dlog::OrganizeSheet);
                 content->setFocus();
             },
             "01100"},
        };
        for (size_t i = 0; i < std::size(steps); ++i) {
            steps[i].first();
            QVERIFY2(enabled() == steps[i].second, qPrintable(QString("step %1: %2").arg(i).arg(enabled())));
        }
    }

    void editMenuHoldsNoCommandThatDoesNothing() {
        TempFolder home;
        auto window = OpenWindow(home);
        for (ActionId id : {ActionId::EditUndo1, ActionId::EditRedo1}) QVERIFY(!window->Action(id)->isVisible());
    }

    // With a dark desktop palette the panels that keep a light colour of their own keep dark texts.
    void darkPaletteKeepsEveryTextReadable() {
        const QPalette saved = QApplication::palette();
        QPalette dark;
        for (auto role : {QPalette::Window, QPalette::Base, QPalette::Button}) dark.setColor(role, QColor(40, 40, 40));
        for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
            dark.setColor(role, QColor(230, 230, 230));
        QApplication::setPalette(dark);
        {
            TempFolder home, photos;
            auto window = OpenWindow(home);
            SelectPage& select = *window->Select();
            const QColor panel = select.Info_Panel->palette().color(select.Info_Panel->backgroundRole());
            QVERIFY(Readable(select.Info_Panel->palette().color(QPalette::WindowText), panel));
            QList<QWidget*> values;
            for (QLabel* label : select.Info_Panel->findChildren<QLabel*>())
                if (!label->objectName().startsWith("Panel")) values << label;
            QVERIFY2(Unreadable(values, panel).isEmpty(), qPrintable(Unreadable(values, panel).join(", ")));
            for (QListWidget* list : {select.Thumb_View, window->Organize()->Content_View})
                QVERIFY2(Readable(list->palette().color(QPalette::Text), list->palette().color(QPalette::Base)),
                         qPrintable(list->objectName()));
            QueueThree(*window, photos);
            for (AlbumPanel* album : window->Organize()->findChildren<AlbumPanel*>())
                QVERIFY(Readable(album->palette().color(QPalette::WindowText), album->palette().color(QPalette::Window)));
            auto* transfer = window->findChild<TransferPanel*>();
            QList<QWidget*> transferLabels;
            for (QLabel* label : transfer->findChildren<QLabel*>()) transferLabels << label;
            const QStringList transferFaults = Unreadable(transferLabels, transfer->palette().color(QPalette::Window));
            QVERIFY2(transferFaults.isEmpty(), qPrintable(transferFaults.join(", ")));

            TAbout_Dlog about(window->Context());
            QList<QWidget*> aboutLabels;
            for (QLabel* label : about.findChildren<QLabel*>()) aboutLabels << label;
            QVERIFY2(Unreadable(aboutLabels, Qt::white).isEmpty(), qPrintable(Unreadable(aboutLabels, Qt::white).join(", ")));
            TPref_Dlog preferences(window->Context());
            QList<QWidget*> sheetButtons;
            for (QToolButton* button : preferences.findChild<QWidget*>("Tool_Bar")->findChildren<QToolButton*>())
                sheetButtons << button;
            QVERIFY(Unreadable(sheetButtons, Qt::white).isEmpty());
        }
        QApplication::setPalette(saved);
    }

    // Without a kept folder the tree opens on the start folder; Pictures of the XDG user folders
    // is that folder when it exists, else home.
    void firstStartOpensThePicturesFolder() {
        TempFolder home, pictures, config;
        TMain_Dlog window({home.Path() + "SendPhoto/", home.Path() + "SendPhoto/vantrel.ini", VANTREL_PROGRAM_FOLDER,
                           pictures.Path()},
                          LocaleInfo());
        window.show();
        window.FirstActivation();
        QCOMPARE(QDir(window.Browse()->CurrentFolder()), QDir(QString::fromStdString(pictures.Path())));

        const QByteArray savedConfig = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(config.Path()));
        config.Write("user-dirs.dirs", "XDG_PICTURES_DIR=\"" + pictures.Path() + "\"\n");
        QCOMPARE(QDir(SelectPageController::FirstFolder()), QDir(QString::fromStdString(pictures.Path())));
        config.Write("user-dirs.dirs", "XDG_PICTURES_DIR=\"" + pictures.Path() + "gone\"\n");
        QCOMPARE(SelectPageController::FirstFolder(), QDir::homePath());
        qputenv("XDG_CONFIG_HOME", savedConfig);
    }

    // A photo whose bytes are already queued, under its own name or another, is added again only
    // when the user says so.
    void samePhotoTwiceAsksFirst() {
        TempFolder home, photos;
        auto window = OpenWindow(home);
        QueueThree(*window, photos);
        QListWidget* content = window->Organize()->Content_View;
        QFile::copy(QString::fromStdString(photos.File("a.jpg")), QString::fromStdString(photos.File("copy of a.jpg")));
        MessageCatcher catcher;
        const std::pair<QString, int> cases[] = {
            {"a.jpg", QMessageBox::No}, {"copy of a.jpg", QMessageBox::No}, {"copy of a.jpg", QMessageBox::Yes}};
        int expected = 3;
        for (const auto& [name, answer] : cases) {
            catcher.texts.clear();
            catcher.answer = answer;
            auto files(FilesData({QString::fromStdString(photos.File(name.toStdString()))}));
            Drop(content->viewport(), files.get());
            QCOMPARE(catcher.texts, QStringList{window->Translate("SamePhotoAgain").replace("%s", name)});
            expected += answer == QMessageBox::Yes;
            QCOMPARE(content->count(), expected);
        }
        // Another picture is queued without a question.
        catcher.texts.clear();
        auto other(FilesData({MakePhoto(photos, "d.jpg", 50, 50)}));
        Drop(content->viewport(), other.get());
        QVERIFY(catcher.texts.isEmpty());
        QCOMPARE(content->count(), expected + 1);
    }

    // A missing help page is a fault of the installation: a warning, not a piece of information.
    void missingHelpIsAWarning() {
        TempFolder home, program;
        std::filesystem::create_directory_symlink(std::string(VANTREL_PROGRAM_FOLDER) + "Language",
                                                  program.Path() + "Language");
        TMain_Dlog window({home.Path() + "SendPhoto/", home.Path() + "SendPhoto/vantrel.ini", program.Path(), {}},
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
