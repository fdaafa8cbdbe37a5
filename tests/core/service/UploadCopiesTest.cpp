// The scaled copy and the thumbnail sent with a photo, byte for byte: whatever way the upload
// decodes the photo, the copies equal those made from one plain full decode, point-sampled from
// the upright picture and written with the plain encoder at quality 90.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <tuple>

#include "core/TempFolder.h"
#include "core/imaging/ImageFileOps.h"
#include "core/imaging/FileBytes.h"
#include "core/imaging/FileDigest.h"
#include "core/service/PackagePreparer.h"
#include "core/service/PhotoPreparation.h"
#include "core/service/UploadPackage.h"
#include "core/imaging/JpegFixtures.h"
#include "core/support/ReferenceCopy.h"

namespace vantrel {
namespace {

using namespace test;

std::string ExifOrientationSegment(int value) {
    const std::string tiff = std::string("MM\0\x2A\0\0\0\x08\0\x01\x01\x12\0\x03\0\0\0\x01\0", 19) + char(value) +
                             std::string(6, '\0');
    return std::string("Exif\0\0", 6) + tiff;
}

struct PhotoCase {
    const char* name;
    std::string bytes;
    bool rejected;  // with warning codes "85,123" refused
};

std::vector<PhotoCase> PhotoTable() {
    std::vector<PhotoCase> photos;
    photos.push_back({"colour", MakeJpeg(333, 211, Noisy(1)), false});
    photos.push_back({"colour progressive", MakeJpeg(217, 301, Noisy(2), Options(FixtureColour::YCbCr, true)), false});
    photos.push_back({"grey", MakeJpeg(190, 260, Noisy(3), Options(FixtureColour::Grey)), false});
    photos.push_back({"cmyk", MakeJpeg(250, 170, Noisy(4), Options(FixtureColour::CMYK)), false});
    photos.push_back({"ycck", MakeJpeg(171, 171, Noisy(5), Options(FixtureColour::YCCK)), false});
    std::string cut = MakeJpeg(320, 240, Noisy(6));
    cut.resize(cut.size() / 2);  // decodes with the end-of-data warning, its lower half grey
    photos.push_back({"damaged", cut, true});
    std::string garbage = MakeJpeg(64, 64, Noisy(7)).substr(0, 200);
    garbage += std::string(300, '\x55');
    photos.push_back({"undecodable", garbage, true});
    static const char* const kTurned[] = {"", "", "exif 2", "exif 3", "exif 4", "exif 5", "exif 6", "exif 7", "exif 8"};
    for (int orientation = 2; orientation <= 8; ++orientation) {
        FixtureOptions options;
        options.segments.push_back({0xE1, ExifOrientationSegment(orientation)});
        photos.push_back({kTurned[orientation], MakeJpeg(300, 180, Noisy(10 + orientation), options), false});
    }
    // A tall progressive photo cut short: rows after the cut are grey in every decode.
    std::string cutProgressive = MakeJpeg(160, 410, Noisy(20), Options(FixtureColour::YCbCr, true));
    cutProgressive.resize(cutProgressive.size() * 2 / 3);
    photos.push_back({"damaged progressive", cutProgressive, true});
    // Large enough to be decoded in two parts at once, whole and cut short below the middle.
    const std::string large = MakeJpeg(1800, 1150, Noisy(21));
    photos.push_back({"large", large, false});
    photos.push_back({"large damaged", large.substr(0, large.size() * 9 / 10), true});
    return photos;
}

std::string ReadBytes(const std::string& path) { return ReadFile(path); }

TEST(UploadCopies, TheUploadMakesTheSameBytesAsAFullDecode) {
    TempFolder folder;
    ImageWorkspace ws;
    const UploadImaging imaging = UploadImagingFor(ws);
    for (const PhotoCase& photo : PhotoTable()) {
        SCOPED_TRACE(photo.name);
        const std::string path = folder.Write(std::string(photo.name) + ".jpg", photo.bytes);
        auto rejected = imaging.isRejected(path, "85,123");
        ASSERT_TRUE(rejected.has_value());
        EXPECT_EQ(*rejected, photo.rejected);
        for (int size : {120, 48, 7, 500}) {  // 500 enlarges every photo of the table
            SCOPED_TRACE(size);
            const std::string target = folder.File("copy.jpg");
            ASSERT_TRUE(imaging.saveScaled(path, target, size).has_value());
            EXPECT_TRUE(ReadBytes(target) == ReferenceCopy(path, size));
        }
    }
}

// The preparation ahead: one decode gives the same judgement and copies, with the digests of
// the files as written; a photo taken out of turn is prepared anew, and the two sets of copy
// files are used in turn.
TEST(UploadCopies, PreparedAheadOrNotTheCopiesAndDigestsAreTheSame) {
    TempFolder folder;
    ImageWorkspace ws;
    const UploadImaging imaging = UploadImagingFor(ws);
    PhotoRequest sizes;
    sizes.rejectedErrors = "85,123";
    sizes.scaledSize = 120;
    sizes.thumbSize = 48;
    PackagePreparer preparer(imaging, sizes,
                             std::vector<CopyFiles>{CopyFiles{folder.File("s0.jpg"), folder.File("t0.jpg")},
                               CopyFiles{folder.File("s1.jpg"), folder.File("t1.jpg")}});
    const std::vector<PhotoCase> photos = PhotoTable();
    std::vector<std::string> paths;
    for (const PhotoCase& photo : photos) paths.push_back(folder.Write(std::string(photo.name) + ".jpg", photo.bytes));
    std::set<std::string> copyFiles;
    for (std::size_t i = 0; i < photos.size(); ++i) {
        SCOPED_TRACE(photos[i].name);
        // Every third photo is taken without having been prefetched.
        auto prepared = preparer.Take(paths[i], {}, {});
        ASSERT_TRUE(prepared.has_value());
        if (i % 3 != 2 && i + 1 < photos.size()) preparer.Prefetch(paths[i + 1]);
        EXPECT_EQ(prepared->workPath, paths[i]);
        ASSERT_TRUE(prepared->rejected.has_value());
        EXPECT_EQ(*prepared->rejected, photos[i].rejected);
        EXPECT_EQ(prepared->photoDigest, DigestToHex(DigestFile(paths[i])));
        if (photos[i].rejected) continue;
        copyFiles.insert(prepared->scaledPath);
        for (auto [path, digest, size] : {std::tuple{prepared->scaledPath, prepared->scaledDigest, 120},
                                          std::tuple{prepared->thumbPath, prepared->thumbDigest, 48}}) {
            EXPECT_TRUE(ReadBytes(path) == ReferenceCopy(paths[i], size)) << size;
            ASSERT_TRUE(digest.has_value());
            EXPECT_EQ(*digest, DigestToHex(DigestFile(path)));
        }
    }
    EXPECT_EQ(copyFiles, (std::set<std::string>{folder.File("s0.jpg"), folder.File("s1.jpg")}));

    // An unreadable code list is the run's error; a copy that cannot be written names its file.
    sizes.rejectedErrors = "x";
    sizes.workPath = paths[5];  // damaged: its warning code reaches the list
    EXPECT_FALSE(imaging.prepare(ws, sizes).rejected.has_value());
    sizes.workPath = paths[0];
    sizes.scaledPath = folder.File("missing/s.jpg");
    sizes.thumbPath = folder.File("t.jpg");
    const PreparedPhoto unwritable = imaging.prepare(ws, sizes);
    ASSERT_FALSE(unwritable.scaledDigest.has_value());
    EXPECT_EQ(unwritable.scaledDigest.error().path, sizes.scaledPath);
    EXPECT_EQ(unwritable.scaledDigest.error().reason, "No such file or directory");
    EXPECT_TRUE(unwritable.copyNotMade.empty());
}

// Copies that cannot be made are named as such, and no empty copy is left to be sent.
TEST(UploadCopies, ACopyThatCannotBeMadeIsNamedNotEmpty) {
    TempFolder folder;
    ImageWorkspace ws;
    const UploadImaging imaging = UploadImagingFor(ws);
    PhotoRequest request;
    request.workPath = folder.Write("p.jpg", MakeJpeg(120, 90, Noisy(1)));
    request.scaledPath = folder.File("s.jpg");
    request.thumbPath = folder.File("t.jpg");
    struct Case {
        int scaled, thumb;
        const char* notMade;
    };
    for (const Case& c : {Case{1000000, 48, "scaled copy: the copy size 1000000 is outside 1..10000 pixels"},
                          Case{120, 2147483647, "thumbnail: the copy size 2147483647 is outside 1..10000 pixels"},
                          Case{0, 48, "scaled copy: the copy size 0 is outside 1..10000 pixels"}}) {
        SCOPED_TRACE(c.notMade);
        std::filesystem::remove(request.scaledPath);
        std::filesystem::remove(request.thumbPath);
        request.scaledSize = c.scaled;
        request.thumbSize = c.thumb;
        const PreparedPhoto prepared = imaging.prepare(ws, request);
        EXPECT_EQ(prepared.copyNotMade, c.notMade);
        for (const std::string& path : {request.scaledPath, request.thumbPath})
            EXPECT_TRUE(!std::filesystem::exists(path) || std::filesystem::file_size(path) > 0) << path;
        // Made step by step, the copy is refused the same way.
        EXPECT_THROW((void)imaging.saveScaled(request.workPath, folder.File("x.jpg"), c.scaled == 120 ? c.thumb : c.scaled),
                     CopyNotMadeError);
    }
}

// What one preparation holds is counted whole: the picture, the codec, the larger copy and the
// split decode's bytes.
TEST(UploadCopies, APreparationCountsItsCopiesAndItsFile) {
    const PreparationNeed baseline = PreparationBytes(4000, 3000, false, false, 5'000'000, {1600, 160});
    EXPECT_EQ(baseline.picture, 36'000'000u);
    EXPECT_EQ(baseline.copy, 3u * 1600 * 1200);
    EXPECT_EQ(baseline.file, 10'000'000u);
    EXPECT_EQ(PreparationBytes(4000, 3000, false, true, 5'000'000, {1600, 160}).Total(), baseline.Total() + 36'000'000u);
    EXPECT_GT(PreparationBytes(4000, 3000, true, false, 5'000'000, {1600, 160}).codec, baseline.codec + 8u * 12'000'000 - 1);
    // A panorama's copy keeps a row; the larger of the two sizes decides, whichever comes first.
    EXPECT_EQ(PreparationBytes(20000, 10, false, false, 0, {48, 10000}).copy, 3u * 10000 * 5);
    EXPECT_EQ(PreparationBytes(20000, 10, false, false, 0, {48}).copy, 3u * 48);
}

// Two photos prepared at once draw from one budget: when it holds one preparation but not two,
// the second waits instead of failing, and both get the copies of one decode. A photo that would
// fit alone but not beside its copies gets none, and says why.
TEST(UploadCopies, PreparationsAtOnceShareOneBudget) {
    TempFolder folder;
    ImageWorkspace ws;
    const UploadImaging imaging = UploadImagingFor(ws);
    PhotoRequest sizes;
    sizes.scaledSize = 120;
    sizes.thumbSize = 48;
    std::vector<std::string> paths;
    for (unsigned seed : {1u, 2u, 3u}) {
        paths.push_back(folder.Write("p" + std::to_string(seed) + ".jpg", MakeJpeg(1800, 1150, Noisy(seed))));
    }
    const PreparationNeed need = PreparationBytes(1800, 1150, false, false, FileSizeOf(paths[0]), {120, 48});
    const std::uint64_t total = need.Total() * 3 / 2;  // one preparation, not two
    auto preparer = std::make_unique<PackagePreparer>(
        imaging, sizes,
        std::vector<CopyFiles>{CopyFiles{folder.File("s0.jpg"), folder.File("t0.jpg")},
                                CopyFiles{folder.File("s1.jpg"), folder.File("t1.jpg")},
                                CopyFiles{folder.File("s2.jpg"), folder.File("t2.jpg")}},
        total);
    ASSERT_EQ(preparer->Depth(), 2);
    preparer->Prefetch(paths[0]);
    preparer->Prefetch(paths[1]);
    for (const std::string& path : paths) {
        SCOPED_TRACE(path);
        auto prepared = preparer->Take(path, {}, {});
        ASSERT_TRUE(prepared.has_value());
        EXPECT_TRUE(prepared->copyNotMade.empty()) << prepared->copyNotMade;
        EXPECT_TRUE(ReadBytes(prepared->scaledPath) == ReferenceCopy(path, 120));
        EXPECT_TRUE(ReadBytes(prepared->thumbPath) == ReferenceCopy(path, 48));
    }
    // Never two shares at once, and each given back.
    EXPECT_GE(preparer->Budget().Peak(), need.Total());
    EXPECT_LT(preparer->Budget().Peak(), 2 * need.Total());
    EXPECT_EQ(preparer->Budget().Free(), total);
    preparer.reset();

    // 10000 pixels wide, the copy alone is more than the budget.
    sizes.scaledSize = 10000;
    PackagePreparer tight(imaging, sizes,
                          std::vector<CopyFiles>{CopyFiles{folder.File("s0.jpg"), folder.File("t0.jpg")},
                                                   CopyFiles{folder.File("s1.jpg"), folder.File("t1.jpg")}},
                           64u << 20);
    auto refused = tight.Take(paths[0], {}, {});
    ASSERT_TRUE(refused.has_value());
    EXPECT_EQ(refused->copyNotMade, "not enough memory for the photo and its copies at once");
}

}  // namespace
}  // namespace vantrel
