#include "core/imaging/JpegNamePattern.h"

namespace vantrel {

namespace {
char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

bool EqualIgnoringCase(std::string_view text, std::string_view lower) {
    if (text.size() != lower.size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (LowerAscii(text[i]) != lower[i]) return false;
    return true;
}
}  // namespace

bool MatchesJpegPattern(std::string_view name) {
    if (name.size() < 4 || LowerAscii(name.back()) != 'g') return false;
    // Some ".jp" must end before the final "g".
    for (std::size_t p = 0; p + 4 <= name.size(); ++p)
        if (name[p] == '.' && LowerAscii(name[p + 1]) == 'j' && LowerAscii(name[p + 2]) == 'p') return true;
    return false;
}

bool HasJpegExtension(std::string_view name) {
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos) return false;
    const std::string_view extension = name.substr(dot);
    return EqualIgnoringCase(extension, ".jpg") || EqualIgnoringCase(extension, ".jpeg");
}

}  // namespace vantrel
