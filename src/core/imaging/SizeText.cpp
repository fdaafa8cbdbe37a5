#include "core/imaging/SizeText.h"

#include <charconv>

namespace vantrel {
namespace {

// Independent of the process's numeric locale, which the GUI toolkit sets from the
// environment: the separator is always the one given.
std::string TwoDecimals(double value, char separator) {
    char buffer[400];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 2);
    std::string text = result.ec == std::errc() ? std::string(buffer, result.ptr) : std::string("0.00");
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
