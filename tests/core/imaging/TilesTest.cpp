#include <gtest/gtest.h>

#include "JpegFixtures.h"
#include "core/imaging/BrowserThumb.h"
#include "core/imaging/ImageFileOps.h"
#include "core/imaging/Tiles.h"

using namespace vantrel;
using namespace vantrel::test;

namespace {

// Records what the tile code asks of the font engine.
class FakePainter : public TileTextPainter {
public:
    TextExtent MeasureText(const std::string&, int) const override { return {40, 8}; }
    void DrawText(RgbBitmap&, int left, int top, const std::string& text, int pointSize) const override {
        calls.push_back({left, top, text, pointSize});
    }
    struct Call {
        int left, top;
        std::string text;
        int pointSize;
    };
    mutable std::vector<Call> calls;
};

RgbBitmap SolidBitmap(int w, int h, std::uint32_t rgb) {
    RgbBitmap b(w, h);
    b.Fill(rgb);
    return b;
}

// The rectangle of non-white pixels inside the frame of a tile.
PixelArea PictureArea(const RgbBitmap& tile) {
    int x0 = 96, y0 = 96, x1 = -1, y1 = -1;
    for (int y = 1; y < 95; ++y)
        for (int x = 1; x < 95; ++x)
            if (tile.Pixel(x, y) != kTileWhite) {
                x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x), y1 = std::max(y1, y);
            }
    if (x1 < 0) return {};
    return {x0, y0, x1 - x0 + 1, y1 - y0 + 1};
}

bool HasFrame(const RgbBitmap& tile) {
    for (int i = 0; i < 96; ++i)
        if (tile.Pixel(i, 0) != kTileFrameGrey || tile.Pixel(i, 95) != kTileFrameGrey ||
            tile.Pixel(0, i) != kTileFrameGrey || tile.Pixel(95, i) != kTileFrameGrey)
            return false;
    return true;
}

}  // namespace

TEST(ImagingTiles, FitRule) {
    struct Case {
        int w, h;
        PixelArea rect;
    };
    const Case cases[] = {
        {1000, 1000, {0, 0, 96, 96}}, {200, 100, {0, 24, 96, 48}}, {100, 200, {24, 0, 48, 96}},
        {64, 48, {0, 12, 96, 72}},    {10000, 50, {0, 48, 96, 0}}, {375, 250, {0, 16, 96, 64}},
        {250, 175, {0, 14, 96, 67}},
    };
    for (const Case& c : cases) EXPECT_EQ(FitRect(c.w, c.h), c.rect) << c.w << "x" << c.h;
}

// The picture lands in its fit rectangle on white inside the grey frame; the frame covers the
// picture's outer pixels where they touch the edge.
TEST(ImagingTiles, ThumbTilePlacesPictureOnWhite) {
    struct Case {
        int w, h;
        PixelArea area;  // expected non-white area inside the frame
    };
    const Case cases[] = {{200, 100, {1, 24, 94, 48}}, {64, 48, {1, 12, 94, 72}}, {1000, 1000, {1, 1, 94, 94}},
                          {10000, 50, {}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h));
        RgbBitmap bitmap = SolidBitmap(c.w, c.h, 0x204080), scratch;
        MakeThumbTile(bitmap, scratch, nullptr, "");
        ASSERT_EQ(bitmap.Width(), 96);
        ASSERT_EQ(bitmap.Height(), 96);
        EXPECT_TRUE(HasFrame(bitmap));
        EXPECT_EQ(PictureArea(bitmap), c.area);
    }
}

TEST(ImagingTiles, PlaceholderAndEmptyPictureShowTheTextOnSilver) {
    FakePainter painter;
    RgbBitmap bitmap = SolidBitmap(500, 300, 0x123456), scratch;
    DrawBadImageTile(bitmap, &painter, "Bad picture");
    ASSERT_EQ(bitmap.Width(), 96);
    EXPECT_TRUE(HasFrame(bitmap));
    EXPECT_EQ(bitmap.Pixel(50, 50), kTileSilver);
    ASSERT_EQ(painter.calls.size(), 1u);
    EXPECT_EQ(painter.calls[0].left, 28);  // (96 - 40) div 2
    EXPECT_EQ(painter.calls[0].top, 44);   // (96 - 8) div 2
    EXPECT_EQ(painter.calls[0].text, "Bad picture");
    EXPECT_EQ(painter.calls[0].pointSize, 6);

    RgbBitmap empty;
    MakeThumbTile(empty, scratch, &painter, "Bad picture");
    EXPECT_EQ(empty.Pixel(50, 50), kTileSilver);
    EXPECT_TRUE(HasFrame(empty));
    EXPECT_EQ(painter.calls.size(), 2u);
}

TEST(ImagingTiles, BrowserDecodeScale) {
    struct Case {
        int w, h, scale;
    };
    const Case cases[] = {{3000, 2000, 8}, {1000, 700, 4}, {150, 150, 1}, {191, 1000, 1},
                          {192, 192, 2},   {383, 400, 2},  {384, 384, 4}, {768, 768, 8}};
    for (const Case& c : cases) EXPECT_EQ(BrowserDecodeScale(c.w, c.h), c.scale) << c.w << "x" << c.h;
}

// The browser tile of real files: the reduced decode, the four-component fallback, damaged and
// foreign files.
TEST(ImagingTiles, BrowserThumbOfFiles) {
    TempFolder dir;
    FakePainter painter;
    ImageWorkspace ws;
    ws.textPainter = &painter;
    ws.badImageText = "BAD";
    const std::uint32_t red = 0xC81E1E;

    // 1000 x 700 decodes at 1/4 (250 x 175) and is drawn as 96 x 67 at top 14, twice alike.
    const std::string photo = dir.Write("a.jpg", MakeSolidJpeg(1000, 700, red));
    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ(MakeBrowserThumb(ws, photo), BrowserThumbResult::Tile);
        EXPECT_EQ(ws.lastDecodeScale, 4);
        EXPECT_EQ(ws.params.width, 1000);
        EXPECT_EQ(PictureArea(ws.workBitmap), (PixelArea{1, 14, 94, 67}));
        EXPECT_TRUE(Near(ws.workBitmap.Pixel(48, 48), red, 10));
        EXPECT_TRUE(HasFrame(ws.workBitmap));
    }

    const std::string cmyk = dir.Write("c.jpg", MakeSolidJpeg(300, 150, red, Options(FixtureColour::CMYK)));
    EXPECT_EQ(MakeBrowserThumb(ws, cmyk), BrowserThumbResult::Tile);
    EXPECT_EQ(ws.params.colourModel, ColourModel::CMYK);
    EXPECT_EQ(PictureArea(ws.workBitmap), (PixelArea{1, 24, 94, 48}));
    EXPECT_TRUE(Near(ws.workBitmap.Pixel(48, 48), red, 12));

    EXPECT_EQ(MakeBrowserThumb(ws, dir.Write("x.jpg", "not a jpeg at all")), BrowserThumbResult::BadPicture);
    EXPECT_EQ(ws.workBitmap.Pixel(50, 50), kTileSilver);
    EXPECT_EQ(MakeBrowserThumb(ws, dir.File("missing.jpg")), BrowserThumbResult::BadPicture);
    EXPECT_EQ(ws.params.colourModel, ColourModel::Unknown);

    // A damaged photo still gives a tile of what could be decoded.
    const std::string whole = MakeSolidJpeg(400, 400, red);
    EXPECT_EQ(MakeBrowserThumb(ws, dir.Write("t.jpg", whole.substr(0, whole.size() * 2 / 3))), BrowserThumbResult::Tile);
    EXPECT_TRUE(HasFrame(ws.workBitmap));
}

TEST(ImagingTiles, ScaleToFitSizes) {
    struct Case {
        int w, h, size, newW, newH;
    };
    const Case cases[] = {{4000, 3000, 1024, 1024, 768}, {3000, 4000, 160, 120, 160}, {640, 480, 1024, 1024, 768},
                          {500, 500, 100, 100, 100},     {4000, 3000, 0, 0, 0},       {10000, 50, 100, 100, 1}};
    RgbBitmap scratch;
    for (const Case& c : cases) {
        RgbBitmap bitmap = SolidBitmap(c.w, c.h, 0x808000);
        ScaleToFit(bitmap, scratch, c.size);
        EXPECT_EQ(bitmap.Width(), c.newW) << c.w << "x" << c.h << " to " << c.size;
        EXPECT_EQ(bitmap.Height(), c.newH) << c.w << "x" << c.h << " to " << c.size;
    }
}

// Point sampling: enlarging repeats pixels, reducing drops them; no colour is ever mixed.
TEST(ImagingTiles, StretchIsPointSampled) {
    RgbBitmap bitmap(3, 2), scratch;
    const std::uint32_t colours[6] = {0x110000, 0x220000, 0x330000, 0x000011, 0x000022, 0x000033};
    for (int i = 0; i < 6; ++i) bitmap.SetPixel(i % 3, i / 3, colours[i]);
    ScaleToFit(bitmap, scratch, 6);  // 6 x 4
    ASSERT_EQ(bitmap.Width(), 6);
    ASSERT_EQ(bitmap.Height(), 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x) EXPECT_EQ(bitmap.Pixel(x, y), colours[(y / 2) * 3 + x / 2]) << x << "," << y;
    ScaleToFit(bitmap, scratch, 2);  // 2 x 1: source columns 0 and 3 of row 0
    EXPECT_EQ(bitmap.Pixel(0, 0), 0x110000u);
    EXPECT_EQ(bitmap.Pixel(1, 0), 0x220000u);
}
