#include "core/imaging/JpegNamePattern.h"

#include "core/base/AsciiText.h"

namespace vantrel {

bool MatchesJpegPattern(std::string_view name) {
    if (name.size() < 4 || ToLowerAscii(name.back()) != 'g') return false;
    // Some ".jp" must end before the final "g".
    for (std::size_t p = 0; p + 4 <= name.size(); ++p)
        if (name[p] == '.' && ToLowerAscii(name[p + 1]) == 'j' && ToLowerAscii(name[p + 2]) == 'p') return true;
    return false;
}

bool HasJpegExtension(std::string_view name) {
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos) return false;
    const std::string_view extension = name.substr(dot);
    return EqualsIgnoringCase(extension, ".jpg") || EqualsIgnoringCase(extension, ".jpeg");
}

}  // namespace vantrel
