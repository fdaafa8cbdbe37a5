#include "core/imaging/JpegNamePattern.h"

namespace vantrel {

bool MatchesJpegPattern(std::string_view name) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    if (name.size() < 4 || lower(name.back()) != 'g') return false;
    // Some ".jp" must end before the final "g".
    for (std::size_t p = 0; p + 4 <= name.size(); ++p)
        if (name[p] == '.' && lower(name[p + 1]) == 'j' && lower(name[p + 2]) == 'p') return true;
    return false;
}

}  // namespace vantrel
