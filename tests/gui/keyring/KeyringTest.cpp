// The remembered password in the desktop's keyring. keyring_session.sh runs these slots on private
// session buses: with a real Secret Service (gnome-keyring) and a login keyring made for the test,
// with a keyring that never answers, without any keyring, and with no bus at all.
#include <QCheckBox>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusReply>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTimer>
#include <csignal>
#include <optional>

#include "core/app/IniDocument.h"
#include "core/app/UserSettings.h"
#include "core/app/WorkFolder.h"
#include "core/service/SettingsFile.h"
#include "gui/GuiTestSupport.h"
#include "gui/app/PasswordKeyring.h"
#include "gui/app/TerminationSignals.h"
#include "gui/service/TransferPage.h"

using namespace vantrel;
using namespace vantrel::gui;
using namespace vantrel::test;

namespace {

MainWindowPaths PathsIn(const TempFolder& home) {
    return {home.Path() + "SendPhoto/", home.Path() + "SendPhoto/vantrel.ini", VANTREL_PROGRAM_FOLDER, {}};
}

std::string FilePass(const MainWindowPaths& paths) {
    return IniDocument::Load(paths.settingsFile).Get("Log", "Pass").value_or("<none>");
}

// The entry as the keyring holds it, or "<none>".
std::string Entry() {
    PasswordKeyring keyring;
    auto stored = keyring.Read();
    if (stored) return *stored;
    return stored.error() == KeyringError::NoEntry ? "<none>" : "<no keyring>";
}

void SetEntry(const std::optional<std::string>& password) {
    PasswordKeyring keyring;
    if (password) QVERIFY(keyring.Write(*password));
    else QVERIFY(keyring.Remove() || Entry() == "<none>");
}

// The items the Secret Service itself finds under the program's entry, read past QtKeychain.
int SecretServiceItems() {
    qDBusRegisterMetaType<QMap<QString, QString>>();
    QDBusMessage search = QDBusMessage::createMethodCall("org.freedesktop.secrets", "/org/freedesktop/secrets",
                                                         "org.freedesktop.Secret.Service", "SearchItems");
    search << QVariant::fromValue(QMap<QString, QString>{{"server", PasswordKeyring::kService},
                                                         {"user", PasswordKeyring::kKey}});
    QDBusMessage reply = QDBusConnection::sessionBus().call(search, QDBus::Block, 5000);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() != 2) return -1;
    const auto unlocked = qdbus_cast<QList<QDBusObjectPath>>(reply.arguments().at(0));
    const auto locked = qdbus_cast<QList<QDBusObjectPath>>(reply.arguments().at(1));
    return int(unlocked.size() + locked.size());
}

// Locks the login keyring, as a desktop does when the screen locks; unlocking it again needs a
// prompt, which cannot show here.
bool LockLoginKeyring() {
    QDBusMessage lock = QDBusMessage::createMethodCall("org.freedesktop.secrets", "/org/freedesktop/secrets",
                                                       "org.freedesktop.Secret.Service", "Lock");
    lock << QVariant::fromValue(QList<QDBusObjectPath>{QDBusObjectPath("/org/freedesktop/secrets/collection/login")});
    return QDBusConnection::sessionBus().call(lock, QDBus::Block, 5000).type() == QDBusMessage::ReplyMessage;
}

}  // namespace

class KeyringTest : public QObject {
    Q_OBJECT

    // Each step of the keyring's entry, in order, with what the keyring answers.
    struct Step {
        const char* what;
        std::function<std::expected<std::string, KeyringError>(PasswordKeyring&)> run;
        std::expected<std::string, KeyringError> answer;
        int itemsAfter;  // what the Secret Service holds under the entry
    };

    static std::expected<std::string, KeyringError> Done(std::expected<void, KeyringError> result) {
        if (!result) return std::unexpected(result.error());
        return "done";
    }

private slots:
    void theEntryFollowsWritesAndRemovals() {
        SetEntry(std::nullopt);
        const auto read = [](PasswordKeyring& k) { return k.Read(); };
        const auto remove = [](PasswordKeyring& k) { return Done(k.Remove()); };
        const auto write = [](std::string p) { return [p](PasswordKeyring& k) { return Done(k.Write(p)); }; };
        const auto none = std::unexpected(KeyringError::NoEntry);
        const std::vector<Step> steps{
            {"read without an entry", read, none, 0},
            {"remove without an entry (the Secret Service does not tell)", remove, "done", 0},
            {"write", write("s3cret é ü"), "done", 1},
            {"read it back", read, "s3cret é ü", 1},
            {"write over it", write("an=other;pass\\word"), "done", 1},
            {"read the new one", read, "an=other;pass\\word", 1},
            {"remove", remove, "done", 0},
            {"read after removal", read, none, 0},
        };
        PasswordKeyring keyring;
        for (const Step& step : steps) {
            QVERIFY2(step.run(keyring) == step.answer, step.what);
            QVERIFY2(SecretServiceItems() == step.itemsAfter, step.what);
        }
    }

    // The window keeps a remembered password in the keyring and none in the settings file, whether
    // it is closed or ends with a logout (SIGTERM, through the program's own signal route), and a
    // login that is not remembered leaves no entry.
    void theWindowKeepsThePasswordInTheKeyring() {
        enum class End { Close, Logout };
        struct Case {
            const char* name;
            std::optional<std::string> entryBefore;
            std::optional<std::string> filePassBefore;  // a remembered login in an existing file
            std::function<void(TransferPage&)> edit;
            QString shownAtStart;
            std::optional<std::string> entryAfter;
            End end = End::Close;
            bool rememberedBefore = true;  // with filePassBefore: the box was ticked
        };
        const auto nothing = [](TransferPage&) {};
        const auto tickAndType = [](TransferPage& page) {
            Child<QCheckBox>(&page, "Save_Check")->click();
            Child<QLineEdit>(&page, "Login_Edit")->setText("anne@example.fr");
            Child<QLineEdit>(&page, "Pass_Edit")->setText("abc");
        };
        const auto untick = [](TransferPage& page) { Child<QCheckBox>(&page, "Save_Check")->click(); };
        const std::vector<Case> cases{
            {"ticked on a first run", std::nullopt, std::nullopt, tickAndType, "", "abc"},
            {"ticked on a first run, then a logout", std::nullopt, std::nullopt, tickAndType, "", "abc", End::Logout},
            {"a scrambled password of an older file moves over", std::nullopt, "old", nothing, "old", "old"},
            {"the file's password is newer than the entry", "stale", "fresh", nothing, "fresh", "fresh"},
            {"read from the keyring and kept there", "abc", "", nothing, "abc", "abc"},
            {"a changed password replaces the entry", "abc", "",
             [](TransferPage& page) { Child<QLineEdit>(&page, "Pass_Edit")->setText("xyz"); }, "abc", "xyz"},
            {"a changed password replaces the entry at a logout", "abc", "",
             [](TransferPage& page) { Child<QLineEdit>(&page, "Pass_Edit")->setText("xyz"); }, "abc", "xyz", End::Logout},
            {"unticked: the entry goes", "abc", "", untick, "abc", std::nullopt},
            {"unticked, then a logout: the entry goes", "abc", "", untick, "abc", std::nullopt, End::Logout},
            {"an emptied password removes the entry", "abc", "", [](TransferPage& page) { Child<QLineEdit>(&page, "Pass_Edit")->clear(); },
             "abc", std::nullopt},
            {"an entry left behind by an unticked box goes", "abc", "", nothing, "", std::nullopt, End::Logout, false},
        };
        TMain_Dlog* current = nullptr;
        static std::function<void()> onSignal;
        onSignal = [&current] {
            if (current) current->CloseOnSignal();
        };
        static const bool routed = (RouteTerminationSignals([] { onSignal(); }), true);
        Q_UNUSED(routed);
        for (const Case& c : cases) {
            TempFolder home;
            const MainWindowPaths paths = PathsIn(home);
            SetEntry(c.entryBefore);
            if (c.filePassBefore) {
                UserSettings settings;
                settings.IsSaved = c.rememberedBefore;
                settings.Mail = "anne@example.fr";
                settings.Pass = *c.filePassBefore;
                QVERIFY(EnsureWorkFolder(paths.workFolder));
                QVERIFY(SaveSettingsFile(paths.settingsFile, settings, TRemoteSettings{}, LocaleInfo{}));
            }
            MessageCatcher messages;
            {
                TMain_Dlog window(paths, LocaleInfo());
                QVERIFY2(window.StartedWell(), c.name);
                QVERIFY2(Child<QLineEdit>(window.Transfer(), "Pass_Edit")->text() == c.shownAtStart, c.name);
                c.edit(*window.Transfer());
                if (c.end == End::Logout) {
                    window.show();
                    current = &window;
                    ::kill(::getpid(), SIGTERM);
                    QTRY_VERIFY2_WITH_TIMEOUT(!window.isVisible(), c.name, 20000);
                    current = nullptr;
                } else {
                    window.close();
                }
            }
            QVERIFY2(FilePass(paths).empty(), c.name);
            QVERIFY2(Entry() == c.entryAfter.value_or("<none>"), c.name);
            TMain_Dlog again(paths, LocaleInfo());
            QVERIFY2(Child<QLineEdit>(again.Transfer(), "Pass_Edit")->text() == QString::fromStdString(c.entryAfter.value_or("")), c.name);
        }
    }

    // A keyring that never answers keeps the program waiting. A stop (a termination signal) ends
    // the wait at the first look after it came, and the keyring is not asked again.
    void aStopEndsTheWaitOnASilentKeyring() {
        bool stop = false;
        int looksAfterTheStop = 0;
        QTimer::singleShot(200, [&stop] { stop = true; });
        PasswordKeyring keyring([&] { return stop && ++looksAfterTheStop; }, std::chrono::minutes(10));
        QCOMPARE(keyring.Read(), std::unexpected(KeyringError::NoKeyring));
        QCOMPARE(looksAfterTheStop, 1);
        stop = false;
        QCOMPARE(keyring.Write("abc"), std::unexpected(KeyringError::NoKeyring));
        QCOMPARE(keyring.Remove(), std::unexpected(KeyringError::NoKeyring));
    }

    // A close, by the user or by a logout, waits for the keyring; a termination signal during that
    // wait ends it, well before its time-out, and the file keeps the password, scrambled.
    void aSignalEndsTheWindowsWaitOnASilentKeyring() {
        for (const bool logout : {false, true}) {
            TempFolder home;
            const MainWindowPaths paths = PathsIn(home);
            MessageCatcher messages;
            TMain_Dlog window(paths, LocaleInfo());  // a first run: the keyring is only asked to remove
            window.show();
            Child<QCheckBox>(window.Transfer(), "Save_Check")->click();
            Child<QLineEdit>(window.Transfer(), "Pass_Edit")->setText("abc");
            QTimer::singleShot(200, &window, &TMain_Dlog::CloseOnSignal);
            QElapsedTimer clock;
            clock.start();
            if (logout) window.CloseOnSignal();
            else window.close();
            QVERIFY2(clock.elapsed() < PasswordKeyring::kDefaultWait.count() / 2,
                     qPrintable(QString("%1 ms").arg(clock.elapsed())));
            QVERIFY(!window.isVisible());
            QCOMPARE(FilePass(paths), ScrambleText("abc"));
        }
    }

    // A locked keyring whose unlock prompt cannot show reads as holding nothing and refuses the
    // write: the password stays in the file, scrambled. Runs after the slots that need it unlocked.
    void aLockedKeyringLeavesThePasswordScrambled() {
        SetEntry("abc");
        QVERIFY(LockLoginKeyring());
        TempFolder home;
        const MainWindowPaths paths = PathsIn(home);
        UserSettings settings;
        settings.IsSaved = true;
        settings.Mail = "anne@example.fr";
        QVERIFY(EnsureWorkFolder(paths.workFolder));
        QVERIFY(SaveSettingsFile(paths.settingsFile, settings, TRemoteSettings{}, LocaleInfo{}));
        MessageCatcher messages;
        {
            TMain_Dlog window(paths, LocaleInfo());
            QCOMPARE(Child<QLineEdit>(window.Transfer(), "Pass_Edit")->text(), QString());
            Child<QLineEdit>(window.Transfer(), "Pass_Edit")->setText("xyz");
            window.close();
        }
        QCOMPARE(FilePass(paths), ScrambleText("xyz"));
    }

    // Without a bus, or with no keyring on it, the file keeps the password scrambled as before.
    void withoutAKeyringThePasswordStaysScrambled() {
        // keyring_session.sh says which: no bus at all, or a bus without a keyring.
        QCOMPARE(QDBusConnection::sessionBus().isConnected(), qgetenv("VANTREL_TEST_BUS") == "bare");
        PasswordKeyring keyring;
        QCOMPARE(keyring.Read(), std::unexpected(KeyringError::NoKeyring));
        QCOMPARE(keyring.Write("abc"), std::unexpected(KeyringError::NoKeyring));
        QCOMPARE(keyring.Remove(), std::unexpected(KeyringError::NoKeyring));

        TempFolder home;
        const MainWindowPaths paths = PathsIn(home);
        MessageCatcher messages;
        {
            TMain_Dlog window(paths, LocaleInfo());
            Child<QCheckBox>(window.Transfer(), "Save_Check")->click();
            Child<QLineEdit>(window.Transfer(), "Pass_Edit")->setText("abc");
            window.close();
        }
        QCOMPARE(FilePass(paths), ScrambleText("abc"));
        {
            TMain_Dlog again(paths, LocaleInfo());
            QCOMPARE(Child<QLineEdit>(again.Transfer(), "Pass_Edit")->text(), QString("abc"));
            Child<QCheckBox>(again.Transfer(), "Save_Check")->click();  // unticked: the file forgets it
            again.close();
        }
        QCOMPARE(FilePass(paths), std::string());
    }
};

QTEST_MAIN(KeyringTest)
#include "KeyringTest.moc"
