#include "core/imaging/ExifDecoders.h"

#include <cmath>
#include <limits>

#include "core/imaging/ExifValueText.h"

namespace vantrel {

std::string ExifDecodeComponentsConfiguration(const TagEntry& entry, bool) {
    static const char* const kNames[] = {"Y", "Cb", "Cr", "R", "G", "B"};
    std::string text;
    for (std::size_t i = 0; i < 4 && i < entry.rawValue.size(); ++i) {
        auto code = static_cast<unsigned char>(entry.rawValue[i]);
        if (code >= 1 && code <= 6) text += kNames[code - 1];
    }
    return text;
}

std::string ExifDecodeShutterSpeed(const TagEntry& entry, bool) {
    const double v = ExifFractionValue(entry.displayText);
    const double t = 1.0 / std::pow(2.0, v);
    std::string text = ExifFormatFixed(t, 4, 4) + " sec";
    if (t <= 0.5) {
        const double reciprocal = std::nearbyint(1.0 / t);
        // A speed beyond any integer is shown without the fraction rather than overflowing.
        if (std::isfinite(reciprocal) && reciprocal <= std::numeric_limits<int>::max())
            text += " (1/" + std::to_string(static_cast<int>(reciprocal)) + ")";
    }
    return text;
}

std::string ExifDecodeFlash(const TagEntry& entry, bool motorola) {
    const auto value = static_cast<std::uint32_t>(
        static_cast<std::int32_t>(ExifValueNumber(entry.rawValue, entry.format, motorola)));
    std::string text = (value & 1) ? "On" : "Off";
    static const char* const kReturn[] = {"", ", UNKNOWN", ", no strobe return", ", strobe return"};
    static const char* const kMode[] = {"", ", forced", ", surpressed", ", auto mode"};
    text += kReturn[(value >> 1) & 3];
    text += kMode[(value >> 3) & 3];
    if (value & 0x20) text += ", no flash function";
    if (value & 0x40) text += ", red-eye reduction";
    return text;
}

std::string ExifDecodeUserComment(const TagEntry& entry, bool) {
    return entry.displayText.size() > 8 ? entry.displayText.substr(8) : std::string();
}

std::string ExifDecodeWindowsText(const TagEntry& entry, bool) {
    std::string text;
    std::vector<std::string> numbers;
    std::size_t from = 0;
    const std::string& display = entry.displayText;
    while (from <= display.size()) {
        std::size_t comma = display.find(',', from);
        if (comma == std::string::npos) comma = display.size();
        numbers.push_back(display.substr(from, comma - from));
        from = comma + 1;
    }
    for (std::size_t i = 0; i < numbers.size(); i += 2) {
        std::int64_t code = ExifParseInt(numbers[i], 0);
        if (code != 0) text += static_cast<char>(code);
    }
    return text;
}

namespace {
double Component(const std::vector<std::string>& parts, std::size_t i) {
    return i < parts.size() ? ExifFractionValue(parts[i]) : 0.0;
}
}  // namespace

std::string ExifDecodeGpsCoordinate(const TagEntry& entry, bool) {
    auto parts = ExifSplitComponents(entry.displayText);
    double degrees = Component(parts, 0), minutes = Component(parts, 1), seconds = Component(parts, 2);
    if (seconds == 0) {
        const double whole = std::trunc(minutes);
        seconds = (minutes - whole) * 60;
        minutes = whole;
    }
    return ExifFormatFixed(degrees, 0) + " Degrees " + ExifFormatFixed(minutes, 0) + " Minutes " +
           ExifFormatFixed(seconds, 0) + " Seconds";
}

std::string ExifDecodeGpsTime(const TagEntry& entry, bool) {
    auto parts = ExifSplitComponents(entry.displayText);
    return ExifFormatFixed(Component(parts, 0), 0) + ":" + ExifFormatFixed(Component(parts, 1), 0) + ":" +
           ExifFormatFixed(Component(parts, 2), 0);
}

}  // namespace vantrel
