// The update check at the window's first show, against the versions the stand-in announces.
#include <QDesktopServices>
#include <QUrl>

#include "core/app/UserSettings.h"
#include "core/support/StandinService.h"
#include "gui/GuiTestSupport.h"
#include "gui/kit/WebLinkOpener.h"

using namespace vantrel;
using namespace vantrel::test;

class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened << url; }
};

class UpdateCheckTest : public QObject {
    Q_OBJECT
private slots:
    void announcedVersions_data() {
        QTest::addColumn<QString>("announced");
        QTest::addColumn<bool>("tells");
        QTest::addColumn<bool>("checked");
        QTest::newRow("newer") << "3.2.6" << true << true;
        QTest::newRow("same") << "3.2.5" << false << true;
        QTest::newRow("3.10.0 counts as 400") << "3.10.0" << true << true;
        QTest::newRow("two parts") << "4.0" << false << false;
    }

    void announcedVersions() {
        QFETCH(QString, announced);
        QFETCH(bool, tells);
        QFETCH(bool, checked);
        StandinService service({}, {"--set", "current_version=" + announced.toStdString()});
        QVERIFY2(service.ok(), service.error().c_str());
        qputenv("VANTREL_SETTINGS_BASE", QByteArray::fromStdString(service.settingsBase()));
        UrlCatcher urls;
        QDesktopServices::setUrlHandler("http", &urls, "open");
        TempFolder home;
        MessageCatcher messages;
        auto window = OpenWindow(home);
        QTest::qWait(100);  // the check runs just after the first show
        QCOMPARE(messages.texts.contains(window->Translate("NewVersion")), tells);
        QCOMPARE(urls.opened.size(), tells ? 1 : 0);
        if (tells) QCOMPARE(urls.opened.first().toString().toStdString(), window->Context().Remote().update_url);
        QCOMPARE(window->Context().Settings().LastCheck != 0, checked);
        QDesktopServices::unsetUrlHandler("http");
    }

    // A settings document may name any address; only web links reach the desktop's opener.
    void onlyWebLinksAreOpened() {
        StandinService service({}, {"--set", "current_version=3.2.6", "--set", "update_url=file:///etc/passwd"});
        QVERIFY2(service.ok(), service.error().c_str());
        qputenv("VANTREL_SETTINGS_BASE", QByteArray::fromStdString(service.settingsBase()));
        UrlCatcher urls;
        for (const char* scheme : {"http", "https", "file", "mailto"}) QDesktopServices::setUrlHandler(scheme, &urls, "open");
        TempFolder home;
        MessageCatcher messages;
        auto window = OpenWindow(home);
        QTest::qWait(100);
        QVERIFY(messages.texts.contains(window->Translate("NewVersion")));
        QCOMPARE(urls.opened.size(), 0);

        const std::pair<QString, bool> cases[] = {{"http://example.test/a", true}, {"https://example.test", true},
                                                  {"file:///etc/passwd", false}, {"mailto:a@example.test", false},
                                                  {"/etc/passwd", false}, {"http:///etc/passwd", false}};
        for (const auto& [address, opens] : cases) {
            urls.opened.clear();
            QCOMPARE(gui::OpenWebLink(address), opens);
            QCOMPARE(gui::OpenWebLink(QUrl(address)), opens);
            QCOMPARE(urls.opened.size(), opens ? 2 : 0);
        }
        for (const char* scheme : {"http", "https", "file", "mailto"}) QDesktopServices::unsetUrlHandler(scheme);
    }
};

QTEST_MAIN(UpdateCheckTest)
#include "UpdateCheckTest.moc"
