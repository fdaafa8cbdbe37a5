#include <gtest/gtest.h>

#include "core/app/WorkFolder.h"

#include <csignal>
#include <filesystem>
#include <sys/resource.h>

#include "core/albums/IntakeTestSupport.h"
#include "core/albums/TransferListFile.h"

namespace vantrel {
namespace {

using namespace albumtest;
namespace fs = std::filesystem;

TEST(TransferListFile, SplitTransferFields) {
    struct Case {
        std::string line;
        std::vector<std::string> fields;
    };
    const Case cases[] = {
        {"a\tb", {"a", "b"}},
        {"\t\ta\t\tb\t", {"a", "b"}},
        {"/l''été/x.jpg\t/w/x.jpg", {"/l''été/x.jpg", "/w/x.jpg"}},
        {"a\"\"b\tc", {"a\"\"b", "c"}},
        {"[Album]\tVacances d'été", {"[Album]", "Vacances d'été"}},
        {"x'y\tz'\tw", {"x'y\tz'", "w"}},  // a TAB inside a quoted run does not split
        {"[Album]\t", {"[Album]"}},
        {"", {}},
    };
    for (const Case& c : cases) EXPECT_EQ(SplitTransferFields(c.line), c.fields) << c.line;
    EXPECT_EQ(UnescapeQuotes(EscapeQuotes("it's \"x\" ''")), "it's \"x\" ''");
}

TEST(TransferListFile, FormatsAlbumsAndEscapedPathsWithCrLf) {
    RecordingList r;
    r.list.AddAlbum("27 avril 2005");
    r.list.AddAlbum("Vide");
    r.list.Items(0).AddJob("/Photos/l'été/IMG_0001.JPG", "/W/IMG_0001.JPG", 0, 10, 1, 1, "IMG_0001.JPG", "c");
    r.list.Items(0).AddJob("/W/IMG_0002.JPG", "/W/IMG_0002.JPG", 1, 10, 1, 1, "IMG_0002.JPG", "c");
    r.list.Items(0).AddJob("[Album]", "/W/[Album]", 2, 10, 1, 1, "[Album]", "c");  // never read as an album line
    EXPECT_EQ(FormatTransferList(r.list),
              "0\r\n"
              "[Album]\t27 avril 2005\r\n"
              "/Photos/l''été/IMG_0001.JPG\t/W/IMG_0001.JPG\r\n"
              "/W/IMG_0002.JPG\t/W/IMG_0002.JPG\r\n"
              "./[Album]\t/W/[Album]\r\n"
              "[Album]\tVide\r\n");
    r.list.SelectAlbum(0);
    r.list.DeleteCurrentAlbum();
    r.list.DeleteCurrentAlbum();
    EXPECT_EQ(FormatTransferList(r.list), "0\r\n");
}

// A list as the window starts it: today's album, current and the default album.
void StartLikeTheWindow(IntakeBench& bench) {
    int first = bench.r.list.AddAlbum("9 décembre 2007");
    bench.r.list.DefaultAlbumIndex = first;
    bench.r.list.SelectAlbum(first);
}

TEST(TransferListFile, RoundTripThroughIntake) {
    IntakeBench before;
    std::string quoted = before.work / "l'été \"2\"";  // the work folder's path holds both quotes
    fs::create_directory(quoted);
    PhotoIntake intake(before.r.list, before.imaging, quoted, FrenchMonths());
    StartLikeTheWindow(before);
    fs::create_directory(before.photos / "it's");
    std::string odd = before.photos / "it's/a\"b'c.jpg";
    WriteJpeg(odd, 20, 10);
    std::string plain = before.Photo("plain.jpg", 12, 16);

    intake.AddPhotoToAlbum(0, plain);
    int holiday = before.r.list.AddAlbum("Vacances d'été");
    intake.AddPhotoToAlbum(holiday, odd);
    intake.AddPhotoToAlbum(holiday, odd);
    before.r.list.AddAlbum("Vide");
    before.r.list.AddAlbum("Fête d''hiver");  // a doubled apostrophe typed by the user stays doubled
    int nameless = before.r.list.AddAlbum("Sans nom");
    intake.AddPhotoToAlbum(nameless, plain);
    before.r.list.EndNameEdit(before.r.list.Items(nameless), "");  // the user emptied its name
    std::string path = before.work / "Images.lst";
    ASSERT_TRUE(SaveTransferList(before.r.list, path).has_value());

    IntakeBench after;
    PhotoIntake restore(after.r.list, after.imaging, quoted, FrenchMonths());
    StartLikeTheWindow(after);
    after.r.list.OnContentChanged = [&](TAlbum*) { ASSERT_TRUE(SaveTransferList(after.r.list, path).has_value()); };
    ASSERT_TRUE(LoadTransferList(after.r.list, restore, path).has_value());

    EXPECT_TRUE(after.r.messages.empty());
    EXPECT_EQ(after.r.Names(), before.r.Names());
    for (int a = 0; a < before.r.list.Count(); ++a) {
        const TJobList& was = before.r.list.Items(a).Jobs();
        const TJobList& is = after.r.list.Items(a).Jobs();
        ASSERT_EQ(is.Count(), was.Count()) << a;
        for (int j = 0; j < was.Count(); ++j) {
            EXPECT_EQ(is.Items(j).WorkPath, was.Items(j).WorkPath);
            EXPECT_EQ(is.Items(j).SourcePath, was.Items(j).WorkPath);  // restored from the working copy
            EXPECT_EQ(is.Items(j).FileName, was.Items(j).FileName);
            EXPECT_EQ(is.Items(j).PhotoSize, was.Items(j).PhotoSize);
            EXPECT_EQ(is.Items(j).Width, was.Items(j).Width);
        }
    }
    EXPECT_EQ(after.r.list.CurrentAlbum()->AlbumName(), "9 décembre 2007");
    EXPECT_EQ(after.r.view.ItemCount(), 1);
    // Nothing new was written: the working copies were taken as they are.
    EXPECT_EQ(std::distance(fs::directory_iterator(quoted), fs::directory_iterator()), 4);
}

TEST(TransferListFile, LoadGoesOnPastBadLinesAndKeepsAlbumTargets) {
    IntakeBench bench;
    StartLikeTheWindow(bench);
    for (const char* name : {"p0.jpg", "p1.jpg", "p2.jpg"}) WriteJpeg(bench.work / name, 8, 8);
    std::string w = bench.work.path() + "/";
    WriteFile(bench.work / "Images.lst",
              "0\r\n" +
              w + "p0.jpg\t" + w + "p0.jpg\r\n"           // before any album line: the default album
              "[Album]\tZoo\r\n" +
              w + "missing.jpg\t" + w + "missing.jpg\r\n"  // reported and skipped
              "onefield\r\n"
              "[Album]\t\r\n" +                             // an album whose name is empty
              w + "p1.jpg\t" + w + "p1.jpg\n"               // a bare LF ends a line too
              "[Album]\t01 janvier 2010\r\n" +              // sorts before today's album
              w + "p2.jpg\t" + w + "p2.jpg");               // no line end at the end
    int begun = 0, steps = 0, ended = 0;
    bench.intake.Hooks.BeginBusy = [&](int count) { begun = count; };
    bench.intake.Hooks.StepProgress = [&] { ++steps; };
    bench.intake.Hooks.EndBusy = [&] { ++ended; };
    ASSERT_TRUE(LoadTransferList(bench.r.list, bench.intake, bench.work / "Images.lst").has_value());

    // "9 décembre 2007" has a one-digit day, so it sorts as text after the empty name.
    EXPECT_EQ(bench.r.Names(), (std::vector<std::string>{"01 janvier 2010", "", "9 décembre 2007", "Zoo"}));
    auto files = [&](int album) {
        std::vector<std::string> names;
        const TJobList& jobs = bench.r.list.Items(album).Jobs();
        for (int j = 0; j < jobs.Count(); ++j) names.push_back(jobs.Items(j).FileName);
        return names;
    };
    EXPECT_EQ(files(0), std::vector<std::string>{"p2.jpg"});
    EXPECT_EQ(files(1), std::vector<std::string>{"p1.jpg"});
    EXPECT_EQ(files(2), std::vector<std::string>{"p0.jpg"});
    EXPECT_TRUE(files(3).empty());
    EXPECT_EQ(bench.r.messages, (std::vector<UserMessage>{{"BadPictErr", {"missing.jpg"}}}));
    EXPECT_EQ(begun, 9);
    EXPECT_EQ(steps, 8);
    EXPECT_EQ(ended, 1);
}

TEST(TransferListFile, AFileOutsideTheWorkFolderIsRestoredAsACopy) {
    IntakeBench bench;
    StartLikeTheWindow(bench);
    const std::string own = bench.Photo("own.jpg");  // the user's photo, not a working copy
    WriteFile(bench.work / "Images.lst", "0\r\n[Album]\tZoo\r\n" + own + "\t" + own + "\r\n");
    ASSERT_TRUE(LoadTransferList(bench.r.list, bench.intake, bench.work / "Images.lst").has_value());
    TAlbum& zoo = bench.r.list.Items(bench.r.list.IndexOfName("Zoo"));
    ASSERT_EQ(zoo.Jobs().Count(), 1);
    const std::string copy = zoo.Jobs().Items(0).WorkPath;
    EXPECT_EQ(copy, bench.work / "own.jpg");
    zoo.RemoveJob(0, true);  // removing the photo deletes the copy, never the user's file
    EXPECT_FALSE(FileExists(copy));
    EXPECT_TRUE(FileExists(own));
}

TEST(TransferListFile, AFileThatIsNoListIsKeptAsideNeverOverwritten) {
    struct Case {
        const char* what;
        std::string text;
    };
    const Case cases[] = {
        {"binary", std::string("0\r\n[Album]\tA\0B\r\n", 14)},
        {"not UTF-8", "0\r\n[Album]\t\xE9t\xE9\r\n"},
        {"another first line", "<?xml version=\"1.0\"?>\r\n[Album]\tA\r\n"},
    };
    for (const Case& c : cases) {
        IntakeBench bench;
        StartLikeTheWindow(bench);
        const std::string path = bench.work / "Images.lst";
        WriteFile(path, c.text);
        auto loaded = LoadTransferList(bench.r.list, bench.intake, path);
        ASSERT_FALSE(loaded.has_value()) << c.what;
        EXPECT_FALSE(loaded.error().reason.empty()) << c.what;
        EXPECT_EQ(bench.r.list.Count(), 1) << c.what;  // only the album of the start
        // The file is moved aside whole, under a dated name beside the list; a new list may follow.
        const std::string keptAs = loaded.error().keptAs;
        EXPECT_TRUE(keptAs.starts_with(bench.work / "Images-unreadable-")) << keptAs;
        EXPECT_TRUE(keptAs.ends_with(".lst")) << keptAs;
        EXPECT_EQ(ReadFile(keptAs), c.text) << c.what;
        EXPECT_FALSE(FileExists(path)) << c.what;
        ASSERT_TRUE(SaveTransferList(bench.r.list, path).has_value());
        EXPECT_EQ(ReadFile(keptAs), c.text) << c.what;
    }
    // An empty file is an empty list, not a broken one.
    IntakeBench bench;
    StartLikeTheWindow(bench);
    WriteFile(bench.work / "Images.lst", "");
    EXPECT_TRUE(LoadTransferList(bench.r.list, bench.intake, bench.work / "Images.lst").has_value());
}

TEST(TransferListFile, PhotoLinesBeforeTheFirstAlbumLineMakeTodaysAlbumWhenNoneExists) {
    IntakeBench bench;  // as the command-line tool starts: no album yet
    const std::string w = bench.work.path() + "/";
    WriteJpeg(w + "p0.jpg", 8, 8);
    WriteFile(bench.work / "Images.lst", "0\r\n" + w + "p0.jpg\t" + w + "p0.jpg\r\n[Album]\tZoo\r\n");
    ASSERT_TRUE(LoadTransferList(bench.r.list, bench.intake, bench.work / "Images.lst").has_value());
    EXPECT_EQ(bench.r.Names(), (std::vector<std::string>{"9 décembre 2007", "Zoo"}));
    EXPECT_EQ(bench.r.list.Items(0).Jobs().Count(), 1);
}

TEST(TransferListFile, MissingFileIsAnEmptyList) {
    IntakeBench bench;
    StartLikeTheWindow(bench);
    EXPECT_TRUE(LoadTransferList(bench.r.list, bench.intake, bench.work / "Images.lst").has_value());
    EXPECT_EQ(bench.r.list.Count(), 1);
}

TEST(TransferListFile, FailedSaveIsReportedAndKeepsThePreviousFile) {
    IntakeBench bench;
    StartLikeTheWindow(bench);
    bench.r.list.AddAlbum("Vacances");
    std::string path = bench.work / "Images.lst";
    ASSERT_TRUE(SaveTransferList(bench.r.list, path).has_value());
    const std::string previous = ReadFile(path);

    // A full disk: the process may not write more than a few bytes.
    bench.r.list.AddAlbum("Un album de plus");
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit oldLimit{};
    getrlimit(RLIMIT_FSIZE, &oldLimit);
    rlimit tiny = oldLimit;
    tiny.rlim_cur = 8;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tiny), 0);
    auto full = SaveTransferList(bench.r.list, path);
    setrlimit(RLIMIT_FSIZE, &oldLimit);
    std::signal(SIGXFSZ, oldHandler);
    ASSERT_FALSE(full.has_value());
    EXPECT_FALSE(full.error().empty());
    EXPECT_EQ(ReadFile(path), previous);
    EXPECT_EQ(std::distance(fs::directory_iterator(bench.work.path()), fs::directory_iterator()), 1);

    // The work folder removed under the program.
    fs::remove_all(bench.work.path());
    EXPECT_FALSE(SaveTransferList(bench.r.list, path).has_value());
}

}  // namespace
// Names that differ only in forbidden characters ("Tri|", "Tri*") or control characters clean
// to one name: they fill one album, so that a written list reads back as it was written.
TEST(TransferListFile, NamesThatCleanAlikeShareOneAlbum) {
    IntakeBench bench;
    StartLikeTheWindow(bench);
    for (const char* name : {"a.jpg", "b.jpg"}) WriteJpeg(bench.work / name, 8, 8);
    const std::string w = bench.work.path() + "/";
    WriteFile(bench.work / "Images.lst", "0\r\n[Album]\tTri|\r\n" + w + "a.jpg\t" + w + "a.jpg\r\n[Album]\tTri*\r\n" + w +
                                             "b.jpg\t" + w + "b.jpg\r\n[Album]\tSea\x0c" "1\r\n" + w + "a.jpg\t" + w +
                                             "a.jpg\r\n[Album]\tSea\x0b" "1\r\n" + w + "b.jpg\t" + w + "b.jpg\r\n");
    ASSERT_TRUE(LoadTransferList(bench.r.list, bench.intake, bench.work / "Images.lst").has_value());
    const std::vector<std::string> names = bench.r.Names();
    for (const char* name : {"Trix", "Sea 1"}) {
        const int album = bench.r.list.IndexOfName(name);
        ASSERT_GE(album, 0) << name;
        EXPECT_EQ(bench.r.list.Items(album).Jobs().Count(), 2) << name;
        EXPECT_EQ(std::count(names.begin(), names.end(), name), 1) << name;
    }
}

}  // namespace vantrel
