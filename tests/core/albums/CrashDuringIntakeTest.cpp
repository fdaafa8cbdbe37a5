// A program killed while photos are being added must leave a transfer list that loads, and
// every working copy that the list names must exist.
#include <gtest/gtest.h>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

#include "core/albums/IntakeTestSupport.h"
#include "core/albums/TransferListFile.h"
#include "core/app/WorkFolder.h"

using namespace vantrel;
using namespace vantrel::albumtest;

TEST(CrashDuringIntake, KillNineLeavesALoadableListOfExistingCopies) {
    IntakeBench bench;
    std::vector<std::string> photos;
    for (int i = 0; i < 50; ++i) photos.push_back(bench.Photo("p" + std::to_string(i) + ".jpg", 400, 300));
    const std::string listFile = bench.work / "Images.lst";

    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // The window's way: every change of content rewrites the list.
        bench.r.list.OnContentChanged = [&](TAlbum*) { (void)SaveTransferList(bench.r.list, listFile); };
        for (const std::string& photo : photos) bench.intake.AddPhotoToAlbum(bench.r.list.Count() == 0 ? -1 : 0, photo);
        _exit(0);
    }
    // Kill it in the middle: once the list names a few photos.
    for (int waited = 0; waited < 2000; ++waited) {
        auto text = ReadFile(listFile);
        if (std::count(text.begin(), text.end(), '\n') >= 8) break;
        usleep(1000);
    }
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);

    const std::string text = ReadFile(listFile);
    ASSERT_FALSE(text.empty());
    int named = 0;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find("\r\n", start);
        ASSERT_NE(end, std::string::npos) << "the last line is complete";
        auto fields = SplitTransferFields(text.substr(start, end - start));
        if (fields.size() == 2 && fields[0] != "[Album]") {
            ++named;
            EXPECT_TRUE(FileExists(UnescapeQuotes(fields[1]))) << fields[1];
        }
        start = end + 2;
    }
    EXPECT_GT(named, 0);
    EXPECT_LT(named, 50);  // the kill came in the middle

    IntakeBench reload;
    ASSERT_TRUE(LoadTransferList(reload.r.list, reload.intake, listFile));
    int loaded = 0;
    for (int i = 0; i < reload.r.list.Count(); ++i) loaded += reload.r.list.Items(i).Jobs().Count();
    EXPECT_EQ(loaded, named);
}
