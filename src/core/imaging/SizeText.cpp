#include "core/imaging/SizeText.h"

#include <cstdio>

namespace vantrel {
namespace {

std::string TwoDecimals(double value, char separator) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.2f", value);
    std::string text(buffer);
    if (const auto dot = text.find('.'); dot != std::string::npos) text[dot] = separator;
    return text;
}

}  // namespace

std::string FormatFileSize(std::uint64_t size, const SizeTextStyle& style) {
    const double megabytes = static_cast<double>(size) / 1048576.0;
    if (megabytes >= 1.0) return TwoDecimals(megabytes, style.decimalSeparator) + " " + style.megabytes;
    return TwoDecimals(megabytes * 1024.0, style.decimalSeparator) + " " + style.kilobytes;
}

std::string FormatThumbCaption(const std::string& path, std::uint64_t size, int width, int height,
                               const CaptionParts& parts, const SizeTextStyle& style) {
    std::string caption;
    if (parts.showName) {
        const auto slash = path.find_last_of('/');
        caption += slash == std::string::npos ? path : path.substr(slash + 1);
    }
    if (parts.showLen) {
        if (parts.showName) caption += '\r';
        caption += FormatFileSize(size, style);
    }
    if (parts.showSize) {
        if (parts.showLen) caption += " - ";
        else if (parts.showName) caption += '\r';
        caption += std::to_string(width) + " x " + std::to_string(height);
    }
    return caption;
}

}  // namespace vantrel
