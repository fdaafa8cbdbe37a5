// The preferences and about dialogs opened from the main window's commands: the quality field and
// its hidden group, captions changed while the dialog is open, the proxy checks that keep it open,
// the upload page reached by its button, and the about box's version line and web-site link.
#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTest>
#include <QToolButton>
#include <QTimer>
#include <functional>

#include "core/albums/TAlbumList.h"
#include "core/TempFolder.h"
#include "gui/GuiTestSupport.h"
#include "gui/albums/AlbumsController.h"
#include "gui/albums/OrganizePage.h"
#include "gui/app/TMain_Dlog.h"
#include "gui/app/TAbout_Dlog.h"
#include "gui/app/TPref_Dlog.h"
#include "gui/app/SpinEdit.h"
#include "gui/browse/SelectPage.h"
#include "gui/browse/SelectPageController.h"

using namespace vantrel;
using namespace vantrel::gui;
using vantrel::test::Child;
using test::MakePhoto;
using test::MessageCatcher;

namespace {

// Runs `inside` while the dialog of type D that `command` opens is shown modally; `inside` closes
// it. Returns false when no such dialog opened.
template <typename D>
bool WhileOpen(QAction* command, const std::function<void(D&)>& inside) {
    bool opened = false;
    QTimer::singleShot(0, [&] {
        if (auto* dialog = qobject_cast<D*>(QApplication::activeModalWidget())) {
            opened = true;
            (void)QTest::qWaitForWindowExposed(dialog);
            inside(*dialog);
            if (dialog->isVisible()) dialog->done(0);  // a failed check must not leave it open
        }
    });
    command->trigger();
    QTest::qWait(0);
    return opened;
}

// A click on a check box or radio button where its indicator is.
void Tick(QAbstractButton* button) { QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2)); }

QLineEdit* SpinText(TPref_Dlog& dialog) { return Child<SpinEdit>(&dialog, "Comp_Spin")->findChild<QLineEdit*>(); }

}  // namespace

class PreferencesTest : public QObject {
    Q_OBJECT

private slots:
    void qualityIsLimitedWhenTheDialogOpens() {
        test::TempFolder home;
        auto window = test::OpenWindow(home);
        const struct {
            int stored, opened;
        } cases[] = {{0, 1}, {150, 100}, {-7, 1}, {42, 42}};
        for (const auto& c : cases) {
            window->Context().Settings().CompRate = c.stored;
            QVERIFY(WhileOpen<TPref_Dlog>(window->Action(ActionId::FileOptions1), [&](TPref_Dlog& dialog) {
                QCOMPARE(window->Context().Settings().CompRate, c.opened);  // already, before anything is touched
                QCOMPARE(SpinText(dialog)->text(), QString::number(c.opened));
                dialog.close();
            }));
            QCOMPARE(window->Context().Settings().CompRate, c.opened);
        }
    }

    void spaceHeldShowsTheQualityGroup() {
        test::TempFolder home;
        auto window = test::OpenWindow(home);
        QAction* options = window->Action(ActionId::FileOptions1);

        QVERIFY(WhileOpen<TPref_Dlog>(options, [](TPref_Dlog& dialog) {
            QVERIFY(!Child<QGroupBox>(&dialog, "Comp_Group")->isVisible());
            dialog.close();
        }));

        QTest::keyPress(window.get(), Qt::Key_Space);
        QVERIFY(WhileOpen<TPref_Dlog>(options, [](TPref_Dlog& dialog) {
            QVERIFY(Child<QGroupBox>(&dialog, "Comp_Group")->isVisible());
            QLineEdit* field = SpinText(dialog);
            // A typed value outside the range is brought into it when the field is left.
            Child<SpinEdit>(&dialog, "Comp_Spin")->setFocus();
            field->selectAll();
            QTest::keyClicks(field, "150");
            QCOMPARE(Child<SpinEdit>(&dialog, "Comp_Spin")->Value(), 150);
            Child<QCheckBox>(&dialog, "Name_Check")->setFocus();
            QCOMPARE(field->text(), QString("100"));
            // Letters cannot be typed; an emptied field reads as the minimum.
            Child<SpinEdit>(&dialog, "Comp_Spin")->setFocus();
            QTest::keyClicks(field, "x");
            QCOMPARE(field->text(), QString("100"));
            field->selectAll();
            QTest::keyClick(field, Qt::Key_Backspace);
            QCOMPARE(field->text(), QString());
            dialog.close();  // the close box, the field still holding the focus
        }));
        QCOMPARE(window->Context().Settings().CompRate, 1);

        QTest::keyRelease(window.get(), Qt::Key_Space);
        QVERIFY(WhileOpen<TPref_Dlog>(options, [](TPref_Dlog& dialog) {
            QVERIFY(!Child<QGroupBox>(&dialog, "Comp_Group")->isVisible());
            dialog.close();
        }));

        // While lists are being filled the command does nothing.
        window->Context().BeginBusy(1, false);
        QVERIFY(!WhileOpen<TPref_Dlog>(options, [](TPref_Dlog& dialog) { dialog.close(); }));
        window->Context().EndBusy();
    }

    void captionBoxesChangeEveryCaptionAtOnce() {
        test::TempFolder home, photos;
        MessageCatcher messages;
        const QString a = MakePhoto(photos, "a.jpg", 64, 48);
        const QString b = MakePhoto(photos, "b.jpg", 40, 30);
        auto window = test::OpenWindow(home);
        window->Browse()->ShowNotice = [](const QString&) { return false; };

        // Two albums: the photo of the one not shown changes in the model only.
        AlbumsController& albums = *window->Albums();
        albums.DropFilesOnContent({a});
        QVERIFY(test::WaitUntilIdle(*window));
        TAlbumList& list = albums.Albums();
        const int second = list.AddAlbum("Second");
        list.SelectAlbum(second);
        albums.DropFilesOnContent({b});
        QVERIFY(test::WaitUntilIdle(*window));
        QCOMPARE(list.Items(second).Jobs().Count(), 1);

        QSignalSpy listed(window->Browse(), &SelectPageController::listingFinished);
        QVERIFY(window->Browse()->SelectFolder(QString::fromStdString(photos.Path())));
        QVERIFY(listed.wait(20000));
        QListWidget* thumbs = window->Select()->Thumb_View;
        QListWidget* content = window->Organize()->Content_View;
        QCOMPARE(thumbs->count(), 2);
        QVERIFY(thumbs->item(0)->text().startsWith("a.jpg\n"));
        const QString firstThumb = thumbs->item(0)->text();

        QVERIFY(WhileOpen<TPref_Dlog>(window->Action(ActionId::FileOptions1), [&](TPref_Dlog& dialog) {
            Tick(Child<QCheckBox>(&dialog, "Name_Check"));
            QVERIFY(!window->Context().Settings().ShowName);  // applied at once, before closing
            QCOMPARE(thumbs->item(0)->text(), firstThumb.section('\n', 1));  // same order, no name
            QVERIFY(thumbs->item(1)->text().endsWith("40 x 30"));
            QCOMPARE(content->count(), 1);
            QVERIFY(!content->item(0)->text().contains("b.jpg"));
            QVERIFY(content->item(0)->text().endsWith("40 x 30"));
            for (int album = 0; album < list.Count(); ++album) {
                const std::string& caption = list.Items(album).Jobs().Items(0).Caption;
                QVERIFY(caption.find(".jpg") == std::string::npos);
            }
            Tick(Child<QCheckBox>(&dialog, "Size_Check"));
            QVERIFY(!thumbs->item(1)->text().contains(" x "));
            Tick(Child<QCheckBox>(&dialog, "Size_Check"));
            dialog.close();
        }));
        QVERIFY(!window->Context().Settings().ShowName);
        QVERIFY(window->Context().Settings().ShowSize);
        QVERIFY(messages.texts.isEmpty());
    }

    void proxyChecksKeepTheDialogOpenOnTheSecurePage() {
        test::TempFolder home;
        MessageCatcher messages;
        auto window = test::OpenWindow(home);
        window->Context().Settings().ProxyIsUsed = true;
        window->Context().Settings().ProxyAddr = "old.proxy";
        window->Context().Settings().ProxyPort = "3128";
        window->Context().Settings().AskAlbum = true;

        QVERIFY(WhileOpen<TPref_Dlog>(window->Action(ActionId::FileOptions1), [&](TPref_Dlog& dialog) {
            QVERIFY(Child<QToolButton>(&dialog, "Security_Btn")->isHidden());
            QCOMPARE(Child<QStackedWidget>(&dialog, "Pages")->currentWidget(), Child<QWidget>(&dialog, "Look_Sheet"));
            QVERIFY(Child<QLineEdit>(&dialog, "ProxPort_Edit")->isEnabled());
            Tick(Child<QCheckBox>(&dialog, "Album_Check"));
            QVERIFY(Child<QCheckBox>(&dialog, "Small_Check")->isChecked());
            Tick(Child<QCheckBox>(&dialog, "Small_Check"));

            Child<QLineEdit>(&dialog, "ProxPort_Edit")->setText("80a");
            dialog.close();
            QCOMPARE(messages.texts, QStringList{window->Translate("ProxPortErr")});
            QVERIFY(dialog.isVisible());
            QCOMPARE(Child<QStackedWidget>(&dialog, "Pages")->currentWidget(), Child<QWidget>(&dialog, "Secure_Sheet"));
            QCOMPARE(dialog.focusWidget(), Child<QLineEdit>(&dialog, "ProxPort_Edit"));
            QVERIFY(window->Context().Settings().AskAlbum);  // nothing stored yet

            Child<QLineEdit>(&dialog, "ProxName_Edit")->clear();
            dialog.close();
            QCOMPARE(messages.texts.last(), window->Translate("ProxAddrErr"));
            QVERIFY(dialog.isVisible());
            QCOMPARE(dialog.focusWidget(), Child<QLineEdit>(&dialog, "ProxName_Edit"));

            // Without the proxy the fields are disabled and their texts dropped.
            Tick(Child<QCheckBox>(&dialog, "Proxy_Check"));
            QVERIFY(!Child<QLineEdit>(&dialog, "ProxName_Edit")->isEnabled() && !Child<QLabel>(&dialog, "ProxPort_Lbl")->isEnabled());
            dialog.close();
            QVERIFY(!dialog.isVisible());
        }));
        QCOMPARE(messages.texts.size(), 2);
        QVERIFY(!window->Context().Settings().ProxyIsUsed);
        QCOMPARE(window->Context().Settings().ProxyAddr, std::string());
        QCOMPARE(window->Context().Settings().ProxyPort, std::string());
        QVERIFY(!window->Context().Settings().AskAlbum);
        QVERIFY(!window->Context().Settings().AskSmall);
    }

    // Unticked, the proxy of the environment's variables for the service's address is named (the
    // tests' service is on http://127.0.0.1).
    void theEnvironmentsProxyIsShownWhenNoneIsTicked() {
        test::TempFolder home;
        auto window = test::OpenWindow(home);
        const struct {
            QList<QPair<const char*, QByteArray>> variables;
            QString shown;  // empty: "no proxy"
        } cases[] = {
            {{}, {}},
            {{{"http_proxy", "http://proxy.lan:3128/"}, {"https_proxy", "other:1"}}, "proxy.lan:3128 (from http_proxy)"},
            {{{"ALL_PROXY", "socks5h://[fd00::1]:1080"}}, "[fd00::1]:1080 (from ALL_PROXY)"},
            {{{"HTTP_PROXY", "proxy.lan:3128"}}, {}},
            {{{"http_proxy", "proxy.lan:3128"}, {"no_proxy", "localhost,127.0.0.0/8"}}, {}},
        };
        for (const auto& c : cases) {
            for (const auto& [name, value] : c.variables) qputenv(name, value);
            QVERIFY(WhileOpen<TPref_Dlog>(window->Action(ActionId::FileOptions1), [&](TPref_Dlog& dialog) {
                // Shown on the sending page, which the user sees (the proxy's own page is hidden).
                auto* shown = Child<QLabel>(Child<QWidget>(&dialog, "Upload_Sheet"), "ProxyInUse_Lbl");
                if (c.shown.isEmpty()) QCOMPARE(shown->text(), window->Translate("NoSystemProxy"));
                else QCOMPARE(shown->text(), "System proxy: " + c.shown);
                // The options' proxy, once ticked with an address, takes everything.
                Tick(Child<QCheckBox>(&dialog, "Proxy_Check"));
                Child<QLineEdit>(&dialog, "ProxName_Edit")->setText("cache.lan");
                QCOMPARE(shown->text(), QString("Proxy of the options: cache.lan:8080"));
                dialog.done(0);
            }));
            for (const auto& [name, value] : c.variables) qunsetenv(name);
        }
    }

    void frequencyIsStoredWhileItsGroupIsDisabled() {
        test::TempFolder home;
        auto window = test::OpenWindow(home);
        window->Context().Settings().IsUpdated = true;
        window->Context().Settings().FreqIdx = 5;  // past the last choice: the last one is shown
        QVERIFY(WhileOpen<TPref_Dlog>(window->Action(ActionId::FileOptions1), [&](TPref_Dlog& dialog) {
            QTest::mouseClick(Child<QToolButton>(&dialog, "Update_Btn"), Qt::LeftButton);
            QCOMPARE(Child<QStackedWidget>(&dialog, "Pages")->currentWidget(), Child<QWidget>(&dialog, "Update_Sheet"));
            QCOMPARE(Child<QButtonGroup>(&dialog, "Freq_Group")->checkedId(), 2);
            QCOMPARE(Child<QButtonGroup>(&dialog, "Freq_Group")->button(1)->text(), window->Translate("Freq_Radio").split("\r\n").at(1));
            Tick(Child<QButtonGroup>(&dialog, "Freq_Group")->button(1));
            Tick(Child<QCheckBox>(&dialog, "Search_Check"));
            QVERIFY(!Child<QWidget>(&dialog, "Freq_Radio")->isEnabled());
            dialog.close();
        }));
        QVERIFY(!window->Context().Settings().IsUpdated);
        QCOMPARE(window->Context().Settings().FreqIdx, 1);
    }

    void uploadLimitAndSessionsAreOfferedOnTheirOwnPageAndStored() {
        test::TempFolder home;
        auto window = test::OpenWindow(home);
        window->Context().Settings().LimitKBps = 250;
        window->Context().Settings().Connections = 3;
        QVERIFY(WhileOpen<TPref_Dlog>(window->Action(ActionId::FileOptions1), [&](TPref_Dlog& dialog) {
            // Reached as a user does: the page's button shows in the row and brings up the group.
            QVERIFY(Child<QToolButton>(&dialog, "Upload_Btn")->isVisible());
            QCOMPARE(Child<QToolButton>(&dialog, "Upload_Btn")->text(), window->Translate("Upload_Btn"));
            QVERIFY(!Child<QSpinBox>(&dialog, "Limit_Spin")->isVisible());
            QTest::mouseClick(Child<QToolButton>(&dialog, "Upload_Btn"), Qt::LeftButton);
            QCOMPARE(Child<QStackedWidget>(&dialog, "Pages")->currentWidget(), Child<QWidget>(&dialog, "Upload_Sheet"));
            QVERIFY(Child<QToolButton>(&dialog, "Upload_Btn")->isChecked() && !Child<QToolButton>(&dialog, "Look_Btn")->isChecked());
            for (QWidget* field : std::initializer_list<QWidget*>{Child<QSpinBox>(&dialog, "Limit_Spin"), Child<QSpinBox>(&dialog, "Connections_Spin")}) {
                QVERIFY(Child<QWidget>(&dialog, "Upload_Sheet")->isAncestorOf(field));
                QVERIFY(field->isVisible());
            }
            QCOMPARE(Child<QCheckBox>(&dialog, "Limit_Check")->text(), window->Translate("Limit_Check"));
            QVERIFY(Child<QCheckBox>(&dialog, "Limit_Check")->isChecked());
            QCOMPARE(Child<QSpinBox>(&dialog, "Limit_Spin")->value(), 250);
            Child<QSpinBox>(&dialog, "Limit_Spin")->setValue(800);
            QCOMPARE(Child<QLabel>(&dialog, "Connections_Lbl")->text(), window->Translate("Connections_Lbl"));
            QCOMPARE(Child<QSpinBox>(&dialog, "Connections_Spin")->value(), 3);
            QCOMPARE(Child<QSpinBox>(&dialog, "Connections_Spin")->maximum(), 4);
            Child<QSpinBox>(&dialog, "Connections_Spin")->setValue(1);
            dialog.close();
        }));
        QCOMPARE(window->Context().Settings().LimitKBps, 800);
        QCOMPARE(window->Context().Settings().Connections, 1);
        QVERIFY(WhileOpen<TPref_Dlog>(window->Action(ActionId::FileOptions1), [&](TPref_Dlog& dialog) {
            Tick(Child<QCheckBox>(&dialog, "Limit_Check"));
            QVERIFY(!Child<QSpinBox>(&dialog, "Limit_Spin")->isEnabled());
            dialog.close();
        }));
        QCOMPARE(window->Context().Settings().LimitKBps, 0);
    }

    // Both dialogs close with a Close button as with the desktop's close box; the options are
    // stored on the way.
    void optionsAndAboutCloseWithTheirButton() {
        test::TempFolder home;
        auto window = test::OpenWindow(home);
        bool optionsClosed = false, aboutClosed = false;
        const auto clickClose = [](QDialog& dialog) {
            Child<QDialogButtonBox>(&dialog, "Close_Box")->button(QDialogButtonBox::Close)->click();
            return !dialog.isVisible();
        };
        QVERIFY(WhileOpen<TPref_Dlog>(window->Action(ActionId::FileOptions1), [&](TPref_Dlog& dialog) {
            Tick(Child<QCheckBox>(&dialog, "Limit_Check"));
            optionsClosed = clickClose(dialog);
        }));
        QVERIFY(optionsClosed);
        QVERIFY(window->Context().Settings().LimitKBps > 0);
        QVERIFY(WhileOpen<TAbout_Dlog>(window->Action(ActionId::HelpAbout1),
                                       [&](TAbout_Dlog& about) { aboutClosed = clickClose(about); }));
        QVERIFY(aboutClosed);
    }

    void aboutShowsTheVersionAndTheSiteLink() {
        test::TempFolder home;
        auto window = test::OpenWindow(home);
        QStringList opened;
        window->Context().Remote().website_url.clear();
        QVERIFY(WhileOpen<TAbout_Dlog>(window->Action(ActionId::HelpAbout1), [&](TAbout_Dlog& about) {
            about.OpenLink = [&](const QString& address) { opened << address; };
            QCOMPARE(about.windowTitle(), window->Translate("About_Dlog"));
            QCOMPARE(about.Version_Lbl->text(), window->Translate("Version_Lbl") + " 3.2.5.98");
            QVERIFY(about.Version_Lbl->alignment() & Qt::AlignRight);
            QVERIFY(about.VantrelURL_Lbl->text().contains(">" + window->Translate("Website_URL") + "<"));
            emit about.VantrelURL_Lbl->linkActivated("#");
            // Every address of a credit line is a link of its own.
            QCOMPARE(about.Credits_Line3->text().count("<a href"), 2);
            emit about.Credits_Line3->linkActivated("https://curl.se");
            about.close();
        }));
        QCOMPARE(opened, (QStringList{window->Translate("Website_URL"), "https://curl.se"}));

        window->Context().Remote().website_url = "http://service.example/";
        TAbout_Dlog about(window->Context());
        QVERIFY(about.VantrelURL_Lbl->text().contains(">http://service.example/<"));
    }
};

QTEST_MAIN(PreferencesTest)
#include "PreferencesTest.moc"
