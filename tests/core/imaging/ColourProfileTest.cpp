// Embedded colour profiles: how their chunks are put together, which photos are brought to sRGB,
// and that untagged and sRGB photos come out exactly as the decoder gives them.
#include <gtest/gtest.h>

#include <lcms2.h>

#include <cstdlib>
#include <fstream>

#include "core/TempFolder.h"
#include "core/imaging/Bitmap32.h"
#include "core/imaging/BrowserThumb.h"
#include "core/imaging/IccProfile.h"
#include "core/imaging/ImageFileOps.h"
#include "core/imaging/JpegDecoder.h"
#include "core/imaging/JpegFixtures.h"
#include "core/imaging/SrgbConversion.h"
#include "core/support/CliRunner.h"

namespace vantrel {
namespace {

using test::FixtureOptions;

constexpr int kApp2 = 0xE2;
const std::string kSignature{"ICC_PROFILE\0", 12};

std::string Chunk(int number, int count, const std::string& body) {
    return kSignature + char(number) + char(count) + body;
}

std::string SavedProfile(cmsHPROFILE profile) {
    cmsUInt32Number size = 0;
    cmsSaveProfileToMem(profile, nullptr, &size);
    std::string bytes(size, '\0');
    cmsSaveProfileToMem(profile, bytes.data(), &size);
    cmsCloseProfile(profile);
    return bytes;
}

void Describe(cmsHPROFILE profile, const char* name) {
    cmsMLU* text = cmsMLUalloc(nullptr, 1);
    cmsMLUsetASCII(text, "en", "US", name);
    cmsWriteTag(profile, cmsSigProfileDescriptionTag, text);
    cmsMLUfree(text);
}

std::string SrgbProfile() { return SavedProfile(cmsCreate_sRGBProfile()); }

// The primaries, white and gamma of Adobe RGB (1998).
std::string WideRgbProfile() {
    const cmsCIExyY white{0.3127, 0.3290, 1.0};
    const cmsCIExyYTRIPLE primaries{{0.64, 0.33, 1.0}, {0.21, 0.71, 1.0}, {0.15, 0.06, 1.0}};
    cmsToneCurve* gamma = cmsBuildGamma(nullptr, 563.0 / 256.0);
    cmsToneCurve* curves[3] = {gamma, gamma, gamma};
    cmsHPROFILE profile = cmsCreateRGBProfile(&white, &primaries, curves);
    cmsFreeToneCurve(gamma);
    Describe(profile, "Adobe RGB (1998)");
    return SavedProfile(profile);
}

std::string GreyProfile() {
    cmsToneCurve* gamma = cmsBuildGamma(nullptr, 2.2);
    cmsHPROFILE profile = cmsCreateGrayProfile(cmsD50_xyY(), gamma);
    cmsFreeToneCurve(gamma);
    Describe(profile, "Grey 2.2");
    return SavedProfile(profile);
}

// The profile as APP2 segments of at most `chunkBytes` bytes of profile each.
std::vector<std::pair<int, std::string>> ProfileSegments(const std::string& profile, std::size_t chunkBytes = 1000) {
    std::vector<std::pair<int, std::string>> segments;
    const int count = int((profile.size() + chunkBytes - 1) / chunkBytes);
    for (int n = 0; n < count; ++n)
        segments.emplace_back(kApp2, Chunk(n + 1, count, profile.substr(std::size_t(n) * chunkBytes, chunkBytes)));
    return segments;
}

std::vector<MetadataSegment> AsMetadata(const std::vector<std::pair<int, std::string>>& segments) {
    std::vector<MetadataSegment> metadata;
    for (const auto& [marker, data] : segments) metadata.push_back({marker, data});
    return metadata;
}

// Saturated gradients, where a wide-gamut profile moves colours most.
test::PixelSource Gradients(int width, int height) {
    return [width, height](int x, int y) {
        const auto r = std::uint32_t(x * 255 / (width - 1)), g = std::uint32_t(y * 255 / (height - 1));
        return r << 16 | g << 8 | (255 - r + g) / 2;
    };
}

std::string Photo(const test::TempFolder& dir, const std::string& name, const test::PixelSource& pixels,
                  const std::string& profile) {
    FixtureOptions options;
    if (!profile.empty()) options.segments = ProfileSegments(profile);
    return dir.Write(name, test::MakeJpeg(160, 120, pixels, options));
}

TEST(ColourProfile, ChunksAreReassembledInOrderAndAnyInconsistencyMeansNoProfile) {
    const std::string big(65519, 'x');
    std::vector<MetadataSegment> tooLarge;
    for (int n = 1; n <= 65; ++n) tooLarge.push_back({kApp2, Chunk(n, 65, big)});
    struct Case {
        const char* what;
        std::vector<MetadataSegment> segments;
        std::optional<std::string> profile;
    };
    const std::vector<Case> cases = {
        {"no segment", {}, std::nullopt},
        {"one chunk", {{kApp2, Chunk(1, 1, "abc")}}, "abc"},
        {"out of order, other segments between",
         {{kApp2, Chunk(2, 3, "b")}, {0xE1, "Exif"}, {kApp2, std::string("MPF\0", 4)}, {kApp2, Chunk(3, 3, "c")},
          {kApp2, Chunk(1, 3, "a")}},
         "abc"},
        {"the signature in another segment", {{0xE1, Chunk(1, 1, "abc")}}, std::nullopt},
        {"a chunk missing", {{kApp2, Chunk(1, 3, "a")}, {kApp2, Chunk(3, 3, "c")}}, std::nullopt},
        {"a chunk twice", {{kApp2, Chunk(1, 2, "a")}, {kApp2, Chunk(1, 2, "a")}}, std::nullopt},
        {"counts disagree", {{kApp2, Chunk(1, 2, "a")}, {kApp2, Chunk(2, 3, "b")}}, std::nullopt},
        {"number 0", {{kApp2, Chunk(0, 1, "a")}}, std::nullopt},
        {"number over the count", {{kApp2, Chunk(2, 1, "a")}}, std::nullopt},
        {"count 0", {{kApp2, Chunk(1, 0, "a")}}, std::nullopt},
        {"no body", {{kApp2, Chunk(1, 1, "")}}, std::nullopt},
        {"no number nor count", {{kApp2, kSignature}}, std::nullopt},
        {"over 4 MB in all", tooLarge, std::nullopt},
        {"255 chunks", AsMetadata(ProfileSegments(std::string(255, 'p'), 1)), std::string(255, 'p')},
    };
    for (const Case& c : cases) EXPECT_EQ(EmbeddedIccProfile(c.segments), c.profile) << c.what;
}

TEST(ColourProfile, OnlyReadableRgbProfilesOtherThanSrgbAreConverted) {
    struct Case {
        const char* what;
        std::string profile;
        std::string name;
        bool converted;
    };
    const std::vector<Case> cases = {
        {"sRGB", SrgbProfile(), "sRGB built-in", false},
        {"wide RGB", WideRgbProfile(), "Adobe RGB (1998)", true},
        {"grey", GreyProfile(), "Grey 2.2", false},
        {"garbage", std::string(500, '\x7f'), "", false},
        {"a cut profile", WideRgbProfile().substr(0, 200), "", false},
    };
    for (const Case& c : cases) {
        const ColourProfileInfo info = DescribeColourProfile(c.profile);
        EXPECT_EQ(info.name, c.name) << c.what;
        EXPECT_EQ(info.toSrgb != nullptr, c.converted) << c.what;
    }
}

// Untagged and sRGB photos: copies and tiles are exactly those of a decode that converts nothing.
TEST(ColourProfile, UntaggedAndSrgbPhotosGiveTheSameCopiesAndTilesByteForByte) {
    test::TempFolder dir;
    const std::string untagged = Photo(dir, "plain.jpg", test::Noisy(7), "");
    const std::string srgb = Photo(dir, "srgb.jpg", test::Noisy(7), SrgbProfile());
    const auto copyOf = [&](const std::string& photo, bool convert) {
        ImageWorkspace ws;
        ws.convertToSrgb = convert;
        const std::string out = dir.File("copy.jpg");
        EXPECT_TRUE(SaveScaledJpeg(ws, photo, out, 100).has_value());
        return test::ReadFile(out);
    };
    const auto tileOf = [](const std::string& photo, bool convert) {
        ImageWorkspace ws;
        ws.convertToSrgb = convert;
        EXPECT_EQ(MakeBrowserThumb(ws, photo), BrowserThumbResult::Tile);
        return std::string(reinterpret_cast<const char*>(ws.workBitmap.Data()), ws.workBitmap.ByteSize());
    };
    const std::string copy = copyOf(untagged, false), tile = tileOf(untagged, false);
    for (const std::string& photo : {untagged, srgb}) {
        EXPECT_EQ(copyOf(photo, true), copy) << photo;
        EXPECT_EQ(tileOf(photo, true), tile) << photo;
    }
}

std::string ImageMagick() {
    for (const char* name : {"magick", "convert"})
        if (test::RunShell(std::string("command -v ") + name + " >/dev/null 2>&1").status == 0) return name;
    return {};
}

// Mean absolute difference per channel value.
double MeanDifference(const std::string& a, const std::string& b) {
    if (a.size() != b.size() || a.empty()) return 255;
    double sum = 0;
    for (std::size_t i = 0; i < a.size(); ++i) sum += std::abs(int(std::uint8_t(a[i])) - int(std::uint8_t(b[i])));
    return sum / double(a.size());
}

std::string PixelsOf(const std::string& photo, bool convert) {
    ImageWorkspace ws;
    ws.convertToSrgb = convert;
    EXPECT_TRUE(LoadImage(ws, photo).HasPicture());
    return std::string(reinterpret_cast<const char*>(ws.workBitmap.Data()), ws.workBitmap.ByteSize());
}

// A wide-gamut photo's scaled copy holds what ImageMagick makes of the same pixels, converted
// from the photo's profile to sRGB; its tile shows the converted colours too.
TEST(ColourProfile, AWideGamutPhotosCopyAndTileAreConvertedToSrgb) {
    const std::string magick = ImageMagick();
    if (magick.empty()) GTEST_SKIP() << "ImageMagick is not installed";
    test::TempFolder dir;
    const std::string wide = WideRgbProfile();
    const std::string photo = Photo(dir, "wide.jpg", Gradients(160, 120), wide);
    dir.Write("wide.icc", wide);
    dir.Write("srgb.icc", SrgbProfile());

    // ImageMagick's conversion of pixels taken as being in the wide profile.
    const auto magickToSrgb = [&](const std::string& pixels, int width, int height) {
        {
            std::ofstream ppm(dir.File("in.ppm"), std::ios::binary);
            ppm << "P6\n" << width << ' ' << height << "\n255\n" << pixels;
        }
        const auto run = test::RunShell(magick + " " + dir.File("in.ppm") + " -profile " + dir.File("wide.icc") +
                                        " -profile " + dir.File("srgb.icc") + " -depth 8 rgb:" + dir.File("out.rgb"));
        EXPECT_EQ(run.status, 0);
        return test::ReadFile(dir.File("out.rgb"));
    };

    // The decoded picture, before any encode.
    const std::string stored = PixelsOf(photo, false);
    const std::string reference = magickToSrgb(stored, 160, 120);
    EXPECT_LE(MeanDifference(PixelsOf(photo, true), reference), 0.5);
    EXPECT_GE(MeanDifference(stored, reference), 5.0);  // the profile matters for these colours

    // Copies of the same scale, one from the converted picture, one from the picture as stored;
    // the second one, converted by ImageMagick, differs from the first by the encodes' noise.
    ImageWorkspace ws;
    ASSERT_TRUE(SaveScaledJpeg(ws, photo, dir.File("converted.jpg"), 120, 95).has_value());
    ws.convertToSrgb = false;
    ASSERT_TRUE(SaveScaledJpeg(ws, photo, dir.File("stored.jpg"), 120, 95).has_value());
    const std::string copyReference = magickToSrgb(PixelsOf(dir.File("stored.jpg"), true), 120, 90);
    EXPECT_LE(MeanDifference(PixelsOf(dir.File("converted.jpg"), true), copyReference), 2.0);

    // The tile against the converted full decode, at a saturated place (tile row 18 is photo row
    // 10: the 96 x 72 picture starts 12 rows down).
    ImageWorkspace tiles;
    ASSERT_EQ(MakeBrowserThumb(tiles, photo), BrowserThumbResult::Tile);
    const std::uint32_t tilePixel = tiles.workBitmap.Pixel(90, 18);
    ImageWorkspace full;
    ASSERT_TRUE(LoadImage(full, photo).HasPicture());
    EXPECT_TRUE(test::Near(tilePixel, full.workBitmap.Pixel(150, 10), 6)) << std::hex << tilePixel;
    full.convertToSrgb = false;
    ASSERT_TRUE(LoadImage(full, photo).HasPicture());
    EXPECT_FALSE(test::Near(tilePixel, full.workBitmap.Pixel(150, 10), 12)) << std::hex << tilePixel;
}

// A tagged photo turned by re-encoding (its size is no multiple of the blocks) or saved from the
// retouch window keeps its profile and shows the same colours after: its pixels go back to the
// profile rather than being converted twice.
TEST(ColourProfile, RewrittenTaggedPhotosKeepTheirProfileAndTheirColours) {
    test::TempFolder dir;
    const std::string wide = WideRgbProfile();
    const std::string turnedPhoto = Photo(dir, "turned.jpg", Gradients(161, 121), wide);
    const std::string retouched = Photo(dir, "retouched.jpg", Gradients(160, 120), wide);
    const std::string shownBefore = PixelsOf(turnedPhoto, true);

    ImageWorkspace ws;
    for (int turn = 0; turn < 4; ++turn) {
        const auto outcome = RotateImageFile(ws, turnedPhoto, TurnDirection::Clockwise, 95);
        ASSERT_TRUE(outcome.has_value());
        // The re-encoded copy may turn losslessly after the first turn.
        if (turn == 0) {
            EXPECT_FALSE(outcome->lossless);
        }
    }
    EXPECT_LE(MeanDifference(PixelsOf(turnedPhoto, true), shownBefore), 3.0);

    ASSERT_TRUE(LoadImage(ws, retouched).HasPicture());
    const std::string shown(reinterpret_cast<const char*>(ws.workBitmap.Data()), ws.workBitmap.ByteSize());
    ASSERT_TRUE(SaveEditedJpegKeepingMetadata(ws, Bitmap32::FromRgb(ws.workBitmap), retouched, 95).has_value());
    EXPECT_LE(MeanDifference(PixelsOf(retouched, true), shown), 2.0);
    for (const std::string& photo : {turnedPhoto, retouched}) {
        ImageWorkspace header;
        ASSERT_TRUE(ReadImageHeader(header, photo));
        EXPECT_EQ(EmbeddedIccProfile(header.params.metadata), wide) << photo;
    }
}

TEST(ColourProfile, InfoNamesThePhotosProfile) {
    test::TempFolder dir;
    const struct {
        std::string photo;
        const char* line;
    } cases[] = {
        {Photo(dir, "wide.jpg", Gradients(160, 120), WideRgbProfile()), "colour profile: Adobe RGB (1998)\n"},
        {Photo(dir, "plain.jpg", Gradients(160, 120), ""), "colour profile: none\n"},
        {dir.Write("bad.jpg", test::MakeJpeg(16, 16, Gradients(16, 16), {.segments = {{kApp2, Chunk(1, 2, "x")}}})),
         "colour profile: none\n"},
    };
    for (const auto& c : cases) {
        const auto info = test::RunShell(test::CliPath() + " info " + c.photo);
        EXPECT_EQ(info.status, 0);
        EXPECT_NE(info.output.find(c.line), std::string::npos) << info.output;
    }
}

}  // namespace
}  // namespace vantrel
