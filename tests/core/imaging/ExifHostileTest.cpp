// Malformed and hostile EXIF blocks: every read stays inside the segment and no link loops.
#include <gtest/gtest.h>

#include "core/imaging/ExifFixtureBuilder.h"
#include "core/imaging/ExifValueText.h"

using namespace exif_fixture;
using vantrel::TimgData;

namespace {

// Directories laid one after another from offset 8; `entries[k]` is directory k, whose offset
// is given by DirOffset. Only inline values, so each directory takes 6 + 12 n bytes.
std::string Chain(const Tiff& t, const std::vector<std::vector<Entry>>& directories) {
    std::string block = std::string(t.motorola ? "MM" : "II") + t.U16(42) + t.U32(8);
    for (const auto& entries : directories) block += t.Directory(entries, std::uint32_t(block.size()));
    return block;
}

std::uint32_t DirOffset(const std::vector<std::size_t>& counts, std::size_t k) {
    std::uint32_t offset = 8;
    for (std::size_t i = 0; i < k; ++i) offset += 6 + 12 * std::uint32_t(counts[i]);
    return offset;
}

std::vector<std::string> Names(const TimgData& scan) {
    std::vector<std::string> names;
    for (const auto& entry : scan.ExifInfo()->TagList()) names.push_back(entry.name);
    return names;
}

struct HostileCase {
    const char* what;
    std::string block;
    std::vector<std::string> names;
};

}  // namespace

TEST(ExifHostile, LinksThatLoopAreFollowedOnce) {
    Tiff t{true};
    const std::vector<std::size_t> two = {2, 2}, three = {1, 1, 2};
    const std::vector<HostileCase> cases = {
        {"sub-directory back to IFD0",
         Chain(t, {{t.Short(0x0100, {640}), t.Raw(0x8769, 4, 1, 8)}}), {"ImageWidth", "ExifOffset"}},
        {"link into the middle of the directory being decoded",
         Chain(t, {{t.Short(0x0100, {640}), t.Raw(0x8769, 4, 1, 8 + 2 + 12)}}), {"ImageWidth", "ExifOffset"}},
        {"sub-directory linking to itself",
         Chain(t, {{t.Short(0x0100, {640}), t.Raw(0x8769, 4, 1, DirOffset(two, 1))},
                   {t.Short(0x0101, {480}), t.Raw(0xA005, 4, 1, DirOffset(two, 1))}}),
         {"ImageWidth", "ImageLength", "InteroperabilityOffset", "ExifOffset"}},
        {"two sub-directories linking to each other",
         Chain(t, {{t.Raw(0x8769, 4, 1, DirOffset(three, 1))},
                   {t.Raw(0xA005, 4, 1, DirOffset(three, 2))},
                   {t.Short(0x0100, {640}), t.Raw(0x8825, 4, 1, DirOffset(three, 1))}}),
         {"ImageWidth", "GPSInfo", "InteroperabilityOffset", "ExifOffset"}},
        {"two links to one directory",
         Chain(t, {{t.Raw(0x8769, 4, 1, DirOffset(two, 1)), t.Raw(0xA005, 4, 1, DirOffset(two, 1))},
                   {t.Short(0x0100, {640}), t.Short(0x0101, {480})}}),
         {"ImageWidth", "ImageLength", "ExifOffset", "InteroperabilityOffset"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TimgData scan;
        ASSERT_TRUE(Scan(scan, Jpeg({ExifSegment(c.block)})));
        EXPECT_EQ(Names(scan), c.names);
    }
}

TEST(ExifHostile, ReadsOutsideTheSegmentAreSkippedOrCut) {
    Tiff t{false};
    TimgData scan;

    // IFD0 beyond the segment.
    std::string block = std::string("II") + t.U16(42) + t.U32(0x7FFFFFF0);
    ASSERT_TRUE(Scan(scan, Jpeg({ExifSegment(block)})));
    EXPECT_TRUE(scan.ExifInfo()->TagList().empty());

    // An entry count that cannot fit the segment: the directory is not read.
    block = std::string("II") + t.U16(42) + t.U32(8) + t.U16(0xFFFF) + t.Short(0x0100, {1}).bytes;
    ASSERT_TRUE(Scan(scan, Jpeg({ExifSegment(block)})));
    EXPECT_TRUE(scan.ExifInfo()->TagList().empty());

    // A count that fits the length field, but the entries after the first lie past the end.
    block = std::string("II") + t.U16(42) + t.U32(38) + std::string(30, '\0') + t.U16(3) + t.U16(0x0100) + t.U16(3) +
            t.U32(1) + t.U32(640);
    ASSERT_TRUE(Scan(scan, Jpeg({ExifSegment(block)})));
    EXPECT_EQ(Names(scan), std::vector<std::string>{"ImageWidth"});
    EXPECT_EQ(scan.ExifInfo()->Width(), 640);

    // Values far outside, partly outside, and of an enormous count.
    block = Chain(t, {{t.Raw(0x010E, 2, 100, 0xFFFFFFF0), t.Raw(0x829D, 5, 1, 8 + 2 + 12 * 4 + 4 - 4),
                       t.Raw(0x0102, 3, 0xFFFFFFFF, 8), t.Raw(0x8769, 4, 1, 0xFFFFFFFF)}});
    ASSERT_TRUE(Scan(scan, Jpeg({ExifSegment(block)})));
    const auto& info = *scan.ExifInfo();
    EXPECT_EQ(info.TagText("ImageDescription"), "");
    EXPECT_EQ(info.TagList()[1].rawValue.size(), 4u);  // cut at the end of the segment
    EXPECT_EQ(info.TagText("FNumber"), "f 0.0");
    EXPECT_EQ(vantrel::ExifSplitComponents(info.TagText("BitsPerSample")).size(), 8u);
    EXPECT_EQ(info.TagList()[2].valueSize, 0xFFFFFFFEu);  // 2 x 0xFFFFFFFF, low 32 bits
}

TEST(ExifHostile, EveryPrefixOfAPhotoScansSafely) {
    Tiff t{true};
    const std::string note = std::string("Nikon\0\x02\x10\0\0MM\0\x2A\0\0\0\x08", 18) +
                             t.Directory({t.Rational(0x0084, {{18, 1}, {55, 1}, {35, 10}, {56, 10}}),
                                          t.Ascii(0x008D, "MODE2")}, 8);
    const std::string jpeg = Jpeg({ExifSegment(t.Block({
        t.Ascii(0x010F, "NIKON CORPORATION"),
        t.SubDirectory(0x8769, {t.Undefined(0x9000, "0220"), t.Rational(0x829D, {{28, 10}}),
                                t.Undefined(0x927C, note), t.SubDirectory(0xA005, {t.Ascii(0x0001, "R98")})}),
        t.SubDirectory(0x8825, {t.Rational(0x0002, {{48, 1}, {51, 1}, {24, 1}})}),
    }))});
    std::size_t scanned = 0;
    for (std::size_t length = 0; length <= jpeg.size(); ++length) {
        TimgData scan;
        scanned += Scan(scan, jpeg.substr(0, length));
    }
    EXPECT_GT(scanned, 0u);
    TimgData whole;
    ASSERT_TRUE(Scan(whole, jpeg));
    EXPECT_EQ(whole.ExifInfo()->TagText("LensInformation"), "18.0-55.0(mm)  F3.5-F5.6");
}

TEST(ExifHostile, EntriesSharingOneLargeValueKeepBoundedMemory) {
    Tiff t{true};
    const std::uint32_t count = 400, data = 8 + 2 + 12 * count + 4;
    std::vector<Entry> entries(count, t.Raw(0x010E, 7, 50000, data));
    const std::string block = std::string("MM") + t.U16(42) + t.U32(8) + t.Directory(entries, 8) + std::string(50000, 'v');
    TimgData scan;
    ASSERT_TRUE(Scan(scan, Jpeg({ExifSegment(block)})));
    const auto& list = scan.ExifInfo()->TagList();
    ASSERT_EQ(list.size(), count);
    std::size_t kept = 0;
    for (const auto& entry : list) kept += entry.rawValue.size();
    EXPECT_EQ(list.front().rawValue.size(), 50000u);
    EXPECT_LE(kept, std::size_t(1) << 20);
    EXPECT_EQ(list.back().displayText, "\"" + std::string(49, 'v'));
}
