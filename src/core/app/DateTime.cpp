#include "core/app/DateTime.h"

#include <chrono>
#include <cmath>
#include <ctime>

#include "core/base/AsciiText.h"

namespace vantrel {

namespace {

// Days between 1970-01-01 and 1899-12-30.
constexpr int kUnixEpochSerial = 25569;

int DaysFromCivil(int y, int m, int d) {
    // Howard Hinnant's days_from_civil, relative to 1970-01-01.
    y -= m <= 2;
    const int era = (y >= 0 ? y : y - 399) / 400;
    const int yoe = y - era * 400;
    const int doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(int z, int& y, int& m, int& d) {
    z += 719468;
    const int era = (z >= 0 ? z : z - 146096) / 146097;
    const int doe = z - era * 146097;
    const int yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp + (mp < 10 ? 3 : -9);
    y = yoe + era * 400 + (m <= 2);
}

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeap(y) ? 29 : days[m - 1];
}

// Length of the run of the same letter at `pattern[i]`.
size_t RunLength(std::string_view pattern, size_t i) {
    size_t n = 1;
    while (i + n < pattern.size() && pattern[i + n] == pattern[i]) ++n;
    return n;
}

std::string Padded(int value, size_t width) {
    std::string text = std::to_string(value);
    while (text.size() < width) text.insert(text.begin(), '0');
    return text;
}

}  // namespace

std::optional<SerialDateTime> EncodeDateTime(const CivilDateTime& c) {
    if (c.month < 1 || c.month > 12 || c.day < 1 || c.year < 1 || c.year > 9999) return std::nullopt;
    if (c.day > DaysInMonth(c.year, c.month)) return std::nullopt;
    if (c.hour < 0 || c.hour > 23 || c.minute < 0 || c.minute > 59 || c.second < 0 || c.second > 59 ||
        c.millisecond < 0 || c.millisecond > 999)
        return std::nullopt;
    double days = DaysFromCivil(c.year, c.month, c.day) + kUnixEpochSerial;
    double fraction = ((c.hour * 60.0 + c.minute) * 60.0 + c.second + c.millisecond / 1000.0) / 86400.0;
    return days + fraction;
}

CivilDateTime DecodeDateTime(SerialDateTime value) {
    CivilDateTime c;
    long long totalMs = std::llround(value * 86400000.0);
    long long days = totalMs / 86400000;
    long long ms = totalMs % 86400000;
    if (ms < 0) {
        ms += 86400000;
        --days;
    }
    CivilFromDays(static_cast<int>(days) - kUnixEpochSerial, c.year, c.month, c.day);
    c.hour = static_cast<int>(ms / 3600000);
    c.minute = static_cast<int>(ms / 60000 % 60);
    c.second = static_cast<int>(ms / 1000 % 60);
    c.millisecond = static_cast<int>(ms % 1000);
    return c;
}

SerialDateTime NowLocal() {
    auto now = std::chrono::system_clock::now();
    std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&seconds, &local);
    int ms = static_cast<int>(
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000);
    return *EncodeDateTime({local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
                            local.tm_sec, ms});
}

std::string FormatDateTime(SerialDateTime value, std::string_view pattern) {
    CivilDateTime c = DecodeDateTime(value);
    std::string out;
    for (size_t i = 0; i < pattern.size();) {
        char letter = pattern[i];
        size_t n = RunLength(pattern, i);
        if (letter == '\'') {
            size_t close = pattern.find('\'', i + 1);
            if (close == std::string_view::npos) close = pattern.size();
            out += pattern.substr(i + 1, close - i - 1);
            i = close + 1;
            continue;
        }
        switch (letter) {
        case 'd': out += Padded(c.day, n >= 2 ? 2 : 1); break;
        case 'M': out += Padded(c.month, n >= 2 ? 2 : 1); break;
        case 'y': out += n >= 4 ? Padded(c.year, 4) : Padded(c.year % 100, 2); break;
        case 'H': out += Padded(c.hour, n >= 2 ? 2 : 1); break;
        case 'h': {
            bool twelve = pattern.find_first_of("Aa") != std::string_view::npos;
            int hour = twelve ? (c.hour % 12 == 0 ? 12 : c.hour % 12) : c.hour;
            out += Padded(hour, n >= 2 ? 2 : 1);
            break;
        }
        case 'm': out += Padded(c.minute, n >= 2 ? 2 : 1); break;
        case 's': out += Padded(c.second, n >= 2 ? 2 : 1); break;
        case 'A': out += c.hour < 12 ? "AM" : "PM"; n = (i + 1 < pattern.size() && pattern[i + 1] == 'P') ? 2 : 1; break;
        case 'a': out += c.hour < 12 ? "am" : "pm"; n = (i + 1 < pattern.size() && pattern[i + 1] == 'p') ? 2 : 1; break;
        default: out.append(n, letter); break;
        }
        i += n;
    }
    return out;
}

std::optional<SerialDateTime> ParseDateTime(std::string_view text, std::string_view datePattern,
                                            std::string_view timePattern) {
    CivilDateTime c{0, 0, 0, 0, 0, 0, 0};
    bool pm = false, hasAmPm = false;
    size_t at = 0;
    auto skipBlanks = [&] {
        while (at < text.size() && text[at] == ' ') ++at;
    };
    auto readNumber = [&](size_t maxDigits, int& target) {
        size_t start = at;
        int value = 0;
        while (at < text.size() && at - start < maxDigits && IsAsciiDigit(text[at]))
            value = value * 10 + (text[at++] - '0');
        if (at == start) return false;
        target = value;
        return true;
    };
    auto follow = [&](std::string_view pattern) {
        for (size_t i = 0; i < pattern.size();) {
            char letter = pattern[i];
            size_t n = RunLength(pattern, i);
            bool ok = true;
            switch (letter) {
            case 'd': ok = readNumber(2, c.day); break;
            case 'M': ok = readNumber(2, c.month); break;
            case 'y':
                ok = readNumber(n >= 4 ? 4 : 2, c.year);
                if (ok && n < 4) c.year += c.year < 50 ? 2000 : 1900;
                break;
            case 'H': case 'h': ok = readNumber(2, c.hour); break;
            case 'm': ok = readNumber(2, c.minute); break;
            case 's': ok = readNumber(2, c.second); break;
            case 'A': case 'a': {
                hasAmPm = true;
                n = (i + 1 < pattern.size() && (pattern[i + 1] == 'P' || pattern[i + 1] == 'p')) ? 2 : 1;
                if (at + 2 > text.size()) return false;
                char first = ToUpperAscii(text[at]);
                pm = first == 'P';
                ok = first == 'A' || first == 'P';
                at += 2;
                break;
            }
            case '\'': {
                size_t close = pattern.find('\'', i + 1);
                if (close == std::string_view::npos) close = pattern.size();
                std::string_view literal = pattern.substr(i + 1, close - i - 1);
                ok = text.substr(at, literal.size()) == literal;
                at += literal.size();
                n = close + 1 - i;
                break;
            }
            case ' ': skipBlanks(); break;
            default:
                for (size_t k = 0; k < n && ok; ++k) ok = at < text.size() && text[at++] == letter;
            }
            if (!ok) return false;
            i += n;
        }
        return true;
    };
    skipBlanks();
    if (!follow(datePattern)) return std::nullopt;
    skipBlanks();
    if (at < text.size()) {
        if (!follow(timePattern)) return std::nullopt;
        skipBlanks();
        if (at != text.size()) return std::nullopt;
        if (hasAmPm) c.hour = c.hour % 12 + (pm ? 12 : 0);
    }
    return EncodeDateTime(c);
}

}  // namespace vantrel
