// A photo decoded in two parts at once, the rows below the cut from a stream of their own, gives
// exactly the rows of one decode; whatever it cannot finish cleanly it leaves to one decode.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <random>

#include "core/TempFolder.h"
#include "core/imaging/JpegDecodeJob.h"
#include "core/imaging/JpegSplitDecode.h"
#include "core/imaging/JpegFixtures.h"
#include "core/imaging/ImageEndFinder.h"

namespace vantrel {
namespace {

using namespace test;
using namespace jpeg_detail;

PixelSource Noisy(unsigned seed) { return test::Noisy(seed, 0x3F); }

constexpr std::array<std::uint8_t, 2> kDqt{0xFF, 0xDB};

struct Decoded {
    SplitOutcome outcome = SplitOutcome::DecodeAsOne;
    RgbBitmap bitmap;
    bool ok = false;
    std::uint32_t warnings = 0;
};

DecodeJob JobFor(const std::string& jpeg, ImageParams& params, Decoded& d) {
    DecodeJob job;
    job.data = reinterpret_cast<const std::uint8_t*>(jpeg.data());
    job.size = jpeg.size();
    job.params = &params;
    job.target = &d.bitmap;
    return job;
}

// A job that decodes from an open file, from wherever its position stands.
DecodeJob FileJobFor(std::FILE* file, const std::vector<bool>& rows, ImageParams& params, Decoded& d) {
    DecodeJob job;
    job.file = file;
    job.params = &params;
    job.target = &d.bitmap;
    job.rowsNeeded = &rows;
    return job;
}

Decoded SplitDecode(const std::string& jpeg, const std::vector<bool>& rows) {
    Decoded d;
    ImageParams params;
    DecodeJob job = JobFor(jpeg, params, d);
    job.rowsNeeded = &rows;
    d.outcome = RunSplitDecode(job, 0, true);
    d.ok = job.ok;
    d.warnings = job.warnings;
    return d;
}

Decoded OneDecode(const std::string& jpeg) {
    Decoded d;
    ImageParams params;
    DecodeJob job = JobFor(jpeg, params, d);
    RunDecode(&job);
    d.ok = job.ok;
    d.warnings = job.warnings;
    return d;
}

std::vector<bool> EveryNthRow(int height, int n) {
    std::vector<bool> rows(static_cast<std::size_t>(height), false);
    for (int y = 0; y < height; y += n) rows[static_cast<std::size_t>(y)] = true;
    return rows;
}

// The wanted rows of `split` are those of `whole`, byte for byte; the first row that differs.
int FirstDifferentRow(const RgbBitmap& split, const RgbBitmap& whole, const std::vector<bool>& rows) {
    if (split.Width() != whole.Width() || split.Height() != whole.Height()) return -2;
    for (int y = 0; y < whole.Height(); ++y)
        if (rows[static_cast<std::size_t>(y)] &&
            std::memcmp(split.Row(y), whole.Row(y), std::size_t(whole.Width()) * 3) != 0)
            return y;
    return -1;
}

FixtureOptions Sampled(int h, int v) {
    FixtureOptions options;
    options.lumaH = h;
    options.lumaV = v;
    return options;
}

TEST(JpegSplitDecode, TwoPartsGiveTheRowsOfOneDecode) {
    FixtureOptions best;
    best.quality = 100;  // large values: DC categories up to 11
    FixtureOptions optimised;
    optimised.optimiseTables = true;  // DC tables without the categories a rewrite may need
    FixtureOptions restartRows;
    restartRows.restartRows = 3;
    FixtureOptions restartMcus;
    restartMcus.restartMcus = 7;  // rows start an interval only now and then
    const struct {
        const char* name;
        int width, height;
        FixtureOptions options;
        bool twoParts;
    } cases[] = {
        {"4:2:0", 333, 1400, Sampled(2, 2), true},
        {"4:2:2", 250, 1207, Sampled(2, 1), true},
        {"4:4:0", 171, 1311, Sampled(1, 2), true},
        {"4:4:4", 203, 1001, Sampled(1, 1), true},
        {"grey", 222, 1103, Options(FixtureColour::Grey), true},
        {"quality 100", 301, 1333, best, true},
        {"optimised tables", 290, 1250, optimised, true},
        {"restart every 3 rows", 240, 1000, restartRows, true},
        {"restart every 7 MCUs", 232, 1000, restartMcus, true},
        {"progressive", 240, 1000, Options(FixtureColour::YCbCr, true), false},
        {"cmyk", 240, 1000, Options(FixtureColour::CMYK), false},
    };
    unsigned seed = 1;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string jpeg = MakeJpeg(c.width, c.height, Noisy(seed++), c.options);
        const Decoded whole = OneDecode(jpeg);
        ASSERT_TRUE(whole.ok);
        for (int n : {1, 7}) {
            const std::vector<bool> rows = EveryNthRow(c.height, n);
            const Decoded split = SplitDecode(jpeg, rows);
            if (!c.twoParts) {
                EXPECT_EQ(split.outcome, SplitOutcome::DecodeAsOne);
                continue;
            }
            EXPECT_EQ(split.outcome, SplitOutcome::TwoParts) << "every " << n << " rows";
            EXPECT_TRUE(split.ok);
            EXPECT_EQ(split.warnings, 0u);
            EXPECT_EQ(FirstDifferentRow(split.bitmap, whole.bitmap, rows), -1) << "every " << n << " rows";
        }
    }
}

// From a file the upper decoder reads the stream, from where it stood, while the second thread
// reads the file itself.
TEST(JpegSplitDecode, AFileIsSplitFromWhereItsStreamStands) {
    const std::string jpeg = MakeJpeg(300, 1400, Noisy(61));
    const std::vector<bool> rows = EveryNthRow(1400, 4);
    const std::string prefix(1000, 'x');
    TempFolder folder;
    std::FILE* file = std::fopen(folder.Write("p.jpg", prefix + jpeg).c_str(), "rb");
    ASSERT_NE(file, nullptr);
    ASSERT_EQ(std::fseek(file, static_cast<long>(prefix.size()), SEEK_SET), 0);
    Decoded split;
    ImageParams params;
    DecodeJob job = FileJobFor(file, rows, params, split);
    EXPECT_EQ(RunSplitDecode(job, 0, true), SplitOutcome::TwoParts);
    std::fclose(file);
    EXPECT_TRUE(job.ok);
    EXPECT_EQ(FirstDifferentRow(split.bitmap, OneDecode(jpeg).bitmap, rows), -1);
}

// Both decoders decode the row above the cut: a lower stream that gives it otherwise (here a
// changed quantisation table, which decodes without a warning) leaves the photo to one decode.
TEST(JpegSplitDecode, TheRowAboveTheCutIsCheckedByBothDecoders) {
    for (const auto& options : {Sampled(2, 2), Sampled(1, 1), Options(FixtureColour::Grey)}) {
        const std::string jpeg = MakeJpeg(256, 1200, Noisy(63), options);
        const std::vector<bool> rows = EveryNthRow(1200, 5);
        for (const bool alter : {false, true}) {
            SCOPED_TRACE(alter);
            Decoded d;
            ImageParams params;
            DecodeJob job = JobFor(jpeg, params, d);
            job.rowsNeeded = &rows;
            const auto outcome = RunSplitDecode(job, 0, true, [&](std::vector<std::uint8_t>& lower) {
                if (!alter) return;
                const auto at = std::search(lower.begin(), lower.end(), kDqt.begin(), kDqt.end());
                ASSERT_NE(at, lower.end());
                at[5] = static_cast<std::uint8_t>(at[5] + 7);  // the first value of the first table
            });
            EXPECT_EQ(outcome, alter ? SplitOutcome::DecodeAsOne : SplitOutcome::TwoParts);
        }
    }
}

// Data after the photo's end (a motion photo's video) is not read: however large, the photo is
// still split, and the finder of the end stops at the end-of-image marker whichever way the bytes
// arrive.
TEST(JpegSplitDecode, WhatFollowsThePhotoIsNotRead) {
    const std::string jpeg = MakeJpeg(300, 1400, Noisy(62));
    const std::vector<bool> rows = EveryNthRow(1400, 4);
    // More than the second thread would ever hold: 3 bytes per pixel and 16 MB.
    std::string trailing(18u << 20, '\x5A');
    trailing[1000] = '\xFF';
    trailing[1001] = '\xD9';
    TempFolder folder;
    std::FILE* file = std::fopen(folder.Write("motion.jpg", jpeg + trailing).c_str(), "rb");
    ASSERT_NE(file, nullptr);
    Decoded split;
    ImageParams params;
    DecodeJob job = FileJobFor(file, rows, params, split);
    EXPECT_EQ(RunSplitDecode(job, 0, true), SplitOutcome::TwoParts);
    std::fclose(file);
    EXPECT_EQ(FirstDifferentRow(split.bitmap, OneDecode(jpeg).bitmap, rows), -1);

    // The scan's data starts after the last byte of its header (SOS, length, fields).
    const std::size_t dataOffset = jpeg.find("\xFF\xDA") + 2 + (std::uint8_t(jpeg[jpeg.find("\xFF\xDA") + 2]) << 8 |
                                                                 std::uint8_t(jpeg[jpeg.find("\xFF\xDA") + 3]));
    const std::string eoi = "\xFF\xD9";
    const std::string body = jpeg.substr(0, jpeg.size() - 2);
    const struct {
        const char* name;
        std::string bytes;
        std::optional<std::size_t> end;
    } cases[] = {
        {"end then video", jpeg + trailing, jpeg.size()},
        {"a comment after the scan", body + std::string("\xFF\xFE\x00\x06\xFF\xD9\x00\x00", 8) + eoi + "tail", body.size() + 10},
        {"fill bytes before the end", body + "\xFF\xFF\xFF" + eoi + "tail", body.size() + 5},
        {"cut short", jpeg.substr(0, jpeg.size() * 2 / 3), std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto* data = reinterpret_cast<const std::uint8_t*>(c.bytes.data());
        EXPECT_EQ(ImageEndFinder(dataOffset).Find({data, c.bytes.size()}), c.end);
        // Given in pieces, from one byte to many, it finds the same end.
        for (std::size_t piece : {1u, 3u, 4096u}) {
            ImageEndFinder finder(dataOffset);
            std::optional<std::size_t> found;
            for (std::size_t have = piece; !found && have < c.bytes.size() + piece; have += piece)
                found = finder.Find({data, std::min(have, c.bytes.size())});
            EXPECT_EQ(found, c.end) << piece;
        }
    }
}

// Damage below the cut makes the lower decoder warn: the photo is left to one decode, which
// reports the warning as before. With and without restart markers.
TEST(JpegSplitDecode, DamageBelowTheCutIsLeftToOneDecode) {
    FixtureOptions restarts;
    restarts.restartRows = 2;
    for (const auto& options : {FixtureOptions{}, restarts}) {
        SCOPED_TRACE(options.restartRows);
        const std::string good = MakeJpeg(260, 1200, Noisy(40), options);
        const std::vector<bool> rows = EveryNthRow(1200, 3);
        ASSERT_EQ(SplitDecode(good, rows).outcome, SplitOutcome::TwoParts);
        const std::string eoi = good.substr(good.size() - 2);
        std::string truncated = good.substr(0, good.size() * 9 / 10);
        std::string trailingGarbage = good.substr(0, good.size() - 2) + std::string(40, '\x11') + eoi;
        std::string markerInData = good;
        markerInData[good.size() * 19 / 20] = '\xFF';
        markerInData[good.size() * 19 / 20 + 1] = '\xD3';  // a restart marker where none belongs
        for (const auto& [name, jpeg] : {std::pair{"truncated", truncated},
                                         std::pair{"garbage before the end", trailingGarbage},
                                         std::pair{"marker in the data", markerInData}}) {
            SCOPED_TRACE(name);
            EXPECT_GT(OneDecode(jpeg).warnings, 0u);
            EXPECT_EQ(SplitDecode(jpeg, rows).outcome, SplitOutcome::DecodeAsOne);
        }
    }
}

// Random damage anywhere in the data: whatever the split decode finishes is a clean decode with
// the rows of one decode.
TEST(JpegSplitDecode, DamagedDataNeverGivesOtherRows) {
    const std::string good = MakeJpeg(200, 1000, Noisy(50), Sampled(2, 2));
    const std::vector<bool> rows = EveryNthRow(1000, 2);
    std::mt19937 random(7);
    int finished = 0;
    for (int round = 0; round < 60; ++round) {
        std::string jpeg = good;
        const int changes = 1 + round % 3;
        for (int i = 0; i < changes; ++i) {
            const std::size_t at = 700 + random() % (jpeg.size() - 702);
            jpeg[at] = static_cast<char>(round % 5 == 0 ? 0xFF : random() & 0xFF);
        }
        const Decoded split = SplitDecode(jpeg, rows);
        if (split.outcome == SplitOutcome::DecodeAsOne) continue;
        ++finished;
        SCOPED_TRACE(round);
        const Decoded whole = OneDecode(jpeg);
        EXPECT_TRUE(whole.ok);
        EXPECT_EQ(whole.warnings, 0u);
        EXPECT_EQ(FirstDifferentRow(split.bitmap, whole.bitmap, rows), -1);
    }
    EXPECT_GT(finished, 0);  // some damage leaves a clean decode (changed values, not codes)
}

// VANTREL_SPLIT_DECODE=0 turns the two-part decode off; any other value leaves it as built.
TEST(JpegSplitDecode, TheEnvironmentTurnsItOff) {
    ::unsetenv("VANTREL_SPLIT_DECODE");
    const bool built = SplitDecodeEnabled();
    for (const auto& [value, enabled] : {std::pair{"0", false}, std::pair{"1", built}, std::pair{"", built}}) {
        ::setenv("VANTREL_SPLIT_DECODE", value, 1);
        EXPECT_EQ(SplitDecodeEnabled(), enabled) << value;
    }
    ::unsetenv("VANTREL_SPLIT_DECODE");
}

// The two decoders' meeting point: whoever comes first decides.
TEST(JpegSplitDecode, TheFirstToReachTheCutDecides) {
    RowCut claimedFirst(100);
    EXPECT_EQ(claimedFirst.StopRow(90, 500), 500);  // before the earliest row nothing is decided
    EXPECT_TRUE(claimedFirst.Claim(112));
    EXPECT_EQ(claimedFirst.StopRow(101, 500), 112);

    RowCut upperFirst(100);
    EXPECT_EQ(upperFirst.StopRow(101, 500), 500);
    EXPECT_FALSE(upperFirst.Claim(112));
    EXPECT_EQ(upperFirst.StopRow(200, 500), 500);

    RowCut waiting(100, true);
    waiting.GiveUp();  // else the upper decoder would wait here
    EXPECT_EQ(waiting.StopRow(101, 500), 500);
}

}  // namespace
}  // namespace vantrel
