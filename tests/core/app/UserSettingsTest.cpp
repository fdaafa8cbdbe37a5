#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

#include "core/app/UserSettings.h"
#include "core/service/RemoteSettingsCache.h"
#include "core/service/SettingsFile.h"
#include "core/TempFolder.h"

using namespace vantrel;

TEST(Scrambling, StoresReversedAndShifted) {
    EXPECT_EQ(ScrambleText("abc"), "dcb");
    EXPECT_EQ(UnscrambleText("dcb"), "abc");
    EXPECT_EQ(ScrambleText(std::string(1, '\xFF')), std::string(1, '\0'));
    EXPECT_EQ(UnscrambleText(std::string(1, '\0')), std::string(1, '\xFF'));
    const std::string utf8 = "mot de passe \xC3\xA9t\xC3\xA9";
    EXPECT_EQ(UnscrambleText(ScrambleText(utf8)), utf8);
}

TEST(Settings, MissingFileGivesEveryDefault) {
    TRemoteSettings remote;
    remote.rejected_errors = "114";
    LoadRemoteSettingsCache(IniDocument(), remote);
    const UserSettings s = LoadSettings(IniDocument(), LocaleInfo());
    EXPECT_EQ(s.FileName, "GB.lng");
    EXPECT_FALSE(s.IsSaved);
    EXPECT_TRUE(s.ShowName && s.ShowLen && s.ShowSize && s.AskAlbum && s.AskImage && s.AskModif && s.AskSmall &&
                s.IsUpdated);
    EXPECT_EQ(s.CompRate, 95);
    EXPECT_EQ(s.LastCheck, 0);
    EXPECT_EQ(s.PixForm.Right, 601);
    EXPECT_EQ(s.TransForm.Bottom, 318);
    EXPECT_EQ(remote.picture_minsize, 20);
    EXPECT_EQ(remote.current_version, "3.2.5");
    EXPECT_EQ(remote.rejected_errors, "");
}

TEST(Settings, ConditionalKeysFollowTheirSwitches) {
    auto file = IniDocument::FromText(
        "[Log]\nIsSaved=0\nMail=dcb\nPass=dcb\n[Proxy]\nIsUsed=0\nAddr=proxy\nPort=8080\n"
        "[Update]\nIsUpdated=0\nFreqIdx=2\nLastCheck=01/02/2020 03:04:05\n[PixForm]\nState=5\n"
        "[TransForm]\nState=2\n[Path]\nLastTree=/no/such/folder/anywhere\n");
    UserSettings s = LoadSettings(file, LocaleInfo());
    EXPECT_EQ(s.Mail, "");
    EXPECT_EQ(s.ProxyAddr, "");
    EXPECT_EQ(s.PixForm.State, WindowState::Normal);
    EXPECT_EQ(s.TransForm.State, WindowState::Maximised);
    EXPECT_EQ(s.LastTree, "");
    EXPECT_EQ(s.FreqIdx, 2);  // read whatever IsUpdated says
    EXPECT_EQ(s.LimitKBps, 0);  // a file of an older version: no limit, two sessions
    EXPECT_EQ(s.Connections, 2);
    const struct {
        const char* lines;
        int limit;
        int connections;
    } transfer[] = {{"LimitKBps=-5\nConnections=0\n", 0, 1}, {"Connections=9\n", 0, 4},
                    {"Connections=3\n", 0, 3}, {"LimitKBps=20\nConnections=two\n", 20, 2}};
    for (const auto& c : transfer) {
        const UserSettings read = LoadSettings(IniDocument::FromText(std::string("[Transfer]\n") + c.lines), LocaleInfo());
        EXPECT_EQ(read.LimitKBps, c.limit) << c.lines;
        EXPECT_EQ(read.Connections, c.connections) << c.lines;
    }
    // The tile cache's room: 512 MB when absent or unreadable, kept within 16 MB .. 64 GB.
    EXPECT_EQ(s.TileCacheMB, 512);
    const struct {
        const char* lines;
        int megabytes;
    } cacheRoom[] = {{"TileCacheMB=2048\n", 2048}, {"TileCacheMB=1\n", 16}, {"TileCacheMB=lots\n", 512}};
    for (const auto& c : cacheRoom)
        EXPECT_EQ(LoadSettings(IniDocument::FromText(std::string("[Browse]\n") + c.lines), LocaleInfo()).TileCacheMB,
                  c.megabytes) << c.lines;

    s.Mail = "typed@example.com";
    s.FreqIdx = 0;
    StoreSettings(s, LocaleInfo(), file);
    EXPECT_EQ(file.Get("Log", "Mail"), "");             // not remembered: written empty
    EXPECT_EQ(file.Get("Proxy", "Addr"), "proxy");     // kept, not rewritten
    EXPECT_EQ(file.Get("Update", "FreqIdx"), "2");     // kept while IsUpdated is off
    EXPECT_EQ(file.Get("Update", "LastCheck"), "01/02/2020 03:04:05");
}

TEST(Settings, SaveAndLoadRoundTripThroughAFile) {
    test::TempFolder folder;
    mkdir(folder.File("photos").c_str(), 0700);
    LocaleInfo french;
    french.shortDateFormat = "dd/MM/yyyy";
    french.longTimeFormat = "HH:mm:ss";
    UserSettings s;
    s.IsSaved = true;
    s.Mail = "anne@example.fr";
    s.Pass = "abc";
    s.ProxyIsUsed = true;
    s.ProxyAddr = "proxy.lan";
    s.ProxyPort = "3128";
    s.CompRate = 80;
    s.FreqIdx = 1;
    s.LastCheck = *EncodeDateTime({2026, 12, 9, 17, 45, 12, 0});
    s.PixForm = {10, 20, 1000, 700, WindowState::Maximised};
    s.LastTree = folder.File("photos");
    s.LimitKBps = 750;
    s.Connections = 3;
    s.TileCacheMB = 1024;
    s.AskSmall = false;
    TRemoteSettings remote;
    remote.ftp_host = "ftp.example:2121";
    remote.picture_maxsize = 12;

    const std::string path = folder.File("vantrel.ini");
    ASSERT_TRUE(SaveSettingsFile(path, s, remote, french));
    struct stat info {};
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);  // it holds the remembered password

    const auto text = IniDocument::Load(path);
    EXPECT_EQ(text.Get("Log", "Pass"), "dcb");
    EXPECT_EQ(text.Get("Update", "LastCheck"), "09/12/2026 17:45:12");

    TRemoteSettings readRemote;
    const UserSettings r = LoadSettingsFile(path, french, readRemote);
    EXPECT_EQ(r.Mail, s.Mail);
    EXPECT_EQ(r.Pass, "abc");
    EXPECT_EQ(r.ProxyPort, "3128");
    EXPECT_EQ(r.CompRate, 80);
    EXPECT_DOUBLE_EQ(r.LastCheck, s.LastCheck);
    EXPECT_EQ(r.PixForm.Right, 1000);
    EXPECT_EQ(r.PixForm.State, WindowState::Maximised);
    EXPECT_EQ(r.LastTree, s.LastTree);
    EXPECT_EQ(r.LimitKBps, 750);
    EXPECT_EQ(text.Get("Transfer", "LimitKBps"), "750");
    EXPECT_EQ(r.Connections, 3);
    EXPECT_EQ(text.Get("Transfer", "Connections"), "3");
    EXPECT_EQ(r.TileCacheMB, 1024);
    EXPECT_EQ(text.Get("Browse", "TileCacheMB"), "1024");
    EXPECT_FALSE(r.AskSmall);
    EXPECT_EQ(readRemote.ftp_host, "ftp.example:2121");
    EXPECT_EQ(readRemote.picture_maxsize, 12);
}

TEST(Settings, FailedSaveIsReportedAndLeavesNoPartialFile) {
    test::TempFolder folder;
    // A folder where the file should be: the final rename fails after everything was written.
    const std::string path = folder.File("vantrel.ini");
    mkdir(path.c_str(), 0700);
    folder.Write("vantrel.ini/inside", "x");
    TRemoteSettings remote;
    auto result = SaveSettingsFile(path, UserSettings(), remote, LocaleInfo());
    ASSERT_FALSE(result);
    EXPECT_NE(result.error().find("vantrel.ini"), std::string::npos);
    int entries = 0;
    for (auto& entry : std::filesystem::directory_iterator(folder.Path())) entries += !entry.path().empty();
    EXPECT_EQ(entries, 1);  // the temporary file is gone
}

TEST(Settings, FirstRunLanguageComesFromTheCountry) {
    LocaleInfo locale;
    locale.country = "fr";
    EXPECT_EQ(FirstRunLanguageFileName(locale), "FR.lng");
}

TEST(Settings, FirstRunLanguageFallsBackToTheLocaleLanguage) {
    test::TempFolder folder;
    folder.Write("GB.lng", "");
    folder.Write("FR.lng", "");
    struct Case { const char* country; const char* language; const char* expected; };
    const Case cases[] = {{"FR", "fr", "FR.lng"}, {"BE", "fr", "FR.lng"}, {"CA", "fr", "FR.lng"},
                          {"GB", "en", "GB.lng"}, {"CH", "de", "CH.lng"}, {"US", "en", "GB.lng"}};
    for (const Case& c : cases) {
        LocaleInfo locale;
        locale.country = c.country;
        locale.language = c.language;
        EXPECT_EQ(FirstRunLanguageFileName(locale, folder.Path()), c.expected) << c.country << "/" << c.language;
    }
}
