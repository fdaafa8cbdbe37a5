#pragma once
// What callers outside the reader take from a scan: the tag list as name/text pairs (for the
// command-line tool) and the values that the photo information panel shows.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/imaging/TimgData.h"

namespace vantrel {

struct ExifTagLine {
    std::string name;
    std::string text;  // the display text as decoded; may hold "\r\n" (some maker settings)
};

// Every entry of the scan's tag list, in order (EXIF, GPS and maker entries alike); empty when
// the scan holds no decoded EXIF block.
std::vector<ExifTagLine> ExifTagLines(const TimgData& scan);

// The EXIF values of one photo as the information panel shows them.
struct ExifPanelValues {
    int width = 0;              // 0 when the block gives none; the caller keeps its own size then
    int height = 0;
    std::int32_t fileSize = 0;  // bytes, low 32 bits
    std::string dateText;       // DateText, unchanged
    std::string fNumber;        // "f 2.8"
    std::string exposureTime;   // "1/125 sec"
    std::string focalLength;    // " 7.80 mm" (at least five characters before " mm")
    std::string isoSpeed;       // "100" or "100, 200"; empty when the block has none
};

// Scans `path` and returns the panel's values when the scan succeeds and an APP1 segment was
// taken as EXIF; std::nullopt otherwise (the panel then shows the name and sizes only).
std::optional<ExifPanelValues> ReadExifPanelValues(const std::string& path);

}  // namespace vantrel
