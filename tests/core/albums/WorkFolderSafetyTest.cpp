// The work folder's lock between processes, and the sweep of what killed runs leave behind.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <set>

#include "core/TempFolder.h"
#include "core/albums/WorkFolderLeftovers.h"
#include "core/app/WorkFolderLock.h"
#include "core/base/AtomicFile.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;

// A child process that takes the lock, then waits until killed; the pipe tells when it holds it.
pid_t LockInChild(const std::string& folder) {
    int ready[2];
    if (::pipe(ready) != 0) return -1;
    const pid_t child = ::fork();
    if (child == 0) {
        auto lock = WorkFolderLock::TryAcquire(folder);
        const char answer = lock ? 'y' : 'n';
        [[maybe_unused]] auto written = ::write(ready[1], &answer, 1);
        if (lock) ::pause();
        ::_exit(0);
    }
    char answer = 0;
    [[maybe_unused]] auto got = ::read(ready[0], &answer, 1);
    ::close(ready[0]);
    ::close(ready[1]);
    if (answer == 'y') return child;
    ::kill(child, SIGKILL);  // a child that could not lock must not linger
    ::waitpid(child, nullptr, 0);
    return -1;
}

// Ends a holder however the test ends.
struct Holder {
    pid_t pid;
    void Kill() {
        if (pid > 0) ::kill(pid, SIGKILL), ::waitpid(pid, nullptr, 0);
        pid = -1;
    }
    ~Holder() { Kill(); }
};

TEST(WorkFolderLock, OneHolderAtATimeAndAKillReleasesIt) {
    test::TempFolder folder;
    Holder holder{LockInChild(folder.Path())};
    ASSERT_GT(holder.pid, 0);
    auto refused = WorkFolderLock::TryAcquire(folder.Path());
    ASSERT_FALSE(refused.has_value());
    EXPECT_TRUE(refused.error().busy);

    holder.Kill();
    auto taken = WorkFolderLock::TryAcquire(folder.Path());
    ASSERT_TRUE(taken.has_value()) << taken.error().message;
    // Held here now: another process is refused until this one lets go.
    EXPECT_EQ(LockInChild(folder.Path()), -1);

    auto unwritable = WorkFolderLock::TryAcquire(folder.Path() + "missing/");
    ASSERT_FALSE(unwritable.has_value());
    EXPECT_FALSE(unwritable.error().busy);
}

TEST(WorkFolderLeftovers, RemovesOnlyTheProgramsTemporaryNamesAndNeverAQueuedCopy) {
    test::TempFolder folder;
    const std::string w = folder.Path();
    const std::set<std::string> leftovers = {
        "20261210141503123.jpg", "20261210141503124.jpg", "20261210141503125.inf",  // a run's files
        "Images.lst.a1B2c3", "vantrel.ini.Qx81zz", "IMG_0001.JPG.0aZ9xy",           // saves cut short
        "Temp.xml",
    };
    const std::set<std::string> kept = {
        "Images.lst", "vantrel.ini", "vantrel.lock", "uploader_settings.plist",
        "IMG_0001.JPG", "holiday.jpg",
        "20261210141503999.jpg",                // a queued photo that happens to look like a run's file
        "2026121014150312.jpg", "notes.txt.a1B2c3", "Images-unreadable-20261210-141503.lst",
    };
    for (const auto& name : leftovers) ASSERT_TRUE(WriteFileAtomically(w + name, "x"));
    for (const auto& name : kept) ASSERT_TRUE(WriteFileAtomically(w + name, "x"));
    ASSERT_TRUE(WriteFileAtomically(w + "Images.lst", "0\r\n[Album]\tA\r\n" + w + "20261210141503999.jpg\t" + w +
                                                          "20261210141503999.jpg\r\n"));

    EXPECT_EQ(SweepWorkFolderLeftovers(w), static_cast<int>(leftovers.size()));
    std::set<std::string> present;
    for (const auto& entry : fs::directory_iterator(w)) present.insert(entry.path().filename().string());
    EXPECT_EQ(present, kept);

    // A list that cannot be read might name any of them: nothing it could name goes.
    ASSERT_TRUE(WriteFileAtomically(w + "20261210141503555.jpg", "x"));
    fs::remove(w + "Images.lst");
    fs::create_directory(w + "Images.lst");
    SweepWorkFolderLeftovers(w);
    EXPECT_TRUE(fs::exists(w + "20261210141503555.jpg"));
}

}  // namespace
}  // namespace vantrel
