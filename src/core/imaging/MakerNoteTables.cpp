#include "core/imaging/MakerNoteTables.h"

#include <vector>

#include "core/imaging/ExifValueText.h"

namespace vantrel {
namespace {

constexpr TagRow kNikon1[] = {
    {0x0002, "FamilyID"},
    {0x0003, "Quality", "1:Vga Basic,2:Vga Normal,3:Vga Fine,4:SXGA Basic,5:SXGA Normal,6:SXGA Fine10:2 Mpixel Basic,11:2 Mpixel Normal,12:2 Mpixel Fine"},
    {0x0004, "ColorMode", "1:Color,2:Monochrome"},
    {0x0005, "ImageAdjustment", "0:Normal,1:Bright+,2:Bright-,3:Contrast+,4:Contrast-"},
    {0x0006, "ISOSpeed", "0:ISO80,2:ISO160,4:ISO320,5:ISO100"},
    {0x0007, "WhiteBalance", "0:Auto,1:Preset,2:Daylight,3:Incandescense,4:Fluorescence,5:Cloudy,6:SpeedLight"},
    {0x0008, "Focus"},
    {0x0009, "Skip"},
    {0x000A, "DigitalZoom"},
    {0x000B, "Converter", "0:Not used,1:Used"},
    {0x0F00, "Skip"},
};

constexpr TagRow kNikon2[] = {
    {0x0001, "FamilyID"},        {0x0002, "ISOSpeed"},        {0x0003, "ColorMode"},
    {0x0004, "Quality"},         {0x0005, "WhiteBalance"},    {0x0006, "ImageSharpening"},
    {0x0007, "FocusMode"},       {0x0008, "FlashSetting"},    {0x0009, "AutoFlashMode"},
    {0x000A, "Skip"},            {0x000B, "WhiteBiasValue"},  {0x000F, "DigitalZoom"},
    {0x0010, "Skip"},            {0x0011, "Skip"},            {0x0080, "ImageAdjustment"},
    {0x0081, "ImageAdjustment"}, {0x0082, "Adapter"},
    {0x0084, "LensInformation", "", "", &MakerNoteDecodeNikonLens},
    {0x0085, "ManualFocusDistance"}, {0x0086, "DigitalZoom"}, {0x0088, "FocusArea"},
    {0x0089, "Mode"},
    {0x008D, "ColorMode", "", "", &MakerNoteDecodeNikonColorMode},
    {0x008F, "SceneMode"},       {0x0092, "HueAdjustment"},   {0x0094, "Saturation"},
    {0x0095, "NoiseReduction"},  {0x0F00, "Skip"},
};

constexpr TagRow kOlympus[] = {
    {0x0200, "SpecialMode"},   {0x0201, "JpegQual", "1:SQ,2:HQ,3:SHQ,4:Raw"},
    {0x0202, "Macro", "0=Normal,1:Macro;"},
    {0x0203, "Skip"},          {0x0204, "DigiZoom"},      {0x0205, "Skip"},
    {0x0206, "Skip"},          {0x0207, "Firmware"},      {0x0208, "PictInfo"},
    {0x0209, "CameraID"},      {0x0F00, "Skip"},          {0x1004, "FlashMode"},
    {0x1006, "Bracket"},       {0x100B, "FocusMode"},     {0x100C, "FocusDistance"},
    {0x100D, "Zoom"},          {0x100E, "MacroFocus"},    {0x100F, "Sharpness"},
    {0x1011, "ColorMatrix"},   {0x1012, "BlackLevel"},    {0x1015, "WhiteBalance"},
    {0x1017, "RedBias"},       {0x1018, "BlueBias"},      {0x101A, "SerialNumber"},
    {0x1023, "FlashBias"},     {0x1029, "Contrast"},      {0x102A, "SharpnessFactor"},
    {0x102B, "ColorControl"},  {0x102C, "ValidBits"},     {0x102D, "Coring"},
    {0x102E, "FinalWidth"},    {0x102F, "FinalHeight"},   {0x1034, "CompressionRatio"},
};

constexpr TagRow kCasio[] = {
    {0x0001, "RecordingMode", "1:Single Shutter,2:Panorama,3:Night Scene,4:Portrait,5:Landscape"},
    {0x0002, "Quality", "1:Economy,2:Normal,3:Fine"},
    {0x0003, "FocusingMode", "2:Macro,3:Auto Focus,4:Manual Focus,5:Infinity"},
    {0x0004, "FlashMode", "1:Auto,2:On,3:Off,4:Red Eye Reduction"},
    {0x0005, "FlashIntensity", "11:Weak,13:Normal,15:Strong"},
    {0x0006, "ObjectDistance"},
    {0x0007, "WhiteBalance", "1:Auto,2:Tungsten,3:Daylight,4:Fluorescent,5:Shade,129:Manual"},
    {0x0008, "Skip"},
    {0x0009, "Skip"},
    {0x000A, "DigitalZoom", "65536:Off,65537:2X Digital Zoom"},
    {0x000B, "Sharpness", "0:Normal,1:Soft,2:Hard"},
    {0x000C, "Contrast", "0:Normal,1:Low,2:High"},
    {0x000D, "Saturation", "0:Normal,1:Low,2:High"},
    {0x000E, "Skip"}, {0x000F, "Skip"}, {0x0010, "Skip"}, {0x0011, "Skip"}, {0x0012, "Skip"}, {0x0013, "Skip"},
    {0x0014, "CCDSensitivity", "64:Normal,125:+1.0,250:+2.0,244:+3.0,80:Normal,100:High"},
    {0x0015, "Skip"}, {0x0016, "Skip"}, {0x0017, "Skip"}, {0x0018, "Skip"}, {0x0019, "Skip"}, {0x001A, "Skip"},
};

constexpr TagRow kFujifilm[] = {
    {0x0000, "Version"},
    {0x1000, "Quality"},
    {0x1001, "Sharpness", "1:Soft,2:Soft,3:Normal,4:Hard,5:Hard"},
    {0x1002, "WhiteBalance", "0:Auto,256:Daylight,512:Cloudy,768:DaylightColor-fluorescence,769:DaywhiteColor-fluorescence,770:White-fluorescence,1024:Incandenscense,3840:Custom white balance."},
    {0x1003, "Color", "0:Normal,256:High,512:Low"},
    {0x1004, "Tone", "0:Normal,256:High,512:Low"},
    {0x1010, "FlashMode", "0:Auto,1:On,2:Off,3:Red-eye reduction"},
    {0x1011, "FlashStrength"},
    {0x1020, "Macro", "0:Off,1:On"},
    {0x1021, "Focusmode", "0:Auto Focus,1:Manual Focus"},
    {0x1030, "SlowSync", "0:Off,1:On"},
    {0x1031, "PictureMode", "0:Auto,1:Portrait scene,2:Landscape scene,4:Sports scene,5:Night scene,6:Program AE,256:Aperture prior AE,512:Shutter prior AE,768:Manual exposure"},
    {0x1032, "Skip"},
    {0x1100, "ContTake/Bracket", "0:Off,1:On"},
    {0x1200, "Skip"},
    {0x1300, "BlurWarning", "0:No blur warning,1:Blur warning"},
    {0x1301, "FocusWarning", "0:Auto Focus good,1:Out of focus"},
    {0x1302, "AEWarning", "0:AE good,1:Over exposure"},
};

constexpr TagRow kCanon[] = {
    {0x0000, "Skip"},
    {0x0001, "ExposureInfo1", "", "", &MakerNoteDecodeCanonExposure1},
    {0x0002, "Skip"},
    {0x0003, "Skip"},
    {0x0004, "ExposureInfo2", "", "", &MakerNoteDecodeCanonExposure2},
    {0x0006, "ImageType"},
    {0x0007, "FirmwareVersion"},
    {0x0008, "ImageNumber"},
    {0x0009, "OwnerName"},
    {0x000A, "Skip"},
    {0x000B, "Skip"},
    {0x000C, "CameraSerialNumber"},
    {0x000D, "Skip"},
    {0x000E, "Skip"},
    {0x000F, "CustomFunctions", "", "", &MakerNoteDecodeCanonCustomFunctions},
    {0x0010, "Skip"},
};

constexpr TagRow kEpson[] = {
    {0x0200, "Special Mode"}, {0x0201, "JpegQuality"}, {0x0202, "Macro"},   {0x0203, "Skip"},
    {0x0204, "DigiZoom"},     {0x0209, "CameraID"},    {0x020A, "Comments"}, {0x020B, "Width"},
    {0x020C, "Height"},       {0x020D, "SoftRelease"}, {0x0300, "??"},       {0x0F00, "skip"},
};

constexpr TagRow kSanyo[] = {
    {0x0200, "Special Mode"}, {0x0201, "JpegQuality"}, {0x0202, "Macro"},
    {0x0203, "Skip"},         {0x0204, "DigiZoom"},    {0x0F00, "DataDump"},
};

constexpr TagRow kMinolta[] = {
    {0x0000, "ModelID"},
    {0x0E00, "PIMdata"},
};

// A named setting read from one component of a Canon record.
struct CanonSetting {
    int index;
    const char* name;
    const char* decodeList;
};

constexpr CanonSetting kCanonExposure1[] = {
    {1, "Macro mode", "1:Macro,2:Normal"},
    {2, "Self Timer", ""},
    {3, "Compression Rate", "0:SuperFine,1:Fine,2:Normal,3:Basic,5:SuperFine"},
    {4, "Flash Mode", "0:Not fired,1:Auto,2:On,3:Red-eye,4:Slow sync,5:Auto+red-eye,6:On+red eye,16:External flash"},
    {5, "Drive Mode", "0:Single,1:Continuous"},
    {7, "Focus Mode", "0:One-Shot,1:AI Servo,2:AI Focus,3:MF,4:Single,5:Continuous,6:MF"},
    {10, "Image Size", ""},
    {11, "Easy Shoot", ""},
    {13, "Contrast", ""},
    {14, "Saturation", ""},
    {15, "Sharpness", ""},
    {16, "CCD ISO", ""},
    {17, "Metering Mode", ""},
    {19, "AF Point", ""},
    {20, "Exposure Mode", ""},
    {24, "Long focal", ""},
    {25, "Short focal", ""},
    {26, "Focal Units", ""},
    {29, "Flash Details", ""},
    {32, "Focus Mode", ""},
};

constexpr CanonSetting kCanonExposure2[] = {
    {7, "White balance", "0:Auto,1:Sunny,2:Cloudy,3:Tungsten,4:Flourescent,5:Flash,6:Custom"},
    {9, "Sequence Number", ""},
    {11, "OpticalZoom Step", ""},
    {14, "AF point", ""},
    {15, "Flash bias", ""},
    {19, "Distance", ""},
};

constexpr CanonSetting kCanonCustomFunctions[] = {
    {1, "Noise Reduction", "0: Off,1: On"},
    {2, "Shutter AE Lock Button", "0:AF/AE lock,1:AE lock/AF,2:AF/AF lock,3:AE+release/AE+AF"},
    {3, "Mirror Lockup", "0:Disable,1:Enable"},
    {4, "Exposure Level", "0:1/2 stop,1:1/3 stop"},
    {5, "AF Assist", "0:On (auto),1:Off"},
    {6, "AV Shutter Speed", "0:Automatic,1: 1/200 (fixed)"},
    {7, "AEB Sequence", "0:0, -, + / Enabled1: 0, -, + / Disabled,2: -, 0, + / Enabled,3: -, 0, + / Disabled"},
    {8, "Shutter Sync", "0:1st-curtain sync,1: 2nd-curtain sync"},
    {9, "Lens AF Button", "0:AF stop,1:Operate AF,2:Lock AE and start timer"},
    {10, "Fill Flash Reduction", "0:Enable,1:Disable"},
    {11, "Menu Return", "0:Top,1:Previous (volatile),2:Previous"},
    {12, "Set Button", "0:Not assigned,1:Change quality,2:Change ISO speed,3:Select parameters"},
    {13, "Sensor Cleaning", "0:Disable,1:Enable"},
    {14, "Superimposed Display", "0: On,1: Off"},
    {15, "Shutter Release w/o CF Card", "0:Enable,1:Disable"},
};

std::string SettingLine(const char* name, const std::string& text) {
    return text.empty() ? std::string() : "\r\n" + std::string(name) + " = " + text;
}

// The components of a record as numbers; the display text holds at most eight of them.
std::vector<std::string> Components(const TagEntry& entry) {
    return entry.displayText.empty() ? std::vector<std::string>() : ExifSplitComponents(entry.displayText);
}

std::string DecodeCanonRecord(const TagEntry& entry, std::span<const CanonSetting> settings) {
    const auto components = Components(entry);
    std::string text;
    for (const CanonSetting& setting : settings) {
        if (setting.index >= static_cast<int>(components.size())) continue;
        const std::string& component = components[setting.index];
        const std::string value = *setting.decodeList
                                      ? ExifDecodeListText(setting.decodeList, ExifParseInt(component))
                                      : ExifTrim(component);
        text += SettingLine(setting.name, value);
    }
    return text;
}

}  // namespace

std::span<const TagRow> MakerNoteNikon1Table() { return kNikon1; }
std::span<const TagRow> MakerNoteNikon2Table() { return kNikon2; }
std::span<const TagRow> MakerNoteOlympusTable() { return kOlympus; }
std::span<const TagRow> MakerNoteCasioTable() { return kCasio; }
std::span<const TagRow> MakerNoteFujifilmTable() { return kFujifilm; }
std::span<const TagRow> MakerNoteCanonTable() { return kCanon; }
std::span<const TagRow> MakerNoteEpsonTable() { return kEpson; }
std::span<const TagRow> MakerNoteSanyoTable() { return kSanyo; }
std::span<const TagRow> MakerNoteMinoltaTable() { return kMinolta; }

std::string MakerNoteDecodeNikonLens(const TagEntry& entry, bool) {
    const auto parts = ExifSplitComponents(entry.displayText);
    auto at = [&](std::size_t i) { return i < parts.size() ? ExifFractionValue(parts[i]) : 0.0; };
    return ExifFormatFixed(at(0), 1) + "-" + ExifFormatFixed(at(1), 1) + "(mm)  F" + ExifFormatFixed(at(2), 1) +
           "-F" + ExifFormatFixed(at(3), 1);
}

std::string MakerNoteDecodeNikonColorMode(const TagEntry& entry, bool) {
    const std::string mode = entry.displayText.size() > 1 ? entry.displayText.substr(1, 5) : std::string();
    if (mode == "MODE1") return "Mode1 (sRGB)";
    if (mode == "MODE2") return "Mode 2 (Adobe RGB)";
    if (mode == "MODE3") return "Mode 3 (sRGB): higher saturation";
    return mode;
}

std::string MakerNoteDecodeCanonExposure1(const TagEntry& entry, bool) {
    return DecodeCanonRecord(entry, kCanonExposure1);
}

std::string MakerNoteDecodeCanonExposure2(const TagEntry& entry, bool) {
    return DecodeCanonRecord(entry, kCanonExposure2);
}

std::string MakerNoteDecodeCanonCustomFunctions(const TagEntry& entry, bool) {
    std::string text;
    for (const std::string& component : Components(entry)) {
        const std::int64_t value = ExifParseInt(component);
        const std::int64_t function = value / 256, setting = value % 256;
        if (function < 1 || function > 15) continue;
        const CanonSetting& row = kCanonCustomFunctions[function - 1];
        text += SettingLine(row.name, ExifDecodeListText(row.decodeList, setting));
    }
    return text;
}

}  // namespace vantrel
