#include "core/imaging/ExifValueText.h"

#include <charconv>
#include <cmath>

#include "core/base/AsciiText.h"
#include "core/imaging/ExifTagEntry.h"

namespace vantrel {
namespace {

const unsigned char* Bytes(std::string_view s) { return reinterpret_cast<const unsigned char*>(s.data()); }

bool IsIntegerFormat(std::uint16_t format) {
    switch (format) {
        case kExifByte: case kExifShort: case kExifLong:
        case kExifSByte: case kExifSShort: case kExifSLong:
            return true;
        default:
            return false;
    }
}

std::string PadLeft(std::string text, int width) {
    if (width > 0 && static_cast<int>(text.size()) < width) text.insert(0, width - text.size(), ' ');
    return text;
}

}  // namespace

std::uint32_t ExifReadUnsigned(const unsigned char* p, std::size_t size, bool motorola) {
    std::uint32_t value = 0;
    if (motorola) {
        if (size > 4) {  // only the last four bytes survive in 32 bits
            p += size - 4;
            size = 4;
        }
        for (std::size_t i = 0; i < size; ++i) value = (value << 8) | p[i];
    } else {
        for (std::size_t i = 0; i < size && i < 4; ++i) value |= std::uint32_t(p[i]) << (8 * i);
    }
    return value;
}

std::string ExifFormatFixed(double value, int precision, int width) {
    if (value == 0) value = 0;  // no "-0.00"
    char buffer[400];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed,
                                std::min(precision, 40));
    std::string text = result.ec == std::errc() ? std::string(buffer, result.ptr) : std::string("0");
    return PadLeft(std::move(text), width);
}

std::string ExifDecodeListText(std::string_view decodeList, std::int64_t number) {
    std::string haystack(1, ',');
    haystack.append(decodeList).push_back(',');
    std::string needle(1, ',');
    needle.append(std::to_string(number)).push_back(':');
    std::size_t at = haystack.find(needle);
    if (at == std::string::npos) return {};
    std::size_t from = at + needle.size();
    return haystack.substr(from, haystack.find(',', from) - from);
}

std::string ExifApplyFormat(std::string_view pattern, std::string_view text, double number) {
    std::string out;
    std::size_t i = 0;
    bool substituted = false;
    while (i < pattern.size()) {
        char c = pattern[i];
        if (c != '%' || i + 1 >= pattern.size()) { out += c; ++i; continue; }
        if (pattern[i + 1] == '%') { out += '%'; i += 2; continue; }
        std::size_t j = i + 1;
        bool leftAlign = false;
        while (j < pattern.size() && (pattern[j] == '-' || pattern[j] == '0' || pattern[j] == ' ' || pattern[j] == '+')) {
            if (pattern[j] == '-') leftAlign = true;
            ++j;
        }
        int width = 0, precision = -1;
        while (j < pattern.size() && IsAsciiDigit(pattern[j])) width = width * 10 + (pattern[j++] - '0');
        if (j < pattern.size() && pattern[j] == '.') {
            precision = 0;
            ++j;
            while (j < pattern.size() && IsAsciiDigit(pattern[j])) precision = precision * 10 + (pattern[j++] - '0');
        }
        if (j >= pattern.size() || substituted) { out += pattern.substr(i, j - i); i = j; continue; }
        char conversion = pattern[j];
        std::string piece;
        if (conversion == 's') piece = std::string(text);
        else if (conversion == 'f') piece = ExifFormatFixed(number, precision < 0 ? 6 : precision);
        else if (conversion == 'd') piece = std::to_string(static_cast<long long>(std::llround(std::isfinite(number) ? number : 0)));
        else { out += pattern.substr(i, j + 1 - i); i = j + 1; continue; }
        width = std::min(width, 1000);
        if (leftAlign && static_cast<int>(piece.size()) < width) piece.append(width - piece.size(), ' ');
        out += PadLeft(std::move(piece), width);
        substituted = true;
        i = j + 1;
    }
    return out;
}

double ExifValueNumber(std::string_view raw, std::uint16_t format, bool motorola) {
    if (IsIntegerFormat(format))
        return static_cast<std::int32_t>(ExifReadUnsigned(Bytes(raw), raw.size(), motorola));
    if (format == kExifRational || format == kExifSRational) {
        if (raw.size() < 8) return 0;
        auto numerator = static_cast<std::int32_t>(ExifReadUnsigned(Bytes(raw), 4, motorola));
        auto denominator = static_cast<std::int32_t>(ExifReadUnsigned(Bytes(raw) + 4, 4, motorola));
        return denominator == 0 ? 0.0 : double(numerator) / double(denominator);
    }
    return 0;
}

std::string ExifFormatNumbers(std::string_view raw, std::uint16_t format, bool motorola,
                              std::string_view decodeList, std::string_view displayFormat) {
    const int size = ExifComponentSize(format);
    if (size == 0) return "0";
    const std::size_t count = std::min<std::size_t>(raw.size() / size, 8);
    std::string text;
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0) text += ", ";
        const unsigned char* p = Bytes(raw) + i * size;
        if (format == kExifRational || format == kExifSRational) {
            text += std::to_string(static_cast<std::int32_t>(ExifReadUnsigned(p, 4, motorola)));
            text += '/';
            text += std::to_string(static_cast<std::int32_t>(ExifReadUnsigned(p + 4, 4, motorola)));
        } else if (format == kExifFloat || format == kExifDouble) {
            text += "-9999.99";
        } else {
            auto number = static_cast<std::int32_t>(ExifReadUnsigned(p, size, motorola));
            text += decodeList.empty() ? std::to_string(number) : ExifDecodeListText(decodeList, number);
        }
    }
    if (!displayFormat.empty()) {
        if (displayFormat.find("%s") != std::string_view::npos)
            text = ExifApplyFormat(displayFormat, text, 0);
        else
            text = ExifApplyFormat(displayFormat, text, ExifValueNumber(raw, format, motorola));
    }
    return text;
}

std::string ExifDisplayText(const TagEntry& entry, std::string_view raw, bool motorola, bool quoteAscii) {
    // A text shows at most 50 characters unless a decoder rewrites it; no more bytes are needed.
    if (!entry.decoder && (entry.format == kExifAscii || entry.format == kExifUndefined)) raw = raw.substr(0, 52);
    std::string text;
    if (entry.format == kExifAscii && !quoteAscii) {
        text = std::string(raw.substr(0, raw.empty() ? 0 : raw.size() - 1));
    } else if (entry.format == kExifAscii || entry.format == kExifUndefined) {
        text.reserve(raw.size() + 2);
        text.append(1, '"').append(raw).append(1, '"');
    } else {
        text = ExifFormatNumbers(raw, entry.format, motorola, entry.decodeList, entry.displayFormat);
    }
    if (!entry.decoder) return ExifPrintableCut(text);
    TagEntry withText = entry;
    withText.displayText = std::move(text);
    withText.rawValue = std::string(raw);
    return entry.decoder(withText, motorola);
}

std::string ExifPrintableCut(std::string_view text) {
    std::string out(text.substr(0, 50));
    for (char& c : out)
        if (static_cast<unsigned char>(c) < 32) c = '.';
    return out;
}

std::int64_t ExifParseInt(std::string_view text, std::int64_t fallback) {
    std::string trimmed = ExifTrim(text);
    std::string_view t = trimmed;
    if (!t.empty() && t.front() == '+') t.remove_prefix(1);
    std::int64_t value = 0;
    auto result = std::from_chars(t.data(), t.data() + t.size(), value);
    if (t.empty() || result.ec != std::errc() || result.ptr != t.data() + t.size()) return fallback;
    return value;
}

double ExifFractionValue(std::string_view text) {
    std::string trimmed = ExifTrim(text);
    std::string_view t = trimmed;
    std::size_t slash = t.find('/');
    if (slash == std::string_view::npos) return 0;
    std::string_view left = t.substr(0, slash), right = t.substr(slash + 1);
    std::int64_t whole = 0;
    std::size_t blank = left.find(' ');
    if (blank != std::string_view::npos) {
        whole = ExifParseInt(left.substr(0, blank), INT64_MIN);
        if (whole == INT64_MIN) return 0;
        left = left.substr(blank + 1);
    }
    std::int64_t a = ExifParseInt(left, INT64_MIN), b = ExifParseInt(right, INT64_MIN);
    if (a == INT64_MIN || b == INT64_MIN || b == 0) return 0;
    return (double(whole) * double(b) + double(a)) / double(b);
}

std::vector<std::string> ExifSplitComponents(std::string_view text) {
    std::vector<std::string> parts;
    std::size_t from = 0;
    while (true) {
        std::size_t at = text.find(", ", from);
        if (at == std::string_view::npos) {
            parts.emplace_back(text.substr(from));
            return parts;
        }
        parts.emplace_back(text.substr(from, at - from));
        from = at + 2;
    }
}

std::string ExifTrim(std::string_view text) {
    std::size_t first = 0, last = text.size();
    while (first < last && static_cast<unsigned char>(text[first]) <= ' ') ++first;
    while (last > first && static_cast<unsigned char>(text[last - 1]) <= ' ') --last;
    return std::string(text.substr(first, last - first));
}

}  // namespace vantrel
