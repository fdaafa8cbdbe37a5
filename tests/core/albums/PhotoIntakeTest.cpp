#include <gtest/gtest.h>

#include <filesystem>

#include "core/albums/IntakeTestSupport.h"
#include "core/imaging/JpegDecoder.h"

namespace vantrel {
namespace {

using namespace albumtest;
namespace fs = std::filesystem;

TEST(PhotoIntake, MakeWorkingNameFindsTheFirstFreeName) {
    struct Case {
        std::vector<std::string> existing;
        std::string source;
        std::string expected;
    };
    const Case cases[] = {
        {{}, "/p/IMG_0001.JPG", "IMG_0001.JPG"},
        {{"IMG_0001.JPG"}, "/p/IMG_0001.JPG", "IMG_0001_1.JPG"},
        {{"IMG_0001.JPG", "IMG_0001_1.JPG"}, "/other/IMG_0001.JPG", "IMG_0001_2.JPG"},
        {{"IMG_0001.JPG", "IMG_0001_2.JPG"}, "/p/IMG_0001.JPG", "IMG_0001_1.JPG"},
        {{}, "/p/PHOTO", "PHOTO"},
        {{"PHOTO"}, "/p/PHOTO", "PHOTO_1"},
        {{"a.b.jpeg"}, "/p/a.b.jpeg", "a.b_1.jpeg"},
        {{}, "/p/line\nbreak\t.jpg", "line_break_.jpg"},
    };
    for (const Case& c : cases) {
        IntakeBench bench;
        for (const auto& name : c.existing) WriteFile(bench.work / name, "");
        EXPECT_EQ(bench.intake.MakeWorkingName(c.source), bench.work / c.expected) << c.source;
    }
}

TEST(PhotoIntake, QueuesACopyIntoTodaysAlbumWhenNoAlbumExists) {
    IntakeBench bench;
    std::string source = bench.Photo("IMG_0001.JPG", 40, 30);
    std::string original = ReadFile(source);
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(bench.intake.AddPhotoToAlbum(bench.r.list.DefaultAlbumIndex, source));

    EXPECT_EQ(bench.r.Names(), std::vector<std::string>{"9 décembre 2007"});
    EXPECT_EQ(bench.r.list.CurrentIndex(), 0);
    EXPECT_EQ(bench.r.list.DefaultAlbumIndex, 0);
    const TJobList& jobs = bench.r.list.Items(0).Jobs();
    ASSERT_EQ(jobs.Count(), 3);
    const char* names[] = {"IMG_0001.JPG", "IMG_0001_1.JPG", "IMG_0001_2.JPG"};
    for (int i = 0; i < 3; ++i) {
        const TImageJob& job = jobs.Items(i);
        EXPECT_EQ(job.SourcePath, source);
        EXPECT_EQ(job.WorkPath, bench.work / names[i]);
        EXPECT_EQ(job.FileName, names[i]);
        EXPECT_EQ(ReadFile(job.WorkPath), original);  // a plain photo is copied byte for byte
        EXPECT_EQ(job.PhotoSize, static_cast<std::int32_t>(original.size()));
        EXPECT_EQ(job.Width, 40);
        EXPECT_EQ(job.Height, 30);
        EXPECT_EQ(job.ImageIndex, i);
        EXPECT_EQ(job.Caption, std::string(names[i]) + "|" + std::to_string(original.size()) + "|40x30");
    }
    EXPECT_EQ(bench.r.ViewImages(), (std::vector<int>{0, 1, 2}));
    ASSERT_EQ(bench.tiles.size(), 3u);
    EXPECT_EQ(bench.tiles[0].Width(), 96);
    EXPECT_EQ(ReadFile(source), original);
}

TEST(PhotoIntake, FourComponentPhotoIsReencodedAndMeasuredAfresh) {
    IntakeBench bench;
    std::string source = bench.Photo("CMYK.JPG", 64, 48, true);
    bench.r.list.AddAlbum("Mer");
    ASSERT_TRUE(bench.intake.AddPhotoToAlbum(0, source));
    const TImageJob& job = bench.r.list.Items(0).Jobs().Items(0);
    std::string copy = ReadFile(job.WorkPath);
    EXPECT_NE(copy, ReadFile(source));
    EXPECT_EQ(job.PhotoSize, static_cast<std::int32_t>(copy.size()));
    ImageWorkspace check;
    ASSERT_TRUE(ReadImageHeader(check, job.WorkPath));
    EXPECT_EQ(check.params.colourModel, ColourModel::CMYK);
    EXPECT_EQ(job.Width, 64);
    EXPECT_EQ(job.Height, 48);
}

TEST(PhotoIntake, FailuresAreReportedAndLeaveNoWorkingCopy) {
    struct Case {
        const char* what;
        std::string key;
    };
    for (const Case& c : {Case{"damaged", "BadNoTransfer"}, Case{"missing", "BadPictErr"},
                          Case{"unwritable", "BadPictErr"}, Case{"tile refused", "BadPictErr"}}) {
        IntakeBench bench;
        bench.r.list.AddAlbum("Mer");
        std::string source = bench.Photo("IMG_0009.JPG");
        std::string what = c.what;
        if (what == "damaged") {
            std::string bytes = ReadFile(source);
            WriteFile(source, bytes.substr(0, 20) + std::string(200, '\x55'));
        }
        if (what == "missing") source = bench.photos / "gone.jpg";
        if (what == "unwritable") fs::remove_all(bench.work.path());
        bench.refuseTiles = what == "tile refused";

        EXPECT_FALSE(bench.intake.AddPhotoToAlbum(0, source)) << what;
        EXPECT_EQ(bench.r.messages, (std::vector<UserMessage>{{c.key, {FileNameOf(source)}}})) << what;
        EXPECT_EQ(bench.r.list.Items(0).Jobs().Count(), 0) << what;
        EXPECT_FALSE(fs::exists(bench.work / FileNameOf(source))) << what;
    }
}

TEST(PhotoIntake, DropFilesTakesJpegNamesIntoTheCurrentAlbum) {
    IntakeBench bench;
    bench.r.list.AddAlbum("Mer");
    std::vector<std::string> names = {bench.Photo("a.jpeg"), bench.Photo("b.JPG"), bench.Photo("c.JPE"),
                                      bench.Photo("d.TIF")};
    fs::create_directory(bench.photos / "folder.jpg");
    names.push_back(bench.photos / "folder.jpg");

    EXPECT_EQ(bench.intake.DropFiles(names), 0);  // no album current
    EXPECT_EQ(bench.saves, 1);
    bench.r.list.SelectAlbum(0);
    int begun = -1, steps = 0;
    bench.intake.Hooks.BeginBusy = [&](int count) { begun = count; };
    bench.intake.Hooks.StepProgress = [&] { ++steps; };
    EXPECT_EQ(bench.intake.DropFiles(names), 2);
    EXPECT_EQ(bench.saves, 2);
    EXPECT_EQ(begun, 5);
    EXPECT_EQ(steps, 5);
    EXPECT_TRUE(bench.r.messages.empty());
    const TJobList& jobs = bench.r.list.Items(0).Jobs();
    ASSERT_EQ(jobs.Count(), 2);
    EXPECT_EQ(jobs.Items(0).FileName, "a.jpeg");
    EXPECT_EQ(jobs.Items(1).FileName, "b.JPG");
}

}  // namespace
}  // namespace vantrel
