#include "core/imaging/ExifTagReport.h"

namespace vantrel {

std::vector<ExifTagLine> ExifTagLines(const TimgData& scan) {
    std::vector<ExifTagLine> lines;
    if (const TImageInfo* info = scan.ExifInfo())
        for (const TagEntry& entry : info->TagList()) lines.push_back({entry.name, entry.displayText});
    return lines;
}

std::optional<ExifPanelValues> ReadExifPanelValues(const std::string& path) {
    TimgData scan;
    if (!scan.ScanFile(path) || !scan.HasExifSegment()) return std::nullopt;
    const TImageInfo& info = *scan.ExifInfo();
    ExifPanelValues values;
    values.width = info.Width();
    values.height = info.Height();
    values.fileSize = scan.FileSize();
    values.dateText = info.DateText();
    values.fNumber = info.TagText("FNumber");
    values.exposureTime = info.TagText("ExposureTime");
    values.focalLength = info.TagText("FocalLength");
    values.isoSpeed = info.TagText("ISOSpeedRatings");
    return values;
}

}  // namespace vantrel
