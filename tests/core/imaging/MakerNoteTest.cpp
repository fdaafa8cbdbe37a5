#include <gtest/gtest.h>

#include "core/imaging/ExifFixtureBuilder.h"

using namespace exif_fixture;
using vantrel::TimgData;

namespace {

using Pairs = std::vector<std::pair<std::string, std::string>>;

Pairs MakerEntries(const TimgData& scan) {
    Pairs pairs;
    for (const auto& entry : scan.ExifInfo()->TagList())
        if (entry.isMakerEntry) pairs.emplace_back(entry.name, entry.displayText);
    return pairs;
}

// A photo of `make` whose EXIF sub-directory holds the version, FNumber, the maker note made by
// `note` (given its offset from the TIFF header) and the EXIF image width.
std::string Photo(const Tiff& t, const std::string& make, const std::string& version,
                  std::function<std::string(std::uint32_t)> note) {
    return Jpeg({ExifSegment(t.Block({
        t.Ascii(0x010F, make),
        t.SubDirectory(0x8769, {t.Undefined(0x9000, version), t.Rational(0x829D, {{28, 10}}),
                                t.Placed(0x927C, 7, std::move(note)), t.Long(0xA002, {2048})}),
    }))});
}

}  // namespace

TEST(MakerNote, FujifilmIsReadInIntelOrderInsideAMotorolaBlock) {
    const Tiff t{true}, intel{false};
    const std::string jpeg = Photo(t, "FUJIFILM", "0220", [intel](std::uint32_t) {
        return std::string("FUJIFILM") + intel.U32(12) +
               intel.Directory({intel.Undefined(0x0000, "0130"), intel.Ascii(0x1000, "NORMAL "),
                                intel.Short(0x1001, {3}), intel.Short(0x1031, {256}), intel.Short(0x1032, {1}),
                                intel.Short(0x7777, {1})},
                               12);
    });
    TimgData scan;
    ASSERT_TRUE(Scan(scan, jpeg));
    const auto& info = *scan.ExifInfo();
    EXPECT_TRUE(info.MakerNoteDecoded());
    EXPECT_EQ(MakerEntries(scan), (Pairs{{"Quality", "\"NORMAL .\""}, {"Sharpness", "Normal"},
                                         {"PictureMode", "Aperture prior AE"}}));
    // Maker entries follow the EXIF entries before the maker note; the block's order is back after it.
    EXPECT_LT(info.FindTag("FNumber"), info.FindTag("Quality"));
    EXPECT_LT(info.FindTag("PictureMode"), info.FindTag("MakerNote"));
    EXPECT_EQ(info.Width(), 2048);
    EXPECT_EQ(info.TagText("FNumber"), "f 2.8");
}

struct MakeCase {
    const char* make;
    const char* version;
    std::function<std::string(const Tiff&, std::uint32_t offset)> note;
    Pairs expected;
};

TEST(MakerNote, LayoutsOfTheKnownMakes) {
    const std::vector<MakeCase> cases = {
        {"NIKON", "0210",
         [](const Tiff& t, std::uint32_t) {
             return std::string("Nikon\0\x01\0", 8) +
                    t.Directory({t.Short(0x0002, {1}), t.Short(0x0003, {5}), t.Short(0x0006, {0})}, 0);
         },
         {{"Quality", "SXGA Normal"}, {"ISOSpeed", "ISO80"}}},
        {"NIKON CORPORATION", "0220",
         [](const Tiff& t, std::uint32_t) {
             return std::string("Nikon\0\x02\x10\0\0", 10) + t.U16(42) + std::string(2, 0) + t.U32(8) +
                    t.Directory({t.Ascii(0x008D, "MODE1"), t.Ascii(0x008D, "MODE3"), t.Ascii(0x008D, "OTHER1")}, 8);
         },
         {{"ColorMode", "Mode1 (sRGB)"}, {"ColorMode", "Mode 3 (sRGB): higher saturation"}, {"ColorMode", "OTHER"}}},
        {"Nikon", "0210",
         [](const Tiff& t, std::uint32_t) { return t.Directory({t.Short(0x0002, {0, 200})}, 0); },
         {{"ISOSpeed", "0, 200"}}},
        {"OLYMPUS OPTICAL CO.,LTD", "0210",
         [](const Tiff& t, std::uint32_t) {
             return std::string("OLYMP\0\x01\0", 8) +
                    t.Directory({t.Short(0x0201, {2}), t.Short(0x0202, {1}), t.Raw(0x0207, 2, 5, 38)}, 0);  // the make, in IFD0's data
         },
         {{"JpegQual", "HQ"}, {"Macro", "Macro;"}, {"Firmware", "\"OLYMP\""}}},
        {"CASIO", "0210",
         [](const Tiff& t, std::uint32_t) {
             // ObjectDistance points before the note: its bytes come from offset - 1 of the segment.
             return t.Directory({t.Short(0x0001, {1}), t.Short(0x0002, {3}), t.Short(0x0014, {100}),
                                 t.Short(0x0008, {1}), t.Raw(0x0006, 2, 5, 3)}, 0);
         },
         {{"Quality", "Fine"}, {"CCDSensitivity", "High"}, {"ObjectDistance", "\"Exif.\""}}},
        {"Canon", "0210",
         [](const Tiff& t, std::uint32_t offset) {
             return t.Directory({t.Short(0x0000, {1}), t.Short(0x0001, {0, 1, 0, 2, 1, 0, 0, 2, 9, 9}),
                                 t.Short(0x000F, {0x0101, 0x0300, 0x1001, 0x0209}),
                                 t.Ascii(0x0006, "IMG:PowerShot A80 JPEG")},
                                offset);
         },
         {{"ExposureInfo1",
           "\r\nMacro mode = Macro\r\nSelf Timer = 0\r\nCompression Rate = Normal\r\nFlash Mode = Auto"
           "\r\nDrive Mode = Single\r\nFocus Mode = AI Focus"},
          {"CustomFunctions", "\r\nNoise Reduction =  On\r\nMirror Lockup = Disable"},
          {"ImageType", "\"IMG:PowerShot A80 JPEG.\""}}},
        {"SEIKO EPSON CORP.", "0210",
         [](const Tiff& t, std::uint32_t) {
             return std::string("EPSON\0\x01\0", 8) + t.Directory({t.Short(0x0200, {1}), t.Short(0x0F00, {1}), t.Short(0x0204, {2})}, 0);
         },
         {{"DigiZoom", "2"}}},
        {"SANYO Electric Co.,Ltd.", "0210",
         [](const Tiff& t, std::uint32_t) {
             return std::string("SANYO\0\x01\0", 8) + t.Directory({t.Short(0x0201, {3}), t.Long(0x0F00, {7})}, 0);
         },
         {{"JpegQuality", "3"}, {"DataDump", "7"}}},
        {"Minolta Co., Ltd.", "0210",
         [](const Tiff& t, std::uint32_t) { return t.Directory({t.Long(0x0000, {1}), t.Long(0x0E00, {5})}, 0); },
         {{"PIMdata", "5"}}},
        {"Panasonic", "0210",
         [](const Tiff& t, std::uint32_t) { return t.Directory({t.Short(0x0001, {1})}, 0); }, {}},
    };
    for (bool motorola : {true, false}) {
        const Tiff t{motorola};
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.make) + (motorola ? " (Motorola)" : " (Intel)"));
            TimgData scan;
            ASSERT_TRUE(Scan(scan, Photo(t, c.make, c.version, [&](std::uint32_t offset) { return c.note(t, offset); })));
            EXPECT_EQ(MakerEntries(scan), c.expected);
            EXPECT_EQ(scan.ExifInfo()->MakerNoteDecoded(), !c.expected.empty());
            EXPECT_EQ(scan.ExifInfo()->TagText("FNumber"), "f 2.8");
            EXPECT_EQ(scan.ErrorText(), "<none>");
        }
    }
}

TEST(MakerNote, EntriesOutsideTheNoteEndTheWalk) {
    const Tiff t{true};
    // The note claims 200 entries but holds one; the value of the second would lie far away.
    const std::string jpeg = Photo(t, "CASIO", "0210", [t](std::uint32_t) {
        return t.U16(200) + t.Directory({t.Short(0x0002, {1})}, 0).substr(2);
    });
    TimgData scan;
    ASSERT_TRUE(Scan(scan, jpeg));
    EXPECT_EQ(MakerEntries(scan), (Pairs{{"Quality", "Economy"}}));
    EXPECT_EQ(scan.ExifInfo()->Width(), 2048);  // the EXIF entries after the note are still read
}
