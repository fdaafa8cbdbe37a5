#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "core/imaging/ExifTagReport.h"
#include "core/imaging/ExifFixtureBuilder.h"

using namespace exif_fixture;
using vantrel::TimgData;

namespace {

// A camera-like block: IFD0 with make, model and DateTime, then the EXIF sub-directory.
std::string CameraPhoto(const Tiff& t) {
    return Jpeg({Segment(0xE0, std::string("JFIF\0\x01\x01\0\0\x01\0\x01\0\0", 14)),
                 ExifSegment(t.Block({
                     t.Ascii(0x010F, "Canon"),
                     t.Ascii(0x0110, "Canon PowerShot A80"),
                     t.Ascii(0x0132, "2004:07:15 10:00:00"),
                     t.SubDirectory(0x8769, {
                         t.Rational(0x829A, {{10, 1250}}),
                         t.Rational(0x829D, {{28, 10}}),
                         t.Short(0x8827, {100, 200}),
                         t.Ascii(0x9003, "2004:07:14 18:30:12"),
                         t.Rational(0x920A, {{78, 10}}),
                         t.Long(0xA002, {3264}),
                         t.Long(0xA003, {2448}),
                         t.Rational(0xA20E, {{3264000, 224}}),
                         t.Rational(0xA20F, {{2448000, 168}}),
                         t.Short(0xA210, {2}),
                     }),
                 }))});
}

}  // namespace

TEST(ExifReader, PanelValuesInBothByteOrders) {
    for (bool motorola : {true, false}) {
        SCOPED_TRACE(motorola ? "Motorola" : "Intel");
        TimgData scan;
        ASSERT_TRUE(Scan(scan, CameraPhoto(Tiff{motorola})));
        EXPECT_EQ(scan.ErrorText(), "<none>");
        ASSERT_TRUE(scan.HasExifSegment());
        EXPECT_EQ(scan.Motorola(), motorola);
        const auto& info = *scan.ExifInfo();
        EXPECT_EQ(info.Width(), 3264);
        EXPECT_EQ(info.Height(), 2448);
        // The sub-directory is decoded when its link is reached, after DateTime.
        EXPECT_EQ(info.DateText(), "2004:07:14 18:30:12");
        EXPECT_EQ(info.TagText("FNumber"), "f 2.8");
        EXPECT_EQ(info.TagText("exposuretime"), "10/1250 sec");
        EXPECT_EQ(info.TagText("FocalLength"), " 7.80 mm");
        EXPECT_EQ(info.TagText("ISOSpeedRatings"), "100, 200");
        EXPECT_EQ(info.TagText("Make"), "Canon");
        EXPECT_EQ(info.CameraModel(), "Canon PowerShot A80");
        // 7.8 mm on a 5.69 x 4.27 mm sensor.
        EXPECT_EQ(info.TagText("FocalLengthin35mmFilm"), "47.45");
        EXPECT_EQ(info.FindTag("Nonexistent"), -1);
        // Sub-directory entries come before the link that points to them.
        EXPECT_LT(info.FindTag("FNumber"), info.FindTag("ExifOffset"));
        EXPECT_LT(info.FindTag("DateTime"), info.FindTag("FNumber"));
    }
}

TEST(ExifReader, RationalBytesInEachOrder) {
    // The same FNumber 28/10 as the two orders store it.
    const std::string motorola("\x00\x00\x00\x1C\x00\x00\x00\x0A", 8), intel("\x1C\x00\x00\x00\x0A\x00\x00\x00", 8);
    for (auto [isMotorola, bytes] : {std::pair{true, motorola}, std::pair{false, intel}}) {
        Tiff t{isMotorola};
        TimgData scan;
        ASSERT_TRUE(Scan(scan, Jpeg({ExifSegment(t.Block({t.Bytes(0x829D, 5, bytes)}))})));
        EXPECT_EQ(scan.ExifInfo()->TagText("FNumber"), "f 2.8");
    }
}

struct DisplayCase {
    const char* what;
    std::function<Entry(const Tiff&)> entry;
    const char* name;
    std::string text;
};

TEST(ExifReader, DisplayTexts) {
    const std::vector<DisplayCase> cases = {
        {"zero denominator", [](const Tiff& t) { return t.Rational(0x829D, {{28, 0}}); }, "FNumber", "f 0.0"},
        {"whole focal length", [](const Tiff& t) { return t.Rational(0x920A, {{35, 1}}); }, "FocalLength", "35.00 mm"},
        {"nine components show eight", [](const Tiff& t) { return t.Short(0x0102, {1, 2, 3, 4, 5, 6, 7, 8, 9}); },
         "BitsPerSample", "1, 2, 3, 4, 5, 6, 7, 8"},
        {"long text cut, control shown as dot",
         [](const Tiff& t) { return t.Ascii(0x010E, "a\tb" + std::string(60, 'x')); }, "ImageDescription",
         "a.b" + std::string(47, 'x')},
        {"decode list", [](const Tiff& t) { return t.Short(0x0112, {6}); }, "Orientation", "CounterClockwise 90°"},
        {"number missing from the list", [](const Tiff& t) { return t.Short(0x0112, {5}); }, "Orientation", ""},
        {"resolution format", [](const Tiff& t) { return t.Rational(0x011A, {{72, 1}}); }, "XResolution", "72.00"},
        {"signed short not sign-extended", [](const Tiff& t) { return t.Short(0x9211, {0xFFFF}, 8); }, "ImageNumber",
         "65535"},
        {"signed rational", [](const Tiff& t) { return t.Rational(0x9204, {{-2, 3}}, 10); }, "ExposureBiasValue", "-2/3"},
        {"float", [](const Tiff& t) { return t.Long(0x9203, {0}, 11); }, "BrightnessValue", "-9999.99"},
        {"undefined quoted", [](const Tiff& t) { return t.Undefined(0x9000, "0220"); }, "ExifVersion", "\"0220\""},
        {"flash bits", [](const Tiff& t) { return t.Short(0x9209, {0x59}); }, "Flash", "On, auto mode, red-eye reduction"},
        {"flash no function", [](const Tiff& t) { return t.Short(0x9209, {0x2C}); }, "Flash",
         "Off, no strobe return, forced, no flash function"},
        {"components", [](const Tiff& t) { return t.Undefined(0x9101, std::string("\x01\x02\x03\x00", 4)); },
         "ComponentsConfiguration", "YCbCr"},
        {"shutter speed", [](const Tiff& t) { return t.Rational(0x9201, {{6906891, 1000000}}, 10); },
         "ShutterSpeedValue", "0.0083 sec (1/120)"},
        {"slow shutter", [](const Tiff& t) { return t.Rational(0x9201, {{-1, 1}}, 10); }, "ShutterSpeedValue",
         "2.0000 sec"},
        {"user comment", [](const Tiff& t) { return t.Undefined(0x9286, std::string("ASCII\0\0\0  Hello  \0", 17)); },
         "UserComment", "Hello"},
        {"windows title", [](const Tiff& t) { return t.Bytes(0x9C9B, 1, std::string("T\0e\0s\0t\0", 8)); }, "Title",
         "Test"},
        {"gps seconds from minutes", [](const Tiff& t) { return t.SubDirectory(0x8825, {t.Rational(0x0002, {{48, 1}, {5125, 100}, {0, 1}})}); },
         "GPSLatitude", "48 Degrees 51 Minutes 15 Seconds"},
        {"gps time", [](const Tiff& t) { return t.SubDirectory(0x8825, {t.Rational(0x0007, {{10, 1}, {5, 1}, {30, 1}})}); },
         "GPSTimeStamp", "10:5:30"},
        {"gps altitude ref", [](const Tiff& t) { return t.SubDirectory(0x8825, {t.Bytes(0x0005, 1, std::string(1, '\0'))}); },
         "GPSAltitudeRef", "Sealevel"},
    };
    for (bool motorola : {true, false}) {
        Tiff t{motorola};
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.what) + (motorola ? " (Motorola)" : " (Intel)"));
            TimgData scan;
            ASSERT_TRUE(Scan(scan, Jpeg({ExifSegment(t.Block({c.entry(t)}))})));
            const auto& info = *scan.ExifInfo();
            ASSERT_GE(info.FindTag(c.name), 0);
            EXPECT_EQ(info.TagText(c.name), c.text);
        }
    }
}

TEST(ExifReader, UnknownAndZeroSizedEntriesAreNotListed) {
    Tiff t{true};
    TimgData scan;
    ASSERT_TRUE(Scan(scan, Jpeg({ExifSegment(t.Block({t.Short(0x7777, {1}), t.Raw(0x010F, 2, 0, 0),
                                                      t.Raw(0x0110, 13, 4, 0), t.Short(0x0100, {640}),
                                                      t.SubDirectory(0x8825, {t.Bytes(0x0000, 1, "\x02\x02")})}))})));
    const auto& list = scan.ExifInfo()->TagList();
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].name, "ImageWidth");
    EXPECT_EQ(list[1].name, "GPSInfo");
}

struct HeadCase {
    const char* what;
    std::string jpeg;
    bool result;
    bool hasExif;
    const char* errorText;
};

TEST(ExifReader, JpegHeadRules) {
    Tiff t{true};
    const std::string exif = ExifSegment(t.Block({t.Short(0x0100, {640})}));
    const std::string dqt = Segment(0xDB, "q"), app0 = Segment(0xE0, "JFIF");
    const std::vector<HeadCase> cases = {
        {"metadata after the fifth segment", Jpeg({app0, dqt, dqt, Segment(0xC0, "sof"), Segment(0xC4, "dht"), exif}),
         false, false, "Not an EXIF file"},
        {"comment only", Jpeg({app0, Segment(0xFE, "hello")}), true, false, "<none>"},
        {"not a JPEG", "GIF89a" + exif, false, false, "Not an EXIF file"},
        {"empty", "", false, false, "Not an EXIF file"},
        {"EXIF as fifth after IPTC", Jpeg({Segment(0xED, "Photoshop 3.0"), dqt, dqt, dqt, exif}), true, true, "<none>"},
        {"EXIF as sixth", Jpeg({Segment(0xED, "Photoshop 3.0"), dqt, dqt, dqt, dqt, exif}), true, false, "<none>"},
        {"fill bytes before a marker", "\xFF\xD8\xFF\xFF\xFF" + exif.substr(1), true, true, "<none>"},
        {"file ends inside the EXIF segment", "\xFF\xD8" + exif.substr(0, exif.size() - 3), true, true, "<none>"},
        {"length field below two", std::string("\xFF\xD8\xFF\xE1\x00\x01", 6), false, false, "Not an EXIF file"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TimgData scan;
        EXPECT_EQ(Scan(scan, c.jpeg), c.result);
        EXPECT_EQ(scan.HasExifSegment(), c.hasExif);
        EXPECT_EQ(scan.ErrorText(), c.errorText);
    }
}

TEST(ExifReader, FirstApp1IsTakenEvenWhenItIsNotExif) {
    Tiff t{true};
    TimgData scan;
    const std::string xmp = Segment(0xE1, "http://ns.adobe.com/xap/1.0/\0<x/>");
    ASSERT_TRUE(Scan(scan, Jpeg({xmp, ExifSegment(t.Block({t.Short(0x0100, {640})}))})));
    ASSERT_TRUE(scan.HasExifSegment());
    EXPECT_EQ(scan.ExifInfo()->Width(), 0);
    EXPECT_TRUE(scan.ExifInfo()->TagList().empty());
    EXPECT_EQ(scan.Segments().size(), 2u);  // the second APP1 is not kept; the SOS is
}

TEST(ExifReader, HeaderChecksLeaveTheInfoEmpty) {
    for (std::string payload : {std::string("Exiv\0\0MM\0\x2A\0\0\0\x08", 14), std::string("Exif\0\0XX\0\x2A\0\0\0\x08", 14)}) {
        TimgData scan;
        ASSERT_TRUE(Scan(scan, Jpeg({Segment(0xE1, payload)})));
        ASSERT_NE(scan.ExifInfo(), nullptr);
        EXPECT_TRUE(scan.ExifInfo()->TagList().empty());
    }
}

TEST(ExifReader, IptcAndSegmentsAreRecorded) {
    TimgData scan;
    ASSERT_TRUE(Scan(scan, Jpeg({Segment(0xE0, "JFIF"), Segment(0xED, "Photoshop 3.0"), Segment(0xED, "second"),
                                 Segment(0xFE, "c1"), Segment(0xFE, "c2")})));
    ASSERT_NE(scan.IptcData(), nullptr);
    EXPECT_EQ(&scan.IptcData()->Scan(), &scan);
    EXPECT_EQ(scan.IptcSegment(), 1);
    EXPECT_EQ(scan.CommentSegment(), 4);
    EXPECT_EQ(scan.JfifSegment(), 0);
    EXPECT_EQ(scan.Segments()[4].bytes, std::string("\x00\x04" "c2", 4));
    EXPECT_FALSE(scan.HasExifSegment());
}

TEST(ExifReader, ScanFileChecksNameAndExtension) {
    const auto dir = std::filesystem::temp_directory_path() / ("exif-scan-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string photo = CameraPhoto(Tiff{true});
    for (const char* name : {"a.JPEG", "b.jpe", "c.png", ".jpg"}) std::ofstream(dir / name, std::ios::binary) << photo;

    TimgData scan;
    EXPECT_FALSE(scan.ScanFile((dir / "missing.jpg").string()));
    EXPECT_EQ(scan.ErrorText(), "");
    EXPECT_TRUE(scan.ScanFile((dir / "a.JPEG").string()));
    EXPECT_EQ(scan.FileSize(), static_cast<std::int32_t>(photo.size()));
    EXPECT_EQ(scan.ExifInfo()->TagText("FNumber"), "f 2.8");
    EXPECT_TRUE(scan.ScanFile((dir / "b.jpe").string()));
    EXPECT_TRUE(scan.ScanFile((dir / ".jpg").string()));  // a name that is all extension
    EXPECT_FALSE(scan.ScanFile((dir / "c.png").string()));
    EXPECT_EQ(scan.ErrorText(), "Not an EXIF file");
    EXPECT_EQ(scan.ExifInfo(), nullptr);  // the previous scan is cleared

    auto values = vantrel::ReadExifPanelValues((dir / "a.JPEG").string());
    ASSERT_TRUE(values);
    EXPECT_EQ(values->exposureTime, "10/1250 sec");
    EXPECT_EQ(values->isoSpeed, "100, 200");
    EXPECT_FALSE(vantrel::ReadExifPanelValues((dir / "c.png").string()));
    std::filesystem::remove_all(dir);
}
