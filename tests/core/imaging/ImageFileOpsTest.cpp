#include <gtest/gtest.h>

#include <filesystem>

#include "JpegFixtures.h"
#include "core/imaging/FileBytes.h"
#include "core/imaging/ImageFileOps.h"
#include "core/imaging/JpegDecoder.h"

using namespace vantrel;
using namespace vantrel::test;

namespace {

// A photo that decodes with warnings: its entropy data stops half way.
std::string TruncatedJpeg() {
    const std::string whole = MakeJpeg(80, 60, [](int x, int y) { return (x * 53 + y * 29) * 0x030507u; });
    return whole.substr(0, whole.size() / 2);
}

}  // namespace

TEST(ImagingFileOps, IsRejectedImageByCodeList) {
    TempFolder dir;
    const std::string damaged = dir.Write("d.jpg", TruncatedJpeg());
    const std::string clean = dir.Write("c.jpg", MakeSolidJpeg(31, 17, 0x445566));
    const std::string undecodable = dir.Write("u.jpg", std::string(300, '\x42'));
    ImageWorkspace ws;
    // The code that decides is the one current at the end of the read: after a premature end
    // of data the codec still reads the (inserted) end of image, so it is 85, not 120.
    const DecodeResult loaded = LoadImage(ws, damaged);
    ASSERT_EQ(loaded.outcome, DecodeOutcome::Warning);
    ASSERT_EQ(loaded.messageCode, 85);

    struct Case {
        std::string path, list;
        bool rejected;
    };
    const Case cases[] = {
        {damaged, "", false},          {damaged, "116,120", false}, {damaged, "116 85", true},
        {damaged, "\"85\", 9", true},  {damaged, "85,oops", true},  {clean, "85,oops", false},
        {undecodable, "", true},       {undecodable, "zz", true},   {damaged, "$55", true},
    };
    for (const Case& c : cases) {
        auto result = IsRejectedImage(ws, c.path, c.list);
        ASSERT_TRUE(result.has_value()) << c.path << " [" << c.list << "]";
        EXPECT_EQ(*result, c.rejected) << c.path << " [" << c.list << "]";
    }
    auto badEntry = IsRejectedImage(ws, damaged, "120,x85");
    ASSERT_FALSE(badEntry.has_value());
    EXPECT_EQ(badEntry.error().kind, ImageFileError::Kind::BadCodeList);
    auto missing = IsRejectedImage(ws, dir.File("none.jpg"), "");
    ASSERT_FALSE(missing.has_value());
    EXPECT_EQ(missing.error().kind, ImageFileError::Kind::FileError);
}

TEST(ImagingFileOps, SaveScaledJpegWritesBaselineCopies) {
    TempFolder dir;
    FixtureOptions withExif;
    withExif.segments = {{0xE1, "Exif\0\0data"}};
    const std::string photo = dir.Write("p.jpg", MakeSolidJpeg(401, 299, 0x3366CC, withExif));
    ImageWorkspace ws;
    const std::string out = dir.File("p.s.jpg");
    ASSERT_TRUE(SaveScaledJpeg(ws, photo, out, 160).has_value());
    EXPECT_EQ(ws.workBitmap.Width(), 160);
    EXPECT_EQ(ws.workBitmap.Height(), 119);
    ImageWorkspace check;
    ASSERT_TRUE(ReadImageHeader(check, out));
    EXPECT_EQ(check.params.width, 160);
    EXPECT_EQ(check.params.height, 119);
    EXPECT_EQ(check.params.colourModel, ColourModel::YCbCr);
    EXPECT_FALSE(check.params.progressive);
    EXPECT_TRUE(check.params.metadata.empty());  // only the JFIF header, which is not listed
    ASSERT_NE(LoadImage(check, out).outcome, DecodeOutcome::Unreadable);
    EXPECT_TRUE(Near(check.workBitmap.Pixel(80, 60), 0x3366CC, 8));

    // An undecodable photo gives the placeholder, scaled.
    ASSERT_TRUE(SaveScaledJpeg(ws, dir.Write("u.jpg", "garbage"), out, 50).has_value());
    ASSERT_TRUE(ReadImageHeader(check, out));
    EXPECT_EQ(check.params.width, 50);
    EXPECT_EQ(check.params.height, 50);

    auto missing = SaveScaledJpeg(ws, dir.File("none.jpg"), out, 50);
    ASSERT_FALSE(missing.has_value());
    EXPECT_EQ(missing.error().kind, ImageFileError::Kind::FileError);
    EXPECT_FALSE(SaveScaledJpeg(ws, photo, dir.File("no/such/folder/x.jpg"), 50).has_value());
}

// A copy that cannot be made is an error and leaves no file, never an empty one: sizes outside
// 1..10000 are refused before the photo is read, and an empty picture has nothing to copy.
TEST(ImagingFileOps, ACopyThatCannotBeMadeIsAnErrorNotAnEmptyFile) {
    TempFolder dir;
    const std::string photo = dir.Write("p.jpg", MakeSolidJpeg(64, 48, 0x3366CC));
    ImageWorkspace ws;
    for (int size : {0, -1, kMaxCopySize + 1, 1000000, 2147483647}) {
        SCOPED_TRACE(size);
        const std::string out = dir.File("copy" + std::to_string(size) + ".jpg");
        auto saved = SaveScaledJpeg(ws, photo, out, size);
        ASSERT_FALSE(saved.has_value());
        EXPECT_EQ(saved.error().kind, ImageFileError::Kind::NoCopy);
        EXPECT_NE(saved.error().message.find("1..10000"), std::string::npos) << saved.error().message;
        EXPECT_FALSE(std::filesystem::exists(out));
        RgbBitmap target;
        EXPECT_FALSE(EncodeScaledCopy(RgbBitmap(64, 48), target, size).has_value());
    }
    EXPECT_TRUE(IsCopySizeAllowed(1) && IsCopySizeAllowed(kMaxCopySize));
    RgbBitmap target;
    auto empty = EncodeScaledCopy(RgbBitmap(), target, 100);
    ASSERT_FALSE(empty.has_value());
    EXPECT_EQ(empty.error().kind, ImageFileError::Kind::NoCopy);
}

TEST(ImagingFileOps, RotateTurnsThePicture) {
    TempFolder dir;
    // Red top-left quarter on blue.
    const auto picture = [](int x, int y) -> std::uint32_t { return x < 32 && y < 24 ? 0xE01010 : 0x1010E0; };
    struct Case {
        TurnDirection direction;
        int redX, redY;  // a point inside the red quarter after the turn
    };
    for (const Case& c : {Case{TurnDirection::Clockwise, 40, 10}, Case{TurnDirection::CounterClockwise, 10, 70}}) {
        const std::string path = dir.Write("r.jpg", MakeJpeg(96, 48, picture));
        ImageWorkspace ws;
        auto turned = RotateImageFile(ws, path, c.direction, 95);
        ASSERT_TRUE(turned.has_value());
        EXPECT_EQ(turned->size, (PictureSize{48, 96}));
        EXPECT_EQ(ws.workBitmap.Width(), 96);  // the new tile
        ImageWorkspace check;
        ASSERT_NE(LoadImage(check, path).outcome, DecodeOutcome::Unreadable);
        ASSERT_EQ(check.workBitmap.Width(), 48);
        EXPECT_TRUE(Near(check.workBitmap.Pixel(c.redX, c.redY), 0xE01010, 24));
        EXPECT_TRUE(Near(check.workBitmap.Pixel(48 - 1 - c.redX, 96 - 1 - c.redY), 0x1010E0, 24));
    }

    const std::string broken = dir.Write("b.jpg", std::string("\xFF\xD8\xFF\xE0 broken", 12));
    ImageWorkspace ws;
    auto result = RotateImageFile(ws, broken, TurnDirection::Clockwise, 95);
    ASSERT_FALSE(result.has_value());
    EXPECT_EQ(result.error().kind, ImageFileError::Kind::Undecodable);
    EXPECT_EQ(ReadFile(broken), std::string("\xFF\xD8\xFF\xE0 broken", 12));
}

TEST(ImagingFileOps, SaveEditedJpegWritesThePixelsWithoutAlpha) {
    TempFolder dir;
    Bitmap32 picture(30, 20, 0x00FF8000);  // alpha 0 must not matter
    ImageWorkspace ws;
    const std::string path = dir.File("e.jpg");
    ASSERT_TRUE(SaveEditedJpeg(ws, picture, path, 90).has_value());
    EXPECT_EQ(ws.workBitmap.Width(), 96);
    ImageWorkspace check;
    ASSERT_NE(LoadImage(check, path).outcome, DecodeOutcome::Unreadable);
    EXPECT_TRUE(Near(check.workBitmap.Pixel(15, 10), 0xFF8000, 8));
}

// A four-component photo is re-encoded keeping its colour model, coding and segments (its own
// Adobe segment replaces the source's); every other photo is copied byte for byte.
TEST(ImagingFileOps, StoreWorkingCopy) {
    TempFolder dir;
    struct Case {
        FixtureOptions options;
        ColourModel model;
        bool byteCopy;
    };
    const std::vector<std::pair<int, std::string>> segments = {
        {0xE1, std::string("Exif\0\0MM\0*", 10)}, {0xFE, "comment"}, {0xED, "Photoshop 3.0"}};
    const Case cases[] = {
        {{FixtureColour::CMYK, false, true, 90, segments}, ColourModel::CMYK, false},
        {{FixtureColour::YCCK, true, true, 90, segments}, ColourModel::YCCK, false},
        {{FixtureColour::YCbCr, false, true, 90, segments}, ColourModel::YCbCr, true},
        {{FixtureColour::Grey, true, true, 90, segments}, ColourModel::Grey, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(ColourModelName(c.model));
        const std::string bytes = MakeSolidJpeg(45, 23, 0x20A040, c.options);
        const std::string source = dir.Write("s.jpg", bytes), copy = dir.File("w.jpg");
        ImageWorkspace ws;
        ASSERT_TRUE(ReadImageHeader(ws, source));
        ASSERT_NE(LoadImage(ws, source).outcome, DecodeOutcome::Unreadable);
        ASSERT_TRUE(StoreWorkingCopy(ws, source, copy, 85).has_value());
        if (c.byteCopy) {
            EXPECT_EQ(ReadFile(copy), bytes);
            continue;
        }
        EXPECT_EQ(ws.params.quality, 85);
        ImageWorkspace check;
        ASSERT_TRUE(ReadImageHeader(check, copy));
        EXPECT_EQ(check.params.colourModel, c.model);
        EXPECT_EQ(check.params.progressive, c.options.progressive);
        // The copy's segments: the source's, then none of the source's APP14 (the Adobe
        // segment the encoder writes itself comes first in the file).
        std::vector<std::pair<int, std::string>> kept;
        for (const auto& s : check.params.metadata)
            if (s.marker != 0xEE) kept.emplace_back(s.marker, s.data);
        EXPECT_EQ(kept, segments);
        ASSERT_NE(LoadImage(check, copy).outcome, DecodeOutcome::Unreadable);
        EXPECT_TRUE(Near(check.workBitmap.Pixel(20, 10), 0x20A040, 14));
    }
}

TEST(ImagingFileOps, CopyAndMeasureFiles) {
    TempFolder dir;
    const std::string source = dir.Write("a.bin", std::string(200000, '\x07') + "end");
    ASSERT_TRUE(CopyFileBytes(source, dir.Write("b.bin", std::string(500000, 'x'))).has_value());
    EXPECT_EQ(ReadFile(dir.File("b.bin")), ReadFile(source));
    EXPECT_EQ(FileSizeOf(dir.File("b.bin")), 200003u);
    EXPECT_EQ(FileSizeOf(dir.File("none")), 0u);
    ASSERT_TRUE(CopyFileBytes(source, source).has_value());
    EXPECT_EQ(FileSizeOf(source), 200003u);
    EXPECT_FALSE(CopyFileBytes(dir.File("none"), dir.File("c.bin")).has_value());
    EXPECT_FALSE(CopyFileBytes(source, dir.File("no/folder/c.bin")).has_value());
}
