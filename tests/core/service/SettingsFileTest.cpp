#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/TempFolder.h"
#include "core/base/AtomicFile.h"
#include "core/service/SettingsFile.h"

namespace vantrel {
namespace {

std::string CrLfLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

// The whole file as the program writes it: the user's settings section by section, the cached
// service parameters rewritten in place in their section, foreign lines and keys kept.
TEST(SettingsFile, SaveWritesTheUserSettingsAndTheServiceCacheInOneFile) {
    test::TempFolder folder;
    const std::string path = folder.File("vantrel.ini");
    folder.Write("vantrel.ini", "; kept\r\n[Params]\r\nother=1\r\n[Look]\r\nShowLen=0\r\n");
    LocaleInfo locale;
    locale.shortDateFormat = "dd/MM/yyyy";
    locale.longTimeFormat = "HH:mm:ss";
    UserSettings settings;
    settings.IsSaved = true;
    settings.Mail = "a@b";
    settings.Pass = "pw";
    settings.ProxyIsUsed = true;
    settings.ProxyAddr = "p";
    settings.ProxyPort = "1";
    TRemoteSettings remote;
    remote.ftp_host = "h:21";
    remote.ftp_login = "l";
    remote.ftp_password = "x";
    remote.script_url = "http://s/x";
    remote.picture_maxsize = 12;
    remote.update_url = "http://u/";
    remote.size_scaled = 1800;
    remote.size_thumbnail = 150;
    remote.rejected_errors = "114,116";  // not cached

    ASSERT_TRUE(SaveSettingsFile(path, settings, remote, locale));
    EXPECT_EQ(ReadWholeFile(path).value_or(""), CrLfLines({
        "; kept",
        "[Params]",
        "other=1",
        "ftp_host=h:21",
        "ftp_login=l",
        "ftp_password=x",
        "script_url=http://s/x",
        "picture_minsize=20",
        "picture_maxsize=12",
        "current_version=3.2.5",
        "update_url=http://u/",
        "size_scaled=1800",
        "size_thumbnail=150",
        "[Look]",
        "ShowLen=1",
        "ShowName=1",
        "ShowSize=1",
        "AskAlbum=1",
        "AskImage=1",
        "AskModif=1",
        "AskSmall=1",
        "CompRate=95",
        "",
        "[Language]",
        "FileName=GB.lng",
        "",
        "[Log]",
        "IsSaved=1",
        "Mail=cAb",
        "Pass=xq",
        "",
        "[Proxy]",
        "IsUsed=1",
        "Addr=p",
        "Port=1",
        "",
        "[Update]",
        "IsUpdated=1",
        "FreqIdx=0",
        "LastCheck=30/12/1899 00:00:00",
        "",
        "[PixForm]",
        "FVWidth=225",
        "TVWidth=172",
        "SVWidth=190",
        "Left=100",
        "Top=100",
        "Right=601",
        "Bottom=320",
        "State=0",
        "",
        "[TransForm]",
        "Left=200",
        "Top=100",
        "Right=450",
        "Bottom=318",
        "State=0",
        "",
        "[Path]",
        "LastTree=",
        "",
        "[Transfer]",
        "LimitKBps=0",
        "Connections=2",
        "",
        "[Browse]",
        "TileCacheMB=512",
    }));

    TRemoteSettings read;
    read.rejected_errors = "stale";
    read.size_scaled = 640;
    const UserSettings back = LoadSettingsFile(path, locale, read);
    EXPECT_EQ(back.Pass, "pw");
    EXPECT_EQ(back.ProxyAddr, "p");
    EXPECT_EQ(read.ftp_host, "h:21");
    EXPECT_EQ(read.script_url, "http://s/x");
    EXPECT_EQ(read.picture_maxsize, 12);
    EXPECT_EQ(read.update_url, "http://u/");
    EXPECT_EQ(read.rejected_errors, "");  // comes from the service at every start, never from the file
    // The copy sizes are kept, so that a run whose settings server is down still knows them.
    EXPECT_EQ(read.size_scaled, 1800);
    EXPECT_EQ(read.size_thumbnail, 150);

    // A file of an older version, without the sizes, still loads and leaves them as they were.
    folder.Write("vantrel.ini", "[Params]\r\nftp_host=old:21\r\n");
    TRemoteSettings older;
    older.size_scaled = 640;
    LoadSettingsFile(path, locale, older);
    EXPECT_EQ(older.ftp_host, "old:21");
    EXPECT_EQ(older.size_scaled, 640);
    EXPECT_EQ(older.size_thumbnail, 0);
}

}  // namespace
}  // namespace vantrel
