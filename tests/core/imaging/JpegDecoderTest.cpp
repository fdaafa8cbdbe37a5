#include <gtest/gtest.h>

#include "JpegFixtures.h"
#include "core/imaging/JpegDecoder.h"

using namespace vantrel;
using namespace vantrel::test;

namespace {

std::uint32_t Quadrants(int x, int y, int w, int h) {
    if (y < h / 2) return x < w / 2 ? 0xD02020 : 0x20D020;
    return x < w / 2 ? 0x2020D0 : 0xE0E0E0;
}

}  // namespace

// Every colour model decodes to RGB at full size with the colours it holds.
TEST(ImagingDecode, ColourModelsDecodeToRgb) {
    struct Case {
        FixtureOptions options;
        ColourModel model;
    };
    const Case cases[] = {
        {Options(FixtureColour::YCbCr), ColourModel::YCbCr},
        {Options(FixtureColour::YCbCr, true), ColourModel::YCbCr},
        {Options(FixtureColour::CMYK), ColourModel::CMYK},
        {Options(FixtureColour::CMYK, false, false), ColourModel::CMYK},  // plain, not inverted
        {Options(FixtureColour::YCCK), ColourModel::YCCK},
    };
    const int w = 67, h = 45;  // odd sizes: partial MCUs on both edges
    for (const Case& c : cases) {
        SCOPED_TRACE(ColourModelName(c.model));
        TempFolder dir;
        const std::string path =
            dir.Write("p.jpg", MakeJpeg(w, h, [&](int x, int y) { return Quadrants(x, y, w, h); }, c.options));
        ImageWorkspace ws;
        ASSERT_TRUE(ReadImageHeader(ws, path));
        EXPECT_EQ(ws.params.colourModel, c.model);
        EXPECT_EQ(ws.params.progressive, c.options.progressive);
        const DecodeResult loaded = LoadImage(ws, path);
        ASSERT_EQ(loaded.outcome, DecodeOutcome::Ok);
        EXPECT_EQ(loaded.messageCode, 0);
        EXPECT_EQ(loaded.warningCount, 0u);
        ASSERT_EQ(ws.workBitmap.Width(), w);
        ASSERT_EQ(ws.workBitmap.Height(), h);
        for (auto [x, y] : {std::pair{5, 5}, {60, 5}, {5, 40}, {60, 40}})
            EXPECT_TRUE(Near(ws.workBitmap.Pixel(x, y), Quadrants(x, y, w, h), 12))
                << x << "," << y << " " << std::hex << ws.workBitmap.Pixel(x, y);
    }
}

TEST(ImagingDecode, GreyBecomesGreyRgbAndProgressIsReported) {
    TempFolder dir;
    const std::string path = dir.Write("g.jpg", MakeJpeg(33, 300, [](int x, int) { return x * 7 * 0x010101u; },
                                                         Options(FixtureColour::Grey)));
    ImageWorkspace ws;
    std::vector<int> reports;
    ws.progress = [&](int percent) { reports.push_back(percent); };
    ASSERT_NE(LoadImage(ws, path).outcome, DecodeOutcome::Unreadable);
    EXPECT_EQ(ws.params.colourModel, ColourModel::Grey);
    const std::uint32_t p = ws.workBitmap.Pixel(20, 100);
    EXPECT_TRUE(Red(p) == Green(p) && Green(p) == Blue(p));
    EXPECT_NEAR(Red(p), 140, 4);
    ASSERT_FALSE(reports.empty());
    EXPECT_TRUE(std::is_sorted(reports.begin(), reports.end()));
    EXPECT_LE(reports.back(), 100);
    EXPECT_GE(reports.back(), 90);
}

// Damage that the codec recovers from is a warning, never a failure; anything else fails.
TEST(ImagingDecode, WarningsFailuresAndMissingFiles) {
    TempFolder dir;
    const std::string good = MakeJpeg(64, 64, [](int x, int y) { return (x * 37 + y * 11) * 0x010203u; });
    const std::string truncated = dir.Write("t.jpg", good.substr(0, good.size() / 2));
    const std::string junk = dir.Write("j.jpg", std::string(500, 'x'));
    const std::string headerOnly = dir.Write("h.jpg", good.substr(0, 200));

    ImageWorkspace ws;
    const DecodeResult warned = LoadImage(ws, truncated);
    ASSERT_EQ(warned.outcome, DecodeOutcome::Warning);
    EXPECT_GT(warned.warningCount, 0u);
    EXPECT_NE(warned.messageCode, 0);
    EXPECT_EQ(ws.workBitmap.Width(), 64);

    for (const std::string& path : {junk, headerOnly}) {
        EXPECT_EQ(LoadImage(ws, path).outcome, DecodeOutcome::Failed) << path;
    }
    EXPECT_FALSE(ReadImageHeader(ws, junk));
    EXPECT_EQ(ws.params.colourModel, ColourModel::Unknown);
    EXPECT_EQ(ws.params.width, 0);

    const DecodeResult missing = LoadImage(ws, dir.File("none.jpg"));
    ASSERT_EQ(missing.outcome, DecodeOutcome::Unreadable);
    EXPECT_EQ(missing.error.kind, ImageFileError::Kind::FileError);
    EXPECT_EQ(missing.error.sysError, ENOENT);
    EXPECT_FALSE(ReadImageHeader(ws, dir.File("none.jpg")));

    // A clean read after a damaged one starts its counts afresh.
    const DecodeResult clean = LoadImage(ws, dir.Write("g.jpg", good));
    EXPECT_EQ(clean.outcome, DecodeOutcome::Ok);
    EXPECT_EQ(clean.warningCount, 0u);
    EXPECT_EQ(clean.messageCode, 0);
}

// The metadata segments come in file order without the first APP0 (the JFIF header).
TEST(ImagingDecode, HeaderKeepsMetadataSegmentsInOrder) {
    TempFolder dir;
    FixtureOptions options;
    options.segments = {{0xE1, "Exif\0\0abc"}, {0xFE, "a comment"}, {0xE0, "second app0"}, {0xED, "Photoshop 3.0"}};
    const std::string path = dir.Write("m.jpg", MakeSolidJpeg(17, 9, 0x336699, options));
    ImageWorkspace ws;
    ASSERT_TRUE(ReadImageHeader(ws, path));
    EXPECT_EQ(ws.params.width, 17);
    EXPECT_EQ(ws.params.height, 9);
    ASSERT_EQ(ws.params.metadata.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(ws.params.metadata[i].marker, options.segments[i].first);
        EXPECT_EQ(ws.params.metadata[i].data, options.segments[i].second);
    }
}
