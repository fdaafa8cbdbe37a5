#include "core/app/FormatPattern.h"

#include <cstdio>
#include <vector>

#include "core/base/AsciiText.h"

namespace vantrel {

namespace {

std::int64_t AsInteger(const FormatArg& arg) {
    if (auto* i = std::get_if<std::int64_t>(&arg)) return *i;
    if (auto* d = std::get_if<double>(&arg)) return static_cast<std::int64_t>(*d);
    return std::atoll(std::get<std::string>(arg).c_str());
}

double AsDouble(const FormatArg& arg) {
    if (auto* d = std::get_if<double>(&arg)) return *d;
    if (auto* i = std::get_if<std::int64_t>(&arg)) return static_cast<double>(*i);
    return std::atof(std::get<std::string>(arg).c_str());
}

std::string AsText(const FormatArg& arg) {
    if (auto* s = std::get_if<std::string>(&arg)) return *s;
    if (auto* i = std::get_if<std::int64_t>(&arg)) return std::to_string(*i);
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.2f", std::get<double>(arg));
    return buffer;
}

// "1234567.5" with precision 2 and thousands grouping for %n.
std::string Fixed(double value, int precision, char conversion) {
    char buffer[512];
    if (conversion == 'e') std::snprintf(buffer, sizeof buffer, "%.*E", precision, value);
    else if (conversion == 'g') std::snprintf(buffer, sizeof buffer, "%.*G", precision, value);
    else std::snprintf(buffer, sizeof buffer, "%.*f", precision, value);
    std::string text = buffer;
    if (conversion == 'n') {
        size_t dot = text.find('.');
        size_t end = dot == std::string::npos ? text.size() : dot;
        size_t start = (text[0] == '-') ? 1 : 0;
        for (size_t at = end; at > start + 3; at -= 3) text.insert(at - 3, ",");
    }
    return text;
}

}  // namespace

std::string FormatPattern(const std::string& pattern, std::initializer_list<FormatArg> argList,
                          char decimalSeparator) {
    std::vector<FormatArg> args(argList);
    size_t next = 0;
    auto take = [&]() -> const FormatArg* { return next < args.size() ? &args[next++] : nullptr; };
    std::string out;
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != '%') {
            out += pattern[i];
            continue;
        }
        size_t start = i++;
        if (i < pattern.size() && pattern[i] == '%') {
            out += '%';
            continue;
        }
        bool left = false;
        int width = -1, precision = -1;
        if (i < pattern.size() && pattern[i] == '-') left = true, ++i;
        auto readNumber = [&](int& target) {
            if (i < pattern.size() && pattern[i] == '*') {
                const FormatArg* arg = take();
                target = arg ? static_cast<int>(AsInteger(*arg)) : -1;
                ++i;
                return;
            }
            if (i < pattern.size() && IsAsciiDigit(pattern[i])) {
                target = 0;
                while (i < pattern.size() && IsAsciiDigit(pattern[i]))
                    target = std::min(target * 10 + (pattern[i++] - '0'), 500);
            }
        };
        readNumber(width);
        if (i < pattern.size() && pattern[i] == '.') {
            ++i;
            precision = 0;
            readNumber(precision);
        }
        if (i >= pattern.size()) {
            out += pattern.substr(start);
            break;
        }
        char conversion = ToLowerAscii(pattern[i]);
        std::string piece;
        const FormatArg* arg = nullptr;
        switch (conversion) {
        case 'd': case 'u':
            if ((arg = take())) {
                piece = std::to_string(AsInteger(*arg));
                if (precision > 0 && static_cast<int>(piece.size()) < precision)
                    piece.insert(piece[0] == '-' ? 1 : 0, precision - piece.size() + (piece[0] == '-'), '0');
            }
            break;
        case 'x':
            if ((arg = take())) {
                char buffer[32];
                std::snprintf(buffer, sizeof buffer, "%llX", static_cast<unsigned long long>(AsInteger(*arg)));
                piece = buffer;
            }
            break;
        case 'f': case 'e': case 'g': case 'n': case 'm':
            if ((arg = take())) {
                piece = Fixed(AsDouble(*arg), precision < 0 ? 2 : precision, conversion == 'm' ? 'n' : conversion);
                for (char& c : piece)
                    if (c == '.') c = decimalSeparator;
            }
            break;
        case 's':
            if ((arg = take())) {
                piece = AsText(*arg);
                if (precision >= 0 && static_cast<size_t>(precision) < piece.size()) piece.resize(precision);
            }
            break;
        default:  // not a conversion: the text stands as it is
            out += pattern.substr(start, i - start + 1);
            continue;
        }
        if (width > 0 && static_cast<int>(piece.size()) < width) {
            std::string pad(width - piece.size(), ' ');
            piece = left ? piece + pad : pad + piece;
        }
        out += piece;
    }
    return out;
}

}  // namespace vantrel
