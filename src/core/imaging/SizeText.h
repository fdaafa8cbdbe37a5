#pragma once
// The caption under a photo's tile and the size text of a file.

#include <cstdint>
#include <string>

namespace vantrel {

// The unit texts (the Panel_Mb and Panel_Kb language texts) and the user's decimal separator.
struct SizeTextStyle {
    std::string megabytes = "Mb";
    std::string kilobytes = "Kb";
    char decimalSeparator = '.';
};

// Which parts a caption shows (the ShowName, ShowLen and ShowSize settings).
struct CaptionParts {
    bool showName = true;
    bool showLen = true;
    bool showSize = true;
};

// The size in megabytes when it is at least 1 MB, else in kilobytes, with two decimals, the
// user's separator, a blank and the unit: 1 572 864 bytes give "1.50 Mb", 512 bytes "0.50 Kb".
std::string FormatFileSize(std::uint64_t size, const SizeTextStyle& style);

// The file name (without folder), a carriage return, the size text, " - ", then
// "width x height", each part only when asked for; separators only between parts present.
std::string FormatThumbCaption(const std::string& path, std::uint64_t size, int width, int height,
                               const CaptionParts& parts, const SizeTextStyle& style);

}  // namespace vantrel
