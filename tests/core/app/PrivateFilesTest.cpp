// The work folder holds the remembered login and copies of the user's photos: it is private, and
// every file the program writes there is readable by the user only, whatever the umask.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <functional>

#include "core/TempFolder.h"
#include "core/albums/TAlbumList.h"
#include "core/albums/MemoryContentView.h"
#include "core/albums/TransferListFile.h"
#include "core/app/WorkFolder.h"
#include "core/base/AtomicFile.h"
#include "core/imaging/FileBytes.h"
#include "core/service/FileWriteError.h"
#include "core/service/HttpClient.h"
#include "core/service/RemoteSettingsLoader.h"
#include "core/service/UploadNames.h"

namespace vantrel {
namespace {

mode_t ModeOf(const std::string& path) {
    struct stat info{};
    EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
    return info.st_mode & 07777;
}

// Sets an open umask for one scope, so that only the program's own modes count.
struct OpenUmask {
    mode_t saved = ::umask(0);
    ~OpenUmask() { ::umask(saved); }
};

TEST(PrivateFiles, WorkFolderIsPrivateNewOrOld) {
    OpenUmask umask;
    test::TempFolder home;
    const std::string fresh = home.Path() + "data/SendPhoto/";
    ASSERT_TRUE(EnsureWorkFolder(fresh));
    EXPECT_EQ(ModeOf(fresh), 0700u);
    const std::string old = home.Path() + "old/";
    ASSERT_EQ(::mkdir(old.c_str(), 0755), 0);
    ASSERT_TRUE(EnsureWorkFolder(old));
    EXPECT_EQ(ModeOf(old), 0700u);
}

TEST(PrivateFiles, EveryWriterMakesFilesForTheUserOnly) {
    OpenUmask umask;
    test::TempFolder work;
    const std::string source = work.Write("source.jpg", "bytes");
    MemoryContentView view;
    TAlbumList albums(view, MonthNames{});
    albums.AddAlbum("Summer");
    const struct {
        const char* what;
        std::function<std::string()> write;  // returns the path written
    } writers[] = {
        {"atomic replace", [&] { return WriteFileAtomically(work.File("a.ini"), "x") ? work.File("a.ini") : ""; }},
        {"transfer list", [&] { return SaveTransferList(albums, work.File("Images.lst")) ? work.File("Images.lst") : ""; }},
        {"working copy", [&] { return CopyFileBytes(source, work.File("copy.jpg")) ? work.File("copy.jpg") : ""; }},
        {"encoded photo", [&] { return WriteFileBytes(work.File("scaled.jpg"), "jpeg") ? work.File("scaled.jpg") : ""; }},
        {"answer file", [&] { return WriteWholeFile(work.File("Temp.xml"), "<x/>") ? work.File("Temp.xml") : ""; }},
        {"temporary file", [&] { return MakeTempFileName(work.Path(), "inf").value_or(""); }},
        {"answer file an older version left readable by all",
         [&] {
             const std::string path = work.Write("Old.xml", "<x/>");
             ::chmod(path.c_str(), 0644);
             return WriteWholeFile(path, "<y/>") ? path : "";
         }},
        {"settings document that could not be fetched",
         [&] {
             HttpClient client;
             FetchRemoteSettings(client, work.File("uploader_settings.plist"), {"http://127.0.0.1:9/"});
             return work.File("uploader_settings.plist");
         }},
    };
    for (const auto& writer : writers) {
        SCOPED_TRACE(writer.what);
        const std::string path = writer.write();
        ASSERT_FALSE(path.empty());
        EXPECT_EQ(ModeOf(path), 0600u);
    }
}

}  // namespace
}  // namespace vantrel
